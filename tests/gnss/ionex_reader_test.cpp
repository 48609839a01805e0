// IONEX maps: reading real CODE files and a small synthetic file, damaged files, and the
// interpolation on maps with known values.
#include "gnss/checks/ionex_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/message_limiter.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

const double kDay = 58849.0;  // 2020-01-01
const double kHour = 1.0 / 24.0;
const double kNone = std::nan("");

// Two global maps (0 h and 6 h) on latitudes 10, 0, -10 and longitudes -180 to 180 by 90,
// in 0.1 TECU by the header's exponent, then in TECU by the second map's own; 9999 (no
// value) at (-10, 90) in the second. An RMS map follows, to be skipped.
const std::string kSyntheticIonex = std::string(VELARIX_TEST_DATA) + "/gnss/ionex_two_maps.20i";

}  // namespace

TEST(IonexReader, ExponentsMissingValuesDamagedFilesAndCodeMapsOfADay) {
    TempDir dir;
    IonexMaps maps;
    RunLog log;
    const std::string good = readWholeFile(kSyntheticIonex);
    ASSERT_EQ(ReadIonexFile(kSyntheticIonex, maps, log), IonexReadResult::kRead) << log.messages;
    ASSERT_EQ(maps.maps.size(), 2u);
    EXPECT_EQ(maps.maps[0].tec_TECU[6], 21.0);
    EXPECT_EQ(maps.maps[1].tec_TECU[6], 34.0);
    EXPECT_TRUE(std::isnan(maps.maps[1].tec_TECU[13]));
    // Cut inside the second map: the first is kept.
    RunLog cutLog;
    ASSERT_EQ(ReadIonexFile(dir.write("cut.20i", good.substr(0, good.find("   30   34   31"))), maps, cutLog),
              IonexReadResult::kIncomplete);
    EXPECT_EQ(maps.maps.size(), 1u);
    EXPECT_TRUE(contains(cutLog.messages, "TEC map not ended at the end of the file, dropped @line# 24"));
    EXPECT_TRUE(contains(cutLog.messages, "file ends early: 1 of 2 TEC maps read, 1 dropped, no END OF FILE"));
    // An unreadable value line leaves its values missing; the rest is read.
    std::string bad = good;
    bad.replace(bad.find("  200  210"), 10, "  2x0  210");
    RunLog badLog;
    ASSERT_EQ(ReadIonexFile(dir.write("bad.20i", bad), maps, badLog), IonexReadResult::kRead);
    EXPECT_TRUE(contains(badLog.messages, "IONEX TEC values not readable, left without values @line# 15"));
    EXPECT_TRUE(maps.badLines == 1 && std::isnan(maps.maps[0].tec_TECU[7]) && maps.maps[0].tec_TECU[2] == 12.0);

    std::string noGrid = good;
    noGrid.erase(noGrid.find("    10.0 -10.0"), 81);
    EXPECT_EQ(ReadIonexFile(dir.write("nogrid.20i", noGrid), maps, log), IonexReadResult::kBadHeader);
    EXPECT_TRUE(contains(log.messages, "header without LAT1 / LAT2 / DLAT and LON1 / LON2 / DLON @line# 8"));

    // CODE's maps of a day.
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    ASSERT_EQ(ReadIonexFile(shared + "set1_bjfs_2020_001/codg0010.20i.Z", maps, log), IonexReadResult::kRead)
        << log.messages;
    ASSERT_EQ(maps.maps.size(), 25u);  // the 25 RMS maps are skipped
    EXPECT_TRUE(maps.latitudes.count == 71 && maps.longitudes.count == 73);  // 87.5 to -87.5 by -2.5
    EXPECT_EQ(maps.maps.back().epochMjd, kDay + 1.0);
    // Map 13 (12 h) near Beijing: 46 43 / 47 43 at 40 and 37.5 N, 115 and 120 E.
    EXPECT_NEAR(maps.verticalTec(kDay + 0.5, 40.0, 115.0 - 360.0), 4.6, 1e-12);
    EXPECT_NEAR(maps.verticalTec(kDay + 0.5, 38.75, 117.5), (4.6 + 4.3 + 4.7 + 4.3) / 4.0, 1e-12);
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 0.5, 88.0, 115.0)));  // beyond the last row
}

