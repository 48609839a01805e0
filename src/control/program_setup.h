#pragma once
// What every front end of the program (the console, the desktop window) does before the
// run driver starts: the command line, the settings file and the command line's choices
// laid over it, the session's set-up, and the handling of SIGINT and SIGTERM.
#include <optional>
#include <string>

#include "control/download_setup.h"
#include "control/session.h"
#include "ui/command_line.h"

namespace velarix {

struct ProgramSetup {
    CommandLine line;
    std::string programDir;
    std::string settingsFile;  // Velarix.ini of the program, or --settings FILE
    RunOptions options;        // the settings file's, with the command line's over them
    std::optional<ArchiveSettings> archives;  // section "Download"; none with --no-download
};

enum class SetupStatus {
    kRun,         // go on with the run; `messages` holds warnings for standard error
    kShowText,    // --help or --version: print `messages` on standard output, exit 0
    kUsageError,  // print `messages` on standard error, exit with kExitUsage
};

// Parses the command line, loads the settings file (a problem with it becomes a warning
// and the defaults stay) and stores the choices when --save-settings asks. `programDir`
// is the front end's own folder, where Velarix.ini and the station tables live. Prints
// nothing: the front end shows `messages` as the status says.
[[nodiscard]] SetupStatus prepareProgram(int argc, const char* const* argv, const std::string& programDir,
                                         ProgramSetup& setup, std::string& messages);

// The program folder, options, command-line paths and downloads of a new session (the
// download's progress goes to the session's window). The driver reads
// the options through `readPanelOptions`, which the caller may replace.
void configureSession(Session& session, const ProgramSetup& setup);

// The first SIGINT or SIGTERM asks the driver to stop after the file in work (the logs
// are then written and the exit status is 128 + the signal); a second one, or SIGHUP,
// removes the temporary files and ends the program at once by that signal. One session
// at a time; nullptr detaches it (a signal then ends the program at once).
void handleInterrupts(Session* session);

}  // namespace velarix
