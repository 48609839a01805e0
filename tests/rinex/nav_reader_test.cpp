#include "rinex/nav_reader.h"

#include <gtest/gtest.h>

#include "gnss/time.h"
#include "nav_test_text.h"
#include "platform/run_log.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace {

struct NavRead {
    int result = 0;
    EphemerisTable table;
    NavHeader header;
    RunLog log;
    NavReadReport report;
};

NavRead readNavText(const std::string& text, EphemerisTable table = {}) {
    TempDir dir;
    NavRead read;
    read.table = std::move(table);
    read.result = readNavigationFile(dir.write("test.nav", text), read.table, read.header, read.log, &read.report);
    return read;
}

constexpr double kSecond = 1.0 / 86400.0;

}  // namespace

TEST(NavReader, GlonassSatellitesAreNumberedFromTheHeaderTypeOrTheirLetter) {
    const NavRead r2 = readNavText(r2Header("GLONASS NAV DATA") +
                                   r2Record(5, "24  1 10  0 15  0.0", {1e-4, 0.0, 0.0}, glonassOrbit(1.0), 3));
    ASSERT_EQ(r2.result, 0) << r2.log.messages;
    ASSERT_EQ(r2.table.glonass.count(205), 1u);
    EXPECT_TRUE(r2.table.kepler.empty());

    const NavRead r3 =
        readNavText(r3Header() + r3Record("R05", "2024 01 10 00 15 00", {1e-4, 0.0, 0.0}, glonassOrbit(1.0), 3));
    ASSERT_EQ(r3.table.glonass.count(205), 1u);
    EXPECT_EQ(r3.table.glonass.at(205).begin()->second[0].systemCode, kGlonass);

    // RINEX 2 SBAS files number their satellites PRN - 100 as well.
    const NavRead sbas = readNavText(r2Header("H: GEO NAV MSG DATA") +
                                     r2Record(20, "24  1 10  0  1  4.0", {0.0, 0.0, 260000.0}, glonassOrbit(0.0), 3));
    EXPECT_EQ(sbas.table.sbas.count(120), 1u);
}

TEST(NavReader, GlonassRecordsAreRoundedToQuarterHoursInGpsTime) {
    // 00:07:31 rounds to 00:15 UTC; the frame time 86000 s of the day lies 23.6 h later
    // and so belongs to the day before; both move by the 18 leap seconds of 2024.
    const NavRead read =
        readNavText(r2Header("GLONASS NAV DATA") +
                    r2Record(5, "24  1 10  0  7 31.0", {-7.4e-5, 9.1e-13, 86000.0}, glonassOrbit(-4.0, 1.0), 3));
    ASSERT_EQ(read.table.recordCount, 1);
    const GlonassEphemeris& g = read.table.glonass.at(205).begin()->second.at(0);
    EXPECT_DOUBLE_EQ(read.table.glonass.at(205).begin()->first, MjdFromCivil(2024, 1, 10, 0, 15, 18.0));
    EXPECT_DOUBLE_EQ(g.epochMjd, MjdFromCivil(2024, 1, 10, 0, 15, 18.0));
    EXPECT_EQ(g.intervalIndex, 1);
    EXPECT_NEAR(g.frameTimeMjd, MjdFromCivil(2024, 1, 9, 23, 53, 38.0), 1e-9);
    EXPECT_DOUBLE_EQ(g.tauN_s, 7.4e-5);  // the file holds -tauN
    EXPECT_DOUBLE_EQ(g.gammaN, 9.1e-13);
    EXPECT_NEAR(g.x_m, 14181673.3398, 1e-6);
    EXPECT_NEAR(g.vy_mps, -580.963134766, 1e-9);
    EXPECT_NEAR(g.az_mps2, 3.72529029846e-06, 1e-18);
    EXPECT_EQ(g.health, 1);
    EXPECT_EQ(g.frequencyChannel, -4);
    EXPECT_EQ(g.ageOfInformation_days, 2);

    // RINEX 3 frame times count seconds of the week; 2024-01-10 is day 3 of its week.
    // An epoch at 23:55 rounds into the next day, which in 2017 also brought a leap second.
    const NavRead r3 = readNavText(
        r3Header() + r3Record("R07", "2024 01 10 00 15 00", {0.0, 0.0, 3 * 86400.0 + 870.0}, glonassOrbit(1.0), 3) +
        r3Record("R08", "2016 12 31 23 55 00", {0.0, 0.0, 0.0}, glonassOrbit(1.0), 3) +
        r3Record("R09", "2016 12 31 23 52 00", {0.0, 0.0, 0.0}, glonassOrbit(1.0), 3));
    EXPECT_NEAR(r3.table.glonass.at(207).begin()->second[0].frameTimeMjd, MjdFromCivil(2024, 1, 10, 0, 14, 48.0), 1e-9);
    const GlonassEphemeris& newYear = r3.table.glonass.at(208).begin()->second[0];
    EXPECT_DOUBLE_EQ(newYear.epochMjd, MjdFromCivil(2017, 1, 1, 0, 0, 18.0));
    EXPECT_EQ(newYear.intervalIndex, 96);
    EXPECT_DOUBLE_EQ(r3.table.glonass.at(209).begin()->second[0].epochMjd, MjdFromCivil(2016, 12, 31, 23, 45, 17.0));
}

