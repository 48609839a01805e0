#include "stations/psn_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/geodetic.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

TEST(PsnFile, AveragesTheFirstTenPositionLinesSkippingOthers) {
    TempDir dir;
    // A column header, a T record, lines of too few fields: none is a position line.
    std::string text = "Lat Lon Height Remark\nT 99 99 99\n10.0 20.0\n10.0 20.0 30.0\n\n";
    for (int i = 1; i <= 12; ++i) text += strfmt("%d %d %d fix\r\n", i, -70 - i, 100 * i);
    PsnPosition position;
    std::string error = "left over";
    ASSERT_EQ(readPsnFile(dir.write("site.PSN", text), position, error), PsnReadResult::kRead);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(strfmt("%d %.9f %.9f %.9f", position.linesUsed, position.latitude_deg, position.longitude_deg,
                     position.height),
              "10 5.500000000 284.500000000 550.000000000");

    // An average longitude of -56.1 is stored as 303.9; the Cartesian position matches.
    ASSERT_EQ(readPsnFile(dir.write("a.psn", "-12.0 -56.0 210.0 x\n-12.2 -56.2 190.0 y\n"), position, error),
              PsnReadResult::kRead);
    EXPECT_EQ(strfmt("%.9f %.9f %.9f", position.latitude_deg, position.longitude_deg, position.height),
              "-12.100000000 303.900000000 200.000000000");
    const EcefPosition e = geodeticToEcef(-12.1, -56.1, 200.0);
    EXPECT_NEAR(std::hypot(position.x_m - e.x_m, position.y_m - e.y_m, position.z_m - e.z_m), 0.0, 1e-6);
}

TEST(PsnFile, NoPositionLineOrNoFileLeavesTheResultUntouched) {
    TempDir dir;
    PsnPosition position{.latitude_deg = 7.0, .linesUsed = 3};
    std::string error;
    const std::string onlyT = dir.write("t.psn", "T 1 2 3\nT 4 5 6\n");
    EXPECT_EQ(readPsnFile(onlyT, position, error), PsnReadResult::kNoPosition);
    EXPECT_TRUE(error.starts_with("\r\nError!") && contains(error, onlyT)) << error;
    EXPECT_EQ(readPsnFile(dir.write("empty.psn", ""), position, error), PsnReadResult::kNoPosition);
    const std::string missing = dir.path() + "missing.PSN";
    EXPECT_EQ(readPsnFile(missing, position, error), PsnReadResult::kCannotOpen);
    EXPECT_EQ(error, "\r\nError! unable to read .PSN file\r\n" + missing + "\r\n");
    // A folder of that name is refused as such, not read as a file without positions.
    EXPECT_EQ(readPsnFile(dir.path(), position, error), PsnReadResult::kNotRegularFile);
    EXPECT_EQ(error, "\r\nError! .PSN file is not a regular file\r\n" + dir.path() + "\r\n");
    EXPECT_DOUBLE_EQ(position.latitude_deg, 7.0);
    EXPECT_EQ(position.linesUsed, 3);
}

}  // namespace velarix
