#include "decompress/decompress_z.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "lzw_encoder.h"
#include "test_support.h"

namespace {

struct ZResult {
    int code;
    std::string message;
    std::string output;
};

ZResult expandZ(const TempDir& dir, const std::string& compressed) {
    const std::string input = dir.write("in.Z", compressed);
    ZResult result{0, "unchanged", ""};
    result.code = DecompressZ(input, dir.path() + "out", result.message);
    result.output = readWholeFile(dir.path() + "out");
    return result;
}

// Text with enough repetition to fill the dictionary slowly and go through every width.
std::string sampleText(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    const std::string words[] = {"G01", " 23456789.123", "L1", "C1C", "\n", " 2020", "0.0000000", "S1", "R24"};
    std::string text;
    while (text.size() < size) text += words[random() % std::size(words)];
    text.resize(size);
    return text;
}

const char* const kNotZ = "Input file not in .Z compressed format, check type or decompress manually!\n";

}  // namespace

TEST(DecompressZ, RejectsInputsThatAreNotCompressData) {
    TempDir dir;
    std::string message = "unchanged";
    EXPECT_EQ(DecompressZ(dir.path() + "missing.Z", dir.path() + "out", message), -1);
    EXPECT_EQ(message, "Cannot open file");
    message = "unchanged";
    EXPECT_EQ(DecompressZ(dir.path(), dir.path() + "out", message), -1);  // a directory
    EXPECT_EQ(message, "Cannot open file");

    EXPECT_EQ(expandZ(dir, "").code, -9);
    EXPECT_EQ(expandZ(dir, "").message, "File of zero bytes");
    for (const std::string& bytes : {std::string("\x1f"), std::string("\x1f\x9d"), std::string("\x1f\x8b\x08\0\0\0", 6),
                                     std::string("plain text\n")}) {
        const ZResult result = expandZ(dir, bytes);
        EXPECT_EQ(result.code, -2) << bytes.size();
        EXPECT_EQ(result.message, kNotZ);
    }

    const std::string input = dir.write("ok.Z", lzwCompress("abc"));
    message = "unchanged";
    EXPECT_EQ(DecompressZ(input, dir.path() + "no/such/dir/out", message), -11);
    EXPECT_EQ(message, "Cannot write file");
}

TEST(DecompressZ, HeaderWidthLimitAndFirstCode) {
    TempDir dir;
    const ZResult wide = expandZ(dir, std::string("\x1f\x9d\x91\x61\x00", 5));
    EXPECT_EQ(wide.code, -3);
    EXPECT_EQ(wide.message, "File compressed with 17 bits, can only handle 16 bits\n");

    // First code 300 (9 bits, least significant bit first): 0x2C, 0x01.
    const ZResult first = expandZ(dir, std::string("\x1f\x9d\x90\x2c\x01", 5));
    EXPECT_EQ(first.code, -4);
    EXPECT_EQ(first.message, "oldcode:-1 code:300\r\nCorrupt input file");

    // In block mode the first code may not be the clear code either.
    const ZResult clear = expandZ(dir, std::string("\x1f\x9d\x90\x00\x01", 5));
    EXPECT_EQ(clear.code, -4);
    EXPECT_EQ(clear.message, "oldcode:-1 code:256\r\nCorrupt input file");
}

TEST(DecompressZ, CodeBeyondTheNextFreeCodeIsReportedWithItsPosition) {
    TempDir dir;
    // Codes 97 ('a') and 300, nine bits each: 61 58 02. The next free code is 257.
    const ZResult result = expandZ(dir, std::string("\x1f\x9d\x90\x61\x58\x02", 6));
    EXPECT_EQ(result.code, -5);
    EXPECT_EQ(result.message, "insize:3 posbits:9 inbuf:61 58 02 00 00 (1)\r\nCorrupt input file");
    EXPECT_EQ(result.output, "a");  // what was decoded stays in the partial output
}

