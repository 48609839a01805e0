// velarix-tools products: runs the RINEX job on the given observation, navigation and DCB
// files, through the calibration, and writes the day's text products and plots into a
// folder: products for files that lie outside a station archive.
#include <cstdio>
#include <filesystem>
#include <string>

#include "control/rinex_job.h"
#include "platform/paths.h"
#include "platform/run_log.h"
#include "platform/text.h"
#include "tools/tools.h"
#include "ui/command_line.h"

namespace velarix {

namespace {

const char* const kUsage =
    "Usage: velarix-tools products OBS NAV [DCB...] [--out DIR] [--products LIST] [--images LIST]\n"
    "                              [--calibration CHOICE] [--mapping MAPPING]\n"
    "\n"
    "Reads the day of the observation file OBS with the navigation file NAV and the DCB\n"
    "files named (P1C1yymm.DCB, P1P2yymm.DCB, P1P2yymm_ALL.DCB, or a Bias-SINEX long name\n"
    "such as CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz; also compressed), derives\n"
    "and calibrates its TEC as `velarix` does, and writes the day's products and plots into\n"
    "DIR, named as `velarix` names them.\n"
    "\n"
    "  --out DIR        the folder for the products (default: the current folder)\n"
    "  --products LIST  text products: comma list of cmn,std,bias,dat, or none\n"
    "                   (default: all four)\n"
    "  --images LIST    plots: comma list of tec24,prn,bias,hires, or none (default:\n"
    "                   tec24,prn,bias; hires draws them at 300 dpi)\n"
    "%s"
    "\n"
    "The run log goes to standard error, the names of the files written to standard output.\n"
    "Exit status: 0 when every product asked for was written, 1 when the day could not be\n"
    "processed or a product not written (the log says why), 2 for a usage error.\n";

struct ProductArgs {
    ToolArgs files;
    std::string outDir = ".";
    RunOptions options;
};

// 0, or the exit status of a usage error (reported).
int parseArgs(const ToolArgs& args, ProductArgs& out) {
    out.options.fileWord = kCmnFile | kStdFile | kBiasFile | kDatFile;
    out.options.imageWord = kTec24HourImage | kTecPrnImages | kBiasedUnbiasedPlot;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        std::string bad;
        if (const int taken = calibrationOption(args, i, "products", out.options); taken >= 0) {
            if (taken != 0) return taken;
        } else if (arg == "--out" && hasValue) {
            out.outDir = args[++i];
        } else if (arg == "--products" && hasValue) {
            if (!parseProductList(args[++i], out.options.fileWord, bad)) {
                std::fprintf(stderr, "velarix-tools: products: unknown product '%s'\n", bad.c_str());
                return 2;
            }
        } else if (arg == "--images" && hasValue) {
            if (!parseImageList(args[++i], out.options.imageWord, bad)) {
                std::fprintf(stderr, "velarix-tools: products: unknown image '%s'\n", bad.c_str());
                return 2;
            }
        } else if (startsWith(arg, "-")) {
            std::fprintf(stderr, "velarix-tools: products: unknown option '%s'\n", arg.c_str());
            std::fprintf(stderr, kUsage, kCalibrationUsage);
            return 2;
        } else {
            out.files.push_back(arg);
        }
    }
    if (out.files.size() < 2) {
        std::fprintf(stderr, kUsage, kCalibrationUsage);
        return 2;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(out.outDir, error)) {
        std::fprintf(stderr, "velarix-tools: products: %s is not a folder\n", out.outDir.c_str());
        return 2;
    }
    out.options.separateTarget = true;
    out.options.targetDir = std::filesystem::absolute(out.outDir, error).lexically_normal().string();
    return 0;
}

}  // namespace

int toolProducts(const ToolArgs& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::printf(kUsage, kCalibrationUsage);
            return 0;
        }
    }
    ProductArgs parsed;
    if (const int status = parseArgs(args, parsed); status != 0) return status;
    DayRequest request;
    if (const int status =
            givenDayRequest(parsed.files[0], parsed.files[1], ToolArgs(parsed.files.begin() + 2, parsed.files.end()),
                            request);
        status != 0) {
        return status;
    }
    request.targetDirectory = parsed.options.targetDir + "/";
    request.lastStage = DayStage::kProducts;
    const StationCatalogue stations = toolStationList();
    const DayEnvironment environment{&stations, parsed.options, programDirectory(), {}, nullptr};

    DayJob job;
    RunLog log;
    std::vector<std::string> written;
    const RinexDayResult result = RunRinexDay(request, environment, job, log, &written);
    std::fputs(withLineFeeds(log.messages).c_str(), stderr);
    std::fputs("\n", stderr);
    for (const std::string& path : written) std::printf("%s\n", path.c_str());
    if (result != RinexDayResult::kDone) {
        std::fprintf(stderr, "velarix-tools: products: %s\n", rinexDayResultText(result));
        return 1;
    }
    return 0;
}

}  // namespace velarix
