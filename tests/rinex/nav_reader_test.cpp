// The navigation readers on small synthetic files: record kinds and times of each system,
// and every way a file can be bad.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "geodesy/time.h"
#include "nav_test_text.h"
#include "platform/message_limiter.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

const char* const kDate = "2024 01 10 00 00 00";
const char* const kR2Date = "24  1 10  0  0  0.0";

}  // namespace

TEST(NavReader, GlonassAndSbasNumbersTimesAndChannels) {
    // RINEX 2 GLONASS and SBAS files number their satellites by the header's type.
    // 00:07:31 rounds to 00:15 UTC; the frame time 86000 s of the day lies 23.6 h later and so
    // belongs to the day before; both move by the 18 leap seconds of 2024.
    const NavRead r2 = navText(r2Header("GLONASS NAV DATA") +
                               r2Record(5, "24  1 10  0  7 31.0", {-7.4e-5, 9.1e-13, 86000.0}, glonassOrbit(-4, 1), 3));
    EXPECT_DOUBLE_EQ(r2.table.glonass.at(205).begin()->first, MjdFromCivil(2024, 1, 10, 0, 15, 18.0));
    const GlonassEphemeris& g = r2.glonass(205);
    EXPECT_EQ(g.intervalIndex, 1);
    EXPECT_NEAR(g.frameTimeMjd, MjdFromCivil(2024, 1, 9, 23, 53, 38.0), 1e-9);
    EXPECT_DOUBLE_EQ(g.tauN_s, 7.4e-5);  // the file holds -tauN
    EXPECT_NEAR(g.vy_mps, -580.963134766, 1e-9);
    EXPECT_EQ((std::vector<int>{g.health, g.frequencyChannel, g.ageOfInformation_days}), (std::vector<int>{1, -4, 2}));
    const NavRead sbas = navText(r2Header("H: GEO NAV MSG DATA") +
                                 r2Record(20, "24  1 10  0  1  4.0", {0.0, 0.0, 260000.0}, glonassOrbit(0), 3));
    EXPECT_EQ(sbas.table.sbas.count(120), 1u);

    // RINEX 3 frame times count seconds of the week; 2024-01-10 is day 3 of its week. An epoch
    // at 23:55 rounds into the next day, which in 2017 also brought a leap second. Channels
    // outside -7..13 are dropped (200 and 250 are bytes: -56 and -6).
    std::string r3 = r3Header() +
                     r3Record("R07", "2024 01 10 00 15 00", {0, 0, 3 * 86400.0 + 870}, glonassOrbit(1), 3) +
                     r3Record("R08", "2016 12 31 23 55 00", {}, glonassOrbit(1), 3) +
                     r3Record("R09", "2016 12 31 23 52 00", {}, glonassOrbit(1), 3);
    const std::pair<const char*, double> channels[] = {
        {"R01", 200}, {"R02", 250}, {"R03", 14}, {"R04", -7}, {"R05", 13}};
    for (const auto& [sat, channel] : channels) r3 += r3Record(sat, kDate, {}, glonassOrbit(channel), 3);
    const NavRead read = navText(r3);
    EXPECT_NEAR(read.glonass(207).frameTimeMjd, MjdFromCivil(2024, 1, 10, 0, 14, 48.0), 1e-9);
    EXPECT_DOUBLE_EQ(read.glonass(208).epochMjd, MjdFromCivil(2017, 1, 1, 0, 0, 18.0));
    EXPECT_EQ(read.glonass(208).intervalIndex, 96);
    EXPECT_DOUBLE_EQ(read.glonass(209).epochMjd, MjdFromCivil(2016, 12, 31, 23, 45, 17.0));
    EXPECT_EQ(read.glonass(202).frequencyChannel, -6);
    for (int satNo : {201, 203}) EXPECT_EQ(read.table.glonass.count(satNo), 0u) << satNo;
    EXPECT_EQ(read.report.channelDropped, 2);
    EXPECT_EQ(read.table.recordCount, 6);
}