TEST(NavReader, GlonassChannelsOutsideTheBandAreDropped) {
    const std::string date = "2024 01 10 00 15 00";
    const NavRead read = readNavText(r3Header() + r3Record("R01", date, {}, glonassOrbit(200.0), 3) +  // -56
                                     r3Record("R02", date, {}, glonassOrbit(250.0), 3) +               // -6
                                     r3Record("R03", date, {}, glonassOrbit(14.0), 3) +
                                     r3Record("R04", date, {}, glonassOrbit(-7.0), 3) +
                                     r3Record("R05", date, {}, glonassOrbit(13.0), 3));
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.table.glonass.count(201), 0u);
    EXPECT_EQ(read.table.glonass.at(202).begin()->second[0].frequencyChannel, -6);
    EXPECT_EQ(read.table.glonass.count(203), 0u);
    EXPECT_EQ(read.table.glonass.count(204), 1u);
    EXPECT_EQ(read.table.glonass.count(205), 1u);
    EXPECT_EQ(read.report.channelDropped, 2);
    EXPECT_EQ(read.table.recordCount, 3);
}

TEST(NavReader, RecordsOfOneEpochAreAllKeptInFileOrder) {
    const std::string date = "2024 01 10 02 00 00";
    const NavRead read = readNavText(r3Header() + r3Record("G07", date, {1e-4, 0.0, 0.0}, gpsOrbit()) +
                                     r3Record("G07", date, {2e-4, 0.0, 0.0}, gpsOrbit()) +
                                     r3Record("G07", "2024 01 10 00 00 00", {3e-4, 0.0, 0.0}, gpsOrbit()));
    ASSERT_EQ(read.table.kepler.count(7), 1u);
    const auto& byEpoch = read.table.kepler.at(7);
    ASSERT_EQ(byEpoch.size(), 2u);
    EXPECT_DOUBLE_EQ(byEpoch.begin()->first, MjdFromCivil(2024, 1, 10, 0, 0, 0.0));
    const auto& twoHours = byEpoch.at(MjdFromCivil(2024, 1, 10, 2, 0, 0.0));
    ASSERT_EQ(twoHours.size(), 2u);
    EXPECT_DOUBLE_EQ(twoHours[0].af0_s, 1e-4);
    EXPECT_DOUBLE_EQ(twoHours[1].af0_s, 2e-4);
    EXPECT_EQ(read.table.recordCount, 3);
}

TEST(NavReader, KeplerTimesAreBroughtWithinHalfAWeekOfTheClockTime) {
    // Saturday 23:59:44 of GPS week 2296; the time of ephemeris 0 s belongs to week 2297
    // although the record gives week 2296.
    const NavRead late =
        readNavText(r3Header() + r3Record("G01", "2024 01 13 23 59 44", {}, gpsOrbit(0.0, 2296.0, 604000.0)));
    const KeplerEphemeris& k = late.table.kepler.at(1).begin()->second[0];
    EXPECT_DOUBLE_EQ(k.tocMjd, MjdFromCivil(2024, 1, 13, 23, 59, 44.0));
    EXPECT_NEAR(k.toeMjd, MjdFromCivil(2024, 1, 14, 0, 0, 0.0), 1e-9);
    EXPECT_NEAR(k.transmissionMjd, MjdFromCivil(2024, 1, 13, 23, 46, 40.0), 1e-9);
    EXPECT_EQ(k.week, 2296);
    EXPECT_DOUBLE_EQ(k.toe_sow, 0.0);

    // The other way: a message sent late in week 2296 that carries week 2297.
    const NavRead early =
        readNavText(r3Header() + r3Record("G01", "2024 01 14 00 00 00", {}, gpsOrbit(0.0, 2297.0, 604770.0)));
    const KeplerEphemeris& e = early.table.kepler.at(1).begin()->second[0];
    EXPECT_NEAR(e.toeMjd, MjdFromCivil(2024, 1, 14, 0, 0, 0.0), 1e-9);
    EXPECT_NEAR(e.transmissionMjd, MjdFromCivil(2024, 1, 13, 23, 59, 30.0), 1e-9);
}

