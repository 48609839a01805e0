// Files of one bad line repeated a hundred thousand times: each reader reports the first
// 20 as always, then one line with the count of the rest, and its log stays short.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gnss/checks/ionex_reader.h"
#include "gnss/checks/sp3_reader.h"
#include "gnss/checks/vtec_samples.h"
#include "gnss/s4/s4_file.h"
#include "platform/message_limiter.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

TEST(ReaderFloods, ProductReadersShowTwentyMessagesOfAKindAndCountTheRest) {
    std::string sp3 = readWholeFile(std::string(VELARIX_TEST_DATA) + "/gnss/sp3d_utc_three_satellites.sp3");
    sp3 = sp3.substr(0, sp3.find("EOF"));
    std::string ionex = readWholeFile(std::string(VELARIX_TEST_DATA) + "/gnss/ionex_two_maps.20i");
    ionex = ionex.substr(0, ionex.find(std::string(60, ' ') + "END OF FILE"));
    struct Case {
        std::string name, head, badLine;
        std::function<void(const std::string&, RunLog&)> read;
        const char* firstFormat;  // the first message, with its line number and the path
        std::string kind;
    };
    const std::vector<Case> cases = {
        {"orbits.sp3", sp3, "PG0x garbage\n",
         [](const std::string& path, RunLog& log) {
             Sp3Orbits orbits;
             EXPECT_EQ(ReadSp3File(path, orbits, log), 1);
         },
         "\r\nWarning! SP3 position line not readable, skipped @line# %ld: %s", "position line not readable, skipped"},
        {"maps.20i", ionex, "  what is this line\n",
         [](const std::string& path, RunLog& log) {
             IonexMaps maps;
             EXPECT_EQ(ReadIonexFile(path, maps, log), IonexReadResult::kIncomplete);  // no END OF FILE
             EXPECT_EQ(maps.maps.size(), 2u);
         },
         "\r\nWarning! IONEX line outside a map skipped @line# %ld: %s", "line outside a map skipped"},
        {"lisn.s4", "Jdatet   PRN   S4\n", "garbage\n",
         [](const std::string& path, RunLog& log) {
             S4FileTable table;
             EXPECT_EQ(readS4File(path, table, log), 0);
         },
         "\r\nError! S4 file %2$s: line not readable, skipped @line# %1$ld", "line not readable, skipped"},
        {"tec.tsv", "MJD\televation_deg\tippLatitude_deg\tippLongitude_deg\tverticalTec_TECU\tS4\n", "x\n",
         [](const std::string& path, RunLog& log) {
             std::vector<VtecSample> samples;
             EXPECT_EQ(ReadTecToolTable(path, samples, log), VtecReadResult::kNoSamples);  // no row
         },
         "\r\nWarning! TEC table row not readable, skipped @line# %ld: %s", "row not readable, skipped"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const long repeats = 2'000'000 / static_cast<long>(c.badLine.size());
        std::string text = c.head;
        for (long i = 0; i < repeats; ++i) text += c.badLine;
        const std::string path = dir.write(c.name, text);
        RunLog log;
        c.read(path, log);
        const long firstLine = static_cast<long>(std::count(c.head.begin(), c.head.end(), '\n')) + 1;
        EXPECT_LT(log.messages.size(), 4000u) << c.name;
        EXPECT_TRUE(contains(log.messages, strfmt(c.firstFormat, firstLine, path.c_str()))) << log.messages;
        EXPECT_TRUE(contains(log.messages, strfmt(c.firstFormat, firstLine + 19, path.c_str()))) << c.name;
        EXPECT_FALSE(contains(log.messages, strfmt(c.firstFormat, firstLine + 20, path.c_str()))) << c.name;
        EXPECT_TRUE(contains(log.messages, strfmt("\r\nNote! %ld more such messages in %s were not shown: %s",
                                                  repeats - MessageLimiter::kShownPerKind, path.c_str(),
                                                  c.kind.c_str())))
            << log.messages;
    }
}

}  // namespace velarix
