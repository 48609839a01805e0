// IONEX maps: reading real CODE and JPL files, interpolation on a small synthetic file
// with known values, and damaged files.
#include "gnss/ionex_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gnss/time.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace {

std::string record(const std::string& content, const std::string& label) {
    return strfmt("%-60s%s\n", content.c_str(), label.c_str());
}

std::string valuesLine(const std::vector<int>& values) {
    std::string line;
    for (int v : values) line += strfmt("%5d", v);
    return line + "\n";
}

struct SyntheticMap {
    int hour;
    const char* exponent;  // an EXPONENT record inside the map, or nullptr
    std::vector<std::vector<int>> rows;  // latitudes 10, 0, -10
};

// Three latitude rows (10, 0, -10) and longitudes from `lon1` by 90 degrees.
std::string ionexText(double lon1, double lon2, const std::vector<SyntheticMap>& maps) {
    std::string text = record("     1.0            IONOSPHERE MAPS     GPS", "IONEX VERSION / TYPE");
    text += record("  2020     1     1     0     0     0", "EPOCH OF FIRST MAP");
    text += record("  2020     1     1     6     0     0", "EPOCH OF LAST MAP");
    text += record("  21600", "INTERVAL");
    text += record(strfmt("%6zu", maps.size()), "# OF MAPS IN FILE");
    text += record("  NONE", "MAPPING FUNCTION");
    text += record("   450.0 450.0   0.0", "HGT1 / HGT2 / DHGT");
    text += record("    10.0 -10.0 -10.0", "LAT1 / LAT2 / DLAT");
    text += record(strfmt("  %6.1f%6.1f  90.0", lon1, lon2), "LON1 / LON2 / DLON");
    text += record("    -1", "EXPONENT");
    text += record("", "END OF HEADER");
    for (std::size_t m = 0; m < maps.size(); ++m) {
        text += record(strfmt("%6zu", m + 1), "START OF TEC MAP");
        text += record(strfmt("  2020     1     1 %5d     0     0", maps[m].hour), "EPOCH OF CURRENT MAP");
        if (maps[m].exponent != nullptr) text += record(maps[m].exponent, "EXPONENT");
        const double lats[] = {10.0, 0.0, -10.0};
        for (std::size_t r = 0; r < maps[m].rows.size(); ++r) {
            text += record(strfmt("  %6.1f%6.1f%6.1f  90.0 450.0", lats[r], lon1, lon2), "LAT/LON1/LON2/DLON/H");
            text += valuesLine(maps[m].rows[r]);
        }
        text += record(strfmt("%6zu", m + 1), "END OF TEC MAP");
    }
    // An RMS map is skipped.
    text += record("     1", "START OF RMS MAP");
    text += record("  2020     1     1     0     0     0", "EPOCH OF CURRENT MAP");
    text += record("    10.0-180.0 180.0  90.0 450.0", "LAT/LON1/LON2/DLON/H");
    text += valuesLine({5, 5, 5, 5, 5});
    text += record("     1", "END OF RMS MAP");
    return text + record("", "END OF FILE");
}

// Global maps at 0 h (0.1 TECU) and 6 h (whole TECU through the map's own EXPONENT),
// longitudes -180, -90, 0, 90, 180; 9999 at (-10, 90) in the second.
const std::vector<SyntheticMap> kMaps = {
    {0, nullptr, {{100, 110, 120, 130, 100}, {200, 210, 220, 230, 200}, {300, 310, 320, 330, 300}}},
    {6, "     0", {{20, 21, 22, 23, 20}, {30, 34, 31, 39, 30}, {40, 41, 42, 9999, 40}}},
};

const double kDay = 58849.0;  // 2020-01-01
const double kHour = 1.0 / 24.0;

}  // namespace

