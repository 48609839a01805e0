#include "ui/command_line.h"

#include <filesystem>
#include <map>
#include <sstream>
#include <system_error>

#include <CLI/CLI.hpp>

#include "platform/strfmt.h"

namespace velarix {

namespace {

std::string absoluteFolder(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

}  // namespace

CommandLineStatus parseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& messages) {
    out = CommandLine{};
    messages.clear();
    CLI::App app{
        "Velarix: slant and vertical TEC, pierce points, receiver and satellite biases and S4 from one GNSS\n"
        "station's RINEX observation files, the day's broadcast navigation file and CODE's monthly DCB files.\n"
        "PATH is one observation file; the other files of its day, month, year or folder are found beside it.\n"
        "Add the word auto after PATH to start at once and exit when done."};
    app.set_version_flag("--version", "velarix 3.03");
    app.footer(
        "Exit status: 0 the run completed; 1 the input was refused; 2 a usage error; 3 some day could not be\n"
        "processed; 4 the log could not be written (neither in the data folder, the program's folder nor the\n"
        "user's folder); 130 or 143 the run was stopped by SIGINT or SIGTERM after the file in work (a second\n"
        "signal ends it at once).");

    std::string scope;
    std::string products;
    std::string images;
    std::string target;
    std::vector<std::string> s4Archives;
    std::string calibration;
    std::string mapping;
    app.add_option("PATH", out.positionals, "observation file to process, optionally followed by the word auto");
    app.add_option("--scope", scope, "which files to process: day, month, year or dir (default: the settings file)")
        ->check(CLI::IsMember({"day", "month", "year", "dir"}));
    app.add_flag("--all-stations", out.allStations, "process the files of every station, not only PATH's station");
    app.add_option("--products", products, "text products to write: comma list of cmn,std,bias,depletion,dat or none");
    app.add_option("--images", images, "plots to draw: comma list of tec24,prn,bias,depletion,hires or none");
    app.add_option("--target", target, "write the products to this folder instead of the data folder")
        ->check(CLI::ExistingDirectory);
    app.add_flag("--skip-existing", out.skipExisting, "skip days whose .Cmn product already exists");
    app.add_flag("--no-download", out.noDownload, "never fetch missing navigation or DCB files from the archives");
    app.add_option("--s4-archive", s4Archives,
                   "folder holding LISN S4 files in per-site sub-folders; repeat for several, searched in order "
                   "before the data folder (replaces the settings file's list for this run)")
        ->check(CLI::ExistingDirectory);
    app.add_option("--calibration", calibration,
                   "how the receiver bias sets the TEC level: floor (minimum spread, night minimum lifted to 2 "
                   "TECU; the default), spread (minimum spread only), dcb (the station's published DCB, else "
                   "spread), model (least-squares fit of a local vertical TEC model)")
        ->check(CLI::IsMember({"floor", "spread", "dcb", "model"}));
    app.add_option("--mapping", mapping,
                   "single-layer mapping of pierce points and vertical TEC: thin-shell (350 km, the default) or "
                   "mslm (the modified single-layer mapping of CODE's maps: 506.7 km, zenith angle x 0.9782)")
        ->check(CLI::IsMember({"thin-shell", "mslm"}));
    app.add_option("--jobs", out.jobs,
                   "days of a batch to run side by side (default: the settings file, else one per core); the "
                   "products, log and exit status are those of --jobs 1")
        ->check(CLI::Range(1, kMostDayThreads));
    app.add_option("--settings", out.settingsFile, "settings file to use instead of Velarix.ini");
    app.add_flag("--save-settings", out.saveSettings, "store the choices of this command line in the settings file");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version end here with 0; every other error is a usage error.
        std::ostringstream text;
        const int status = app.exit(error, text, text);
        messages = text.str();
        return status == 0 ? CommandLineStatus::kShowText : CommandLineStatus::kUsageError;
    }

    const std::map<std::string, int> scopes{
        {"day", kThisDayOnly}, {"month", kThisMonth}, {"year", kThisYear}, {"dir", kThisDirectory}};
    if (!scope.empty()) out.scopeBit = scopes.at(scope);
    std::string bad;
    if (!products.empty() && !parseProductList(products, out.fileWord, bad)) {
        messages = strfmt("velarix: unknown product '%s' in --products\n", bad.c_str());
        return CommandLineStatus::kUsageError;
    }
    if (!images.empty() && !parseImageList(images, out.imageWord, bad)) {
        messages = strfmt("velarix: unknown image '%s' in --images\n", bad.c_str());
        return CommandLineStatus::kUsageError;
    }
    if (!target.empty()) out.targetDir = absoluteFolder(target);
    if (!calibration.empty()) out.calibration = calibration;
    if (!mapping.empty()) out.mapping = mapping;
    for (const std::string& root : s4Archives) {
        // The settings file keeps the roots as one ';'-separated value.
        if (root.find(';') != std::string::npos) {
            messages = strfmt("velarix: --s4-archive %s: folder names holding ';' are not supported\n", root.c_str());
            return CommandLineStatus::kUsageError;
        }
        out.s4ArchiveRoots.push_back(absoluteFolder(root));
    }
    return CommandLineStatus::kRun;
}

void applyCommandLine(const CommandLine& line, RunOptions& options) {
    if (line.scopeBit != 0) options.selectScope(line.scopeBit);
    if (line.allStations) options.scopeWord |= kAllStations;
    if (line.fileWord >= 0) options.fileWord = line.fileWord;
    if (line.imageWord >= 0) options.imageWord = (options.imageWord & kSkipExistingCmn) | line.imageWord;
    if (!line.targetDir.empty()) {
        options.separateTarget = true;
        options.targetDir = line.targetDir;
    }
    if (line.skipExisting) options.imageWord |= kSkipExistingCmn;
    if (!line.s4ArchiveRoots.empty()) options.s4ArchiveRoots = line.s4ArchiveRoots;
    // The words were checked by the parser.
    if (!line.calibration.empty()) (void)parseCalibration(line.calibration, options.calibration);
    if (!line.mapping.empty()) (void)parseMapping(line.mapping, options.mapping);
    if (line.jobs > 0) options.jobs = line.jobs;
}

namespace {

// Turns "cmn,std" into a bit word using `names`; false on an unknown name, kept in `bad`.
bool parseBitList(const std::string& list, const std::map<std::string, int>& names, int& word, std::string& bad) {
    word = 0;
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item.empty() || item == "none") continue;
        const auto found = names.find(item);
        if (found == names.end()) {
            bad = item;
            return false;
        }
        word |= found->second;
    }
    return true;
}

}  // namespace

bool parseProductList(const std::string& list, int& fileWord, std::string& bad) {
    return parseBitList(list,
                        {{"cmn", kCmnFile}, {"std", kStdFile}, {"bias", kBiasFile}, {"depletion", kDepletionFile},
                         {"dat", kDatFile}},
                        fileWord, bad);
}

bool parseImageList(const std::string& list, int& imageWord, std::string& bad) {
    return parseBitList(list,
                        {{"tec24", kTec24HourImage}, {"prn", kTecPrnImages}, {"bias", kBiasedUnbiasedPlot},
                         {"depletion", kDepletionImage}, {"hires", kHighResolution}},
                        imageWord, bad);
}

}  // namespace velarix