TEST(NavReader, KeplerFieldsOfEachSystem) {
    const std::string date = "2024 01 10 00 00 00";
    OrbitLines galileo = gpsOrbit();
    galileo[4][1] = 258.0;                       // data sources
    galileo[5] = {3.12, 0.0, -1.9e-9, -2.1e-9};  // SISA, health, BGD E5a/E1, BGD E5b/E1
    galileo[6] = {260000.0, 0.0, 0.0, 0.0};
    OrbitLines beidou = gpsOrbit(259200.0, 940.0, 259100.0);
    beidou[5] = {2.0, 0.0, 1.0e-10, -9.3e-9};  // accuracy, SatH1, TGD1, TGD2
    beidou[6] = {259100.0, 7.0, 0.0, 0.0};     // transmission time, AODC
    OrbitLines qzss0 = gpsOrbit();
    qzss0[6][1] = 0.0;
    OrbitLines qzss1 = gpsOrbit();
    qzss1[6][1] = 1.0;
    const NavRead read = readNavText(r3Header() + r3Record("G05", date, {1.6e-4, 9.1e-13, 1e-20}, gpsOrbit()) +
                                     r3Record("E11", date, {}, galileo) + r3Record("C05", date, {}, beidou) +
                                     r3Record("J01", date, {}, qzss0) + r3Record("J02", date, {}, qzss1) +
                                     r3Record("I05", date, {}, gpsOrbit()));
    ASSERT_EQ(read.table.recordCount, 6) << read.log.messages;

    const KeplerEphemeris& g = read.table.kepler.at(5).begin()->second[0];
    EXPECT_EQ(g.systemCode, kGps);
    EXPECT_DOUBLE_EQ(g.af0_s, 1.6e-4);
    EXPECT_DOUBLE_EQ(g.af1_sps, 9.1e-13);
    EXPECT_DOUBLE_EQ(g.af2_sps2, 1e-20);
    EXPECT_EQ(g.issueOfData, 45);
    EXPECT_DOUBLE_EQ(g.crs_m, 12.5);
    EXPECT_DOUBLE_EQ(g.deltaN_radps, 4.5e-9);
    EXPECT_DOUBLE_EQ(g.meanAnomaly_rad, 0.5);
    EXPECT_DOUBLE_EQ(g.cuc_rad, 1.0e-6);
    EXPECT_DOUBLE_EQ(g.eccentricity, 0.01);
    EXPECT_DOUBLE_EQ(g.cus_rad, 2.0e-6);
    EXPECT_DOUBLE_EQ(g.semiMajorAxis_m, 5153.6 * 5153.6);
    EXPECT_DOUBLE_EQ(g.toe_sow, 259200.0);
    EXPECT_DOUBLE_EQ(g.cic_rad, 3.0e-8);
    EXPECT_DOUBLE_EQ(g.omega0_rad, -1.7);
    EXPECT_DOUBLE_EQ(g.cis_rad, 4.0e-8);
    EXPECT_DOUBLE_EQ(g.i0_rad, 0.99);
    EXPECT_DOUBLE_EQ(g.crc_m, 393.4);
    EXPECT_DOUBLE_EQ(g.argPerigee_rad, 0.9);
    EXPECT_DOUBLE_EQ(g.omegaDot_radps, -8.4e-9);
    EXPECT_DOUBLE_EQ(g.idot_radps, -1.25e-10);
    EXPECT_EQ(g.codesOnL2, 1);
    EXPECT_EQ(g.week, 2296);
    EXPECT_EQ(g.l2PDataFlag, 0);
    EXPECT_EQ(g.accuracyIndex, 1);  // 2.8 m
    EXPECT_EQ(g.health, 0);
    EXPECT_DOUBLE_EQ(g.tgd_s, 5.1e-9);
    EXPECT_EQ(g.iodc, 46);
    EXPECT_DOUBLE_EQ(g.fitInterval, 4.0);
    EXPECT_NEAR(g.toeMjd, MjdFromCivil(2024, 1, 10, 0, 0, 0.0), 1e-9);
    EXPECT_NEAR(g.transmissionMjd, MjdFromCivil(2024, 1, 9, 22, 0, 18.0), 1e-9);

    const KeplerEphemeris& e = read.table.kepler.at(311).begin()->second[0];
    EXPECT_EQ(e.systemCode, kGalileo);
    EXPECT_EQ(e.codesOnL2, 258);
    EXPECT_DOUBLE_EQ(e.tgd_s, -1.9e-9);
    EXPECT_DOUBLE_EQ(e.tgd2_s, -2.1e-9);
    EXPECT_EQ(e.iodc, 0);
    EXPECT_DOUBLE_EQ(e.fitInterval, 0.0);

    // BeiDou: BDT is GPS time - 14 s and its weeks count from 2006-01-01 (BDT week 940
    // began on 2024-01-07).
    const auto& beidouByEpoch = read.table.kepler.at(405);
    EXPECT_NEAR(beidouByEpoch.begin()->first, MjdFromCivil(2024, 1, 10, 0, 0, 14.0), 1e-10);
    const KeplerEphemeris& c = beidouByEpoch.begin()->second[0];
    EXPECT_NEAR(c.tocMjd - MjdFromCivil(2024, 1, 10, 0, 0, 0.0), 0.00016203703703703703, 1e-10);
    EXPECT_NEAR(c.toeMjd, MjdFromCivil(2024, 1, 10, 0, 0, 14.0), 1e-9);
    EXPECT_NEAR(c.transmissionMjd, MjdFromCivil(2024, 1, 9, 23, 58, 34.0), 1e-9);
    EXPECT_EQ(c.week, 940);
    EXPECT_EQ(c.iodc, 7);
    EXPECT_DOUBLE_EQ(c.tgd_s, 1.0e-10);
    EXPECT_DOUBLE_EQ(c.tgd2_s, -9.3e-9);

    EXPECT_DOUBLE_EQ(read.table.kepler.at(501).begin()->second[0].fitInterval, 1.0);
    EXPECT_DOUBLE_EQ(read.table.kepler.at(502).begin()->second[0].fitInterval, 2.0);
    EXPECT_EQ(read.table.kepler.at(501).begin()->second[0].iodc, 46);
    EXPECT_EQ(read.table.kepler.at(605).begin()->second[0].systemCode, kIrnss);
}

