// velarix: slant and vertical TEC, biases and S4 from one GNSS station's RINEX files.
//
//   velarix [OPTIONS] [PATH [auto]]
//
// Runs one day (or the month, year or folder of days around PATH) and writes the
// products beside the data. With "auto" it starts at once and exits when done; without
// it, it waits for Enter on a terminal and then for the next path.
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "control/run_driver.h"
#include "control/session.h"
#include "platform/console_window.h"
#include "platform/paths.h"
#include "ui/command_line.h"
#include "ui/settings.h"

namespace {

ConsoleWindow* gWindow = nullptr;

// The first Ctrl-C asks the driver to stop after the file in work (the logs are then
// written); a second one ends the program at once.
void onInterrupt(int) {
    if (gWindow != nullptr) gWindow->closing.store(true);
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
    loadSettings(settingsFile, options);
    applyCommandLine(line, options);
    if (line.saveSettings && !saveSettings(settingsFile, options)) {
        std::fprintf(stderr, "velarix: could not write the settings file %s\n", settingsFile.c_str());
    }

    ConsoleWindow window;
    gWindow = &window;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    Session session(window);
    session.programDir = programDir;
    session.options = options;
    session.readPanelOptions = [options] { return options; };
    session.arguments = line.positionals;

    std::thread worker(executeThread, std::ref(session));
    window.eventLoop();
    worker.join();
    gWindow = nullptr;
    return session.exitStatus;
}
