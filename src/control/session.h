#pragma once
// Everything one run of the program shares: the options, the log, the station list, the
// search object and the day in work. One per process; passed by reference.
#include <atomic>
#include <functional>
#include <vector>
#include <string>

#include "control/file_search.h"
#include "control/rinex_job.h"
#include "control/run_timer.h"
#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "platform/window.h"
#include "stations/igs_stations.h"
#include "ui/run_options.h"

namespace velarix {

enum RunMode : int { kInteractive = 0, kAuto = 1, kCommandFile = 2 };

struct Session;

// Entry points of the processing pipelines. The driver calls them on the execute
// thread; they report through the run log and return nothing.
using PipelineEntry = std::function<void(Session&, int pipelineOption, int flags)>;
struct Pipelines {
    PipelineEntry rinex;
    PipelineEntry novatel;
    PipelineEntry scinda;
    PipelineEntry ism;
    std::function<bool(Session&)> commandFile;
    // One RINEX day with explicit inputs, for the batches that run days side by side:
    // false when the day gave no products. The paths of the products and plots written
    // go to the last argument.
    std::function<bool(const std::string& path, const DayEnvironment&, DayJob&, RunLog&, std::vector<std::string>*)>
        rinexDay;
};
Pipelines defaultPipelines();

// Exit statuses of the program. An interrupted run ends with 128 + the signal's number
// (130 for SIGINT, 143 for SIGTERM), as a shell reports a program ended by that signal.
enum ExitStatus : int {
    kExitCompleted = 0,
    kExitRefused = 1,
    kExitUsage = 2,
    kExitFailed = 3,
    kExitLogNotWritten = 4,  // the message log could be written in none of its folders
};
constexpr int exitStatusForSignal(int signal) { return 128 + signal; }

// Folder for the product files of data in `dataDirectory`: the target directory (with a
// final '/') when chosen, else `dataDirectory`.
std::string productFolderFor(const RunOptions& options, const std::string& dataDirectory);

struct Session {
    explicit Session(MainWindow& mainWindow) : window(mainWindow), log(&mainWindow) {}

    MainWindow& window;
    RunLog log;
    RunOptions options;
    // Reads the option panel's current choices; the driver calls it before each search.
    std::function<RunOptions()> readPanelOptions;
    StationCatalogue stations;
    std::string programDir;  // the program's folder, as the program found it (ending in '/')
    int runMode = kInteractive;
    std::vector<std::string> arguments;  // the command line's paths (and "auto"), as given
    std::string currentInputPath;
    FileSearch search;
    DayJob job;
    RunTimer timer;
    RemainingEstimate remaining;
    Pipelines pipelines = defaultPipelines();
    // Fetches missing navigation and DCB files; empty: no downloads in this run.
    DownloadFunction download;
    // Waits; tests replace it to run the driver without real delays.
    std::function<void(int ms)> sleepMs;

    // The signal that asked the run to stop (0: none); set from a signal handler, after
    // which the window's `closing` is raised.
    std::atomic<int> interruptSignal{0};

    int exitStatus = kExitCompleted;
    int failedJobs = 0;  // pipelines count the days they could not complete

    void sleep(int ms) const;
    // A wait that gives a person time to read: skipped when nobody watches the window.
    void pause(int ms) const;
    // A wait between two looks at the window's flags: at most 1 ms when nobody watches,
    // since the window then answers at once.
    void poll(int ms) const;
};

}  // namespace velarix
