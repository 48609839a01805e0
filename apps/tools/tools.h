#pragma once
// Subcommands of velarix-tools. Each takes the arguments after its name and returns the
// process exit status.
#include <string>
#include <vector>

#include "stations/igs_stations.h"
#include "ui/run_options.h"

namespace velarix {

struct DayRequest;

using ToolArgs = std::vector<std::string>;

int toolClassify(const ToolArgs& args);
// Calendar date and time of an MJD, to the millisecond, for the summaries.
std::string calendarText(double mjd);
int toolDecompress(const ToolArgs& args);
int toolObsInfo(const ToolArgs& args);
int toolNavInfo(const ToolArgs& args);
int toolTec(const ToolArgs& args);
int toolSatPos(const ToolArgs& args);
int toolOrbitCheck(const ToolArgs& args);
int toolGimCheck(const ToolArgs& args);
int toolProducts(const ToolArgs& args);

// The request for the day of OBS with the navigation file NAV and the DCB files named on
// the command line (sorted by their CODE names; expanded into $TMPDIR). 0, or the exit
// status of a usage error (reported on standard error).
int givenDayRequest(const std::string& observation, const std::string& navigation, const ToolArgs& dcb,
                    DayRequest& request);
// --calibration WORD and --mapping WORD of the tools that run the RINEX job: args[i] is
// one of them: its value (args[i + 1], i advanced past it) goes into `options`. -1 when
// args[i] is neither, 0 when taken, 2 for a usage error (reported).
int calibrationOption(const ToolArgs& args, std::size_t& i, const char* tool, RunOptions& options);
extern const char* const kCalibrationUsage;  // the two options' lines for the usages

// The IGS station list beside the program, empty when it cannot be read.
StationCatalogue toolStationList();

}  // namespace velarix
