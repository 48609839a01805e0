// velarix-tools tec: runs the RINEX job on the given observation, navigation and DCB
// files up to the TEC (or, with --calibrated, up to the S4 stage and the bias estimation)
// and prints the TEC per satellite and epoch as a tab-separated table. The run log goes
// to standard error.
#include <cstdio>
#include <string>

#include "control/rinex_job.h"
#include "platform/number_text.h"
#include "platform/paths.h"
#include "platform/run_log.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"
#include "tools/tools.h"

namespace velarix {

namespace {

const char* const kUsage =
    "Usage: velarix-tools tec OBS NAV [DCB...] [--calibrated] [--calibration CHOICE]\n"
    "                         [--mapping MAPPING]\n"
    "\n"
    "Derives slant and vertical TEC of every satellite and epoch of the observation file\n"
    "OBS with the broadcast ephemerides of NAV, before any bias calibration. DCB files are\n"
    "known by their CODE names: P1C1yymm.DCB, P1P2yymm.DCB, P1P2yymm_ALL.DCB (also .Z),\n"
    "or as Bias-SINEX files by their long names (CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz).\n"
    "Compressed inputs (.Z, gzip, Compact RINEX) are expanded on the fly. The day is read\n"
    "as `velarix` reads it: the station position is the header's, else that of the\n"
    "station list (IGS_stations.txt) when the station is listed, else the position\n"
    "solution; ephemerides more than 4 h (GLONASS, SBAS: 30 min) from an epoch are not used.\n"
    "\n"
    "Output: a header line, then one tab-separated line per satellite and epoch: MJD,\n"
    "satellite, elevation and azimuth (deg), pierce-point latitude and longitude (deg, on\n"
    "the mapping's shell), code, phase, levelled slant and vertical TEC (TECU).\n"
    "\n"
    "--calibrated: then runs the S4 stage (pseudo-S4 from S1, or a LISN S4 file in the\n"
    "data folder) and the bias estimation as the pipeline does, and prints the slant and\n"
    "vertical TEC with the satellite, interchannel and receiver biases removed, plus a\n"
    "last column S4 (-1 where the record has none). Only valid records are printed: those\n"
    "whose calibrated vertical TEC the bias stage found out of range (below -50 or above\n"
    "200 TECU) are left out and counted on standard error. The bias summary follows the\n"
    "run log on standard error. This table is what `velarix-tools gimcheck` reads.\n"
    "\n"
    "%s"
    "\n"
    "Exit status: 0 when TEC was derived (and calibrated), 1 when the files could not be\n"
    "read, gave no TEC, left an empty table (every record flagged invalid) or the bias\n"
    "estimation failed (the run log on standard error says why, with the stage's code),\n"
    "2 for a usage error.\n";

const char* const kColumns =
    "MJD\tsatellite\televation_deg\tazimuth_deg\tippLatitude_deg\tippLongitude_deg\t"
    "codeTec_TECU\tphaseTec_TECU\tslantTec_TECU\tverticalTec_TECU";

struct PrintedCounts {
    long printed = 0;
    long invalid = 0;  // left out: flagged invalid by the bias stage
};

// Calibrated: only valid records, with an S4 column.
PrintedCounts printTable(const TecTable& tec, bool calibrated, std::FILE* out) {
    std::fprintf(out, "%s%s\n", kColumns, calibrated ? "\tS4" : "");
    PrintedCounts counts;
    std::string line;
    for (const auto& [satNo, series] : tec) {
        const std::string label = satelliteLabel(satNo);
        for (const auto& [epochMjd, r] : series) {
            if (calibrated && r.valid != 1) {
                ++counts.invalid;
                continue;
            }
            // "%.8f\t%s" then "\t%.4f" four times, "\t%.3f" four times (five with S4)
            line.clear();
            AppendNumber(line, "%.8f", epochMjd);
            line += '\t';
            line += label;
            for (double value : {r.elevation_deg, r.azimuth_deg, r.ippLatitude_deg, r.ippLongitude_deg}) {
                line += '\t';
                AppendNumber(line, "%.4f", value);
            }
            for (double value : {r.codeTec, r.phaseTec, r.slantTec, r.verticalTec}) {
                line += '\t';
                AppendNumber(line, "%.3f", value);
            }
            if (calibrated) {
                line += '\t';
                AppendNumber(line, "%.3f", r.s4);
            }
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), out);
            ++counts.printed;
        }
    }
    return counts;
}

}  // namespace

int toolTec(const ToolArgs& args) {
    ToolArgs files;
    bool calibrated = false;
    RunOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::printf(kUsage, kCalibrationUsage);
            return 0;
        }
        if (const int taken = calibrationOption(args, i, "tec", options); taken >= 0) {
            if (taken != 0) return taken;
        } else if (arg == "--calibrated") {
            calibrated = true;
        } else if (startsWith(arg, "-")) {
            std::fprintf(stderr, "velarix-tools: tec: unknown option '%s'\n", arg.c_str());
            std::fprintf(stderr, kUsage, kCalibrationUsage);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() < 2) {
        std::fprintf(stderr, kUsage, kCalibrationUsage);
        return 2;
    }
    DayRequest request;
    if (const int status = givenDayRequest(files[0], files[1], ToolArgs(files.begin() + 2, files.end()), request);
        status != 0) {
        return status;
    }
    request.lastStage = calibrated ? DayStage::kCalibrated : DayStage::kTec;
    const StationCatalogue stations = toolStationList();
    const DayEnvironment environment{&stations, options, programDirectory(), {}, nullptr};

    DayJob job;
    RunLog log;
    const RinexDayResult result = RunRinexDay(request, environment, job, log);
    std::fputs(withLineFeeds(log.messages).c_str(), stderr);
    std::fputs("\n", stderr);
    if (result != RinexDayResult::kDone) {
        std::fprintf(stderr, "velarix-tools: tec: %s\n", rinexDayResultText(result));
        return 1;
    }
    const PrintedCounts counts = printTable(job.tec, calibrated, stdout);
    if (counts.invalid > 0)
        std::fprintf(stderr, "velarix-tools: tec: %ld records flagged invalid by the bias stage are not printed\n",
                     counts.invalid);
    if (counts.printed == 0) {
        std::fputs("velarix-tools: tec: the TEC table is empty\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace velarix