TEST(NavReader, KeplerAndSbasFieldsAndTimesOfEachSystem) {
    OrbitLines galileo = gpsOrbit();
    galileo[4][1] = 258.0;  // data sources
    OrbitLines beidou = gpsOrbit(259200.0, 940.0, 259100.0);
    beidou[6] = {259100.0, 7.0, 0.0, 0.0};  // transmission time, AODC
    OrbitLines qzss = gpsOrbit();
    qzss[6][1] = 0.0;  // fit interval flag
    const OrbitLines sbas = {
        {{35944.6, 0.001, 1e-6, 63.0}, {22044.14, -0.002, -2e-6, 32767.0}, {-10.0, 0.003, 3e-6, 92.0}}};
    const NavRead read = navText(r3Header() + r3Record("G05", kDate, {1.6e-4, 9.1e-13, 1e-20}, gpsOrbit()) +
                                 r3Record("E11", kDate, {}, galileo) + r3Record("C05", kDate, {}, beidou) +
                                 r3Record("J01", kDate, {}, qzss) + r3Record("J02", kDate, {}, gpsOrbit()) +
                                 r3Record("I05", kDate, {}, gpsOrbit()) +
                                 r3Record("S23", "2020 06 25 00 00 16", {1.5e-8, 2e-12, 345630.0}, sbas, 3));
    ASSERT_EQ(read.table.recordCount, 7) << read.log.messages;
    // Every slot of the orbit lines lands in its own field.
    const KeplerEphemeris& g = read.kepler(5);
    EXPECT_EQ((std::vector<double>{g.af0_s,           g.af1_sps,        g.af2_sps2,     g.crs_m,   g.deltaN_radps,
                                   g.meanAnomaly_rad, g.cuc_rad,        g.eccentricity, g.cus_rad, g.toe_sow,
                                   g.cic_rad,         g.omega0_rad,     g.cis_rad,      g.i0_rad,  g.crc_m,
                                   g.argPerigee_rad,  g.omegaDot_radps, g.idot_radps,   g.tgd_s,   g.fitInterval}),
              (std::vector<double>{1.6e-4, 9.1e-13, 1e-20, 12.5, 4.5e-9, 0.5, 1e-6,    0.01,      2e-6,   259200.0,
                                   3e-8,   -1.7,    4e-8,  0.99, 393.4,  0.9, -8.4e-9, -1.25e-10, 5.1e-9, 4.0}));
    EXPECT_EQ((std::vector<int>{g.systemCode, g.issueOfData, g.codesOnL2, g.week, g.l2PDataFlag, g.accuracyIndex,
                                g.health, g.iodc}),
              (std::vector<int>{kGps, 45, 1, 2296, 0, 1, 0, 46}));
    EXPECT_DOUBLE_EQ(g.semiMajorAxis_m, 5153.6 * 5153.6);
    EXPECT_NEAR(g.transmissionMjd, MjdFromCivil(2024, 1, 9, 22, 0, 18.0), 1e-9);
    EXPECT_EQ(read.kepler(311).codesOnL2, 258);
    // BeiDou: BDT is GPS time - 14 s and its weeks count from 2006-01-01.
    EXPECT_NEAR(read.table.kepler.at(405).begin()->first, MjdFromCivil(2024, 1, 10, 0, 0, 14.0), 1e-10);
    EXPECT_NEAR(read.kepler(405).toeMjd, MjdFromCivil(2024, 1, 10, 0, 0, 14.0), 1e-9);
    EXPECT_EQ(read.kepler(405).iodc, 7);
    EXPECT_DOUBLE_EQ(read.kepler(501).fitInterval, 1.0);  // QZSS fit flag 0, else 2 hours
    EXPECT_DOUBLE_EQ(read.kepler(502).fitInterval, 2.0);
    EXPECT_EQ(read.kepler(605).systemCode, kIrnss);
    // SBAS: metres, and a transmission time in seconds of the week from 2020-06-21.
    const SbasEphemeris& s = read.table.sbas.at(123).begin()->second.at(0);
    EXPECT_NEAR(s.transmissionMjd, MjdFromCivil(2020, 6, 25, 0, 0, 30.0), 1e-9);
    EXPECT_NEAR(s.x_m, 35944600.0, 1e-6);
    EXPECT_EQ((std::vector<int>{s.health, s.accuracyIndex}), (std::vector<int>{63, 15}));

    // Times of ephemeris are brought within half a week of the clock time, both ways.
    const NavRead late = navText(r3Header() + r3Record("G01", "2024 01 13 23 59 44", {}, gpsOrbit(0, 2296, 604000)));
    EXPECT_NEAR(late.kepler(1).toeMjd, MjdFromCivil(2024, 1, 14, 0, 0, 0.0), 1e-9);
    EXPECT_NEAR(late.kepler(1).transmissionMjd, MjdFromCivil(2024, 1, 13, 23, 46, 40.0), 1e-9);
    const NavRead early = navText(r3Header() + r3Record("G01", "2024 01 14 00 00 00", {}, gpsOrbit(0, 2297, 604770)));
    EXPECT_NEAR(early.kepler(1).transmissionMjd, MjdFromCivil(2024, 1, 13, 23, 59, 30.0), 1e-9);
}