TEST(NavReader, SbasRecordsInMetresWithTheirTransmissionTime) {
    const NavRead read = readNavText(
        r3Header() +
        r3Record("S23", "2020 06 25 00 00 16", {1.5e-8, 2e-12, 345630.0},
                 {{{35944.6, 0.001, 1e-6, 63.0}, {22044.14, -0.002, -2e-6, 32767.0}, {-10.0, 0.003, 3e-6, 92.0}}}, 3));
    const SbasEphemeris& s = read.table.sbas.at(123).begin()->second[0];
    EXPECT_EQ(s.systemCode, kSbas);
    EXPECT_DOUBLE_EQ(s.epochMjd, MjdFromCivil(2020, 6, 25, 0, 0, 16.0));
    // 345630 s of the GPS week that began on 2020-06-21.
    EXPECT_NEAR(s.transmissionMjd, MjdFromCivil(2020, 6, 25, 0, 0, 30.0), 1e-9);
    EXPECT_NEAR(s.x_m, 35944600.0, 1e-6);
    EXPECT_NEAR(s.vx_mps, 1.0, 1e-12);
    EXPECT_NEAR(s.ay_mps2, -2e-3, 1e-15);
    EXPECT_NEAR(s.z_m, -10000.0, 1e-9);
    EXPECT_EQ(s.health, 63);
    EXPECT_EQ(s.accuracyIndex, 15);
    EXPECT_DOUBLE_EQ(s.af0_s, 1.5e-8);
    EXPECT_DOUBLE_EQ(s.af1_sps, 2e-12);
}

TEST(NavReader, AnIncompleteLastRecordIsReportedWithItsLineAndDropped) {
    const std::string date = "2024 01 10 00 00 00";
    std::string text = r3Header() + r3Record("G01", date, {}, gpsOrbit()) + r3Record("G02", date, {}, gpsOrbit(), 4);
    const NavRead read = readNavText(text);
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.report.status, 5);  // orbit line 5 is missing
    EXPECT_EQ(read.table.recordCount, 1);
    EXPECT_EQ(read.table.kepler.count(2), 0u);
    // Header 2 lines, one record of 8, the epoch line and 4 orbit lines: 15 lines.
    EXPECT_NE(read.log.messages.find(" NavR3-file last record incomplete @line#15"), std::string::npos)
        << read.log.messages;

    // A GLONASS record cut after its first orbit line.
    const NavRead glonass = readNavText(r3Header() + r3Record("R01", date, {}, glonassOrbit(1.0), 1));
    EXPECT_EQ(glonass.report.status, 2);
    EXPECT_TRUE(glonass.table.glonass.empty());
}

