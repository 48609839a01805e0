// The Bias-SINEX reader on small made-up files and on the CAS and GFZ files of 2024-010;
// the long names and the search for the files that cover a day.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "control/file_search.h"
#include "decompress/plain_copy.h"
#include "geodesy/time.h"
#include "gnss/bias/bias_sinex_reader.h"
#include "gnss/bias/dcb_names.h"
#include "platform/message_limiter.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

// One solution line in the published columns.
std::string solution(const char* kind, const char* svn, const char* prn, const char* station, const char* obs1,
                     const char* obs2, const char* value, const char* unit = "ns") {
    return strfmt(" %-4s %-4s %-3s %-9s %-4s %-4s 2024:010:00000 2024:011:00000 %-4s %21s %11s\n", kind, svn, prn,
                  station, obs1, obs2, unit, value, "0.0100");
}

std::string biasFile(const std::string& lines) {
    return "%=BIA 1.00 TST 24:012:49556   TST 2024:010:00000 2024:011:00000 R 00000010\n"
           "+BIAS/DESCRIPTION\n BIAS_MODE                               RELATIVE\n-BIAS/DESCRIPTION\n"
           "+BIAS/SOLUTION\n"
           "*BIAS SVN_ PRN STATION__ OBS1 OBS2 BIAS_START____ BIAS_END______ UNIT __ESTIMATED_VALUE____ _STD_DEV___\n" +
           lines + "-BIAS/SOLUTION\n%=ENDBIA\n";
}

