#pragma once
// The day of a command file (control/command_file.h): its RINEX 2 observation files read
// into the receiver table, the named navigation files, the month's DCB files (Use_Sat_DCB)
// and the receiver bias of the station's ".Bias" file of the day (Use_Rx_bias), then the
// receiver-format TEC derivation and the common block of the RINEX job, the products in
// OutPut_path and the "_cmn.dat" file of the last TEC values. One call with explicit
// inputs, as the RINEX job.
#include <optional>
#include <string>
#include <vector>

#include "control/command_file.h"
#include "control/rinex_job.h"

namespace velarix {

// The observation files of the run: the named ones (in Data_Path unless absolute), or,
// with Read_All_inDir Yes, every RINEX 2 observation file of the first named file's
// station and the command file's day in Data_Path (plain, compressed or Compact RINEX).
std::vector<std::string> CommandObservationFiles(const CommandFile& file);

// The path of the products named from the run: OutPut_path and the one observation
// file's name up to its first point, or, for several files, the station's daily name
// (station, day of year, "0"). The CMN file is this plus ".cmn", the bias summary ".Bias"
// and the last TEC values "_cmn.dat".
std::string CommandProductBase(const CommandFile& file, const std::vector<std::string>& observationFiles,
                               const std::string& stationCode);

// The receiver bias (TECU) of the ".Bias" file of `stationCode` and the day in
// `dataPath`, as the RINEX job names it ("bjfs001-2020-01-01.Bias", any case): the number
// after "Total=". Nothing (reported) when there is no such file or it holds no total;
// the run then estimates the bias from the data.
std::optional<double> ReceiverBiasOfDay(const std::string& dataPath, const std::string& stationCode, int year,
                                        int dayOfYear, RunLog& log);

// Processes the day of a validated command file. kDone, or the reason the day
// ended (see RinexDayResult). The paths of the products written go to `written`.
[[nodiscard]] RinexDayResult RunCommandFile(const CommandFile& file, const DayEnvironment& environment, DayJob& job,
                                            RunLog& log, std::vector<std::string>* written = nullptr);

}  // namespace velarix