TEST(NavReader, BadLinesAreReportedAndReadingGoesOnWithTheNextRecord) {
    const std::string date = "2024 01 10 00 00 00";
    std::string badOrbit = r3Record("G03", date, {}, gpsOrbit());
    badOrbit.replace(badOrbit.find("4.500000000000E-09"), 18, "4.5000000000x0E-09");
    const std::string text = r3Header() +
                             r3Record("G01", "2024 01 10 00 00   ", {}, gpsOrbit()) +  // lines 3-10: five date fields
                             r3Record("G02", date, {}, gpsOrbit(), 5) +                // 11-16: two lines short
                             badOrbit +                                                // 17-24: bad value in line 18
                             r3Record("G0x", date, {}, gpsOrbit()) +                   // 25-32: bad identifier
                             r3Record("G04", "2024 13 10 00 00 00", {}, gpsOrbit()) +  // 33-40: month 13
                             r3Record("G05", date, {}, gpsOrbit());
    const NavRead read = readNavText(text);
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.table.recordCount, 1);
    EXPECT_EQ(read.table.kepler.count(5), 1u);
    EXPECT_EQ(read.report.badRecords, 5);
    EXPECT_EQ(read.log.messages,
              "\r\nNavR3-exception bad data format @line#:3\r\n"
              "\r\nNavR3-exception bad data format @line#:11\r\n"
              "\r\nNavR3-exception bad data format @line#:18\r\n"
              "\r\nNavR3-exception bad data format @line#:25\r\n"
              "\r\nNavR3-exception bad data format @line#:33\r\n");
}

TEST(NavReader, AShortNonBlankLineEndsTheReadWithStatusTwo) {
    const std::string date = "2024 01 10 00 00 00";
    const NavRead read = readNavText(r3Header() + r3Record("G01", date, {}, gpsOrbit()) + "G02 2024 01 10\n" +
                                     r3Record("G03", date, {}, gpsOrbit()));
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.report.status, 2);
    EXPECT_EQ(read.table.recordCount, 1);
    EXPECT_NE(read.log.messages.find("@line#:11"), std::string::npos) << read.log.messages;
}

TEST(NavReader, BlankLinesCrLfAndExtraOrbitLinesAreHarmless) {
    const std::string date = "2020 06 24 23 15 00";
    // RINEX 3.05 GLONASS records carry a fourth orbit line.
    OrbitLines glonass = glonassOrbit(1.0);
    glonass[3] = {0.0, 0.999999999999e9, 15.0, 0.0};
    std::string text = r3Header() + "\n   \n" + r3Record("R01", date, {}, glonass, 4) + "\n" +
                       r3Record("G01", date, {}, gpsOrbit()) + r3Record("R02", date, {}, glonass, 4);
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& variant : {text, crlf}) {
        const NavRead read = readNavText(variant);
        EXPECT_EQ(read.result, 0);
        EXPECT_EQ(read.report.status, 0);
        EXPECT_EQ(read.table.recordCount, 3) << read.log.messages;
        EXPECT_EQ(read.log.messages, "");
        EXPECT_EQ(read.table.glonass.size(), 2u);
    }
}

TEST(NavReader, RecordsOfOtherSystemsAndKindsAreSkipped) {
    const std::string date = "2022 01 01 00 00 00";
    const std::string rinex4 =
        navHeaderLine("     4.00           N: GNSS NAV DATA    M: MIXED", "RINEX VERSION / TYPE") + navEnd() +
        "> EPH G01 LNAV\n" + r3Record("G01", date, {1e-4, 0.0, 0.0}, gpsOrbit()) + "> EPH G01 CNAV\n" +
        r3Record("G01", date, {2e-4, 0.0, 0.0}, gpsOrbit()) + r3OrbitLine(1.0) +
        "> STO G01 LNAV\n    2022 01 01 00 00 00 GPUT\n" + r3OrbitLine(1.0) +
        "> ION G01 LNAV\n    2022 01 01 00 00 00\n" + r3OrbitLine(1.0) + "> EPH R05 FDMA\n" +
        r3Record("R05", date, {}, glonassOrbit(1.0), 4) + "> EPH E11 INAV\n" + r3Record("E11", date, {}, gpsOrbit());
    const NavRead read = readNavText(rinex4);
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.table.recordCount, 3) << read.log.messages;
    EXPECT_DOUBLE_EQ(read.table.kepler.at(1).begin()->second.at(0).af0_s, 1e-4);
    EXPECT_EQ(read.table.kepler.at(1).begin()->second.size(), 1u);
    EXPECT_EQ(read.table.glonass.count(205), 1u);
    EXPECT_EQ(read.table.kepler.count(311), 1u);
    EXPECT_EQ(read.report.recordsSkipped, 3);

    // Unknown letters, Transit and mixed identifiers have no ephemeris kind.
    const NavRead others = readNavText(r3Header() + r3Record("X01", date, {}, gpsOrbit()) +
                                       r3Record("T02", date, {}, gpsOrbit()) + r3Record("G03", date, {}, gpsOrbit()));
    EXPECT_EQ(others.table.recordCount, 1);
    EXPECT_EQ(others.report.recordsSkipped, 2);
    EXPECT_NE(others.log.messages.find("\r\nInfo! 2 nav. record(s) of other systems or kinds skipped"),
              std::string::npos);
}

