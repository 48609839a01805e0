#include "stations/igs_stations.h"

#include <gtest/gtest.h>

#include <sstream>

#include "geodesy/geodetic.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

std::string line(const std::string& code, const std::string& rest = "City\tCountry\t-56.1\t-12.5\t100.0\tAgency") {
    return code + "\t" + rest + "\n";
}

}  // namespace

TEST(IgsStations, ParsesFieldsFindsWithoutCaseAndKeepsTheFirstDuplicate) {
    TempDir dir;
    // CR LF ends; a short last line ends the list without an error.
    const std::string text = "ALGO\tAlgonquin Park\tCanada\t-78.071\t45.956\t201.258\tNatural Resources Canada\r\n" +
                             line("bjfs", "lower\tcase\t1\t2\t3\tentry") + "\n" +
                             line("BJFS", "Beijing\tChina\t115.892\t39.609\t87.833\tCASM") +
                             line("ALGO", "Second\tEntry\t0\t0\t0\tIgnored");
    for (const std::string& ending : {std::string(""), std::string("ab"), std::string("  \r\n")}) {
        StationCatalogue catalogue;
        std::string error;
        ASSERT_EQ(readIgsStationFile(dir.write("IGS_stations.txt", text + ending), catalogue, &error),
                  IgsReadResult::kRead) << error;
        ASSERT_EQ(catalogue.size(), 3u);
        ASSERT_NE(findStation(catalogue, "algo"), nullptr);
        const StationInfo& algo = *findStation(catalogue, "algo");
        EXPECT_EQ(algo.code + "|" + algo.city + "|" + algo.country + "|" + algo.agency,
                  "ALGO|Algonquin Park|Canada|Natural Resources Canada");
        EXPECT_EQ(strfmt("%.3f %.3f %.3f", algo.longitude, algo.latitude, algo.altitude), "-78.071 45.956 201.258");
        // Upper-case codes sort before lower-case ones, so "BJFS" is the first match of "bjfs".
        EXPECT_EQ(findStation(catalogue, "bjfs")->city, "Beijing");
        EXPECT_EQ(findStation(catalogue, "BJF"), nullptr);
    }
}

TEST(IgsStations, MalformedLineOrMissingFileIsReportedWithFileAndLine) {
    TempDir dir;
    std::string exact = "EXAC\tC\tK\t1\t2\t3\t";
    exact += std::string(kIgsLineMaxChars - exact.size(), 'a');
    const std::string cases[] = {
        "ZZZZ City Country 1 2 3 Agency\n",                    // blanks instead of TABs
        line("ZZZZ", "City\tCountry\teast\t2\t3\tAgency"),     // longitude not a number
        line("ZZZZ", "City\tCountry\t1\t2\t3"),                // no agency
        line("", "City\tCountry\t1\t2\t3\tAgency"),            // no code
        exact + "a\n",                                         // longer than 190 characters
    };
    for (const std::string& bad : cases) {
        const std::string path = dir.write("bad.txt", line("ALGO") + line("BJFS") + bad + line("WTZR"));
        StationCatalogue catalogue;
        std::string error;
        EXPECT_EQ(readIgsStationFile(path, catalogue, &error), IgsReadResult::kMalformedLine) << bad;
        EXPECT_TRUE(contains(error, path) && contains(error, "@line# 3")) << error;
        EXPECT_EQ(catalogue.size(), 2u) << bad;  // the lines before stay loaded
    }
    StationCatalogue catalogue;
    EXPECT_EQ(readIgsStationFile(dir.write("exact.txt", exact + "\n"), catalogue), IgsReadResult::kRead);

    std::string error;
    EXPECT_EQ(loadIgsStations(dir.path(), catalogue, &error), IgsReadResult::kCannotOpen);  // no IGS_stations.txt there
    EXPECT_TRUE(contains(error, dir.path())) << error;
    // A folder is refused, not read as an empty list.
    EXPECT_EQ(readIgsStationFile(dir.path(), catalogue, &error), IgsReadResult::kCannotOpen);
    EXPECT_EQ(error, "\r\nError! " + dir.path() + " is not a regular file");
}

TEST(IgsStations, ShippedListHoldsTheDataStationsAndBeijingAtItsHeaderPosition) {
    StationCatalogue catalogue;
    std::string error;
    ASSERT_EQ(loadIgsStations(VELARIX_SOURCE_DIR "/data/", catalogue, &error), IgsReadResult::kRead) << error;
    EXPECT_GE(catalogue.size(), 120u);
    for (const char* code : {"AC66", "AOPR", "BELE", "BJFS", "CAT2", "DGAR", "DUTH", "ESBC", "NYA1", "VLNS", "YORK"}) {
        EXPECT_NE(findStation(catalogue, code), nullptr) << code;
    }

    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "shared data not on this machine";
    const std::string header = readWholeFile(shared + "set1_bjfs_2020_001/bjfs0010.20o").substr(0, 4000);
    const std::size_t label = header.find("APPROX POSITION XYZ");
    ASSERT_NE(label, std::string::npos);
    std::istringstream xyz(header.substr(header.rfind('\n', label) + 1, 60));
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(xyz >> x >> y >> z);
    const GeodeticPosition expected = ecefToGeodetic(x, y, z);
    const StationInfo* bjfs = findStation(catalogue, "bjfs");
    ASSERT_NE(bjfs, nullptr);
    EXPECT_NEAR(bjfs->latitude, expected.latitude_deg, 0.01);
    EXPECT_NEAR(bjfs->longitude, expected.longitude_deg, 0.01);
    EXPECT_NEAR(bjfs->altitude, expected.height_m, 1.0);
}

}  // namespace velarix
