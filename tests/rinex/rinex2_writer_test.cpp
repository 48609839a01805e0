// The RINEX 2.10 writer: decimation keeps one epoch per 30-second grid point at its own
// time, the header carries the recording's values, unusable values are left blank, the
// output reads back with the pipeline's reader, and no file is ever replaced.
#include "rinex/rinex2_writer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/time.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "obs_test_text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

const double kDay = MjdFromCivil(2020, 1, 1, 0, 0, 0.0);

double at(double seconds) { return kDay + seconds / 86400.0; }

ReceiverObsRecord record(int prn, double seconds) {
    ReceiverObsRecord r;
    r.epochMjd = at(seconds);
    r.prn = prn;
    r.l1 = 110000000.123 + seconds;
    r.l2 = 85000000.456 + seconds;
    r.c1 = 21000000.789;
    r.p2 = 21000003.5;
    r.s1 = 45.0;
    return r;
}

RinexCopyHeader header(std::vector<RinexCopyType> types = LeicaCopyTypes()) {
    RinexCopyHeader h;
    h.types = std::move(types);
    h.date = "2020-01-02";
    return h;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::vector<double> secondsOf(const std::vector<double>& epochs) {
    std::vector<double> seconds;
    for (double t : epochs) seconds.push_back(std::round((t - kDay) * 86400.0 * 1000.0) / 1000.0);
    return seconds;
}

}  // namespace

TEST(RinexWriter, DecimationKeepsTheEpochNearestEachGridPointAtItsOwnTime) {
    struct Case {
        std::vector<double> seconds;
        double interval_s;
        std::vector<double> written;
    };
    std::vector<double> everySecond, offset, tens;
    for (int s = 0; s <= 95; ++s) everySecond.push_back(s);
    for (int s = 0; s < 4; ++s) offset.push_back(29.9 + 30.0 * s);  // just before each grid point
    for (int s = 0; s < 10; ++s) tens.push_back(5.0 + 10.0 * s);    // half way between at 25 and 35
    const std::vector<Case> cases = {
        {everySecond, 1.0, {0, 30, 60, 90}},
        {offset, 30.0, {29.9, 59.9, 89.9, 119.9}},
        {{1.0, 14.0, 29.0, 31.0, 44.0, 61.0}, 15.0, {1.0, 29.0, 61.0}},
        {tens, 10.0, {5.0, 25.0, 55.0, 85.0}},            // the earlier of two equally near
        {{0, 4.0, 36.0, 64.0}, 0.0, {0.0, 64.0}},         // unknown interval: within 5 s
        {{0, 60, 120, 185}, 60.0, {0, 60, 120, 185}},     // not finer than the grid: all
        {{86399.0, 86400.0, 86401.0}, 1.0, {86400.0}},    // across midnight
    };
    for (const Case& c : cases) {
        std::vector<double> epochs;
        for (double s : c.seconds) epochs.push_back(at(s));
        EXPECT_EQ(secondsOf(DecimatedEpochs(epochs, c.interval_s)), c.written) << c.interval_s;
    }
}

