#pragma once
// Vertical TEC records read back from the files the program writes, for the checks
// against global ionosphere maps.
#include <string>
#include <vector>

#include "platform/status_code.h"

namespace velarix {

class RunLog;

// One record of ours.
struct VtecSample {
    double epochMjd = 0.0;
    double elevation_deg = 0.0;
    double ippLatitude_deg = 0.0;
    double ippLongitude_deg = 0.0;
    double verticalTec_TECU = 0.0;
};

// The layouts a TEC file may have: the table that `velarix-tools tec` prints, or the
// ".Cmn" product (any case of the extension).
enum class TecFileLayout { kToolTable, kCmn };
TecFileLayout TecFileLayoutOf(const std::string& path);

// How a read of our TEC records ended.
enum class VtecReadResult {
    kRead = 0,
    kCannotOpen = -1,  // the file cannot be opened or is no regular file
    kNoSamples = -2,   // the header lacks a column read, or no row could be read
};

// Reads the table printed by `velarix-tools tec` (tab-separated, a header line of column
// names): the columns MJD, elevation_deg, ippLatitude_deg, ippLongitude_deg and
// verticalTec_TECU, wherever they stand; every row is a valid record. Rows that cannot be
// read are reported with their line and skipped. kRead when at least one row was read;
// otherwise the message names the file and says which problem it was.
[[nodiscard]] VtecReadResult ReadTecToolTable(const std::string& path, std::vector<VtecSample>& samples, RunLog& log);

// Reads a ".Cmn" product: three header lines (station, position, column names), then
// tab-separated data lines "MJD, time, PRN, azimuth, elevation, pierce-point latitude and
// longitude, slant TEC, vertical TEC, S4"; every line is a valid record. The same results
// and reports as ReadTecToolTable; kNoSamples also when the third line is not the column
// names'.
[[nodiscard]] VtecReadResult ReadCmnFile(const std::string& path, std::vector<VtecSample>& samples, RunLog& log);

// The reader that fits the file's layout.
[[nodiscard]] VtecReadResult ReadVtecSamples(const std::string& path, std::vector<VtecSample>& samples, RunLog& log);

}  // namespace velarix