TEST(NavReader, RecordsAreAddedNeverReplaced) {
    const std::string date2 = "2024 01 10 02 00 00";
    EphemerisTable table;
    table.satelliteFlags[7] = 1;
    const NavRead read =
        navText(r3Header() + r3Record("G07", date2, {1e-4, 0, 0}, gpsOrbit()) +
                    r3Record("G07", date2, {2e-4, 0, 0}, gpsOrbit()) + r3Record("G07", kDate, {}, gpsOrbit()),
                std::move(table));
    EXPECT_EQ(read.table.satelliteFlags[7], 0);
    EXPECT_EQ(read.table.kepler.at(7).size(), 2u);
    const auto& twoHours = read.table.kepler.at(7).at(MjdFromCivil(2024, 1, 10, 2, 0, 0.0));
    ASSERT_EQ(twoHours.size(), 2u);  // in file order
    EXPECT_DOUBLE_EQ(twoHours[1].af0_s, 2e-4);
    // A second read adds to the maps but restarts the record count.
    const NavRead second = navText(r3Header() + r3Record("G07", kDate, {}, gpsOrbit()), read.table);
    EXPECT_EQ(second.table.recordCount, 1);
    EXPECT_EQ(second.table.kepler.at(7).begin()->second.size(), 2u);
}

TEST(NavReader, BadAndIncompleteRecordsAreReportedWithTheirLine) {
    std::string badOrbit = r3Record("G03", kDate, {}, gpsOrbit());
    badOrbit.replace(badOrbit.find("4.500000000000E-09"), 18, "4.5000000000x0E-09");
    const NavRead read =
        navText(r3Header() + r3Record("G01", "2024 01 10 00 00   ", {}, gpsOrbit()) +  // 3-10: five date fields
                r3Record("G02", kDate, {}, gpsOrbit(), 5) +                            // 11-16: two lines short
                badOrbit +                                                             // 17-24: bad in line 18
                r3Record("G0x", kDate, {}, gpsOrbit()) +                               // 25-32: bad identifier
                r3Record("G04", "2024 13 10 00 00 00", {}, gpsOrbit()) +               // 33-40: month 13
                r3Record("G05", kDate, {}, gpsOrbit()) +                               // 41-48
                r3Record("G06", kDate, {}, gpsOrbit(), 4));                            // 49-53: cut
    EXPECT_EQ(read.table.kepler.count(5), 1u);
    EXPECT_EQ(read.table.recordCount, 1);
    EXPECT_EQ(read.report.badRecords, 6);
    EXPECT_EQ(read.report.status, 5);  // orbit line 5 is missing
    EXPECT_EQ(read.log.messages,
              "\r\nNavR3-exception bad data format @line#:3\r\n"
              "\r\nNavR3-exception bad data format @line#:11\r\n"
              "\r\nNavR3-exception bad data format @line#:18\r\n"
              "\r\nNavR3-exception bad data format @line#:25\r\n"
              "\r\nNavR3-exception bad data format @line#:33\r\n"
              " NavR3-file last record incomplete @line#53");
    // A short non-blank line ends the read with status 2.
    const NavRead cut = navText(r3Header() + r3Record("G01", kDate, {}, gpsOrbit()) + "G02 2024 01 10\n" +
                                r3Record("G03", kDate, {}, gpsOrbit()));
    EXPECT_EQ(cut.report.status, 2);
    EXPECT_EQ(cut.table.recordCount, 1);
    EXPECT_TRUE(contains(cut.log.messages, "@line#:11")) << cut.log.messages;
}

