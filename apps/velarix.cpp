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
#include <string>
#include <thread>

#include "control/download_setup.h"
#include "control/run_driver.h"
#include "control/session.h"
#include "platform/cleanup_registry.h"
#include "platform/console_window.h"
#include "platform/paths.h"
#include "ui/command_line.h"
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

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string messages;
    switch (parseCommandLine(argc, argv, line, messages)) {
        case CommandLineStatus::kShowText:
            std::fputs(messages.c_str(), stdout);
            return 0;
        case CommandLineStatus::kUsageError:
            std::fputs(messages.c_str(), stderr);
            return kExitUsage;
        case CommandLineStatus::kRun:
            break;
    }

    const std::string programDir = programDirectory();
    const std::string settingsFile = line.settingsFile.empty() ? settingsPath(programDir) : line.settingsFile;
    RunOptions options;
    std::string problem;
    loadSettings(settingsFile, options, &problem);
    if (!problem.empty()) {
        std::fprintf(stderr, "velarix: settings file %s not used: %s\n", settingsFile.c_str(), problem.c_str());
    }
    applyCommandLine(line, options);
    if (line.saveSettings && !saveSettings(settingsFile, options, &problem)) {
        std::fprintf(stderr, "velarix: could not write the settings file %s: %s\n", settingsFile.c_str(),
                     problem.c_str());
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
    session.arguments = line.positionals;
    if (!line.noDownload) {
        std::string archiveProblem;
        const ArchiveSettings archives = loadArchiveSettings(settingsFile, &archiveProblem);
        if (!archiveProblem.empty()) {
            std::fprintf(stderr, "velarix: settings file %s, section Download: %s\n", settingsFile.c_str(),
                         archiveProblem.c_str());
        }
        session.download = makeDownloadFunction(archives, programDir, &window);
    }

    std::thread worker(executeThread, std::ref(session));
    window.eventLoop();
    worker.join();
    gSession.store(nullptr);
    return session.exitStatus;
}
