#include "decompress/expand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "codec_support.h"
#include "decompress/decompress_crx.h"
#include "decompress/plain_copy.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

// A small Compact RINEX 1.0 file of one GPS epoch.
std::string compactRinex() {
    const auto line = [](const char* content, const char* label) { return strfmt("%-60s%s\n", content, label); };
    return line("1.0                 COMPACT RINEX FORMAT", "CRINEX VERS   / TYPE") +
           line("RNX2CRX ver.4.0.8                       08-Apr-21 06:56", "CRINEX PROG / DATE") +
           line("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE") +
           line("     1    C1", "# / TYPES OF OBSERV") + line("", "END OF HEADER") +
           "&20  1  1  0  0  0.0000000  0  1G05\n\n3&21000000000\n";
}

std::string expectedRinex() { return decodeBytes(DecompressCrx, compactRinex()).output; }

std::string filesIn(const std::string& dir) { return runCommand("LC_ALL=C ls -A '" + dir + "'").output; }

int decompressTool(const std::string& args) { return runTools("decompress " + args, ">/dev/null 2>&1").exitCode; }

}  // namespace

TEST(Expand, ChainsRunInOrderLeaveNoIntermediateFilesAndFailuresNoOutput) {
    const std::string rinex = expectedRinex(), crx = compactRinex();
    ASSERT_TRUE(rinex.ends_with("  21000000.000  \n"));
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"abcd0010.20d.gz", gzipBytes(crx)},
             {"abcd0010.20d.Z", lzwCompress(crx)},
             {"ABCD00XXX_R_20200010000_01D_30S_MO.crx.gz", gzipBytes(crx)},
             {"abcd0010.20o.gz", gzipBytes(rinex)},
             {"abcd0010.20o.Z", lzwCompress(rinex)},
             {"abcd0010.20d", crx},
             {"abcd0010.20o", rinex}}) {
        TempDir work;
        std::string message = "unchanged";
        ASSERT_EQ(expandFile(work.write(name, bytes), work.path() + "out", message), DecodeStatus::kOk)
            << name << ": " << message;
        EXPECT_EQ(readWholeFile(work.path() + "out"), rinex) << name;
        EXPECT_EQ(filesIn(work.path()), name + "\nout\n");
    }
    EXPECT_EQ(expandedName("d/X.CRX.GZ"), "d/X.RNX");
    EXPECT_EQ(expandedName("P1P22001_ALL.DCB.Z"), "P1P22001_ALL.DCB");

    TempDir dir;
    std::string message, truncated = gzipBytes(crx);
    truncated.resize(truncated.size() / 2);
    EXPECT_EQ(expandFile(dir.write("cut.20d.gz", truncated), dir.path() + "out", message), DecodeStatus::kCorrupt);
    EXPECT_EQ(message, "Truncated input file");
    EXPECT_EQ(expandFile(dir.write("bad.crx.gz", gzipBytes("not compact rinex\n")), dir.path() + "out", message),
              DecodeStatus::kCrxBadHeader);
    EXPECT_EQ(filesIn(dir.path()), "bad.crx.gz\ncut.20d.gz\n");
    const std::string plain = dir.write("keep.20o", "content\n");
    EXPECT_EQ(expandFile(plain, plain, message), DecodeStatus::kCannotWrite);  // the output is never the input itself
    EXPECT_EQ(readWholeFile(plain), "content\n");

    // The plain copy of the inspection tools: a temporary file only when needed.
    EXPECT_EQ(PlainCopy(plain).path(), plain);
    std::string temporary;
    {
        const PlainCopy copy(dir.write("abcd0010.20d.gz", gzipBytes(crx)));
        temporary = copy.path();
        EXPECT_TRUE(copy.ok() && temporary.ends_with("-abcd0010.20o") && readWholeFile(temporary) == rinex)
            << temporary << copy.error();
    }
    EXPECT_FALSE(std::filesystem::exists(temporary));
}

TEST(Expand, DecompressToolNamesRefusesAndReports) {
    TempDir dir;
    const std::string input = dir.write("abcd0010.20d.gz", gzipBytes(compactRinex()));
    const std::string output = dir.path() + "abcd0010.20o";
    EXPECT_EQ(decompressTool(input), 0);
    EXPECT_EQ(readWholeFile(output), expectedRinex());
    // An existing output is replaced only when named with -o.
    dir.write("abcd0010.20o", "keep me\n");
    EXPECT_EQ(decompressTool(input), 1);
    EXPECT_EQ(readWholeFile(output), "keep me\n");
    EXPECT_EQ(decompressTool(input + " -o " + output), 0);
    EXPECT_EQ(readWholeFile(output), expectedRinex());

    EXPECT_EQ(decompressTool(dir.write("bad.20d.Z", "junk")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "bad.20o"));
    EXPECT_EQ(decompressTool(dir.write("plain.20o", "x")), 2);  // not a compressed name
    // Skipped epochs are a warning: the output is kept and the exit status is 0.
    const std::string cut = compactRinex().substr(0, compactRinex().size() - 14);  // the data line is missing
    EXPECT_EQ(decompressTool(dir.write("cut.20d", cut)), 0);
    EXPECT_TRUE(contains(readWholeFile(dir.path() + "cut.20o"), "*** Some epochs are skipped by CRX2RNX ***"));
}

