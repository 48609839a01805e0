#include "control/program_setup.h"

#include <atomic>
#include <csignal>

#include "platform/cleanup_registry.h"
#include "platform/strfmt.h"
#include "ui/settings.h"

namespace velarix {

namespace {

std::atomic<Session*> gSession{nullptr};

void onSignal(int signal) {
    Session* session = gSession.load();
    int none = 0;
    if (signal == SIGHUP || session == nullptr || !session->interruptSignal.compare_exchange_strong(none, signal)) {
        endBySignal(signal);
    }
    session->window.closing.store(true);
}

}  // namespace

SetupStatus prepareProgram(int argc, const char* const* argv, const std::string& programDir, ProgramSetup& setup,
                           std::string& messages) {
    switch (parseCommandLine(argc, argv, setup.line, messages)) {
        case CommandLineStatus::kShowText: return SetupStatus::kShowText;
        case CommandLineStatus::kUsageError: return SetupStatus::kUsageError;
        case CommandLineStatus::kRun: break;
    }
    const CommandLine& line = setup.line;
    setup.programDir = programDir;
    setup.settingsFile = line.settingsFile.empty() ? settingsPath(setup.programDir) : line.settingsFile;
    std::string problem;
    // No panel is open yet to take the change flag; a refused file is named in `problem`.
    (void)loadSettings(setup.settingsFile, setup.options, &problem);
    if (!problem.empty()) {
        messages += strfmt("velarix: settings file %s not used: %s\n", setup.settingsFile.c_str(), problem.c_str());
    }
    applyCommandLine(line, setup.options);
    if (!line.noDownload) {
        problem.clear();
        setup.archives = loadArchiveSettings(setup.settingsFile, &problem);
        if (!problem.empty()) {
            messages += strfmt("velarix: settings file %s, section Download: %s\n", setup.settingsFile.c_str(),
                               problem.c_str());
        }
    }
    problem.clear();
    if (line.saveSettings && !saveSettings(setup.settingsFile, setup.options, &problem)) {
        messages += strfmt("velarix: could not write the settings file %s: %s\n", setup.settingsFile.c_str(),
                           problem.c_str());
    }
    return SetupStatus::kRun;
}

void configureSession(Session& session, const ProgramSetup& setup) {
    session.programDir = setup.programDir;
    session.options = setup.options;
    session.readPanelOptions = [options = setup.options] { return options; };
    session.arguments = setup.line.positionals;
    if (setup.archives) session.download = makeDownloadFunction(*setup.archives, setup.programDir, &session.window);
}

void handleInterrupts(Session* session) {
    gSession.store(session);
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;  // the pane's writes go on after the first signal
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace velarix
