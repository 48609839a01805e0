#include "decompress/expand.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "decompress/decompress_crx.h"
#include "decompress/plain_copy.h"
#include "gzip_bytes.h"
#include "lzw_encoder.h"
#include "platform/strfmt.h"
#include "test_support.h"

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

std::string expectedRinex() {
    TempDir dir;
    std::string message;
    EXPECT_EQ(DecompressCrx(dir.write("x.crx", compactRinex()), dir.path() + "x.rnx", message), 0);
    return readWholeFile(dir.path() + "x.rnx");
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

int runTool(const std::string& arguments) {
    const int status =
        std::system((std::string(VELARIX_TOOLS_BIN) + " decompress " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(Expand, NamesOfTheExpandedFiles) {
    EXPECT_EQ(expandedName("data/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz"),
              "data/ESBC00DNK_R_20201770000_01D_30S_MO.rnx");
    EXPECT_EQ(expandedName("X.CRX.GZ"), "X.RNX");
    EXPECT_EQ(expandedName("bjfs0010.20d.Z"), "bjfs0010.20o");
    EXPECT_EQ(expandedName("BJFS0010.20D.gz"), "BJFS0010.20O");
    EXPECT_EQ(expandedName("bele0100.24d"), "bele0100.24o");
    EXPECT_EQ(expandedName("dgar0100.24o.gz"), "dgar0100.24o");
    EXPECT_EQ(expandedName("P1P22001_ALL.DCB.Z"), "P1P22001_ALL.DCB");
    for (const char* plain : {"bjfs0010.20o", "brdc0010.20n", "notes.d", "x.2ad", "file.gzip"}) {
        EXPECT_EQ(expandedName(plain), plain);
        EXPECT_FALSE(isExpandable(plain)) << plain;
    }
    EXPECT_TRUE(isExpandable("x.crx"));
}

TEST(Expand, ChainsRunInOrderAndLeaveNoIntermediateFiles) {
    const std::string rinex = expectedRinex();
    TempDir dir;
    const std::string crx = compactRinex();
    for (const auto& [name, bytes] :
         std::vector<std::pair<std::string, std::string>>{{"abcd0010.20d.gz", gzipBytes(crx)},
                                                          {"abcd0010.20d.Z", lzwCompress(crx)},
                                                          {"ABCD00XXX_R_20200010000_01D_30S_MO.crx.gz", gzipBytes(crx)},
                                                          {"abcd0010.20o.gz", gzipBytes(rinex)},
                                                          {"abcd0010.20o.Z", lzwCompress(rinex)},
                                                          {"abcd0010.20d", crx},
                                                          {"abcd0010.20o", rinex}}) {
        TempDir work;
        const std::string input = work.write(name, bytes);
        std::string message = "unchanged";
        ASSERT_EQ(expandFile(input, work.path() + "out", message), 0) << name << ": " << message;
        EXPECT_EQ(readWholeFile(work.path() + "out"), rinex) << name;
        EXPECT_EQ(filesIn(work.path()), (std::vector<std::string>{name, "out"})) << name;
    }
}

TEST(Expand, FailuresRemoveTheOutputAndTheOutputIsNeverTheInput) {
    TempDir dir;
    std::string truncated = gzipBytes(compactRinex());
    truncated.resize(truncated.size() / 2);
    const std::string input = dir.write("abcd0010.20d.gz", truncated);
    std::string message;
    EXPECT_EQ(expandFile(input, dir.path() + "out", message), -5);
    EXPECT_EQ(message, "Truncated input file");
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"abcd0010.20d.gz"});

    const std::string crxGz = dir.write("bad.crx.gz", gzipBytes("not compact rinex\n"));
    EXPECT_EQ(expandFile(crxGz, dir.path() + "out", message), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "out"));

    const std::string plain = dir.write("keep.20o", "content\n");
    EXPECT_EQ(expandFile(plain, plain, message), -11);
    EXPECT_EQ(readWholeFile(plain), "content\n");
}

TEST(Expand, PlainCopyExpandsIntoATemporaryFileOnlyWhenNeeded) {
    TempDir dir;
    const std::string plain = dir.write("abcd0010.20o", "plain\n");
    {
        const PlainCopy copy(plain);
        EXPECT_TRUE(copy.ok());
        EXPECT_EQ(copy.path(), plain);
    }
    EXPECT_TRUE(std::filesystem::exists(plain));

    const std::string packed = dir.write("abcd0010.20d.gz", gzipBytes(compactRinex()));
    std::string temporary;
    {
        const PlainCopy copy(packed);
        ASSERT_TRUE(copy.ok()) << copy.error();
        temporary = copy.path();
        EXPECT_NE(temporary, packed);
        EXPECT_TRUE(temporary.ends_with("-abcd0010.20o")) << temporary;
        EXPECT_EQ(readWholeFile(temporary), expectedRinex());
        EXPECT_TRUE(copy.warning().empty());
    }
    EXPECT_FALSE(std::filesystem::exists(temporary));

    const std::string broken = dir.write("broken.20d.Z", "not compressed");
    const PlainCopy failed(broken);
    EXPECT_FALSE(failed.ok());
    EXPECT_NE(failed.error().find(broken), std::string::npos);
    EXPECT_NE(failed.error().find("Input file not in .Z compressed format"), std::string::npos);
}

TEST(Expand, DecompressToolNamesRefusesAndReports) {
    TempDir dir;
    const std::string input = dir.write("abcd0010.20d.gz", gzipBytes(compactRinex()));
    EXPECT_EQ(runTool(input), 0);
    EXPECT_EQ(readWholeFile(dir.path() + "abcd0010.20o"), expectedRinex());
    // An existing output is not replaced unless named with -o.
    const std::string existing = dir.path() + "abcd0010.20o";
    dir.write("abcd0010.20o", "keep me\n");
    EXPECT_EQ(runTool(input), 1);
    EXPECT_EQ(readWholeFile(existing), "keep me\n");
    EXPECT_EQ(runTool(input + " -o " + existing), 0);
    EXPECT_EQ(readWholeFile(existing), expectedRinex());

    const std::string bad = dir.write("bad.20d.Z", "junk");
    EXPECT_EQ(runTool(bad), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "bad.20o"));
    EXPECT_EQ(runTool(dir.write("plain.20o", "x")), 2);
    EXPECT_EQ(runTool("--help"), 0);
    EXPECT_EQ(runTool(""), 2);

    // Skipped epochs are a warning: the output is kept and the exit status is 0.
    const std::string cut = compactRinex().substr(0, compactRinex().size() - 14);  // the data line is missing
    EXPECT_EQ(runTool(dir.write("cut.20d", cut)), 0);
    EXPECT_NE(readWholeFile(dir.path() + "cut.20o").find("*** Some epochs are skipped by CRX2RNX ***"),
              std::string::npos);
}