TEST(RinexWriter, OneSecondDataWrittenAtThirtySecondsWithItsHeaderAndLayout) {
    ReceiverObsTable table;
    for (int s = 0; s < 120; ++s) {
        for (int prn = 1; prn <= 13; ++prn) table.add(record(prn, s));
    }
    table.byPrn[40];  // no GPS satellite of the tables: left out
    table.add(record(40, 0.0));
    ReceiverObsRecord& marked = table.byPrn.at(1)[30];
    marked.l1Lli = 3;
    table.byPrn.at(2)[30].l1Lli = 12;   // no digit: blank, counted
    table.byPrn.at(3)[30].l2Lli = 2.5;
    table.byPrn.at(4)[30].p2 = 2.0e10;  // too wide for the field
    TempDir dir;
    const std::string path = dir.path() + "test0010.20o";
    RunLog log;
    ASSERT_EQ(WriteRinexCopyFile(table, header(NovatelCopyTypes()), 1.0, path, log), RinexCopyResult::kWritten);
    EXPECT_TRUE(startsWith(log.messages, path));
    EXPECT_TRUE(contains(log.messages, "\r\nWarning! 1 value(s) too wide for the RINEX fields left blank in " + path));
    EXPECT_TRUE(contains(log.messages, "\r\nWarning! 2 loss-of-lock indicator(s) outside 1-9 left blank in " + path));

    const std::vector<std::string> lines = linesOf(readWholeFile(path));
    const std::vector<std::string> expectedHeader = {
        "     2.10           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE",
        "Velarix             no info             2020-01-02          PGM / RUN BY / DATE",
        "converted to Rinex by the program Velarix developed by      COMMENT",
        "the Velarix developers for ionospheric TEC research         COMMENT",
        "Not available                                               MARKER NAME",
        "unknown             unknown                                 OBSERVER / AGENCY",
        "unknown             unknown             unknown             REC # / TYPE / VERS",
        "Antenna number      Antenna type                            ANT # / TYPE",
        "        0.0000        0.0000        0.0000                  APPROX POSITION XYZ",
        "        0.0000        0.0000        0.0000                  ANTENNA: DELTA H/E/N",
        "     1     1                                                WAVELENGTH FACT L1/2",
        "     8    C1    P2    L1    L2    S1    S2    D1    D2      # / TYPES OF OBSERV",
        "    30.000                                                  INTERVAL",
        "Data interval is decimated to 30 Secs                       COMMENT",
        "  2020     1     1     0     0    0.0000000     GPS         TIME OF FIRST OBS",
        "  2020     1     1     0     1   30.0000000     GPS         TIME OF LAST OBS",
        "                                                            END OF HEADER",
    };
    ASSERT_GT(lines.size(), expectedHeader.size());
    for (std::size_t i = 0; i < expectedHeader.size(); ++i) EXPECT_EQ(lines[i], expectedHeader[i]);
    // Epochs at 0, 30, 60, 90 s; 13 satellites: 12 on the epoch line, one on a continuation.
    const std::size_t epochLines = 2 + 13 * 2;
    ASSERT_EQ(lines.size(), expectedHeader.size() + 4 * epochLines);
    const std::size_t second = expectedHeader.size() + epochLines;
    EXPECT_EQ(lines[second], " 20  1  1  0  0 30.0000000  0 13G 1G 2G 3G 4G 5G 6G 7G 8G 9G10G11G12");
    EXPECT_EQ(lines[second + 1], std::string(32, ' ') + "G13");
    // C1 without an indicator, P2 L1 L2 with theirs (blank for 0), S1; then S2 D1 D2.
    EXPECT_EQ(lines[second + 2], strfmt("%14.3lf  %14.3lf  %14.3lf3 %14.3lf  %14.3lf  ", 21000000.789, 21000003.5,
                                        110000030.123, 85000030.456, 45.0));
    EXPECT_EQ(lines[second + 3], std::string(48, ' '));
    EXPECT_EQ(lines[second + 4].substr(32, 16), " 110000030.123  ") << "12 is no indicator";
    EXPECT_EQ(lines[second + 6].substr(48, 16), "  85000030.456  ") << "2.5 is no indicator";
    EXPECT_EQ(lines[second + 8].substr(16, 16), std::string(16, ' ')) << "too wide: blank";

    // Read back by the pipeline's reader: the grid epochs, every satellite.
    const ObsRead back(path);
    EXPECT_EQ(back.counts.epochs, 4);
    EXPECT_EQ(back.table.bySatellite.size(), 13u);
    EXPECT_EQ(back.record(1, 1).find(obsCodeId("L1P"))->lossOfLock, 3);
}

TEST(RinexWriter, NeverReplacesAFileAndWritesNothingWithoutData) {
    TempDir dir;
    const std::string input = dir.write("test0010.20o", "the input\n");
    ReceiverObsTable table;
    for (int s = 0; s < 90; s += 30) table.add(record(5, s));
    RunLog log;
    EXPECT_EQ(WriteRinexCopyFile(table, header(), 30.0, input, log), RinexCopyResult::kNotWritten);
    EXPECT_EQ(readWholeFile(input), "the input\n");
    EXPECT_TRUE(contains(log.messages, "\r\nError! in writing Rinex o/p file... " + input + " (")) << log.messages;

    ReceiverObsTable empty;
    empty.add(record(40, 0.0));
    EXPECT_EQ(WriteRinexCopyFile(empty, header(), 30.0, dir.path() + "none0010.20o", log), RinexCopyResult::kNoData);
    EXPECT_FALSE(fileExists(dir.path() + "none0010.20o"));

    // The recording's texts, position and antenna deltas go to the header.
    RinexCopyHeader h = header(AshtechCopyTypes());
    h.markerName = "BJFS";
    h.receiverType = "ASHTECH Z-XII3";
    h.approxPosition_m = {-2148744.6531, 4426641.5827, 4044656.5218};
    h.antennaDeltaHen_m = {0.0465, 0.0, 0.0};
    const std::string copy = dir.path() + "copy0010.20o";
    ASSERT_EQ(WriteRinexCopyFile(table, h, 30.0, copy, log), RinexCopyResult::kWritten);
    const std::string text = readWholeFile(copy);
    EXPECT_TRUE(contains(text, "unknown             ASHTECH Z-XII3      unknown             REC # / TYPE / VERS"));
    EXPECT_TRUE(contains(text, " -2148744.6531  4426641.5827  4044656.5218                  APPROX POSITION XYZ"));
    EXPECT_TRUE(contains(text, "        0.0465        0.0000        0.0000                  ANTENNA: DELTA H/E/N"));
    EXPECT_TRUE(contains(text, "    30.000                                                  INTERVAL\n  2020"));
    EXPECT_TRUE(contains(text, "     6    P1    P2    L1    L2    S1    S2"));
}

}  // namespace velarix