TEST(IonexReader, CodeAndJplMapsOfADay) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    IonexMaps maps;
    RunLog log;
    ASSERT_EQ(ReadIonexFile(shared + "set1_bjfs_2020_001/codg0010.20i.Z", maps, log), 0) << log.messages;
    EXPECT_TRUE(log.messages.empty()) << log.messages;
    ASSERT_EQ(maps.maps.size(), 25u);  // the 25 RMS maps are skipped
    EXPECT_EQ(maps.mapsAnnounced, 25);
    EXPECT_EQ(maps.exponent, -1);
    EXPECT_EQ(maps.interval_s, 3600.0);
    EXPECT_EQ(maps.height_km, 450.0);
    EXPECT_EQ(maps.latitudes.count, 71);  // 87.5 to -87.5 by -2.5
    EXPECT_EQ(maps.longitudes.count, 73);
    EXPECT_EQ(maps.maps.front().epochMjd, kDay);
    EXPECT_DOUBLE_EQ(maps.maps[12].epochMjd, kDay + 0.5);
    EXPECT_EQ(maps.maps.back().epochMjd, kDay + 1.0);
    // Values as the file text has them, in 0.1 TECU.
    EXPECT_NEAR(maps.mapValue(maps.maps[0], 87.5, -180.0), 0.8, 1e-12);
    EXPECT_NEAR(maps.mapValue(maps.maps[0], 87.5, -175.0), 0.9, 1e-12);
    EXPECT_NEAR(maps.mapValue(maps.maps[0], -87.5, 180.0), 6.3, 1e-12);
    EXPECT_NEAR(maps.mapValue(maps.maps[24], 0.0, 0.0), 4.8, 1e-12);
    // Map 13 (12 h) near Beijing: 46 43 / 47 43 at 40 and 37.5 N, 115 and 120 E.
    EXPECT_NEAR(maps.verticalTec(kDay + 0.5, 40.0, 115.0), 4.6, 1e-12);
    EXPECT_NEAR(maps.verticalTec(kDay + 0.5, 40.0, 115.0 - 360.0), 4.6, 1e-12);
    EXPECT_NEAR(maps.verticalTec(kDay + 0.5, 38.75, 117.5), (4.6 + 4.3 + 4.7 + 4.3) / 4.0, 1e-12);
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 0.5, 88.0, 115.0)));  // beyond the last row
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 1.01, 40.0, 115.0)));

    ASSERT_EQ(ReadIonexFile(shared + "ionex_misc/jplg0010.17i.gz", maps, log), 0) << log.messages;
    ASSERT_EQ(maps.maps.size(), 13u);
    EXPECT_EQ(maps.interval_s, 7200.0);
    EXPECT_EQ(maps.exponent, -1);
    EXPECT_DOUBLE_EQ(maps.maps[6].epochMjd, MjdFromCivil(2017, 1, 1, 12, 0, 0.0));
    EXPECT_NEAR(maps.mapValue(maps.maps[6], 40.0, 115.0), 6.4, 1e-12);
    EXPECT_NEAR(maps.mapValue(maps.maps[6], 40.0, 120.0), 6.6, 1e-12);
}

