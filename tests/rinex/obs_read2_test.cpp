// The RINEX 2 reader of command files: GPS only, satellites without the observables for
// TEC discarded and counted, the limits as checks, and the same observations as the
// pipeline's reader on a real day.
#include "rinex/obs_read2.h"

#include <gtest/gtest.h>

#include "obs_test_text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

const std::string kExample = std::string(VELARIX_SOURCE_DIR) + "/examples/bjfs0010.20o";
const std::vector<std::string> kTypes = {"L1", "L2", "C1", "P2", "S1", "LA"};

struct Read2 {
    ReceiverObsTable table;
    RunLog log;
    ObsRead2Result result;

    explicit Read2(const std::string& path) : result(OBS_read2(path, table, log)) {}
    bool logHas(std::string_view text) const { return log.messages.find(text) != std::string::npos; }
};

Read2 read2Text(const std::string& text, const std::string& name = "test0010.24o") {
    TempDir dir;
    return Read2(dir.write(name, text));
}

std::string satellite(double l1, double l2, double c1, double p2) { return rinex2Data({l1, l2, c1, p2, 45.0, 0.0}); }

}  // namespace

TEST(ObsRead2, KeepsGpsOnlyAndCountsSatellitesWithoutTheirObservables) {
    const std::string text =
        rinex2Header(kTypes) +
        // G05 complete, R07 (GLONASS) read past, G08 without L2: a discarded data point.
        rinex2Epoch(0, 0, 0.0, 0, {"G05", "R07", "G08"}) + satellite(1.0e8, 8.0e7, 2.1e7, 2.1e7 + 3.0) +
        satellite(1.1e8, 9.0e7, 2.2e7, 2.2e7) + satellite(1.2e8, 0.0, 2.3e7, 2.3e7) +
        // A blank system letter is GPS.
        rinex2Epoch(0, 0, 30.0, 0, {"  5", "G08"}) + satellite(1.0e8 + 1, 8.0e7 + 1, 2.1e7, 2.1e7 + 3.0) +
        satellite(1.2e8, 9.0e7, 2.3e7, 2.3e7);
    const Read2 read = read2Text(text);
    EXPECT_EQ(read.result.endCode, kObsRead2Done);
    EXPECT_EQ(read.result.stored, 3);
    EXPECT_EQ(read.result.discarded, 1);
    EXPECT_EQ(read.table.prns, (std::vector<int>{5, 8}));
    ASSERT_EQ(read.table.byPrn.at(5).size(), 2u);
    EXPECT_EQ(read.table.byPrn.at(8).size(), 1u);
    const ReceiverObsRecord& first = read.table.byPrn.at(5).front();
    EXPECT_EQ(first.l1, 1.0e8);
    EXPECT_EQ(first.l2, 8.0e7);
    EXPECT_EQ(first.c1, 2.1e7);
    EXPECT_EQ(first.p2, 2.1e7 + 3.0);
    EXPECT_EQ(first.s1, 45.0);
    EXPECT_EQ(first.p1, 0.0);
    EXPECT_NEAR((read.table.byPrn.at(5).back().epochMjd - first.epochMjd) * 86400.0, 30.0, 1e-6);
    EXPECT_TRUE(read.logHas("\r\nNote! No. of discarded data points (missing PRN observations):  1 (25.00%)"));
    EXPECT_TRUE(read.logHas("\r\nRinex read done (eof=0), PRNs read --> 2"));
    // The unknown type is named as such.
    EXPECT_TRUE(read.logHas(" LA (Unknown or Invalid, unknown)"));
    EXPECT_TRUE(read.logHas(" C1 (C/A-code pseudorange, meters)"));
    EXPECT_EQ(read.table.recording.markerName, "TEST");
    EXPECT_EQ(read.table.recording.approxPosition_m[0], -2148744.6531);
}

TEST(ObsRead2, RefusalsAndHeaderRules) {
    struct Case {
        std::string text;
        std::string name;
        int endCode;
        std::string message;
    };
    const std::string epoch = rinex2Epoch(0, 0, 0.0, 0, {"G05"}) + satellite(1.0e8, 8.0e7, 2.1e7, 2.1e7);
    // 31 types on four lines.
    std::string many = rinex2Header(kTypes);
    std::string typeLines = headerLine("    31    L1    L2    C1    P2    S1    S2    D1    D2    S1", "# / TYPES OF OBSERV");
    for (int line = 0; line < 2; ++line) {
        typeLines += headerLine("          S1    S1    S1    S1    S1    S1    S1    S1    S1", "# / TYPES OF OBSERV");
    }
    typeLines += headerLine("          S1    S1    S1    S1", "# / TYPES OF OBSERV");
    const std::size_t typesAt = many.find("     6    L1");
    many.replace(typesAt, many.find('\n', typesAt) + 1 - typesAt, typeLines);
    const std::vector<Case> cases = {
        // A Compact RINEX file not yet expanded.
        {rinex2Header(kTypes) + epoch, "test0010.24d", kObsRead2NotObservationName,
         "\r\nThis isn't a Rinex Observation file: "},
        {rinex2Header(kTypes), "test0010.24o", kObsRead2Done, "\r\nRinex read done (eof=0), PRNs read --> 0"},
        {rinex2Header(kTypes).substr(0, 200), "test0010.24o", kObsRead2HeaderIncomplete,
         "\r\nError! incomplete header... end of file.."},
        {many + epoch, "test0010.24o", kObsRead2TooManyTypes,
         "\r\nError! No. of observables exceeded the limit.. program needs modification! @Obs. data read "},
        {rinex2Header({"L1", "L2", "C1"}) + epoch, "test0010.24o", kObsRead2MissingObservables,
         "\r\nError! @OBS_read2: one or more of Required observable(s) P1/C1,P2/C2,L1,L2 missing!"},
        {rinex2Header({"L1", "L2", "C1", "C2"}) + epoch, "test0010.24o", kObsRead2Done,
         "\r\nWarning! @OBS_read2: Both P1 & P2 observables absent\r\nUsing C1,C2, L1,L2 for deriving TEC."},
        {rinex3Header({"G    4 C1C L1C C2W L2W"}), "test0010.24o", kObsRead2NotRinex2,
         "\r\nError! @OBS_read2: not a RINEX 2 observation file: "},
    };
    for (const Case& c : cases) {
        const Read2 read = read2Text(c.text, c.name);
        EXPECT_EQ(read.result.endCode, c.endCode) << c.message;
        EXPECT_TRUE(read.logHas(c.message)) << read.log.messages;
    }
    RunLog log;
    ReceiverObsTable table;
    EXPECT_EQ(OBS_read2("/nonexistent/none0010.24o", table, log).endCode, kObsRead2CannotOpen);
    EXPECT_TRUE(contains(log.messages, "\r\nCan't open observation input file /nonexistent/none0010.24o"));
}

