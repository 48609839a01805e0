#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

// Lines of many lengths, some with CR LF ends, some longer than the limit, so that lines
// and their ends fall across the reader's buffer refills.
std::vector<std::string> sampleLines(int count, int lengthStep) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.emplace_back(static_cast<size_t>(i * lengthStep % 3100), static_cast<char>('a' + i % 26));
    }
    return lines;
}

void expectReadBack(const std::vector<std::string>& lines, size_t limit, bool crlf, bool finalEnd) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || finalEnd) text += (crlf && i % 3 == 0) ? "\r\n" : "\n";
    }
    TempDir dir;
    LineReader reader(dir.write("lines.txt", text));
    ASSERT_TRUE(reader.isOpen());
    std::string_view line;
    bool cut = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(reader.next(limit, line, cut)) << i;
        const bool longer = lines[i].size() > limit;
        EXPECT_EQ(cut, longer) << i;
        ASSERT_EQ(line, std::string_view(lines[i]).substr(0, limit)) << i;
    }
    EXPECT_FALSE(reader.next(limit, line, cut));
    EXPECT_FALSE(reader.next(limit, line, cut));
}

}  // namespace

TEST(LineReader, ReadsEveryLineAcrossRefills) {
    expectReadBack(sampleLines(3000, 37), 1500, false, true);  // 4.6 MB: several refills
    expectReadBack(sampleLines(3000, 37), 1500, true, false);
    expectReadBack(sampleLines(40, 101), 90, true, true);       // a small file, a small buffer
    expectReadBack({"", "", "x", ""}, 90, false, true);
    expectReadBack({std::string(5000, 'z')}, 1500, false, false);  // one long line, no end
    // Lengths at the limit, with and without a CR before the line end.
    for (bool crlf : {false, true}) {
        expectReadBack({std::string(1500, 'a'), "x", "y", std::string(1501, 'b'), "z", "w", std::string(1502, 'c')}, 1500,
                       crlf, true);
    }
}

TEST(LineReader, MissingAndEmptyFiles) {
    LineReader missing("/nonexistent/file");
    EXPECT_FALSE(missing.isOpen());
    std::string_view line;
    bool cut = false;
    EXPECT_FALSE(missing.next(90, line, cut));
    TempDir dir;
    LineReader empty(dir.write("empty.txt", ""));
    EXPECT_TRUE(empty.isOpen());
    EXPECT_FALSE(empty.next(90, line, cut));
}
