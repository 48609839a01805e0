#pragma once
// "Velarix.ini": the option choices that persist between runs. The "Skip existing CMN
// files" switch is never stored, so it is off after every start. The S4 archive roots are
// kept in section "S4 Options", key "Archive Roots", as one value of paths separated by
// ';' (a path holding ';' cannot be stored). The calibration and the mapping are kept in
// section "Calibration Options", keys "Calibration" (floor, spread, dcb, model) and
// "Mapping" (thin-shell, mslm). The number of days a batch runs side by side
// is key "Jobs" of section "Process Options" (absent, 0 or not a number: one per core).
#include <string>
#include <vector>

#include "platform/status_code.h"
#include "ui/run_options.h"

namespace velarix {

// The settings file of a program directory: Velarix.ini in the directory where the
// program keeps its own files; "" when there is no such directory.
std::string settingsPath(const std::string& programDir);

// Writes `options` to `path`, keeping the file's other keys, through a temporary file
// that replaces it only when complete. Refused (false, the reason in `reason`): an
// existing file that is not a settings file (not empty and without any of the sections
// "Process Options", "Output File Options", "Output Image Options", "S4 Options"), one
// that is not a regular file or is too large, and a value holding a line break.
[[nodiscard]] bool saveSettings(const std::string& path, const RunOptions& options, std::string* reason = nullptr);

// The change flag that the option panel raises when settings are applied; a larger value
// outranks a smaller one.
enum class SettingsChange {
    kNone = 0,
    kOutput = 1,  // an output choice (target folder, products, images) was applied
    kScope = 2,   // the scope or the all-stations choice was applied
};

// Applies the file at `path`, when it exists, to `options`, and returns the change flag
// (the S4 archive roots, the jobs and the calibration choices raise none). A missing file
// returns kNone and leaves `options` as they are; so does a refused one (not a regular
// file, larger than 64 KiB, unreadable), whose reason goes to `problem`.
[[nodiscard]] SettingsChange loadSettings(const std::string& path, RunOptions& options, std::string* problem = nullptr);

// "a;b;;c " -> {"a", "b", "c"}: the paths of an "Archive Roots" value, blanks around each
// removed, empty ones dropped; and back.
std::vector<std::string> splitArchiveRoots(const std::string& value);
std::string joinArchiveRoots(const std::vector<std::string>& roots);

}  // namespace velarix