TEST(IonexMaps, NodesBilinearRotationAndMissingValues) {
    TempDir dir;
    IonexMaps maps;
    RunLog log;
    ASSERT_EQ(ReadIonexFile(dir.write("syn.20i", ionexText(-180.0, 180.0, kMaps)), maps, log), 0) << log.messages;
    ASSERT_EQ(maps.maps.size(), 2u);
    // Grid nodes at the map epochs, each with its own exponent.
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay, 0.0, 0.0), 22.0);
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay + 6 * kHour, 10.0, -90.0), 21.0);
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay + 6 * kHour, -10.0, 180.0), 40.0);  // at the last epoch
    // Bilinear midpoint of four nodes; longitudes wrap round the Earth.
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay, 5.0, -45.0), (11.0 + 12.0 + 21.0 + 22.0) / 4.0);
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay, 0.0, -180.0), 20.0);
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay, 0.0, 540.0), 20.0);
    EXPECT_NEAR(maps.verticalTec(kDay, 0.0, 170.0), 23.0 - 3.0 * 80.0 / 90.0, 1e-12);
    // Between the maps each is turned with the Sun: at 3 h the first map is read 45 deg
    // east (between 90 and 180), the second 45 deg west (between 0 and 90). Turned the
    // wrong way this would be 28.5, not turned 31.
    EXPECT_NEAR(maps.verticalTec(kDay + 3 * kHour, 0.0, 90.0), 0.5 * 21.5 + 0.5 * 35.0, 1e-12);
    // At 1.5 h: weights 3/4 and 1/4, shifts +22.5 and -67.5 deg (wrong way 25.5625, not
    // turned 24.25).
    EXPECT_NEAR(maps.verticalTec(kDay + 1.5 * kHour, 0.0, 0.0), 0.75 * 22.25 + 0.25 * 33.25, 1e-12);
    // A node without value spoils only what it takes part in.
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 6 * kHour, -10.0, 90.0)));
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 6 * kHour, -5.0, 45.0)));
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay + 6 * kHour, -10.0, 0.0), 42.0);
    // Outside the grid or the maps' time span.
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay, 12.0, 0.0)));
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay - 0.001, 0.0, 0.0)));
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 6 * kHour + 0.001, 0.0, 0.0)));

    // A global grid without the repeated 180 column closes the circle from -90 + 90 to -180;
    // a regional one ends at its last column.
    const std::vector<SyntheticMap> fourColumns = {{0, nullptr, {{1, 2, 3, 5}, {1, 2, 3, 5}, {1, 2, 3, 5}}},
                                                   {6, nullptr, {{1, 2, 3, 5}, {1, 2, 3, 5}, {1, 2, 3, 5}}}};
    ASSERT_EQ(ReadIonexFile(dir.write("g4.20i", ionexText(-180.0, 90.0, fourColumns)), maps, log), 0) << log.messages;
    EXPECT_NEAR(maps.verticalTec(kDay, 0.0, 135.0), 0.3, 1e-12);  // (0.5 + 0.1) / 2
    const std::vector<SyntheticMap> threeColumns = {{0, nullptr, {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}}},
                                                    {6, nullptr, {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}}}};
    ASSERT_EQ(ReadIonexFile(dir.write("r3.20i", ionexText(-90.0, 90.0, threeColumns)), maps, log), 0) << log.messages;
    EXPECT_NEAR(maps.verticalTec(kDay, 0.0, 45.0), 0.25, 1e-12);
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay, 0.0, 135.0)));
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay, 0.0, -135.0)));
}

TEST(IonexReader, DamagedFilesAreReportedWithTheirLine) {
    TempDir dir;
    IonexMaps maps;
    const std::string good = ionexText(-180.0, 180.0, kMaps);

    // Cut inside the second map: the first is kept.
    RunLog cutLog;
    const std::string cut = good.substr(0, good.find("   30   34   31"));
    ASSERT_EQ(ReadIonexFile(dir.write("cut.20i", cut), maps, cutLog), 1);
    EXPECT_EQ(maps.maps.size(), 1u);
    EXPECT_TRUE(contains(cutLog.messages, "TEC map not ended at the end of the file, dropped @line# 26"))
        << cutLog.messages;
    EXPECT_TRUE(contains(cutLog.messages, "file ends early: 1 of 2 TEC maps read, 1 dropped, no END OF FILE"));

    // An unreadable value line leaves its values missing; the rest is read.
    std::string bad = good;
    bad.replace(bad.find("  200  210"), 10, "  2x0  210");
    RunLog badLog;
    ASSERT_EQ(ReadIonexFile(dir.write("bad.20i", bad), maps, badLog), 0);
    EXPECT_TRUE(contains(badLog.messages, "Warning! IONEX TEC values not readable, left without values @line# 17"))
        << badLog.messages;
    EXPECT_EQ(maps.badLines, 1);
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay, 0.0, 0.0)));
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay, 10.0, 0.0), 12.0);

    RunLog log;
    EXPECT_EQ(ReadIonexFile(dir.path() + "absent.20i", maps, log), -1);
    EXPECT_EQ(ReadIonexFile(dir.write("obs.20o", "     2.11           OBSERVATION DATA    G (GPS)\n"), maps, log), -2);
    std::string noGrid = good;
    noGrid.erase(noGrid.find("    10.0 -10.0"), 81);
    EXPECT_EQ(ReadIonexFile(dir.write("nogrid.20i", noGrid), maps, log), -3);
    EXPECT_TRUE(contains(log.messages, "header without LAT1 / LAT2 / DLAT and LON1 / LON2 / DLON @line# 10"))
        << log.messages;
}
