// velarix-tools tec: reads a station-day as the pipeline does (observation, navigation and
// DCB files; station position from the header or the position solution), derives TEC and
// prints it per satellite and epoch as a tab-separated table; with --calibrated, after the
// S4 stage and the bias estimation. The run log goes to standard error.
#include <cstdio>
#include <list>
#include <string>

#include "control/classify.h"
#include "decompress/plain_copy.h"
#include "gnss/bias/bias_estimation.h"
#include "gnss/day_reading.h"
#include "gnss/bias/dcb_names.h"
#include "gnss/tec/raw_analyse.h"
#include "gnss/s4/s4_stage.h"
#include "platform/paths.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"
#include "tools/tools.h"

namespace {

const char* const kUsage =
    "Usage: velarix-tools tec OBS NAV [DCB...] [--calibrated]\n"
    "\n"
    "Derives slant and vertical TEC of every satellite and epoch of the observation file\n"
    "OBS with the broadcast ephemerides of NAV, before any bias calibration. DCB files are\n"
    "known by their CODE names: P1C1yymm.DCB, P1P2yymm.DCB, P1P2yymm_ALL.DCB (also .Z).\n"
    "Compressed inputs (.Z, gzip, Compact RINEX) are expanded on the fly. The station\n"
    "position is the header's, or the position solution when the header has none.\n"
    "\n"
    "Output: a header line, then one tab-separated line per satellite and epoch: MJD,\n"
    "satellite, elevation and azimuth (deg), pierce-point latitude and longitude (deg,\n"
    "350 km shell), code, phase, levelled slant and vertical TEC (TECU).\n"
    "\n"
    "--calibrated: then runs the S4 stage (pseudo-S4 from S1, or a LISN S4 file in the\n"
    "data folder) and the bias estimation as the pipeline does, and prints the slant and\n"
    "vertical TEC with the satellite, interchannel and receiver biases removed, plus a\n"
    "last column S4 (-1 where the record has none). Only valid records are printed: those\n"
    "whose calibrated vertical TEC the bias stage found out of range (below -50 or above\n"
    "200 TECU) are left out and counted on standard error. The bias summary follows the\n"
    "run log on standard error. This table is what `velarix-tools gimcheck` reads.\n"
    "\n"
    "Exit status: 0 when TEC was derived (and calibrated), 1 when the files could not be\n"
    "read, gave no TEC or the bias estimation failed (the run log on standard error says\n"
    "why, with the stage's code), 2 for a usage error.\n";

const char* const kColumns =
    "MJD\tsatellite\televation_deg\tazimuth_deg\tippLatitude_deg\tippLongitude_deg\t"
    "codeTec_TECU\tphaseTec_TECU\tslantTec_TECU\tverticalTec_TECU";

constexpr std::size_t kMinSatellites = 4;

struct TecInputs {
    std::string observation;
    std::string navigation;
    std::vector<std::string> dcb;
};

// Plain copies of the inputs live in `copies` for as long as the day is read.
bool plainPath(const std::string& path, std::list<PlainCopy>& copies, std::string& plain) {
    const PlainCopy& copy = copies.emplace_back(path);
    if (!copy.ok()) {
        std::fprintf(stderr, "velarix-tools: %s: %s\n", path.c_str(), copy.error().c_str());
        return false;
    }
    if (!copy.warning().empty()) std::fprintf(stderr, "velarix-tools: %s: %s\n", path.c_str(), copy.warning().c_str());
    plain = copy.path();
    return true;
}

// 0, or the exit status of a failure (reported).
int dayFiles(const TecInputs& inputs, std::list<PlainCopy>& copies, DayFiles& files) {
    for (const std::string& path : inputs.dcb) {
        std::string* slot = nullptr;
        switch (DcbKindOfName(path)) {
            case DcbFileKind::kP1c1: slot = &files.p1c1Path; break;
            case DcbFileKind::kP1p2: slot = &files.p1p2Path; break;
            case DcbFileKind::kP1p2All: slot = &files.p1p2AllPath; break;
            case DcbFileKind::kNone: break;
        }
        if (slot == nullptr) {
            std::fprintf(stderr, "velarix-tools: %s: not a DCB file name (P1C1yymm.DCB, P1P2yymm.DCB, "
                                 "P1P2yymm_ALL.DCB)\n", path.c_str());
            return 2;
        }
        if (!slot->empty()) {
            std::fprintf(stderr, "velarix-tools: %s: a second DCB file of the same kind\n", path.c_str());
            return 2;
        }
        if (!plainPath(path, copies, *slot)) return 1;
    }
    std::string navigation;
    if (!plainPath(inputs.navigation, copies, navigation)) return 1;
    if (!plainPath(inputs.observation, copies, files.observationPath)) return 1;
    files.navigationPaths.push_back(navigation);
    return 0;
}

bool holdsTec(const TecTable& tec) {
    for (const auto& [satNo, series] : tec) {
        if (!series.empty()) return true;
    }
    return false;
}

// Reads the day and derives TEC: "" when TEC was derived, else why not (the run log in
// `log` has the details).
std::string deriveTec(const DayFiles& files, DayJob& job, RunLog& log) {
    switch (ReadDayFiles(job, files, log)) {
        case kDayRead: break;
        case kDayObservationFailed: return "the observation file could not be read";
        case kDayNavigationFailed:
            return "the navigation file could not be read, or holds no ephemeris within a day of the observations";
        case kDayNoStationPosition: return "no station position: not in the header, and the solution failed";
        default: return "the files could not be read";
    }
    if (job.obs.bySatellite.size() < kMinSatellites) {
        log.append("Info3! insufficient no. of raw-data PRNs to analyze\r\n");
        return strfmt("observations of fewer than %zu satellites", kMinSatellites);
    }
    const int result = RawAnalyse(job, log);
    if (result != 0) {
        log.append("\r\nSome errors in observation processing... err = " + strfmt("%d", result) + " \r\n");
        return strfmt("the TEC derivation failed, err = %d", result);
    }
    if (!holdsTec(job.tec)) return "no TEC record: no satellite had an ephemeris and usable observations";
    return {};
}

// The S4 stage and the bias estimation, with the messages of the pipeline's common
// block: EstimateBiases' result.
int calibrate(DayJob& job, RunLog& log) {
    if ((job.dcb.loaded & DcbTable::kP1p2Loaded) == 0) {
        log.append(job.dcb.loaded == 0 ? "\r\nWarning! no usable DCB file: every satellite bias is zero\r\n"
                                       : "\r\nWarning! no usable P1-P2 DCB file: every satellite bias is zero\r\n");
    }
    GetS4(job, S4Config{programDirectory(), {}}, log);
    const int result = EstimateBiases(job, log);
    if (result == -9) {
        log.append(
            strfmt("\r\nError! Rx bais out of bounds (extreme TEC values code= %d or few TEC points)\r\n", result));
    } else if (result != 0) {
        log.append(strfmt("\r\nSome errors in receiver bais processing... err = %d", result));
    }
    return result;
}

// The station and kind of recording the S4 stage looks at, from the observation file's name.
void describeInput(const std::string& observationPath, DayJob& job) {
    const InputFileInfo info = classify(observationPath);
    job.context.reset(observationPath);
    job.context.stationCode = info.stationCode;
    setInputKindFlags(job.kinds, info);
    job.kinds.rinexObs = 1;  // whatever its name, the file is read as RINEX
}

// Calibrated: only valid records, with an S4 column. Returns the records left out.
int printTable(const TecTable& tec, bool calibrated, std::FILE* out) {
    std::fprintf(out, "%s%s\n", kColumns, calibrated ? "\tS4" : "");
    int invalid = 0;
    for (const auto& [satNo, series] : tec) {
        const std::string label = satelliteLabel(satNo);
        for (const auto& [epochMjd, r] : series) {
            if (calibrated && r.valid != 1) {
                ++invalid;
                continue;
            }
            std::fprintf(out, "%.8f\t%s\t%.4f\t%.4f\t%.4f\t%.4f\t%.3f\t%.3f\t%.3f\t%.3f", epochMjd, label.c_str(),
                         r.elevation_deg, r.azimuth_deg, r.ippLatitude_deg, r.ippLongitude_deg, r.codeTec, r.phaseTec,
                         r.slantTec, r.verticalTec);
            std::fputs(calibrated ? strfmt("\t%.3f\n", r.s4).c_str() : "\n", out);
        }
    }
    return invalid;
}

}  // namespace

