#include "decompress/decompress_z.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <tuple>

#include "codec_support.h"
#include "test_support.h"

namespace velarix {

namespace {

Decoded expandZ(const std::string& compressed) { return decodeBytes(DecompressZ, compressed); }

// RINEX words in random order: enough repetition to fill the dictionary slowly.
std::string sampleText(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    const std::string words[] = {"G01", " 23456789.123", "L1", "C1C", "\n", " 2020", "0.0000000", "S1", "R24"};
    std::string text;
    while (text.size() < size) text += words[random() % std::size(words)];
    return text.substr(0, size);
}

}  // namespace

TEST(DecompressZ, RefusalsAndCorruptStreamsGiveTheirCodesAndMessages) {
    TempDir dir;
    std::string message;
    EXPECT_EQ(DecompressZ(dir.path() + "missing.Z", dir.path() + "out", message), DecodeStatus::kCannotOpen);
    EXPECT_EQ(message, "Cannot open file");
    EXPECT_EQ(DecompressZ(dir.path(), dir.path() + "out", message), DecodeStatus::kCannotOpen);  // a directory
    EXPECT_EQ(DecompressZ(dir.write("ok.Z", lzwCompress("abc")), dir.path() + "no/dir/out", message),
              DecodeStatus::kCannotWrite);
    EXPECT_EQ(message, "Cannot write file");

    const std::string notZ = "Input file not in .Z compressed format, check type or decompress manually!\n";
    const std::tuple<std::string, int, std::string> cases[] = {  // input, code, message
        {"", -9, "File of zero bytes"},
        {"\x1f\x9d", -2, notZ},
        {std::string("\x1f\x8b\x08\0\0\0", 6), -2, notZ},  // gzip
        {std::string("\x1f\x9d\x91\x61\0", 5), -3, "File compressed with 17 bits, can only handle 16 bits\n"},
        // First code 300, then 256: neither may open the stream (9 bits, LSB first).
        {std::string("\x1f\x9d\x90\x2c\x01", 5), -4, "oldcode:-1 code:300\r\nCorrupt input file"},
        {std::string("\x1f\x9d\x90\x00\x01", 5), -4, "oldcode:-1 code:256\r\nCorrupt input file"},
        // 'a', then 300 where the next free code is 257.
        {"\x1f\x9d\x90\x61\x58\x02", -5, "insize:3 posbits:9 inbuf:61 58 02 00 00 (1)\r\nCorrupt input file"},
    };
    for (const auto& [bytes, code, expected] : cases) {
        const Decoded run = expandZ(bytes);
        EXPECT_EQ(run.code, code) << expected;
        EXPECT_EQ(run.message, expected);
    }
    EXPECT_EQ(expandZ("\x1f\x9d\x90\x61\x58\x02").output, "a");  // decoded bytes stay in the partial output
}

TEST(DecompressZ, DecodesEveryWidthModeAndClearPosition) {
    // (16-bit streams of compress(1) itself: the real files of the shared data.)
    const std::string part = sampleText(100000, 1);
    for (const int bits : {9, 12, 14, 16}) {
        const Decoded run = expandZ(lzwCompress(part, {bits}));
        EXPECT_EQ(run.code, 0) << bits;
        EXPECT_EQ(run.message, "unchanged");
        EXPECT_TRUE(run.output == part) << bits;
    }
    std::vector<int> codes;

    // Without block mode 256 is an ordinary code.
    const std::string plainMode = lzwCompress(part, {16, false}, &codes);
    ASSERT_NE(std::find(codes.begin(), codes.end(), 256), codes.end());
    EXPECT_TRUE(expandZ(plainMode).output == part);

    // KwKwK: "aaaaaa" is 97, 257 and 258, each the code not yet in the table.
    codes.clear();
    EXPECT_EQ(expandZ(lzwCompress("aaaaaa", {}, &codes)).output, "aaaaaa");
    EXPECT_EQ(codes, (std::vector<int>{97, 257, 258}));

    // A clear after 255 codes is the last 9-bit code, where the width would grow; after
    // 256 the first 10-bit one; the others move it through a group of eight codes.
    for (const size_t every : {250u, 251u, 252u, 253u, 254u, 255u, 256u, 257u, 511u, 512u, 3000u}) {
        codes.clear();
        const Decoded cleared = expandZ(lzwCompress(part, {16, true, every}, &codes));
        ASSERT_GT(std::count(codes.begin(), codes.end(), 256), 2) << every;
        EXPECT_EQ(cleared.code, 0) << every << " " << cleared.message;
        EXPECT_TRUE(cleared.output == part) << every;
    }

    // A truncated stream ends the output early, with success.
    const std::string compressed = lzwCompress(part);
    for (const size_t cut : {size_t{1}, size_t{7}, compressed.size() / 2}) {
        const Decoded result = expandZ(compressed.substr(0, compressed.size() - cut));
        EXPECT_EQ(result.code, 0) << cut;
        EXPECT_GT(result.output.size(), 0u);
        EXPECT_LT(result.output.size(), part.size());
        EXPECT_TRUE(part.starts_with(result.output)) << cut;
    }

    // Written by ncompress 4.2.4.6, "compress -b12", from 6000 bytes of a real RINEX file.
    const std::string source = VELARIX_TEST_DATA "/decompress/ac660270_6000.18o";
    EXPECT_EQ(expandZ(readWholeFile(source + ".Z")).output, readWholeFile(source));
}

TEST(DecompressZ, WriteFailuresAreReportedWithTheirCodes) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    // A full output buffer (256 KiB) that cannot be written, then only the last part.
    const std::pair<size_t, std::pair<int, std::string>> cases[] = {
        {300000, {-6, "Write error!"}},
        {1000, {-7, "Write error2!"}},
    };
    for (const auto& [size, expected] : cases) {
        std::string message;
        const std::string input = dir.write("big.Z", lzwCompress(sampleText(size, 2)));
        EXPECT_EQ(std::make_pair(statusCode(DecompressZ(input, "/dev/full", message)), message), expected) << size;
    }
}

}  // namespace velarix
