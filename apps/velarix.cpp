// velarix: slant and vertical TEC, biases and S4 from one GNSS station's RINEX files.
//
//   velarix [OPTIONS] [PATH [auto]]
//
// Runs one day (or the month, year or folder of days around PATH) and writes the
// products beside the data. With "auto" it starts at once and exits when done; without
// it, it waits for Enter on a terminal and then for the next path.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "control/run_driver.h"
#include "control/session.h"
#include "platform/cleanup_registry.h"
#include "platform/console_window.h"
#include "platform/paths.h"
#include "ui/settings.h"

namespace {

std::atomic<Session*> gSession{nullptr};

// The first SIGINT or SIGTERM asks the driver to stop after the file in work (the logs
// are then written and the exit status is 128 + the signal); a second one, or SIGHUP,
// removes the temporary files and ends the program at once by that signal.
void onSignal(int signal) {
    Session* session = gSession.load();
    int none = 0;
    if (signal == SIGHUP || session == nullptr || !session->interruptSignal.compare_exchange_strong(none, signal)) {
        endBySignal(signal);
    }
    session->window.closing.store(true);
}

// Turns "cmn,std" into a bit word using `names`; false on an unknown name.
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

int main(int argc, char** argv) {
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

    std::vector<std::string> positionals;
    std::string scope;
    bool allStations = false;
    std::string products;
    std::string images;
    std::string target;
    bool skipExisting = false;
    bool saveChoices = false;
    std::string settingsFile;
    std::vector<std::string> s4Archives;
    app.add_option("PATH", positionals, "observation file to process, optionally followed by the word auto");
    app.add_option("--scope", scope, "which files to process: day, month, year or dir (default: the settings file)")
        ->check(CLI::IsMember({"day", "month", "year", "dir"}));
    app.add_flag("--all-stations", allStations, "process the files of every station, not only PATH's station");
    app.add_option("--products", products, "text products to write: comma list of cmn,std,bias,depletion,dat or none");
    app.add_option("--images", images, "plots to draw: comma list of tec24,prn,bias,depletion,hires or none");
    app.add_option("--target", target, "write the products to this folder instead of the data folder")
        ->check(CLI::ExistingDirectory);
    app.add_flag("--skip-existing", skipExisting, "skip days whose .Cmn product already exists");
    app.add_option("--s4-archive", s4Archives,
                   "folder holding LISN S4 files in per-site sub-folders; repeat for several, searched in order "
                   "before the data folder (replaces the settings file's list for this run)")
        ->check(CLI::ExistingDirectory);
    app.add_option("--settings", settingsFile, "settings file to use instead of Velarix.ini");
    app.add_flag("--save-settings", saveChoices, "store the choices of this command line in the settings file");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version end here with 0; every usage error with the usage status.
        return app.exit(error) == 0 ? 0 : kExitUsage;
    }

    const std::string programDir = programDirectory();
    if (settingsFile.empty()) settingsFile = settingsPath(programDir);
    RunOptions options;
    loadSettings(settingsFile, options);

    const std::map<std::string, int> scopes{
        {"day", kThisDayOnly}, {"month", kThisMonth}, {"year", kThisYear}, {"dir", kThisDirectory}};
    if (!scope.empty()) options.selectScope(scopes.at(scope));
    if (allStations) options.scopeWord |= kAllStations;
    std::string bad;
    if (!products.empty() &&
        !parseBitList(products,
                      {{"cmn", kCmnFile}, {"std", kStdFile}, {"bias", kBiasFile}, {"depletion", kDepletionFile},
                       {"dat", kDatFile}},
                      options.fileWord, bad)) {
        std::fprintf(stderr, "velarix: unknown product '%s' in --products\n", bad.c_str());
        return kExitUsage;
    }
    if (!images.empty()) {
        int word = 0;
        if (!parseBitList(images,
                          {{"tec24", kTec24HourImage}, {"prn", kTecPrnImages}, {"bias", kBiasedUnbiasedPlot},
                           {"depletion", kDepletionImage}, {"hires", kHighResolution}},
                          word, bad)) {
            std::fprintf(stderr, "velarix: unknown image '%s' in --images\n", bad.c_str());
            return kExitUsage;
        }
        options.imageWord = (options.imageWord & kSkipExistingCmn) | word;
    }
    if (!target.empty()) {
        options.separateTarget = true;
        options.targetDir = std::filesystem::absolute(target).lexically_normal().string();
    }
    if (skipExisting) options.imageWord |= kSkipExistingCmn;
    if (!s4Archives.empty()) {
        options.s4ArchiveRoots.clear();
        for (const std::string& root : s4Archives) {
            if (root.find(';') != std::string::npos) {
                std::fprintf(stderr, "velarix: --s4-archive %s: folder names holding ';' are not supported\n",
                             root.c_str());
                return kExitUsage;
            }
            options.s4ArchiveRoots.push_back(std::filesystem::absolute(root).lexically_normal().string());
        }
    }
    if (saveChoices && !saveSettings(settingsFile, options)) {
        std::fprintf(stderr, "velarix: could not write the settings file %s\n", settingsFile.c_str());
    }

    ConsoleWindow window;
    Session session(window);
    gSession.store(&session);
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;  // the pane's writes go on after the first signal
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);

    session.programDir = programDir;
    session.options = options;
    session.readPanelOptions = [options] { return options; };
    session.arguments = positionals;

    std::thread worker(executeThread, std::ref(session));
    window.eventLoop();
    worker.join();
    gSession.store(nullptr);
    return session.exitStatus;
}
