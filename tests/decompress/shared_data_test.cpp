// The decoders on the real archives of the shared data folder, against the published
// digests of their expansions.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "decompress/decompress_z.h"
#include "decompress/expand.h"
#include "sha256.h"
#include "test_support.h"

namespace {

struct Listed {
    std::string file;
    std::vector<std::string> columns;
};

// Rows "a | b | c" of a digest list, comments skipped.
std::vector<Listed> readList(const std::string& path) {
    std::vector<Listed> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> columns;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '|')) {
            const size_t first = field.find_first_not_of(' ');
            const size_t last = field.find_last_not_of(' ');
            columns.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
        }
        rows.push_back({columns[0], columns});
    }
    return rows;
}

std::string withoutTrailingBlanks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        const bool newline = end != std::string::npos;
        if (!newline) end = text.size();
        size_t last = end;
        while (last > at && text[last - 1] == ' ') --last;
        out.append(text, at, last - at);
        if (newline) out += '\n';
        at = end + 1;
    }
    return out;
}

size_t countLines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(SharedData, EveryCompactRinexFileExpandsToItsPublishedDigest) {
    const std::string data = sharedDataDir();
    if (data.empty()) GTEST_SKIP() << "no shared data folder";
    const std::vector<Listed> rows = readList(data + "CRX_EXPANDED_SHA256.txt");
    ASSERT_GE(rows.size(), 20u);
    for (const Listed& row : rows) {
        TempDir dir;
        std::string message;
        const int result = expandFile(data + row.file, dir.path() + "out", message);
        EXPECT_EQ(std::to_string(result), row.columns[1]) << row.file << ": " << message;
        const std::string output = readWholeFile(dir.path() + "out");
        // Blank fields and the epoch-line layouts keep trailing blanks that the published
        // files do not have; nothing else may differ.
        const std::string trimmed = withoutTrailingBlanks(output);
        EXPECT_EQ(std::to_string(trimmed.size()), row.columns[2]) << row.file;
        EXPECT_EQ(std::to_string(countLines(output)), row.columns[3]) << row.file;
        EXPECT_EQ(sha256Hex(trimmed), row.columns[4]) << row.file;
    }
}

TEST(SharedData, EveryUnixCompressFileExpandsToItsPublishedDigest) {
    const std::string data = sharedDataDir();
    if (data.empty()) GTEST_SKIP() << "no shared data folder";
    const std::vector<Listed> rows = readList(data + "Z_EXPANDED_SHA256.txt");
    ASSERT_GE(rows.size(), 11u);
    for (const Listed& row : rows) {
        TempDir dir;
        std::string message = "unchanged";
        EXPECT_EQ(DecompressZ(data + row.file, dir.path() + "out", message), 0) << row.file << ": " << message;
        EXPECT_EQ(message, "unchanged");
        const std::string output = readWholeFile(dir.path() + "out");
        EXPECT_EQ(std::to_string(output.size()), row.columns[2]) << row.file;
        EXPECT_EQ(sha256Hex(output), row.columns[3]) << row.file;
    }
}

TEST(SharedData, Sha256MatchesKnownDigests) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}