TEST(NavReader, HarmlessLinesAndSkippedKinds) {
    const std::string date = "2020 06 24 23 15 00";
    OrbitLines glonass = glonassOrbit(1);  // RINEX 3.05 GLONASS records carry a fourth orbit line
    glonass[3] = {0.0, 0.999999999999e9, 15.0, 0.0};
    // Header labels are read from column 61 only: a comment may name one.
    const std::string text =
        navHeaderLine("     3.04           N: GNSS NAV DATA    M: MIXED", "RINEX VERSION / TYPE") +
        navHeaderLine("a comment naming END OF HEADER", "COMMENT") +
        navHeaderLine("GPSA   2.2352D-08  0.0000D+00 -5.9605D-08  1.1921D-07", "IONOSPHERIC CORR") + navEnd() +
        "\n   \n" + r3Record("R01", date, {}, glonass, 4) + "\n" + r3Record("G01", date, {}, gpsOrbit()) +
        r3Record("R02", date, {}, glonass, 4);
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& variant : {text, crlf}) {
        const NavRead read = navText(variant);
        EXPECT_EQ(read.result + read.report.status, 0);
        EXPECT_EQ(read.table.recordCount, 3) << read.log.messages;
        EXPECT_EQ(read.log.messages, "");
        EXPECT_DOUBLE_EQ(read.header.gpsAlpha.value[3], 1.1921e-07);
    }
    // RINEX 4: only the EPH records laid out as in RINEX 3; unknown letters and Transit have no kind.
    const std::string orbitLine = "    1.000000000000E+00\n";
    const NavRead rinex4 = navText(
        navHeaderLine("     4.00           N: GNSS NAV DATA    M: MIXED", "RINEX VERSION / TYPE") + navEnd() +
        "> EPH G01 LNAV\n" + r3Record("G01", date, {1e-4, 0, 0}, gpsOrbit()) + "> EPH G01 CNAV\n" +
        r3Record("G01", date, {2e-4, 0, 0}, gpsOrbit()) + orbitLine + "> STO G01 LNAV\n    2022 01 01 00 00 00 GPUT\n" +
        orbitLine + "> ION G01 LNAV\n    2022 01 01 00 00 00\n" + orbitLine + "> EPH R05 FDMA\n" +
        r3Record("R05", date, {}, glonassOrbit(1), 4) + "> EPH E11 INAV\n" + r3Record("E11", date, {}, gpsOrbit()));
    EXPECT_EQ(rinex4.table.recordCount, 3) << rinex4.log.messages;
    EXPECT_DOUBLE_EQ(rinex4.kepler(1).af0_s, 1e-4);
    EXPECT_EQ(rinex4.table.glonass.count(205) + rinex4.table.kepler.count(311), 2u);
    const NavRead others =
        navText(r3Header() + r3Record("X01", date, {}, gpsOrbit()) + r3Record("T02", date, {}, gpsOrbit()));
    EXPECT_EQ(others.table.recordCount, 0);
    EXPECT_TRUE(contains(others.log.messages, "\r\nInfo! 2 nav. record(s) of other systems or kinds skipped"));
}

TEST(NavReader, FilesThatAreNoNavigationFiles) {
    const NavRead missing("/nonexistent/brdc0010.20n");
    EXPECT_EQ(missing.result, -1);
    EXPECT_EQ(missing.log.messages, "\r\nCan't open Nav. file: /nonexistent/brdc0010.20n");
    const std::string version = "     3.04           N: GNSS NAV DATA    M: MIXED";
    const std::pair<std::string, const char*> refused[] = {
        {navHeaderLine(version, "RINEX VERSION / TYPE"), "without END OF HEADER @line# 1"},
        {navHeaderLine("     5.00" + version.substr(9), "RINEX VERSION / TYPE") + navEnd(),
         "unsupported RINEX version 5.00"},
        {"", ""}};
    for (const auto& [text, message] : refused) {
        const NavRead read = navText(text);
        EXPECT_EQ(read.result, -2) << message;
        EXPECT_TRUE(contains(read.log.messages, message)) << read.log.messages;
    }
}

