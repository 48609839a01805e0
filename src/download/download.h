#pragma once
// Fetching the day's navigation file or the month's DCB files that the data folder
// lacks, through lftp, from the archives of the settings; the fetched archives are then
// expanded. Only files this download fetched are ever renamed, expanded or removed, and
// no file already in the data folder is replaced.
//
// One download runs at a time: days that run side by side wait for each other here, and
// a day that waited finds what the previous one fetched and does not fetch it again.
#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "download/archive_settings.h"
#include "download/download_request.h"
#include "platform/run_log.h"
#include "platform/window.h"

namespace velarix {

class ArchiveDownloader {
public:
    // `window` (may be nullptr) shows the progress of a transfer and the message box of a
    // missing data folder. `nowMjd` tells the running month (UTC now when empty).
    ArchiveDownloader(ArchiveSettings settings, std::string programDir, MainWindow* window,
                      std::function<double()> nowMjd = {});

    // Returns when the client has been closed; every outcome is reported in `log`. The
    // caller searches the data folder again.
    void download(const DownloadRequest& request, RunLog& log);

private:
    std::mutex mutex_;
    const ArchiveSettings settings_;
    const std::string programDir_;
    MainWindow* const window_;
    const std::function<double()> nowMjd_;
    // Requests the archives did not have, and whether they could not be reached: a batch
    // of many days does not ask again for each of them.
    std::set<std::string> notOnArchive_;
    bool unreachable_ = false;
};

}  // namespace velarix
