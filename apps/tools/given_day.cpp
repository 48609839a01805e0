// The day of the tools that run the RINEX job (tec, products): the files named on the
// command line, nothing searched or downloaded.
#include <cstdio>

#include "control/rinex_job.h"
#include "gnss/bias/dcb_names.h"
#include "platform/dir_search.h"
#include "platform/paths.h"
#include "platform/safe_output.h"
#include "tools/tools.h"

int givenDayRequest(const std::string& observation, const std::string& navigation, const ToolArgs& dcb,
                    DayRequest& request) {
    GivenDayFiles given;
    given.navigation = {navigation};
    for (const std::string& path : dcb) {
        std::string* slot = nullptr;
        switch (DcbKindOfName(path)) {
            case DcbFileKind::kP1c1: slot = &given.p1c1; break;
            case DcbFileKind::kP1p2: slot = &given.p1p2; break;
            case DcbFileKind::kP1p2All: slot = &given.p1p2All; break;
            case DcbFileKind::kBiasSinex: slot = &given.biasSinex; break;
            case DcbFileKind::kNone: break;
        }
        if (slot == nullptr) {
            std::fprintf(stderr, "velarix-tools: %s: not a DCB file name (P1C1yymm.DCB, P1P2yymm.DCB, "
                                 "P1P2yymm_ALL.DCB, or a Bias-SINEX long name such as "
                                 "CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz)\n", path.c_str());
            return 2;
        }
        if (!slot->empty()) {
            std::fprintf(stderr, "velarix-tools: %s: a second DCB file of the same kind\n", path.c_str());
            return 2;
        }
        *slot = path;
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
    if (loadIgsStations(programDirectory(), stations) != 0) stations.clear();
    return stations;
}
