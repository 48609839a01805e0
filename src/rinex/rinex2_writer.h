#pragma once
// The RINEX 2.10 GPS observation writer: the receiver table (receiver_obs_table.h) as an
// observation file decimated to a 30-second grid, for recordings of other formats. The
// file is written under a temporary name and moved into place only when complete; an
// existing file of the final name is never replaced.
#include <array>
#include <string>
#include <vector>

#include "platform/run_log.h"
#include "rinex/receiver_obs_table.h"

namespace velarix {

// The observables a copy can carry, in the record's fields.
enum class RinexCopyType { kC1, kC2, kP1, kP2, kL1, kL2, kS1, kS2, kD1, kD2 };

// "C1", "P2", ...
const char* rinexCopyTypeName(RinexCopyType type);

// The sets of the receivers the program knows: NovAtel GSV4004 (8 types), Leica (4) and
// Ashtech or the AER text format (6).
std::vector<RinexCopyType> NovatelCopyTypes();  // C1 P2 L1 L2 S1 S2 D1 D2
std::vector<RinexCopyType> LeicaCopyTypes();    // P1 P2 L1 L2
std::vector<RinexCopyType> AshtechCopyTypes();  // P1 P2 L1 L2 S1 S2
// For any other receiver: every type the table holds a value of, in the order
// C1 C2 P1 P2 L1 L2 S1 S2 D1 D2.
std::vector<RinexCopyType> CopyTypesHeld(const ReceiverObsTable& table);

// The header's texts and values; empty texts are written as "unknown".
struct RinexCopyHeader {
    std::string markerName = "Not available";
    std::string observer, agency;
    std::string receiverNumber, receiverType, receiverVersion;
    std::string antennaNumber = "Antenna number";
    std::string antennaType = "Antenna type";
    std::array<double, 3> approxPosition_m{};
    std::array<double, 3> antennaDeltaHen_m{};  // zeros when the recording gave none
    std::vector<RinexCopyType> types;
    std::string date;  // "yyyy-mm-dd" of the run; "" for today's local date
};

// The epochs (ascending MJD) to write for a data interval (s; 0 or less when unknown).
// With an interval of 30 s or more, every epoch. Otherwise, for each point of the day's
// 30-second grid, the epoch nearest to it within half the interval (5 s when the interval
// is unknown), the earlier of two equally near; it is written at its own time.
std::vector<double> DecimatedEpochs(const std::vector<double>& epochsMjd, double dataInterval_s);

enum class RinexCopyResult {
    kWritten = 0,
    kNotWritten = -1,  // the file exists already, or could not be created or completed
    kNoData = -2,      // no GPS record to write; no file
};

// Writes the GPS satellites 1-32 of `table` to `path`, the path first named in `log`.
// Values that do not fit the format's fields (14 characters, 3 decimals) are left blank
// and counted in the log, as are loss-of-lock indicators that are no digit 1-9.
[[nodiscard]] RinexCopyResult WriteRinexCopyFile(const ReceiverObsTable& table, const RinexCopyHeader& header,
                                                 double dataInterval_s, const std::string& path, RunLog& log);

}  // namespace velarix