TEST(NavReader, HostileInputEndsInReportsNotInFaults) {
    std::string nulLine = r3Record("G02", kDate, {}, gpsOrbit());
    nulLine[10] = '\0';
    const NavRead read = navText(r3Header() + r3Record("G01", kDate, {}, gpsOrbit(259200.0, 1e300, 1e300)) +
                                 r3Record("R01", kDate, {}, glonassOrbit(1e300), 3) +  // channel far out
                                 nulLine + std::string(10000, 'G') + "\n" + r3Record("G03", kDate, {}, gpsOrbit()));
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.kepler(1).week, 2147483647);
    EXPECT_EQ(read.table.glonass.count(201), 0u);
    EXPECT_EQ(read.table.kepler.count(2), 0u);  // NUL in the date
    EXPECT_EQ(read.table.kepler.count(3), 1u);  // the 10000-character line is cut to 90 and read as an epoch line
    EXPECT_EQ(read.report.badRecords, 2) << read.log.messages;
    std::string noise;
    for (int i = 0; i < 5000; ++i) noise += static_cast<char>((i * 7919) % 256);
    EXPECT_EQ(navText(noise).result, -2);
    EXPECT_EQ(navText(r3Header() + noise).result, 0);
}

TEST(EphemerisTable, HasEphemerisLooksInThePartOfTheSatellitesSystem) {
    EphemerisTable table;
    for (int satNo : {5, 405, 705}) table.kepler[satNo][60000.0].push_back(KeplerEphemeris{});
    table.glonass[205][60000.0].push_back(GlonassEphemeris{});
    table.sbas[120][60000.0].push_back(SbasEphemeris{});
    for (int satNo : {5, 405, 205, 120}) EXPECT_EQ(HasEphemeris(table, satNo), 1) << satNo;
    for (int satNo : {6, 305, 705, -1, 905}) EXPECT_EQ(HasEphemeris(table, satNo), 0) << satNo;  // 705: Transit
    PreciseOrbitSource precise{false, [](int satNo) { return satNo == 6; }};
    EXPECT_EQ(HasEphemeris(table, 6, &precise), 0);  // counts only when active
    precise.active = true;
    EXPECT_EQ(HasEphemeris(table, 6, &precise) + HasEphemeris(table, 5, &precise), 2);  // the broadcast table too
}