TEST(Expand, AFailedOrRefusedExpansionLeavesTheOutputAsItWas) {
    TempDir dir;
    const std::string crx = compactRinex();
    std::string truncated = gzipBytes(crx);
    truncated.resize(truncated.size() / 2);
    const std::string precious("precious\0\r\nbytes\n", 17);
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"cut.20d.gz", truncated},
             {"bad.crx.gz", gzipBytes("not compact rinex\n")},
             {"junk.20d.Z", "junk"},
             {"junk.20o.gz", "junk"}}) {
        const std::string input = dir.write(name, bytes);
        const std::string output = dir.write("out.20o", precious);
        std::string message;
        EXPECT_FALSE(expandSucceeded(expandFile(input, output, message))) << name;
        EXPECT_EQ(readWholeFile(output), precious) << name;
        EXPECT_EQ(decompressTool(input + " -o " + output), 1) << name;
        EXPECT_EQ(readWholeFile(output), precious) << name;
        // Nothing is written to standard output either when the expansion fails.
        EXPECT_EQ(runTools("decompress " + input + " -o -", "2>/dev/null").output, "") << name;
        std::filesystem::remove(input);
        EXPECT_EQ(filesIn(dir.path()), "out.20o\n") << name;
    }

    // Outputs that are not regular files are refused before anything is decoded.
    const std::string input = dir.write("abcd0010.20d.gz", gzipBytes(crx));
    std::filesystem::create_directory(dir.path() + "folder");
    ASSERT_EQ(mkfifo((dir.path() + "fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir.path() + "out.20o", dir.path() + "link");
    for (const std::string& output :
         {dir.path() + "folder", dir.path() + "fifo", dir.path() + "link", std::string("/dev/null")}) {
        const ToolRun run = runTools("decompress " + input + " -o " + output);
        EXPECT_EQ(run.exitCode, 1) << output;
        EXPECT_TRUE(contains(run.output, "Cannot write file: " + output + ": not a regular file")) << run.output;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() + "folder"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.path() + "fifo") && std::filesystem::is_symlink(dir.path() + "link"));
    EXPECT_EQ(readWholeFile(dir.path() + "out.20o"), precious);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    // "-o -" writes the plain text to standard output, through a scratch file that goes.
    TempDir scratch;
    const ToolRun toStdout = runTools("decompress " + input + " -o -", "2>/dev/null");
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.output, expectedRinex());
    EXPECT_EQ(runCommand("TMPDIR=" + scratch.path() + " " + VELARIX_TOOLS_BIN + " decompress " + input +
                         " -o - >/dev/null 2>&1")
                  .exitCode,
              0);
    EXPECT_EQ(filesIn(scratch.path()), "");
}

namespace {

// Waits until a hidden temporary file appears in `dir` while `run` goes on.
bool temporaryAppears(BackgroundRun& run, const std::string& dir) {
    while (run.running()) {
        if (contains(filesIn(dir), ".part-")) return true;
    }
    return false;
}

}  // namespace

TEST(Expand, AnInterruptedExpansionLeavesNoOutputAndNoTemporaryFile) {
    // Held in a write to standard output (a full pipe that nobody reads), the tool has its
    // scratch copy: a signal removes it and ends the tool by that signal.
    TempDir dir, scratch;
    std::string text;
    for (int i = 0; text.size() < 1'000'000; ++i) text += strfmt("line %d of a plain RINEX file\n", i);
    const std::string input = dir.write("big.20o.gz", gzipBytes(text));
    for (const int signal : {SIGINT, SIGTERM}) {
        BackgroundRun run({VELARIX_TOOLS_BIN, "decompress", input, "-o", "-"}, {{"TMPDIR", scratch.path()}});
        ASSERT_TRUE(run.readUntil("line 0 of"));
        EXPECT_TRUE(contains(filesIn(scratch.path()), "big.20o")) << filesIn(scratch.path());
        run.signal(signal);
        bool bySignal = false;
        EXPECT_EQ(run.wait(&bySignal), 128 + signal);
        EXPECT_TRUE(bySignal);
        EXPECT_EQ(filesIn(scratch.path()), "");
    }

    // Interrupted in the middle of a real day's decoding: no output, an existing output
    // unchanged, and no temporary file in either case.
    const std::string data = sharedDataDir();
    if (data.empty()) GTEST_SKIP() << "no shared data";
    const std::string day = data + "set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz";
    for (const bool existing : {false, true}) {
        TempDir out;
        if (existing) out.write("day.rnx", "the previous version\n");
        BackgroundRun run({VELARIX_TOOLS_BIN, "decompress", day, "-o", out.path() + "day.rnx"});
        ASSERT_TRUE(temporaryAppears(run, out.path())) << "the decoding ended before it could be interrupted";
        run.signal(existing ? SIGTERM : SIGINT);
        EXPECT_EQ(run.wait(), 128 + (existing ? SIGTERM : SIGINT));
        EXPECT_EQ(filesIn(out.path()), existing ? "day.rnx\n" : "");
        EXPECT_EQ(readWholeFile(out.path() + "day.rnx"), existing ? "the previous version\n" : "");
    }
}

TEST(Expand, AFileThatCannotBeExpandedIsNamedOnce) {
    TempDir dir;
    const std::string broken = dir.write("abcd0010.20o.gz", "not gzip at all");
    const PlainCopy copy(broken);
    EXPECT_EQ(copy.error(),
              "expansion failed (-2): Input file not in gzip format, check type or decompress manually!\n");

    // (`tec` prints the RINEX job's log, whose expansion messages name the file as the
    // program's log does.)
    for (const std::string& arguments : {"obsinfo " + broken, "navinfo " + broken}) {
        const ToolRun run = runTools(arguments, "2>&1 >/dev/null");
        EXPECT_EQ(run.exitCode, 1) << arguments;
        const size_t first = run.output.find(broken);
        EXPECT_TRUE(first != std::string::npos && run.output.find(broken, first + 1) == std::string::npos)
            << arguments << ":\n" << run.output;
    }
}

}  // namespace velarix