TEST(IonexMaps, BilinearTurnedWithTheSunAndMissingValues) {
    // The synthetic file's maps, in TECU.
    IonexMaps maps;
    maps.latitudes = {10.0, -10.0, -10.0, 3};
    maps.longitudes = {-180.0, 180.0, 90.0, 5};
    maps.maps = {{kDay, {10, 11, 12, 13, 10, 20, 21, 22, 23, 20, 30, 31, 32, 33, 30}},
                 {kDay + 0.25, {20, 21, 22, 23, 20, 30, 34, 31, 39, 30, 40, 41, 42, kNone, 40}}};
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay, 0.0, 0.0), 22.0);
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay + 6 * kHour, -10.0, 180.0), 40.0);  // at the last epoch
    // Bilinear midpoint of four nodes; longitudes wrap round the Earth.
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay, 5.0, -45.0), (11.0 + 12.0 + 21.0 + 22.0) / 4.0);
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
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 6 * kHour, -5.0, 45.0)));
    EXPECT_DOUBLE_EQ(maps.verticalTec(kDay + 6 * kHour, -10.0, 0.0), 42.0);
    // Outside the grid or the maps' time span.
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay, 12.0, 0.0)));
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay - 0.001, 0.0, 0.0)));
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay + 6 * kHour + 0.001, 0.0, 0.0)));

    // A global grid without the repeated 180 column closes the circle from 90 to -180;
    // a regional one ends at its last column.
    maps.latitudes = {0.0, 0.0, 0.0, 1};
    maps.longitudes = {-180.0, 90.0, 90.0, 4};
    maps.maps = {{kDay, {0.1, 0.2, 0.3, 0.5}}};
    EXPECT_NEAR(maps.verticalTec(kDay, 0.0, 135.0), 0.3, 1e-12);  // (0.5 + 0.1) / 2
    maps.longitudes = {-90.0, 90.0, 90.0, 3};
    maps.maps = {{kDay, {0.1, 0.2, 0.3}}};
    EXPECT_NEAR(maps.verticalTec(kDay, 0.0, 45.0), 0.25, 1e-12);
    EXPECT_TRUE(std::isnan(maps.verticalTec(kDay, 0.0, 135.0)) && std::isnan(maps.verticalTec(kDay, 0.0, -135.0)));
}