TEST(ObsRead2, LimitsAreChecksThatSkipWithAMessage) {
    // 51 satellites at one epoch: the epoch's lines are skipped and the next epoch read.
    std::vector<std::string> crowd;
    std::string crowdData;
    for (int i = 0; i < 51; ++i) {
        crowd.push_back(strfmt("G%02d", i % 32 + 1));
        crowdData += satellite(1.0e8, 8.0e7, 2.1e7, 2.1e7);
    }
    const std::string text =
        rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, crowd) + crowdData +
        // PRN 33 and 0 are no GPS satellites of the tables: skipped with a message.
        rinex2Epoch(0, 0, 30.0, 0, {"G33", "G00", "G07"}) + satellite(1.0e8, 8.0e7, 2.1e7, 2.1e7) +
        satellite(1.0e8, 8.0e7, 2.1e7, 2.1e7) + satellite(1.0e8, 8.0e7, 2.1e7, 2.1e7) +
        // A line over 90 characters is cut and reported.
        rinex2Epoch(0, 1, 0.0, 0, {"G07"}) + std::string(95, ' ') + "\n" + "     45.000\n" +
        headerLine("TEST", "MARKER NAME");
    const Read2 read = read2Text(text);
    EXPECT_TRUE(read.logHas("\r\nError! No. of satellites at epoch line are greater than limit! Obs@line# "))
        << read.log.messages;
    EXPECT_TRUE(read.logHas("\r\nError! GPS PRN outside 1-32, its observations skipped @line# "));
    EXPECT_TRUE(read.logHas("\r\nError! @OBS_read: length of line exceeding 90 chars @line "));
    EXPECT_EQ(read.table.prns, std::vector<int>{7});
    EXPECT_EQ(read.table.byPrn.at(7).size(), 1u);
    // No sub-header notes in this reader: the header line is a bad epoch line.
    EXPECT_TRUE(read.logHas("\r\nError! Bad epoch line.. @Obs.data at line# "));

    // In the header, a wavelength line listing satellite 0 is reported; 1500 characters
    // of one line are read and the line's length is named.
    std::string header = rinex2Header(kTypes);
    const std::string wavelength = headerLine("     1     1", "WAVELENGTH FACT L1/2") +
                                   headerLine("     1     2     2   G 0   G12", "WAVELENGTH FACT L1/2");
    header.insert(header.find("     6    L1"), wavelength + std::string(85, 'x') + "COMMENT\n");
    const Read2 zero = read2Text(header);
    EXPECT_TRUE(zero.logHas("\r\nError! PRN is 0 in header-WaveFact, in header at line 10")) << zero.log.messages;
    EXPECT_TRUE(zero.logHas("\r\nError! invalid line length not in 0 - 80.. \r\n"));
}

TEST(ObsRead2, TheExampleDayGivesTheGpsObservationsOfThePipelinesReader) {
    const Read2 read(kExample);
    ASSERT_EQ(read.result.endCode, kObsRead2Done) << read.log.messages;
    EXPECT_EQ(read.table.prns.size(), 30u);
    EXPECT_TRUE(read.logHas("missing PRN observations):  278 (1.03%)"));
    // The pipeline's reader keeps the same GPS satellites at the same epochs (it discards
    // the same incomplete ones), with the same values; it keeps the GLONASS ones too.
    const ObsRead full(kExample);
    EXPECT_EQ(full.records(201), 283u);
    long records = 0;
    for (const auto& [satNo, epochs] : full.table.bySatellite) {
        if (!isGpsPrn(satNo)) continue;
        const std::vector<ReceiverObsRecord>& mine = read.table.byPrn.at(satNo);
        ASSERT_EQ(mine.size(), epochs.size()) << satNo;
        const int l2 = obsCodeId("L2P"), c1 = obsCodeId("C1C"), s2 = obsCodeId("S2P");
        for (std::size_t i = 0; i < mine.size(); ++i) {
            EXPECT_EQ(mine[i].epochMjd, epochs[i].epochMjd);
            EXPECT_EQ(mine[i].l2, epochs[i].value(l2));
            EXPECT_EQ(mine[i].c1, epochs[i].value(c1));
            EXPECT_EQ(mine[i].s2, epochs[i].value(s2));
        }
        records += static_cast<long>(mine.size());
    }
    EXPECT_EQ(records, read.result.stored);
    EXPECT_EQ(read.table.recording.receiverType, "TRIMBLE NETR9");
    EXPECT_TRUE(read.table.recording.antennaDeltaGiven);
    EXPECT_EQ(read.table.recording.antennaDeltaHen_m[0], 0.0465);
}

}  // namespace velarix