int toolTec(const ToolArgs& args) {
    ToolArgs files;
    bool calibrated = false;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--calibrated") {
            calibrated = true;
        } else if (startsWith(arg, "-")) {
            std::fprintf(stderr, "velarix-tools: tec: unknown option '%s'\n%s", arg.c_str(), kUsage);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const TecInputs inputs{files[0], files[1], ToolArgs(files.begin() + 2, files.end())};
    std::list<PlainCopy> copies;
    DayFiles dayPaths;
    if (const int status = dayFiles(inputs, copies, dayPaths); status != 0) return status;

    DayJob job;
    RunLog log;
    if (calibrated) describeInput(inputs.observation, job);
    const std::string failure = deriveTec(dayPaths, job, log);
    const int biasResult = failure.empty() && calibrated ? calibrate(job, log) : 0;
    std::fputs(withLineFeeds(log.messages).c_str(), stderr);
    std::fputs("\n", stderr);
    if (!failure.empty()) {
        std::fprintf(stderr, "velarix-tools: tec: %s\n", failure.c_str());
        return 1;
    }
    if (biasResult != 0) {
        std::fprintf(stderr, "velarix-tools: tec: the bias estimation failed, err = %d\n", biasResult);
        return 1;
    }
    if (calibrated) std::fprintf(stderr, "%s\n", withLineFeeds(biasSummaryText(job)).c_str());
    const int invalid = printTable(job.tec, calibrated, stdout);
    if (invalid > 0)
        std::fprintf(stderr, "velarix-tools: tec: %d records flagged invalid by the bias stage are not printed\n",
                     invalid);
    return 0;
}
