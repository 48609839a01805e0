#include "stations/igs_stations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "gnss/geodetic.h"
#include "test_support.h"

namespace {

const std::string kShippedDataDir = std::string(VELARIX_SOURCE_DIR) + "/data/";

std::string line(const std::string& code, const std::string& rest = "City\tCountry\t-56.1\t-12.5\t100.0\tAgency") {
    return code + "\t" + rest + "\n";
}

}  // namespace

TEST(IgsStations, ParsesFieldsLooksUpWithoutCaseAndKeepsTheFirstDuplicate) {
    TempDir dir;
    const std::string path = dir.write(
        "IGS_stations.txt",
        line("ALGO", "Algonquin Park\tCanada\t-78.071\t45.956\t201.258\tNatural Resources Canada") +
            line("bjfs", "lower\tcase\t1\t2\t3\tentry") + line("BJFS", "Beijing\tChina\t115.892\t39.609\t87.833\tCASM") +
            line("ALGO", "Second\tEntry\t0\t0\t0\tIgnored"));
    StationCatalogue catalogue;
    ASSERT_EQ(readIgsStationFile(path, catalogue), 0);
    ASSERT_EQ(catalogue.size(), 3u);

    const StationInfo* algo = findStation(catalogue, "algo");
    ASSERT_NE(algo, nullptr);
    EXPECT_EQ(algo->code, "ALGO");
    EXPECT_EQ(algo->city, "Algonquin Park");
    EXPECT_EQ(algo->country, "Canada");
    EXPECT_EQ(algo->agency, "Natural Resources Canada");
    EXPECT_DOUBLE_EQ(algo->longitude, -78.071);
    EXPECT_DOUBLE_EQ(algo->latitude, 45.956);
    EXPECT_DOUBLE_EQ(algo->altitude, 201.258);

    // Upper-case codes sort before lower-case ones, so "BJFS" is the first match of "bjfs".
    const StationInfo* bjfs = findStation(catalogue, "bjfs");
    ASSERT_NE(bjfs, nullptr);
    EXPECT_EQ(bjfs->city, "Beijing");
    EXPECT_EQ(findStation(catalogue, "BJF"), nullptr);
    EXPECT_EQ(findStation(catalogue, "XXXX"), nullptr);
}

TEST(IgsStations, ShortOrEmptyLastLineEndsTheListWithoutError) {
    TempDir dir;
    for (const std::string& ending : {std::string("\n"), std::string("\r\n"), std::string("ab"), std::string("  \r\n")}) {
        const std::string path = dir.write("list.txt", line("ALGO") + "\n" + line("BJFS") + ending);
        StationCatalogue catalogue;
        std::string error;
        EXPECT_EQ(readIgsStationFile(path, catalogue, &error), 0) << error;
        EXPECT_EQ(catalogue.size(), 2u);
    }
    // CR LF lines keep no CR in the last field.
    const std::string path = dir.write("crlf.txt", "ALGO\tA\tB\t1\t2\t3\tNRCan\r\n\r\n");
    StationCatalogue catalogue;
    ASSERT_EQ(readIgsStationFile(path, catalogue), 0);
    EXPECT_EQ(catalogue.at("ALGO").agency, "NRCan");
}

TEST(IgsStations, MalformedLineGivesMinusTwoNamingFileAndLine) {
    TempDir dir;
    const std::string longLine = "LONG\tCity\tCountry\t1\t2\t3\t" + std::string(200, 'x') + "\n";
    const struct {
        std::string bad;
        const char* what;
    } cases[] = {
        {"ZZZZ City Country 1 2 3 Agency\n", "blanks instead of TABs"},
        {line("ZZZZ", "City\tCountry\teast\t2\t3\tAgency"), "longitude not a number"},
        {line("ZZZZ", "City\tCountry\t1\t2\t3"), "missing agency field"},
        {line("ZZZZ", "City\tCountry\t1\t2x\t3\tAgency"), "latitude with trailing text"},
        {line("", "City\tCountry\t1\t2\t3\tAgency"), "empty code"},
        {longLine, "line longer than 190 characters"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.write("bad.txt", line("ALGO") + line("BJFS") + c.bad + line("WTZR"));
        StationCatalogue catalogue;
        std::string error;
        EXPECT_EQ(readIgsStationFile(path, catalogue, &error), -2) << c.what;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_NE(error.find("@line# 3"), std::string::npos) << error;
        EXPECT_EQ(catalogue.count("ALGO") + catalogue.count("BJFS"), 2u) << c.what;
        EXPECT_EQ(catalogue.count("WTZR"), 0u) << c.what;
    }
    // Exactly 190 characters is still a valid line.
    std::string exact = "EXAC\tC\tK\t1\t2\t3\t";
    exact += std::string(kIgsLineMaxChars - exact.size(), 'a');
    ASSERT_EQ(exact.size(), kIgsLineMaxChars);
    StationCatalogue catalogue;
    EXPECT_EQ(readIgsStationFile(dir.write("exact.txt", exact + "\n"), catalogue), 0);
}

TEST(IgsStations, MissingFileGivesMinusOneAndTheProgramDirectoryIsSearched) {
    TempDir dir;
    StationCatalogue catalogue;
    std::string error;
    EXPECT_EQ(readIgsStationFile(dir.path() + "absent.txt", catalogue, &error), -1);
    EXPECT_NE(error.find("absent.txt"), std::string::npos);
    EXPECT_EQ(loadIgsStations(dir.path(), catalogue, &error), -1);
    EXPECT_NE(error.find(dir.path()), std::string::npos) << error;
    EXPECT_TRUE(catalogue.empty());

    dir.write("IGS_stations.txt", line("ALGO"));
    EXPECT_EQ(loadIgsStations(dir.path(), catalogue), 0);
    EXPECT_EQ(catalogue.size(), 1u);
}

TEST(IgsStations, ShippedListLoadsWithBeijingAtItsHeaderPosition) {
    StationCatalogue catalogue;
    std::string error;
    ASSERT_EQ(loadIgsStations(kShippedDataDir, catalogue, &error), 0) << error;
    EXPECT_GE(catalogue.size(), 120u);
    for (const auto& [code, station] : catalogue) {
        EXPECT_EQ(code.size(), 4u) << code;
        EXPECT_FALSE(station.country.empty()) << code;
        EXPECT_FALSE(station.agency.empty()) << code;
        EXPECT_GE(station.latitude, -90.0) << code;
        EXPECT_LE(station.latitude, 90.0) << code;
        EXPECT_GE(station.longitude, -180.0) << code;
        EXPECT_LE(station.longitude, 180.0) << code;
        EXPECT_GT(station.altitude, -200.0) << code;
        EXPECT_LT(station.altitude, 6000.0) << code;
    }
    for (const char* code : {"ALGO", "AREQ", "BRAZ", "KOUR", "MAS1", "WTZR", "YELL", "ZIMM", "AC66", "AOPR", "CAT2",
                             "DELF", "DUTH", "ESBC", "KOSG", "NPAZ", "NYA1", "VLNS", "WSRA", "YORK", "ZEGV"}) {
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
    EXPECT_EQ(bjfs->country, "China");
}
