// The day of the tools that run the RINEX job (tec, products): the files named on the
// command line, nothing searched or downloaded.
#include <cstdio>

#include "control/given_dcb.h"
#include "control/rinex_job.h"
#include "platform/dir_search.h"
#include "platform/paths.h"
#include "platform/safe_output.h"
#include "tools/tools.h"

namespace velarix {

int givenDayRequest(const std::string& observation, const std::string& navigation, const ToolArgs& dcb,
                    DayRequest& request) {
    GivenDayFiles given;
    given.navigation = {navigation};
    const std::string refused = sortGivenDcbFiles(dcb, given);
    if (!refused.empty()) {
        std::fprintf(stderr, "velarix-tools: %s\n", refused.c_str());
        return 2;
    }
    request.inputPath = observation;
    request.observationFiles = {observation};
    request.dataDirectory = directoryOf(observation);
    request.workDirectory = temporaryDirectory() + "/";
    request.given = given;
    return 0;
}

const char* const kCalibrationUsage =
    "  --calibration floor|spread|dcb|model\n"
    "                   how the receiver bias sets the TEC level: floor (default: minimum\n"
    "                   spread, then the night minimum of the day lifted to 2 TECU), spread\n"
    "                   (minimum spread only), dcb (the station's published DCB from the DCB\n"
    "                   files or the codgDDD0.YYi map beside OBS, else spread), model (a\n"
    "                   least-squares fit of a local vertical TEC model, else spread)\n"
    "  --mapping thin-shell|mslm\n"
    "                   pierce points and slant-to-vertical mapping: the 350 km shell\n"
    "                   (default) or CODE's modified single-layer mapping (506.7 km, zenith\n"
    "                   angle x 0.9782)\n";

int calibrationOption(const ToolArgs& args, std::size_t& i, const char* tool, RunOptions& options) {
    const bool calibration = args[i] == "--calibration";
    if (!calibration && args[i] != "--mapping") return -1;
    const bool known = i + 1 < args.size() && (calibration ? parseCalibration(args[i + 1], options.calibration)
                                                           : parseMapping(args[i + 1], options.mapping));
    if (!known) {
        std::fprintf(stderr, "velarix-tools: %s: %s needs one of %s\n", tool, args[i].c_str(),
                     calibration ? "floor, spread, dcb, model" : "thin-shell, mslm");
        return 2;
    }
    ++i;
    return 0;
}

StationCatalogue toolStationList() {
    // The station list gives the position of a listed station whose header has none, and
    // the station's name on the products.
    StationCatalogue stations;
    if (loadIgsStations(programDirectory(), stations) != IgsReadResult::kRead) stations.clear();
    return stations;
}

}  // namespace velarix
