#include "stations/psn_file.h"

#include <gtest/gtest.h>

#include "gnss/geodetic.h"
#include "test_support.h"

TEST(PsnFile, AveragesOnlyTheFirstTenPositionLines) {
    TempDir dir;
    std::string text;
    for (int i = 1; i <= 12; ++i) {
        text += std::to_string(i) + " " + std::to_string(-70 - i) + " " + std::to_string(100 * i) + " fix\n";
    }
    PsnPosition position;
    std::string error = "left over";
    ASSERT_EQ(readPsnFile(dir.write("site.PSN", text), position, error), 0);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(position.linesUsed, 10);
    EXPECT_DOUBLE_EQ(position.latitude_deg, 5.5);
    EXPECT_DOUBLE_EQ(position.longitude_deg, 360.0 - 75.5);
    EXPECT_DOUBLE_EQ(position.height, 550.0);
}

TEST(PsnFile, NegativeAverageLongitudeIsStoredEastAndCartesianMatches) {
    TempDir dir;
    const std::string path = dir.write("a.psn", "-12.0 -56.0 210.0 x\r\n-12.2 -56.2 190.0 y\r\n");
    PsnPosition position;
    std::string error;
    ASSERT_EQ(readPsnFile(path, position, error), 0);
    EXPECT_EQ(position.linesUsed, 2);
    EXPECT_NEAR(position.longitude_deg, 303.9, 1e-9);
    EXPECT_NEAR(position.latitude_deg, -12.1, 1e-9);
    EXPECT_NEAR(position.height, 200.0, 1e-9);
    const EcefPosition expected = geodeticToEcef(-12.1, -56.1, 200.0);
    EXPECT_NEAR(position.x_m, expected.x_m, 1e-6);
    EXPECT_NEAR(position.y_m, expected.y_m, 1e-6);
    EXPECT_NEAR(position.z_m, expected.z_m, 1e-6);
    const GeodeticPosition back = ecefToGeodetic(position.x_m, position.y_m, position.z_m);
    EXPECT_NEAR(back.longitude_deg, -56.1, 1e-9);
}

TEST(PsnFile, SkipsTLinesShortLinesAndTextLines) {
    TempDir dir;
    std::string text = "Lat Lon Height Remark\n";  // a column header, not a position
    text += "T 99 99 99\n";
    text += "10.0 20.0\n";            // fewer than four fields
    text += "10.0 20.0 30.0\n";       // three fields only
    text += "\n";
    for (int i = 0; i < 10; ++i) text += "T 1 2 3 time record\n2.0 4.0 6.0 pos\n";
    PsnPosition position;
    std::string error;
    ASSERT_EQ(readPsnFile(dir.write("b.psn", text), position, error), 0);
    EXPECT_EQ(position.linesUsed, 10);
    EXPECT_DOUBLE_EQ(position.latitude_deg, 2.0);
    EXPECT_DOUBLE_EQ(position.longitude_deg, 4.0);
    EXPECT_DOUBLE_EQ(position.height, 6.0);
}

TEST(PsnFile, NoPositionLineAndUnreadableFileLeaveTheResultUntouched) {
    TempDir dir;
    PsnPosition position;
    position.latitude_deg = 7.0;
    position.linesUsed = 3;
    std::string error;
    const std::string onlyT = dir.write("t.psn", "T 1 2 3\nT 4 5 6\n");
    EXPECT_EQ(readPsnFile(onlyT, position, error), -2);
    EXPECT_NE(error.find(onlyT), std::string::npos);
    EXPECT_EQ(error.find("\r\nError!"), 0u);
    EXPECT_EQ(readPsnFile(dir.write("empty.psn", ""), position, error), -2);
    EXPECT_DOUBLE_EQ(position.latitude_deg, 7.0);
    EXPECT_EQ(position.linesUsed, 3);

    const std::string missing = dir.path() + "missing.PSN";
    EXPECT_EQ(readPsnFile(missing, position, error), -1);
    EXPECT_EQ(error, "\r\nError! unable to read .PSN file\r\n" + missing + "\r\n");
    EXPECT_EQ(position.linesUsed, 3);
}