TEST(GpsNavR2, FirstRecordOfEachPrnUpTo32AndEveryBadLineReported) {
    const GpsRead read = gpsText(r2Header() + r2Record(3, kR2Date, {1e-4, 0, 0}, gpsOrbit()) +
                                 r2Record(3, "24  1 10  2  0  0.0", {2e-4, 0, 0}, gpsOrbit(266400.0)) +
                                 r2Record(5, kR2Date, {}, gpsOrbit()) + r2Record(33, kR2Date, {}, gpsOrbit()) +
                                 r2Record(6, kR2Date, {}, gpsOrbit()));
    EXPECT_EQ(read.log.messages, "\r\n Error PRN in Nav. file: prn= 33");  // which ends the read
    EXPECT_DOUBLE_EQ(read.table.byPrn.at(3).af0_s, 1e-4);
    EXPECT_NEAR(read.table.byPrn.at(3).toeMjd, MjdFromCivil(2024, 1, 10, 0, 0, 0.0), 1e-9);
    EXPECT_EQ(read.table.byPrn.size(), 2u);
    EXPECT_EQ((std::vector<int>{read.table.prnStored[5], read.table.prnStored[6]}), (std::vector<int>{1, 0}));

    // Header 1-2, PRN 5 at 3-10, PRN 6 at 11-17 (one orbit line short), PRN 7 at 18-25 with a
    // bad value in line 21, PRN 0 at 26-33, PRN 8 at 34-41, PRN 9 cut after two orbit lines (42-44).
    std::string badValue = r2Record(7, kR2Date, {}, gpsOrbit());
    badValue.replace(badValue.find("2.592000000000E+05"), 18, "2.59200000000?E+05");
    const GpsRead bad =
        gpsText(r2Header() + r2Record(5, kR2Date, {}, gpsOrbit()) + r2Record(6, kR2Date, {}, gpsOrbit(), 6) + badValue +
                r2Record(0, kR2Date, {}, gpsOrbit()) + r2Record(8, kR2Date, {}, gpsOrbit()) +
                r2Record(9, kR2Date, {}, gpsOrbit(), 2));
    EXPECT_EQ(bad.result, 0);
    EXPECT_EQ(bad.log.messages,
              "\r\n error in GetBroadCastOrbit at line18"
              "\r\n error in GetBroadCastOrbit at line21"
              "\r\nNavFile-exception: Badly formatted line @line# 26"
              "\r\n Nav-file last record incomplete @line= 44");
    EXPECT_EQ(bad.table.readStatus, 3);
    EXPECT_EQ(bad.table.byPrn.size(), 2u);  // 5 and 8

    const GpsRead missing("/nonexistent/brdc0010.20n");
    EXPECT_EQ(missing.result, -1);
    EXPECT_EQ(missing.log.messages, "\r\nCan't open Nav. file: /nonexistent/brdc0010.20n");
    EXPECT_EQ(gpsText(r2Header("GLONASS NAV DATA")).result, -2);
    EXPECT_EQ(gpsText(r3Header("G: GPS")).result, -2);
}

TEST(NavReader, FloodsOfBadLinesLeaveAShortLog) {
    // About 2 MB of one fault: the first 20 messages, then one line with the count of the rest.
    const std::string badEpoch = "G0x 2024 01 10 00 00 00" + std::string(60, '0') + "\n";  // 84 characters
    const std::string badHeader = navHeaderLine("GPSA   x.1e-07", "IONOSPHERIC CORR");
    const std::string badR2 = "xx garbage where an epoch line belongs\n";
    const long repeats = 2'000'000 / static_cast<long>(badEpoch.size());
    std::string records = r3Header(), header = r3Header().substr(0, 81), gps = r2Header();
    for (long i = 0; i < repeats; ++i) {
        records += badEpoch;
        header += badHeader;
        gps += badR2;
    }
    struct Case {
        std::string path, firstMessage, twentieth, kind;
    };
    TempDir dir;
    const std::vector<Case> cases = {
        {dir.write("records.rnx", records), "\r\nNavR3-exception bad data format @line#:3\r\n", "@line#:22\r\n",
         "NavR3-exception bad data format"},
        {dir.write("header.rnx", header), "\r\nWarning! unreadable value in nav. header @line# 2: ", "@line# 21: ",
         "Warning! unreadable value in nav. header"},
        {dir.write("brdc0100.24n", gps), "\r\nNavFile-exception: Badly formatted line @line# 3", "@line# 22\r\n",
         "NavFile-exception: Badly formatted line"},
    };
    std::array<RunLog, 3> logs;
    NavHeader navHeader;
    for (int i = 0; i < 2; ++i) {
        EphemerisTable table;
        (void)readNavigationFile(cases[i].path, table, navHeader, logs[i]);  // the logs are what is compared
    }
    GpsBroadcastTable gpsTable;
    EXPECT_EQ(readGpsNavigationR2(cases[2].path, gpsTable, navHeader, logs[2]), NavReadResult::kRead);
    for (int i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        const std::string& log = logs[i].messages;
        EXPECT_LT(log.size(), 4000u) << c.path;
        EXPECT_TRUE(contains(log, c.firstMessage)) << log;
        EXPECT_TRUE(contains(log, c.twentieth)) << log;
        EXPECT_TRUE(contains(log, strfmt("\r\nNote! %ld more such messages in %s were not shown: %s",
                                         repeats - MessageLimiter::kShownPerKind, c.path.c_str(), c.kind.c_str())))
            << log;
    }
    EXPECT_TRUE(contains(logs[1].messages, "without END OF HEADER"));
}

}  // namespace velarix
