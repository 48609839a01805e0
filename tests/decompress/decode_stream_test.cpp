// Decoding into a reader through pipes: the text, the result and the decoder's message are
// expandFile's for every format and chain, failures included; an early stop of the reader
// changes nothing; no file is made; an abandoned stream leaves no thread or descriptor.
#include "decompress/decode_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "codec_support.h"
#include "test_support.h"

namespace velarix {

namespace {

struct Outcome {
    DecodeStatus result = DecodeStatus::kOk;
    std::string message;
    std::string text;
};

// The lines as the reader gets them (line ends made LF), then finish().
Outcome streamed(const std::string& path, std::size_t stopAfterLines = SIZE_MAX) {
    DecodeStream stream(path);
    Outcome outcome;
    std::string_view line;
    bool cut = false;
    for (std::size_t n = 0; n < stopAfterLines && stream.lines().next(4096, line, cut); ++n) {
        outcome.text.append(line).append("\n");
    }
    outcome.result = stream.finish(outcome.message);
    return outcome;
}

// `text` as the reader gives it: CR LF read as LF, a last line ended.
std::string asRead(std::string text) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    if (!text.empty() && text.back() != '\n') text += '\n';
    return text;
}

Outcome expanded(const std::string& path, const TempDir& dir) {
    Outcome outcome;
    outcome.result = expandFile(path, dir.path() + "expanded.out", outcome.message);
    outcome.text = readWholeFile(dir.path() + "expanded.out");
    std::filesystem::remove(dir.path() + "expanded.out");
    return outcome;
}

std::string manyLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\n";
    return text;
}

std::string compactRinex() {
    return readWholeFile(std::string(VELARIX_SOURCE_DIR) + "/tests/fuzz/decompress_crx/aopr0010.17d");
}

std::size_t entriesOf(const char* folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

TEST(DecodeStream, GivesExpandFilesTextResultAndMessageForEveryChainAndFailure) {
    const std::string crx = compactRinex();
    ASSERT_FALSE(crx.empty());
    std::string cutGzip = gzipBytes(crx);
    cutGzip.resize(cutGzip.size() / 2);
    std::string corruptZ = lzwCompress(crx);
    for (std::size_t i = corruptZ.size() / 2; i < corruptZ.size() / 2 + 8; ++i) corruptZ[i] = '\xff';
    const std::string cutCrx = crx.substr(0, crx.size() / 2);  // skipped epochs: a warning
    std::string badEpoch = crx;
    badEpoch.replace(badEpoch.find("\n&") + 1, 1, "x");  // an epoch that cannot be decoded
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> inputs{
        {"aopr0010.17d", crx},
        {"aopr0010.17d.gz", gzipBytes(crx)},
        {"aopr0010.17d.Z", lzwCompress(crx)},
        {"aopr0010.17d.Z.gz", gzipBytes(lzwCompress(crx))},
        {"aopr0010.17o.gz", gzipBytes(manyLines(60000) + "last")},
        {"aopr0010.17o.Z", lzwCompress("line\r\nline 2\n")},
        {"cut0010.17d.gz", cutGzip},
        {"bad0010.17d.Z", corruptZ},
        {"warn0010.17d.gz", gzipBytes(cutCrx)},
        {"skip0010.17d", badEpoch},
        {"head0010.17d.gz", gzipBytes("not compact rinex\n")},
        {"junk0010.17o.gz", "junk"},
        {"empty0010.17d.gz", ""},
        {"empty0010.17o.Z.gz", gzipBytes("")},
    };
    for (const auto& [name, bytes] : inputs) {
        const std::string path = dir.write(name, bytes);
        const Outcome file = expanded(path, dir);
        const std::string text = asRead(file.text);
        const Outcome stream = streamed(path);
        EXPECT_EQ(stream.result, file.result) << name;
        EXPECT_EQ(stream.message, file.message) << name;
        if (expandSucceeded(file.result)) {
            EXPECT_TRUE(stream.text == text) << name;
        }
        // A reader that stops after its first line leaves the decoders to end as they would.
        const Outcome early = streamed(path, 1);
        EXPECT_EQ(early.result, file.result) << name;
        EXPECT_EQ(early.message, file.message) << name;
    }
    // The results met above: success, the warnings 2 (and 21 for a cut file), failures.
    EXPECT_EQ(streamed(dir.path() + "cut0010.17d.gz").message, "Truncated input file");
    EXPECT_EQ(streamed(dir.path() + "bad0010.17d.Z").result, DecodeStatus::kCorrupt);
    EXPECT_TRUE(expandSucceeded(streamed(dir.path() + "warn0010.17d.gz").result));
    EXPECT_EQ(streamed(dir.path() + "skip0010.17d").result, DecodeStatus::kCrxSkippedToEnd);  // no initialized epoch after
    EXPECT_EQ(streamed(dir.path() + "head0010.17d.gz").result, DecodeStatus::kCrxBadHeader);
    EXPECT_EQ(streamed(dir.path() + "empty0010.17o.Z.gz").message, "File of zero bytes");
    EXPECT_EQ(streamed(dir.path() + "gone0010.17d.gz").message, "Cannot open file");
}

TEST(DecodeStream, RealArchivesGiveTheirExpandedText) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    const std::string pairs = sharedDataDir() + "hatanaka_pairs/valgur_hatanaka/";
    TempDir dir;
    for (const char* name : {"sample.crx", "sample.crx.gz", "sample.crx.Z", "sample.rnx.gz", "sample.rnx.Z"}) {
        const std::string text = asRead(expanded(pairs + name, dir).text);
        ASSERT_GT(text.size(), 1000u) << name;
        const Outcome stream = streamed(pairs + name);
        EXPECT_EQ(stream.result, DecodeStatus::kOk) << name << stream.message;
        EXPECT_TRUE(stream.text == text) << name;
    }
}

TEST(DecodeStream, MakesNoFileAndAnAbandonedStreamLeavesNoThreadOrDescriptor) {
    TempDir dir;
    const std::string big = manyLines(600000);
    const std::string path = dir.write("big0010.20o.Z.gz", gzipBytes(lzwCompress(big)));
    const std::size_t descriptors = entriesOf("/proc/self/fd");
    const std::size_t threads = entriesOf("/proc/self/task");
    {
        DecodeStream stream(path);
        std::string_view line;
        bool cut = false;
        ASSERT_TRUE(stream.lines().next(100, line, cut));
        EXPECT_EQ(line, "line 0");
        EXPECT_GT(entriesOf("/proc/self/task"), threads);  // the decoders at work
        EXPECT_EQ(runCommand("LC_ALL=C ls -A '" + dir.path() + "'").output, "big0010.20o.Z.gz\n");
        // Left unread and unfinished: the stream is abandoned.
    }
    EXPECT_EQ(entriesOf("/proc/self/task"), threads);
    EXPECT_EQ(entriesOf("/proc/self/fd"), descriptors);
    // Finished after a full read: the same.
    EXPECT_EQ(streamed(path).text, big);
    EXPECT_EQ(entriesOf("/proc/self/task"), threads);
    EXPECT_EQ(entriesOf("/proc/self/fd"), descriptors);
}

}  // namespace velarix