TEST(NavReader, HeaderValuesOfBothVersions) {
    const std::string r3 =
        navHeaderLine("     3.04           N: GNSS NAV DATA    M: MIXED", "RINEX VERSION / TYPE") +
        navHeaderLine("a comment naming END OF HEADER and LEAP SECONDS", "COMMENT") +
        navHeaderLine("GPSA   2.2352D-08  0.0000D+00 -5.9605D-08  1.1921D-07", "IONOSPHERIC CORR") +
        navHeaderLine("GPSB   1.4541E+05 -1.9661E+05  0.0000E+00  1.9661E+05", "IONOSPHERIC CORR") +
        navHeaderLine("GAL    1.4650E+02 -6.3672E-01  2.5330E-03", "IONOSPHERIC CORR") +
        navHeaderLine("QZSA   1.0245E-08 -1.4901E-08 -4.1723E-07  1.1921E-06", "IONOSPHERIC CORR") +
        navHeaderLine("QZSB   1.0240E+05  0.0000E+00 -8.5197E+05  8.3231E+06", "IONOSPHERIC CORR") +
        navHeaderLine("BDSA   3.8184E-08 -6.7055E-08 -2.9802E-07  5.9605E-07 W 02", "IONOSPHERIC CORR") +
        navHeaderLine("BDSB   1.1059E+05  2.2938E+05 -1.9005E+06  1.9005E+06 W 02", "IONOSPHERIC CORR") +
        navHeaderLine("IRNA   1.0000E-08  2.0000E-08  3.0000E-08  4.0000E-08", "IONOSPHERIC CORR") +
        navHeaderLine("IRNB   1.0000E+05  2.0000E+05  3.0000E+05  4.0000E+05", "IONOSPHERIC CORR") +
        navHeaderLine("GAGP  2.2118911147E-09 8.881784197E-15 259200 2296", "TIME SYSTEM CORR") +
        navHeaderLine("GPUT -2.7939677238E-09-3.552713679E-15 503808 2296", "TIME SYSTEM CORR") +
        navHeaderLine("GLUT  1.0000000000E-09 0.000000000E+00      0    0", "TIME SYSTEM CORR") +
        navHeaderLine("GAUT -1.8626451492E-09 8.881784197E-16 172800 2296", "TIME SYSTEM CORR") +
        navHeaderLine("QZUT -1.8626451492E-09 0.000000000E+00 356352 2158", "TIME SYSTEM CORR") +
        navHeaderLine("BDUT -1.8626451492D-09 0.000000000D+00 259145  940", "TIME SYSTEM CORR") +
        navHeaderLine("SBUT  2.0000000000E-09 1.000000000E-15  61440 2296", "TIME SYSTEM CORR") +
        navHeaderLine("IRUT  3.0000000000E-09 2.000000000E-15  61440 2296", "TIME SYSTEM CORR") +
        navHeaderLine("    18    18  1929     7", "LEAP SECONDS") + navEnd();
    const NavRead read = readNavText(r3);
    ASSERT_EQ(read.result, 0) << read.log.messages;
    const NavHeader& h = read.header;
    EXPECT_DOUBLE_EQ(h.version, 3.04);
    EXPECT_EQ(h.fileType, 'N');
    EXPECT_EQ(h.systemCode, kMixed);
    EXPECT_TRUE(h.isRinex3());
    EXPECT_DOUBLE_EQ(h.gpsAlpha.value[0], 2.2352e-08);
    EXPECT_DOUBLE_EQ(h.gpsAlpha.value[3], 1.1921e-07);
    EXPECT_DOUBLE_EQ(h.gpsBeta.value[1], -1.9661e+05);
    EXPECT_TRUE(h.galileo.present);
    EXPECT_DOUBLE_EQ(h.galileo.value[0], 146.5);
    EXPECT_DOUBLE_EQ(h.galileo.value[2], 2.5330e-03);
    EXPECT_DOUBLE_EQ(h.galileo.value[3], 0.0);
    EXPECT_DOUBLE_EQ(h.qzssAlpha.value[2], -4.1723e-07);
    EXPECT_DOUBLE_EQ(h.qzssBeta.value[3], 8.3231e+06);
    EXPECT_DOUBLE_EQ(h.beidouAlpha.value[1], -6.7055e-08);
    EXPECT_DOUBLE_EQ(h.beidouBeta.value[0], 1.1059e+05);
    EXPECT_DOUBLE_EQ(h.irnssAlpha.value[3], 4.0e-08);
    EXPECT_DOUBLE_EQ(h.irnssBeta.value[2], 3.0e+05);
    EXPECT_TRUE(h.gput.present);
    EXPECT_DOUBLE_EQ(h.gput.a0_s, -2.7939677238e-09);
    EXPECT_DOUBLE_EQ(h.gput.a1_sps, -3.552713679e-15);
    EXPECT_EQ(h.gput.referenceTime_s, 503808);
    EXPECT_EQ(h.gput.referenceWeek, 2296);
    EXPECT_DOUBLE_EQ(h.glut.a0_s, 1.0e-9);
    EXPECT_EQ(h.gaut.referenceTime_s, 172800);
    EXPECT_EQ(h.qzut.referenceWeek, 2158);
    EXPECT_DOUBLE_EQ(h.bdut.a0_s, -1.8626451492e-09);
    EXPECT_EQ(h.bdut.referenceWeek, 940);
    EXPECT_DOUBLE_EQ(h.sbut.a1_sps, 1.0e-15);
    EXPECT_DOUBLE_EQ(h.irut.a0_s, 3.0e-09);
    EXPECT_FALSE(h.deltaUtc.present);
    EXPECT_TRUE(h.leapSecondsPresent);
    EXPECT_EQ(h.leapSeconds, 18);

    const std::string r2 =
        navHeaderLine("     2.10           N: GPS NAV DATA", "RINEX VERSION / TYPE") +
        navHeaderLine("XXRINEXN V3         AIUB                1999-09-02 19:22:36", "PGM / RUN BY / DATE") +
        navHeaderLine("     .1676D-07   .2235D-07  -.1192D-06  -.1192D-06", "ION ALPHA") +
        navHeaderLine("     .1208D+06   .1310D+06  -.1310D+06  -.1966D+06", "ION BETA") +
        navHeaderLine("     .133179128170D-06 .107469588780D-12    552960     1025", "DELTA-UTC: A0,A1,T,W") +
        navHeaderLine("    13", "LEAP SECONDS") + navEnd();
    const NavRead old = readNavText(r2);
    ASSERT_EQ(old.result, 0);
    EXPECT_FALSE(old.header.isRinex3());
    EXPECT_EQ(old.header.systemCode, kGps);
    EXPECT_DOUBLE_EQ(old.header.gpsAlpha.value[0], 0.1676e-07);
    EXPECT_DOUBLE_EQ(old.header.gpsAlpha.value[3], -0.1192e-06);
    EXPECT_DOUBLE_EQ(old.header.gpsBeta.value[2], -0.1310e+06);
    EXPECT_DOUBLE_EQ(old.header.deltaUtc.a0_s, 0.133179128170e-06);
    EXPECT_DOUBLE_EQ(old.header.deltaUtc.a1_sps, 0.107469588780e-12);
    EXPECT_EQ(old.header.deltaUtc.referenceTime_s, 552960);
    EXPECT_EQ(old.header.deltaUtc.referenceWeek, 1025);
    EXPECT_EQ(old.header.leapSeconds, 13);
}

