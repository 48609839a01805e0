// The decoders on the real archives of the shared data folder, against the published
// digests of their expansions.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "decompress/decompress_z.h"
#include "decompress/expand.h"
#include "test_support.h"

namespace velarix {

namespace {

// Rows "a | b | c" of a digest list (file names hold no blanks), comments skipped.
std::vector<std::vector<std::string>> readList(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        rows.emplace_back();
        for (std::string field; fields >> field;) {
            if (field != "|") rows.back().push_back(field);
        }
    }
    return rows;
}

std::string sha256Of(const std::string& path) { return runCommand("sha256sum < '" + path + "'").output.substr(0, 64); }

}  // namespace

TEST(SharedData, EveryCompactRinexAndUnixCompressFileExpandsToItsPublishedDigest) {
    const std::string data = sharedDataDir();
    if (data.empty()) GTEST_SKIP() << "no shared data folder";
    const auto rows = readList(data + "CRX_EXPANDED_SHA256.txt");
    ASSERT_GE(rows.size(), 20u);
    for (const auto& row : rows) {  // file | exit code | bytes | lines | sha256
        TempDir dir;
        const std::string out = dir.path() + "out";
        std::string message;
        EXPECT_EQ(std::to_string(statusCode(expandFile(data + row[0], out, message))), row[1])
            << row[0] << ": " << message;
        const std::string text = readWholeFile(out);
        EXPECT_EQ(std::to_string(std::count(text.begin(), text.end(), '\n')), row[3]) << row[0];
        // Blank fields and the epoch-line layouts keep trailing blanks that the published
        // files do not have; nothing else may differ.
        ASSERT_EQ(runCommand("sed -i 's/ *$//' '" + out + "'").exitCode, 0);
        EXPECT_EQ(std::to_string(std::filesystem::file_size(out)), row[2]) << row[0];
        EXPECT_EQ(sha256Of(out), row[4]) << row[0];
    }

    const auto zRows = readList(data + "Z_EXPANDED_SHA256.txt");
    ASSERT_GE(zRows.size(), 11u);
    for (const auto& row : zRows) {  // file | header | bytes | sha256
        TempDir dir;
        std::string message = "unchanged";
        EXPECT_EQ(DecompressZ(data + row[0], dir.path() + "out", message), DecodeStatus::kOk)
            << row[0] << ": " << message;
        EXPECT_EQ(message, "unchanged");
        EXPECT_EQ(std::to_string(std::filesystem::file_size(dir.path() + "out")), row[2]) << row[0];
        EXPECT_EQ(sha256Of(dir.path() + "out"), row[3]) << row[0];
    }
}

}  // namespace velarix