TEST(DecompressZ, DecodesEveryWidthAndLeavesTheMessageAloneOnSuccess) {
    TempDir dir;
    const std::string text = sampleText(600000, 1);
    const std::string compressed = lzwCompress(text);
    ASSERT_EQ(static_cast<unsigned char>(compressed[2]), 0x90);
    const std::vector<int>& codes = lastLzwCodes();
    ASSERT_GT(*std::max_element(codes.begin(), codes.end()), 40000);  // 16-bit codes were used
    const ZResult result = expandZ(dir, compressed);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.message, "unchanged");
    EXPECT_TRUE(result.output == text);

    for (const int bits : {9, 12, 14}) {
        LzwOptions options;
        options.maxBits = bits;
        EXPECT_TRUE(expandZ(dir, lzwCompress(text.substr(0, 100000), options)).output == text.substr(0, 100000))
            << bits;
    }
}

TEST(DecompressZ, StreamWithoutBlockModeTreats256AsAnOrdinaryCode) {
    TempDir dir;
    const std::string text = sampleText(50000, 2);
    LzwOptions options;
    options.blockMode = false;
    const std::string compressed = lzwCompress(text, options);
    ASSERT_EQ(static_cast<unsigned char>(compressed[2]), 0x10);
    const std::vector<int>& codes = lastLzwCodes();
    ASSERT_NE(std::find(codes.begin(), codes.end(), 256), codes.end());
    const ZResult result = expandZ(dir, compressed);
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(result.output == text);
}

TEST(DecompressZ, KwKwKCodeIsThePreviousStringAndItsFirstByte) {
    TempDir dir;
    // "aaaaaa": codes 97, 257 (not yet in the table: "a" + "a"), 258 ("aa" + "a").
    const std::string compressed = lzwCompress("aaaaaa");
    EXPECT_EQ(lastLzwCodes(), (std::vector<int>{97, 257, 258}));
    EXPECT_EQ(expandZ(dir, compressed).output, "aaaaaa");
    const std::string runs = std::string(5000, 'x') + std::string(3000, 'y') + "xyxyxyxyxyxy";
    EXPECT_TRUE(expandZ(dir, lzwCompress(runs)).output == runs);
}

TEST(DecompressZ, ClearCodesNearAWidthChangeRealignToTheOldGroups) {
    TempDir dir;
    const std::string text = sampleText(120000, 3);
    // 255 codes then a clear: the clear is the last 9-bit code, where the width would
    // otherwise grow; 256: the clear is the first 10-bit code. The others move the clear
    // to every place within a group of eight codes.
    for (const size_t every : {255u, 256u, 257u, 250u, 251u, 252u, 253u, 254u, 511u, 512u, 767u, 1000u, 3000u}) {
        LzwOptions options;
        options.clearEvery = every;
        const std::string compressed = lzwCompress(text, options);
        const std::vector<int>& codes = lastLzwCodes();
        ASSERT_GT(std::count(codes.begin(), codes.end(), 256), 2) << every;
        const ZResult result = expandZ(dir, compressed);
        EXPECT_EQ(result.code, 0) << every << " " << result.message;
        EXPECT_TRUE(result.output == text) << every;
    }
}

TEST(DecompressZ, TruncatedInputEndsTheOutputEarlyWithSuccess) {
    TempDir dir;
    const std::string text = sampleText(200000, 4);
    const std::string compressed = lzwCompress(text);
    for (const size_t cut : {size_t{1}, size_t{7}, size_t{1000}, compressed.size() / 2}) {
        const ZResult result = expandZ(dir, compressed.substr(0, compressed.size() - cut));
        EXPECT_EQ(result.code, 0) << cut;
        EXPECT_LT(result.output.size(), text.size());
        EXPECT_GT(result.output.size(), 0u);
        EXPECT_TRUE(text.compare(0, result.output.size(), result.output) == 0) << cut;
    }
}

TEST(DecompressZ, FileWrittenByCompressDecodes) {
    // ncompress 4.2.4.6, "compress -b12" (block mode, 12 bits) of 6000 bytes of a real
    // RINEX file.
    TempDir dir;
    std::string message;
    const std::string source = VELARIX_TEST_DATA "/decompress/ac660270_6000.18o";
    ASSERT_EQ(DecompressZ(source + ".Z", dir.path() + "out", message), 0) << message;
    EXPECT_EQ(readWholeFile(dir.path() + "out"), readWholeFile(source));
}
