#pragma once
// The download of a run: the archives of the settings file (section "Download") and one
// downloader shared by every day of the run.
#include <string>

#include "control/rinex_job.h"
#include "download/archive_settings.h"

namespace velarix {

// The section "Download" of the settings file at `path` laid over the defaults. Keys:
// "Client", "Timeout" (seconds), "DCB URL", "DCB Running Month URL", "Navigation URL",
// "Navigation Stations" (names separated by ',' or blanks), "DCB Reconnect Pause" and
// "Navigation Reconnect Pause" (seconds). A value that is not a number in range, or an
// unreadable file, leaves the default and is named in `problem`.
ArchiveSettings loadArchiveSettings(const std::string& path, std::string* problem = nullptr);

// A download function for DayEnvironment that may be called from several days at once.
DownloadFunction makeDownloadFunction(const ArchiveSettings& settings, const std::string& programDir,
                                      MainWindow* window);

}  // namespace velarix