TEST(IonexReader, HeadersAndMapsBeyondWhatTheFileHoldsAreRefused) {
    // A header on the given grid announcing `maps`, then `emptyMaps` maps without values.
    const auto ionex = [](const char* lat, const char* lon, int maps, int emptyMaps) {
        const auto line = [](std::string content, const char* label) {
            content.resize(60, ' ');
            return content + label + "\n";
        };
        std::string text = line("     1.0            IONOSPHERE MAPS     GPS", "IONEX VERSION / TYPE") +
                           line(strfmt("%6d", maps), "# OF MAPS IN FILE") +
                           line("   450.0 450.0   0.0", "HGT1 / HGT2 / DHGT") + line(lat, "LAT1 / LAT2 / DLAT") +
                           line(lon, "LON1 / LON2 / DLON") + line("", "END OF HEADER");
        for (int i = 0; i < emptyMaps; ++i) {
            text += line("     1", "START OF TEC MAP") +
                    line("  2020     1     1     0     0     0", "EPOCH OF CURRENT MAP") +
                    line("     1", "END OF TEC MAP");
        }
        return text + line("", "END OF FILE");
    };
    const char* const global = "    87.5 -87.5  -2.5";  // 71 latitudes
    struct Case {
        std::string text, message;
    };
    // 50 empty maps on 71 x 361 nodes: 128 kB of values could not be in a file of 12 kB.
    const std::string wide = ionex(global, "  -180.0 180.0   1.0", 50, 50);
    const std::vector<Case> refused = {
        {wide,
         strfmt("IONEX grid of 25631 nodes per map cannot be held by a file of %zu bytes @line# 6: ", wide.size())},
        {ionex("   -99.9  99.9   0.1", "  -180.0 180.0   0.2", 50, 50),
         "IONEX grid of 3600199 nodes per map is too large (at most 1000000) @line# 6: "},
        {ionex(global, "  -180.0 180.0   5.0", 5000, 0), "IONEX 5000 maps announced, more than 1000 @line# 2: "},
    };
    TempDir dir;
    IonexMaps maps;
    for (size_t i = 0; i < refused.size(); ++i) {
        RunLog log;
        const std::string path = dir.write(strfmt("refused%zu.20i", i), refused[i].text);
        EXPECT_EQ(ReadIonexFile(path, maps, log), IonexReadResult::kBadHeader) << i;
        EXPECT_TRUE(maps.maps.empty()) << i;
        EXPECT_TRUE(contains(log.messages, "\r\nError! " + refused[i].message + path)) << log.messages;
    }

    // 1000 maps without values on 71 x 73 nodes: the file can hold only a few of them.
    const std::string many = ionex(global, "  -180.0 180.0   5.0", 1000, 1000);
    RunLog log;
    const std::string path = dir.write("many.20i", many);
    EXPECT_EQ(ReadIonexFile(path, maps, log), IonexReadResult::kIncomplete);
    const size_t held = many.size() / (71 * 73 * 5);
    ASSERT_EQ(maps.maps.size(), held);
    EXPECT_TRUE(contains(log.messages, strfmt("TEC map beyond the %zu that the file can hold, skipped", held)));
    EXPECT_TRUE(contains(log.messages,
                         strfmt("file ends early: %zu of 1000 TEC maps read, %zu dropped", held, 1000 - held)))
        << log.messages;
    EXPECT_TRUE(contains(log.messages, strfmt("\r\nNote! %zu more such messages in %s were not shown: TEC map "
                                              "beyond what the file can hold, skipped",
                                              1000 - held - MessageLimiter::kShownPerKind, path.c_str())));
    EXPECT_LT(log.messages.size(), 8000u);
}

// The station rows of the header's bias block: GPS ones kept by upper-case name (with or
// without a monument number), other systems passed over, a bad row named and skipped.
TEST(IonexReader, StationBiasRowsOfTheHeader) {
    std::string text = readWholeFile(kSyntheticIonex);
    const std::string rows =
        "DIFFERENTIAL CODE BIASES                                    START OF AUX DATA   \n"
        "   G01    -7.651     0.007                                  PRN / BIAS / RMS    \n"
        "   G  BJFS 21601M001         -14.396     0.048              STATION / BIAS / RMS\n"
        "   G  cat2                     3.125     0.050              STATION / BIAS / RMS\n"
        "   R  BJFS 21601M001          -2.000     0.100              STATION / BIAS / RMS\n"
        "   G  ALGO 40104M002           x.xxx     0.043              STATION / BIAS / RMS\n"
        "DIFFERENTIAL CODE BIASES                                    END OF AUX DATA     \n";
    text.insert(text.find("                                                            END OF HEADER"), rows);
    TempDir dir;
    IonexMaps maps;
    RunLog log;
    ASSERT_EQ(ReadIonexFile(dir.write("codg0010.20i", text), maps, log), IonexReadResult::kRead) << log.messages;
    EXPECT_EQ(maps.gpsStationDcb_ns, (std::map<std::string, double>{{"BJFS", -14.396}, {"CAT2", 3.125}}));
    EXPECT_TRUE(contains(log.messages, "Warning! IONEX station bias record not readable, skipped @line# 14")) << log.messages;
    EXPECT_EQ(maps.maps.size(), 2u);
    EXPECT_EQ(maps.badLines, 0);
}

}  // namespace velarix
