#pragma once
// The command line of `velarix`: the observation paths and the choices that override the
// settings file for one run. Parsing prints nothing and never ends the process; the
// program prints the messages and picks the exit status.
#include <string>
#include <vector>

#include "ui/run_options.h"

namespace velarix {

enum class CommandLineStatus {
    kRun,         // parsed: go on with the run
    kShowText,    // --help or --version: print the messages on standard output, exit 0
    kUsageError,  // print the messages on standard error, exit with the usage status
};

// What the command line asks for; the choices not given stay "unset" (empty, or -1 for
// the option words) so the settings file keeps its value for them.
struct CommandLine {
    std::vector<std::string> positionals;  // PATH, optionally followed by the word auto
    int scopeBit = 0;                      // one of the ScopeBits 0x0F, 0 when --scope is absent
    bool allStations = false;
    int fileWord = -1;   // --products, -1 when absent
    int imageWord = -1;  // --images (skip switch excluded), -1 when absent
    std::string targetDir;  // absolute and normalised, "" when --target is absent
    bool skipExisting = false;
    std::vector<std::string> s4ArchiveRoots;  // absolute and normalised, in the order given
    std::string calibration;                  // --calibration word, "" when absent
    std::string mapping;                      // --mapping word, "" when absent
    int jobs = 0;                             // --jobs, 0 when absent
    std::string settingsFile;                 // "" when --settings is absent
    bool saveSettings = false;
    bool noDownload = false;  // --no-download: missing navigation and DCB files are not fetched
};

// Parses argv (argv[0] is the program name) into `out`. `messages` receives the help or
// version text, or the usage error with its hint, each ending in a line end.
[[nodiscard]] CommandLineStatus parseCommandLine(int argc, const char* const* argv, CommandLine& out,
                                                 std::string& messages);

// Lays the choices of `line` over `options` (as loaded from the settings file).
void applyCommandLine(const CommandLine& line, RunOptions& options);

// The option words of a comma list ("cmn,std,bias,depletion,dat" and "tec24,prn,bias,
// depletion,hires"; "none" and empty items add nothing). False on an unknown name, which
// goes to `bad`.
[[nodiscard]] bool parseProductList(const std::string& list, int& fileWord, std::string& bad);
[[nodiscard]] bool parseImageList(const std::string& list, int& imageWord, std::string& bad);

}  // namespace velarix
