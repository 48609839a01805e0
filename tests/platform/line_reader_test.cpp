#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace velarix {

namespace {

// Writes `lines` (some with CR LF ends when `crlf`) and reads them back with `limit`:
// longer lines come back cut to the limit, and flagged.
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
        EXPECT_EQ(cut, lines[i].size() > limit) << i;
        ASSERT_EQ(line, std::string_view(lines[i]).substr(0, limit)) << i;
    }
    EXPECT_FALSE(reader.next(limit, line, cut));
    EXPECT_FALSE(reader.next(limit, line, cut));
}

}  // namespace

TEST(LineReader, ReadsEveryLineAcrossRefillsAndCutsLongOnes) {
    // 4.6 MB of lines of many lengths, some beyond the limit: lines and their ends fall
    // across the buffer refills.
    const auto sample = [](int count, int lengthStep) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) lines.emplace_back(size_t(i * lengthStep % 3100), char('a' + i % 26));
        return lines;
    };
    expectReadBack(sample(3000, 37), 1500, false, true);
    expectReadBack(sample(3000, 37), 1500, true, false);
    expectReadBack(sample(40, 101), 90, true, true);  // a small file, a small buffer
    expectReadBack({"", "", "x", ""}, 90, false, true);
    expectReadBack({std::string(5000, 'z')}, 1500, false, false);  // one long line, no end
    for (const bool crlf : {false, true}) {  // lengths at the limit, with and without a CR
        expectReadBack({std::string(1500, 'a'), "", std::string(1501, 'b'), std::string(1502, 'c')}, 1500, crlf, true);
    }

    expectReadBack({}, 90, false, false);  // an empty file
    std::string_view line;
    bool cut = false;
    LineReader missing("/nonexistent/file");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.next(90, line, cut));
}

}  // namespace velarix