TEST(NavReader, FilesThatCannotBeReadAsNavigationFiles) {
    EphemerisTable table;
    NavHeader header;
    RunLog log;
    EXPECT_EQ(readNavigationFile("/nonexistent/brdc0010.20n", table, header, log), -1);
    EXPECT_EQ(log.messages, "\r\nCan't open Nav. file: /nonexistent/brdc0010.20n");

    const NavRead noEnd =
        readNavText(navHeaderLine("     3.04           N: GNSS NAV DATA    M: MIXED", "RINEX VERSION / TYPE"));
    EXPECT_EQ(noEnd.result, -2);
    EXPECT_NE(noEnd.log.messages.find("without END OF HEADER @line# 1"), std::string::npos) << noEnd.log.messages;

    const NavRead observation = readNavText(
        navHeaderLine("     3.04           OBSERVATION DATA    M: MIXED", "RINEX VERSION / TYPE") + navEnd());
    EXPECT_EQ(observation.result, -2);
    EXPECT_NE(observation.log.messages.find("not a navigation file (type 'O')"), std::string::npos);

    const NavRead future = readNavText(
        navHeaderLine("     5.00           N: GNSS NAV DATA    M: MIXED", "RINEX VERSION / TYPE") + navEnd());
    EXPECT_EQ(future.result, -2);
    EXPECT_NE(future.log.messages.find("unsupported RINEX version 5.00"), std::string::npos);

    const NavRead empty = readNavText("");
    EXPECT_EQ(empty.result, -2);
}

