// velarix-tools tec: reads a station-day as the pipeline does (observation, navigation and
// DCB files; station position from the header or the position solution), derives TEC and
// prints it per satellite and epoch as a tab-separated table. The run log goes to
// standard error.
#include <cstdio>
#include <list>
#include <string>

#include "decompress/plain_copy.h"
#include "gnss/day_reading.h"
#include "gnss/dcb_names.h"
#include "gnss/raw_analyse.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"
#include "tools/tools.h"

namespace {

const char* const kUsage =
    "Usage: velarix-tools tec OBS NAV [DCB...]\n"
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
    "Exit status: 0 when TEC was derived, 1 when the files could not be read or gave no\n"
    "TEC (the run log on standard error says why), 2 for a usage error.\n";

const char* const kColumns =
    "MJD\tsatellite\televation_deg\tazimuth_deg\tippLatitude_deg\tippLongitude_deg\t"
    "codeTec_TECU\tphaseTec_TECU\tslantTec_TECU\tverticalTec_TECU\n";

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
        std::fprintf(stderr, "velarix-tools: %s\n", copy.error().c_str());
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

// Reads the day and derives TEC: kDayRead's 0 and RawAnalyse's 0, else a failure
// reported in `log`.
bool deriveTec(const DayFiles& files, DayJob& job, RunLog& log) {
    if (ReadDayFiles(job, files, log) != kDayRead) return false;
    if (job.obs.bySatellite.size() < kMinSatellites) {
        log.append("Info3! insufficient no. of raw-data PRNs to analyze\r\n");
        return false;
    }
    const int result = RawAnalyse(job, log);
    if (result != 0) log.append("\r\nSome errors in observation processing... err = " + strfmt("%d", result) + " \r\n");
    return result == 0;
}

void printTable(const TecTable& tec, std::FILE* out) {
    std::fputs(kColumns, out);
    for (const auto& [satNo, series] : tec) {
        const std::string label = satelliteLabel(satNo);
        for (const auto& [epochMjd, r] : series) {
            std::fprintf(out, "%.8f\t%s\t%.4f\t%.4f\t%.4f\t%.4f\t%.3f\t%.3f\t%.3f\t%.3f\n", epochMjd, label.c_str(),
                         r.elevation_deg, r.azimuth_deg, r.ippLatitude_deg, r.ippLongitude_deg, r.codeTec, r.phaseTec,
                         r.slantTec, r.verticalTec);
        }
    }
}

}  // namespace

int toolTec(const ToolArgs& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (startsWith(arg, "-")) {
            std::fprintf(stderr, "velarix-tools: tec: unknown option '%s'\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (args.size() < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const TecInputs inputs{args[0], args[1], ToolArgs(args.begin() + 2, args.end())};
    std::list<PlainCopy> copies;
    DayFiles files;
    if (const int status = dayFiles(inputs, copies, files); status != 0) return status;

    DayJob job;
    RunLog log;
    const bool derived = deriveTec(files, job, log);
    std::fputs(withLineFeeds(log.messages).c_str(), stderr);
    std::fputs("\n", stderr);
    if (!derived) return 1;
    printTable(job.tec, stdout);
    return 0;
}
