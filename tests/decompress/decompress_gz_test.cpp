#include "decompress/decompress_gz.h"

#include <gtest/gtest.h>

#include <tuple>

#include "codec_support.h"
#include "test_support.h"

namespace velarix {

namespace {

Decoded gunzip(const std::string& bytes) { return decodeBytes(DecompressGz, bytes); }

std::string lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += " 20  1  1  0  0 " + std::to_string(i) + ".0000000  0 12G01G02\n";
    return text;
}

}  // namespace

TEST(DecompressGz, RefusalsTruncationAndCorruptionGiveTheirCodes) {
    TempDir dir;
    std::string message;
    EXPECT_EQ(DecompressGz(dir.path() + "missing.gz", dir.path() + "out", message), DecodeStatus::kCannotOpen);
    EXPECT_EQ(message, "Cannot open file");
    EXPECT_EQ(DecompressGz(dir.write("ok.gz", gzipBytes("x")), dir.path() + "no/dir/out", message),
              DecodeStatus::kCannotWrite);
    EXPECT_EQ(message, "Cannot write file");

    const std::string member = gzipBytes(lines(30000));
    const std::string notGzip = "Input file not in gzip format, check type or decompress manually!\n";
    std::string corrupt = member, wrongCrc = gzipBytes("some text\n");
    for (size_t i = corrupt.size() / 3; i < corrupt.size() / 3 + 16; ++i) corrupt[i] = static_cast<char>(~corrupt[i]);
    wrongCrc[wrongCrc.size() - 6] ^= 1;
    const std::tuple<std::string, int, std::string> cases[] = {  // input, code, start of the message
        {"", -9, "File of zero bytes"},
        {"\x1f", -2, notGzip},
        {lzwCompress("abcabc"), -2, notGzip},
        {member.substr(0, member.size() / 2), -5, "Truncated input file"},
        {member.substr(0, member.size() - 1), -5, "Truncated input file"},  // in the trailer
        {member + member.substr(0, 40), -5, "Truncated input file"},        // a second member cut short
        {corrupt, -5, "Corrupt input file: "},
        {wrongCrc, -5, "Corrupt input file: "},
    };
    for (const auto& [bytes, code, messageStart] : cases) {
        const Decoded run = gunzip(bytes);
        EXPECT_EQ(run.code, code) << messageStart;
        EXPECT_EQ(run.message.substr(0, messageStart.size()), messageStart);
    }
}

TEST(DecompressGz, ConcatenatedMembersExpandToTheirConcatenation) {
    const std::string first = lines(30000), second = lines(5);
    const Decoded run = gunzip(gzipBytes(first) + gzipBytes(second) + gzipBytes(first));
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.message, "unchanged");
    EXPECT_TRUE(run.output == first + second + first);
    // Zero padding after the last member (as tape archives leave it) is ignored.
    EXPECT_EQ(gunzip(gzipBytes(second) + std::string(100, '\0')).output, second);
}

}  // namespace velarix