TEST(NavReader, AddsToTheTableButRestartsTheCountAndFlags) {
    EphemerisTable table;
    table.satelliteFlags[7] = 1;
    const std::string text = r3Header() + r3Record("G07", "2024 01 10 00 00 00", {}, gpsOrbit());
    const NavRead first = readNavText(text, table);
    EXPECT_EQ(first.table.satelliteFlags[7], 0);
    const NavRead second = readNavText(text, first.table);
    EXPECT_EQ(second.table.recordCount, 1);
    EXPECT_EQ(second.table.kepler.at(7).begin()->second.size(), 2u);
}

TEST(EphemerisTable, HasEphemerisLooksInThePartOfTheSatellitesSystem) {
    EphemerisTable table;
    table.kepler[5][60000.0].push_back(KeplerEphemeris{});
    table.kepler[405][60000.0].push_back(KeplerEphemeris{});
    table.glonass[205][60000.0].push_back(GlonassEphemeris{});
    table.sbas[120][60000.0].push_back(SbasEphemeris{});
    EXPECT_EQ(HasEphemeris(table, 5), 1);
    EXPECT_EQ(HasEphemeris(table, 405), 1);
    EXPECT_EQ(HasEphemeris(table, 205), 1);
    EXPECT_EQ(HasEphemeris(table, 120), 1);
    EXPECT_EQ(HasEphemeris(table, 6), 0);
    EXPECT_EQ(HasEphemeris(table, 305), 0);
    table.kepler[705][60000.0].push_back(KeplerEphemeris{});  // Transit: no ephemeris kind
    EXPECT_EQ(HasEphemeris(table, 705), 0);
    EXPECT_EQ(HasEphemeris(table, -1), 0);
    EXPECT_EQ(HasEphemeris(table, 905), 0);

    PreciseOrbitSource precise;
    precise.holds = [](int satNo) { return satNo == 6; };
    EXPECT_EQ(HasEphemeris(table, 6, &precise), 0);  // not active
    precise.active = true;
    EXPECT_EQ(HasEphemeris(table, 6, &precise), 1);
    EXPECT_EQ(HasEphemeris(table, 5, &precise), 1);  // the broadcast table still counts
    EXPECT_EQ(HasEphemeris(table, 7, &precise), 0);
}

TEST(NavReader, HostileInputEndsInReportsNotInFaults) {
    const std::string date = "2024 01 10 00 00 00";
    OrbitLines hugeWeek = gpsOrbit(259200.0, 1e300, 1e300);
    std::string nulLine = r3Record("G02", date, {}, gpsOrbit());
    nulLine[10] = '\0';
    const std::string text = r3Header() + r3Record("G01", date, {}, hugeWeek) +
                             r3Record("R01", date, {}, glonassOrbit(1e300), 3) +  // channel far out
                             nulLine + std::string(10000, 'G') + "\n" + r3Record("G03", date, {}, gpsOrbit());
    const NavRead read = readNavText(text);
    EXPECT_EQ(read.result, 0);
    EXPECT_EQ(read.table.kepler.at(1).begin()->second[0].week, 2147483647);
    EXPECT_EQ(read.table.glonass.count(201), 0u);
    EXPECT_EQ(read.table.kepler.count(2), 0u);  // NUL in the date
    // The 10000-character line is cut to 90 and read as an epoch line.
    EXPECT_EQ(read.table.kepler.count(3), 1u);
    EXPECT_EQ(read.report.badRecords, 2) << read.log.messages;

    // Bytes that are no navigation file at all.
    std::string noise;
    for (int i = 0; i < 5000; ++i) noise += static_cast<char>((i * 7919) % 256);
    EXPECT_EQ(readNavText(noise).result, -2);
    EXPECT_EQ(readNavText(r3Header() + noise).result, 0);
}
