#include "decompress/decompress_gz.h"

#include <gtest/gtest.h>

#include "gzip_bytes.h"
#include "lzw_encoder.h"
#include "test_support.h"

namespace {

struct GzResult {
    int code;
    std::string message;
    std::string output;
};

GzResult gunzip(const TempDir& dir, const std::string& bytes) {
    const std::string input = dir.write("in.gz", bytes);
    GzResult result{0, "unchanged", ""};
    result.code = DecompressGz(input, dir.path() + "out", result.message);
    result.output = readWholeFile(dir.path() + "out");
    return result;
}

std::string lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += " 20  1  1  0  0 " + std::to_string(i) + ".0000000  0 12G01G02\n";
    return text;
}

}  // namespace

TEST(DecompressGz, RejectsWhatIsNotGzip) {
    TempDir dir;
    std::string message;
    EXPECT_EQ(DecompressGz(dir.path() + "missing.gz", dir.path() + "out", message), -1);
    EXPECT_EQ(message, "Cannot open file");
    EXPECT_EQ(gunzip(dir, "").code, -9);
    EXPECT_EQ(gunzip(dir, "").message, "File of zero bytes");
    for (const std::string& bytes : {std::string("\x1f"), std::string("plain text\n"), lzwCompress("abcabc")}) {
        const GzResult result = gunzip(dir, bytes);
        EXPECT_EQ(result.code, -2);
        EXPECT_EQ(result.message, "Input file not in gzip format, check type or decompress manually!\n");
    }
    const std::string input = dir.write("ok.gz", gzipBytes("x"));
    EXPECT_EQ(DecompressGz(input, dir.path() + "no/dir/out", message), -11);
    EXPECT_EQ(message, "Cannot write file");
}

TEST(DecompressGz, ConcatenatedMembersExpandToTheirConcatenation) {
    TempDir dir;
    const std::string first = lines(30000), second = lines(5), third = lines(70000);
    const GzResult result = gunzip(dir, gzipBytes(first) + gzipBytes(second) + gzipBytes(third));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.message, "unchanged");
    EXPECT_TRUE(result.output == first + second + third);
    // Zero padding after the last member (as tape archives leave it) is ignored.
    EXPECT_EQ(gunzip(dir, gzipBytes(second) + std::string(100, '\0')).output, second);
}

TEST(DecompressGz, TruncatedAndCorruptDataFail) {
    TempDir dir;
    const std::string member = gzipBytes(lines(20000));
    for (const size_t cut : {size_t{1}, size_t{8}, member.size() / 2, member.size() - 11}) {
        const GzResult result = gunzip(dir, member.substr(0, member.size() - cut));
        EXPECT_EQ(result.code, -5) << cut;
        EXPECT_EQ(result.message, "Truncated input file") << cut;
    }
    // A second member cut short is truncation too, not the end of the data.
    EXPECT_EQ(gunzip(dir, member + member.substr(0, 40)).code, -5);

    std::string corrupt = member;
    for (size_t i = corrupt.size() / 3; i < corrupt.size() / 3 + 16; ++i) corrupt[i] = static_cast<char>(~corrupt[i]);
    const GzResult bad = gunzip(dir, corrupt);
    EXPECT_EQ(bad.code, -5);
    EXPECT_EQ(bad.message.rfind("Corrupt input file: ", 0), 0u) << bad.message;

    std::string wrongCrc = gzipBytes("some text\n");
    wrongCrc[wrongCrc.size() - 6] ^= 1;
    EXPECT_EQ(gunzip(dir, wrongCrc).code, -5);
}
