// The observation and navigation readers refuse a folder (or FIFO, device) as no regular
// file, with a status and a message of its own, instead of reading it as an empty file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "platform/run_log.h"
#include "rinex/nav_gps_r2_reader.h"
#include "rinex/nav_reader.h"
#include "rinex/obs_reader.h"
#include "test_support.h"

namespace velarix {

TEST(ReaderRefusal, AFolderIsNoObservationOrNavigationFile) {
    TempDir dir;
    const std::string folder = dir.path() + "abcd0010.20o";
    std::filesystem::create_directory(folder);
    const std::string missing = dir.path() + "missing.20o";

    for (const auto& [path, status, message] :
         {std::tuple{folder, kObsNotRegularFile, "\r\nError! observation input file " + folder + ": not a regular file"},
          std::tuple{missing, kObsCannotOpen, "\r\nCan't open observation input file " + missing}}) {
        ObsTable table;
        Rinex3ObsHeader header;
        RunLog log;
        OBS_readR3(path, table, header, log);
        EXPECT_EQ(table.readStatus, status) << path;
        EXPECT_EQ(log.messages, message);
    }

    for (const auto& [path, result, message] :
         {std::tuple{folder, NavReadResult::kNotRegularFile,
                     "\r\nError! navigation file " + folder + ": not a regular file"},
          std::tuple{missing, NavReadResult::kCannotOpen, "\r\nCan't open Nav. file: " + missing}}) {
        EphemerisTable table;
        NavHeader header;
        RunLog log;
        EXPECT_EQ(readNavigationFile(path, table, header, log), result) << path;
        EXPECT_EQ(log.messages, message);
        GpsBroadcastTable gps;
        RunLog gpsLog;
        EXPECT_EQ(readGpsNavigationR2(path, gps, header, gpsLog), result) << path;
        EXPECT_EQ(gpsLog.messages, message);
    }
}

}  // namespace velarix