long count(const std::string& text, const std::string& what) {
    long n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(ReadBiasSinexFile, GpsCodeBiasesBecomeP1p2AndP1c1InCodesSignAndEverythingElseIsSkippedQuietly) {
    const std::string lines =
        solution("DSB", "G063", "G01", "", "C1C", "C1W", "-0.9030") +   // line 7
        solution("DSB", "G063", "G01", "", "C1W", "C2W", "-7.1870") +
        solution("DSB", "G063", "G01", "", "C1C", "C2W", "-9.0000") +   // C1W-C2W wins
        solution("DSB", "G061", "G02", "", "C1C", "C2W", "9.0000") +    // 10: only C1C-C2W and C1C-C1W
        solution("DSB", "G061", "G02", "", "C1C", "C1W", "1.8000") +
        solution("OSB", "G069", "G03", "", "C1C", "", "2.5000") +       // absolute biases
        solution("OSB", "G069", "G03", "", "C1W", "", "3.0000") +
        solution("OSB", "G069", "G03", "", "C2W", "", "-1.0000") +
        solution("DSB", "G074", "G04", "", "C1C", "C2W", "5.0000") +    // 15: no C1C-C1W: no P1-P2
        solution("DSB", "G999", "G33", "", "C1W", "C2W", "1.0000") +    // not a GPS PRN 1-32
        solution("DSB", "R730", "R01", "", "C1C", "C1P", "1.0000") +    // GLONASS
        solution("DSB", "G063", "G01", "", "C1C", "C5Q", "3.2780") +    // an unused pair
        solution("ISB", "R730", "R01", "ABCD", "C1P", "C2P", "15.46") + // an unused kind
        solution("DSB", "G", "G", "abcd00xyz", "C1W", "C2W", "2.5000") + // 20: stations
        solution("DSB", "G", "G", "EFGH", "C1C", "C2W", "0.0190") +
        solution("DSB", "G", "G", "IJKL", "C1C", "C1W", "2.0000") +
        solution("DSB", "G", "G", "IJKL", "C1C", "C2W", "3.5000") +
        " XYZ  G063 G01           C1W  C2W  garbage\n" +                  // 24: malformed
        solution("DSB", "G050", "G05", "", "C1W", "C2W", "1.5e+x") +     // 25: bad number
        solution("DSB", "G050", "G05", "", "C1W", "C2W", "1.0", "cyc") + // 26: not ns
        " DSB  G050 G05           C1W  C2W  2024:010:00000\n" +          // 27: cut short
        solution("DSB", "G048", "G07", "", "C1W", "C2W", "-4.2500");     // read on after them
    TempDir dir;
    DcbTable table;
    table.p1p2[9] = 1.25;  // values of satellites the file does not give stay
    RunLog log;
    BiasSinexCounts counts;
    const std::string path = dir.write("TST0OPSRAP_20240100000_01D_01D_DCB.BIA", biasFile(lines));
    ASSERT_EQ(ReadBiasSinexFile(path, table, log, &counts), BiasSinexStatus::kRead);

    EXPECT_DOUBLE_EQ(table.p1p2[1], -7.187);
    EXPECT_DOUBLE_EQ(table.p1c1[1], 0.903);  // P1-C1 = -(C1C-C1W)
    EXPECT_DOUBLE_EQ(table.p1p2[2], 7.2);    // (C1C-C2W) - (C1C-C1W)
    EXPECT_DOUBLE_EQ(table.p1c1[2], -1.8);
    EXPECT_DOUBLE_EQ(table.p1p2[3], 4.0);    // OSB C1W - OSB C2W
    EXPECT_DOUBLE_EQ(table.p1c1[3], 0.5);
    EXPECT_EQ(table.p1p2[4], 0.0);
    EXPECT_EQ(table.p1p2[5], 0.0);
    EXPECT_DOUBLE_EQ(table.p1p2[7], -4.25);
    EXPECT_EQ(table.p1p2[9], 1.25);
    EXPECT_EQ(table.p1p2[0], 0.0);
    EXPECT_EQ(table.loaded, DcbTable::kP1p2Loaded | DcbTable::kP1c1Loaded);
    EXPECT_TRUE(counts.satellitesP1p2 == 4 && counts.satellitesP1c1 == 3 && counts.stations == 3 &&
                counts.badLines == 4);
    // Stations by their four-character site, in capitals: C1W-C2W, else derived, else C1C-C2W.
    EXPECT_EQ(table.receiverP1p2, (std::map<std::string, double>{{"ABCD", 2.5}, {"EFGH", 0.019}, {"IJKL", 1.5}}));

    // Only the malformed lines are reported, each with its line number.
    EXPECT_EQ(count(log.messages, "@line#"), 4);
    for (const int line : {24, 25, 26, 27}) EXPECT_EQ(count(log.messages, strfmt("@line# %d", line)), 1) << line;
    EXPECT_NE(log.messages.find("Warning! 4 lines of Bias-SINEX file " + path), std::string::npos);
}

TEST(ReadBiasSinexFile, AFloodOfBadLinesIsCappedAndFilesThatGiveNothingAreToldApart) {
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += " DSB  junk\n";
    lines += solution("DSB", "G063", "G01", "", "C1W", "C2W", "-7.1870");
    TempDir dir;
    DcbTable table;
    RunLog log;
    EXPECT_EQ(ReadBiasSinexFile(dir.write("flood.BIA", biasFile(lines)), table, log), BiasSinexStatus::kRead);
    EXPECT_EQ(count(log.messages, "@line#"), MessageLimiter::kShownPerKind);
    EXPECT_NE(log.messages.find("Note! 180 more such messages"), std::string::npos);
    EXPECT_DOUBLE_EQ(table.p1p2[1], -7.187);

    DcbTable none;
    EXPECT_EQ(ReadBiasSinexFile(dir.write("other.BIA", "+BIAS/SOLUTION\n"), none, log),
              BiasSinexStatus::kNotBiasSinex);
    EXPECT_EQ(ReadBiasSinexFile(dir.write("empty.BIA", ""), none, log), BiasSinexStatus::kNotBiasSinex);
    EXPECT_EQ(ReadBiasSinexFile(dir.path() + "missing.BIA", none, log), BiasSinexStatus::kCannotOpen);
    EXPECT_EQ(ReadBiasSinexFile(dir.path(), none, log), BiasSinexStatus::kNotRegularFile);
    const std::string glonassOnly = biasFile(solution("DSB", "R730", "R01", "", "C1C", "C1P", "1.0"));
    EXPECT_EQ(ReadBiasSinexFile(dir.write("glo.BIA", glonassOnly), none, log), BiasSinexStatus::kNoGpsBias);
    EXPECT_EQ(none.loaded, 0);
    EXPECT_NE(BiasSinexProblem("/d/glo.BIA", BiasSinexStatus::kNoGpsBias).find("Error! DCB file /d/glo.BIA"),
              std::string::npos);
}

TEST(BiasSinexNames, LongNamesGiveTheirPeriodAndTheSearchTakesTheFilesCoveringTheDay) {
    const double day010 = MjdFromCivil(2024, 1, 10, 0, 0, 0.0);
    BiasSinexPeriod period;
    ASSERT_TRUE(ParseBiasSinexName("/data/CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz", period));
    EXPECT_TRUE(period.startMjd == day010 && period.endMjd == day010 + 1);
    ASSERT_TRUE(ParseBiasSinexName("COD0OPSFIN_20240010000_01L_01D_DCB.BIA.Z", period));
    EXPECT_TRUE(period.startMjd == day010 - 9 && period.endMjd == day010 + 22);  // January
    ASSERT_TRUE(ParseBiasSinexName("dlr0mgxfin_20233350000_03L_01D_dcb.bsx", period));
    EXPECT_EQ(period.endMjd, MjdFromCivil(2024, 3, 1, 0, 0, 0.0));  // December to February
    ASSERT_TRUE(ParseBiasSinexName("GFZ0MGXRAP_20240101200_12H_01D_DCB.BIA", period));
    EXPECT_DOUBLE_EQ(period.endMjd - period.startMjd, 0.5);
    for (const char* name : {"CAS0OPSRAP_20240100000_01D_01D_DCB.SNX", "CAS0OPSRAP_2024010000_01D_01D_DCB.BIA",
                             "CAS0OPSRAP_20243670000_01D_01D_DCB.BIA", "CAS0OPSRAP_20240100000_01X_01D_DCB.BIA",
                             "CAS0OPSRAP_20240100000_00D_01D_DCB.BIA", "P1P22401.DCB"}) {
        EXPECT_FALSE(ParseBiasSinexName(name, period)) << name;
    }
    EXPECT_EQ(DcbKindOfName("x/GFZ0OPSRAP_20240100000_01D_01D_DCB.BIA.gz"), DcbFileKind::kBiasSinex);

    TempDir dir;
    const std::string content = biasFile(solution("DSB", "G063", "G01", "", "C1W", "C2W", "-7.0"));
    dir.write("COD0OPSFIN_20240010000_01L_01D_DCB.BIA", content);
    dir.write("GFZ0OPSRAP_20240100000_01D_01D_DCB.BIA", content);
    dir.write("CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz", content);
    dir.write("CAS0OPSRAP_20240110000_01D_01D_DCB.BIA", content);  // the next day
    dir.write("GFZ0MGXRAP_20240101200_12H_01D_DCB.BIA", content);  // half the day only
    EXPECT_EQ(findBiasSinexFiles(dir.path(), day010 + 0.4),
              (std::vector<std::string>{dir.path() + "CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz",
                                        dir.path() + "GFZ0OPSRAP_20240100000_01D_01D_DCB.BIA",
                                        dir.path() + "COD0OPSFIN_20240010000_01L_01D_DCB.BIA"}));
    EXPECT_TRUE(findBiasSinexFiles(dir.path(), day010 + 30).empty());
}

TEST(ReadBiasSinexFile, TheCasAndGfzFilesOfOneDayAgreeOnTheSatellites) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    const std::string set6 = shared + "set6_bele_dgar_2024_010/";
    const PlainCopy cas(set6 + "CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz");
    const PlainCopy gfz(set6 + "GFZ0OPSRAP_20240100000_01D_01D_DCB.BIA.gz");
    ASSERT_TRUE(cas.ok() && gfz.ok());
    DcbTable casTable;
    DcbTable gfzTable;
    RunLog log;
    BiasSinexCounts casCounts;
    ASSERT_EQ(ReadBiasSinexFile(cas.path(), casTable, log, &casCounts), BiasSinexStatus::kRead);
    ASSERT_EQ(ReadBiasSinexFile(gfz.path(), gfzTable, log), BiasSinexStatus::kRead);
    EXPECT_EQ(log.messages.find("Error!"), std::string::npos) << log.messages;  // nothing reported
    EXPECT_GE(casCounts.satellitesP1p2, 30);
    EXPECT_GE(casCounts.satellitesP1c1, 30);
    // As printed: G01 C1W-C2W and C1C-C1W; BELE lists only C1C-C2W, DGAR C1C-C1W and C1C-C2W.
    EXPECT_DOUBLE_EQ(casTable.p1p2[1], -7.187);
    EXPECT_DOUBLE_EQ(casTable.p1c1[1], 0.903);
    EXPECT_DOUBLE_EQ(casTable.receiverP1p2.at("BELE"), 0.019);
    EXPECT_DOUBLE_EQ(casTable.receiverP1p2.at("DGAR"), 3.521 - 2.317);
    // Two centres, one day, both with a zero-mean datum: the satellites' P1-P2 (from -8.4
    // to +7.2 ns) agree to 0.75 ns RMS, 1.64 ns at most (G28), without an offset.
    double sum = 0.0;
    double squares = 0.0;
    int both = 0;
    for (int prn = 1; prn <= 32; ++prn) {
        if (casTable.p1p2[prn] == 0.0 || gfzTable.p1p2[prn] == 0.0) continue;
        const double difference = casTable.p1p2[prn] - gfzTable.p1p2[prn];
        EXPECT_LT(std::abs(difference), 1.7) << "G" << prn;
        sum += difference;
        squares += difference * difference;
        ++both;
    }
    ASSERT_EQ(both, 31);
    EXPECT_LT(std::abs(sum / both), 0.05);
    EXPECT_LT(std::sqrt(squares / both), 0.8);
}

}  // namespace velarix
