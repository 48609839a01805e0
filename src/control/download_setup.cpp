#include "control/download_setup.h"

#include <cstdlib>
#include <memory>

#include "download/download.h"
#include "ui/ini_file.h"

namespace velarix {

namespace {

constexpr const char* kSection = "Download";

void takeText(const IniFile& ini, const char* key, std::string& into) {
    if (const auto value = ini.get(kSection, key); value && !value->empty()) into = *value;
}

void takeSeconds(const IniFile& ini, const char* key, int low, int high, int& into, std::string* problem) {
    const auto value = ini.get(kSection, key);
    if (!value || value->empty()) return;
    char* end = nullptr;
    const long seconds = std::strtol(value->c_str(), &end, 10);
    if (*end != '\0' || seconds < low || seconds > high) {
        if (problem != nullptr)
            *problem += std::string("\"") + key + "\" is not a number of seconds from " + std::to_string(low) + " to " +
                        std::to_string(high) + "; ";
        return;
    }
    into = static_cast<int>(seconds);
}

}  // namespace

ArchiveSettings loadArchiveSettings(const std::string& path, std::string* problem) {
    ArchiveSettings settings;
    IniFile ini;
    const IniStatus status = ini.load(path);
    if (status != IniStatus::kOk) {
        if (status != IniStatus::kMissing && problem != nullptr) *problem += iniStatusText(status);
        return settings;
    }
    takeText(ini, "Client", settings.client);
    takeText(ini, "DCB URL", settings.dcbUrl);
    takeText(ini, "DCB Running Month URL", settings.dcbRunningMonthUrl);
    takeText(ini, "Navigation URL", settings.navigationUrl);
    if (const auto list = ini.get(kSection, "Navigation Stations"); list && !list->empty()) {
        settings.navigationStations.clear();
        std::string name;
        for (const char c : *list + ",") {
            if (c == ',' || c == ' ' || c == '\t') {
                if (!name.empty()) settings.navigationStations.push_back(name);
                name.clear();
            } else {
                name += c;
            }
        }
    }
    takeSeconds(ini, "Timeout", 1, 3600, settings.timeoutSeconds, problem);
    takeSeconds(ini, "DCB Reconnect Pause", 0, 600, settings.dcbReconnectPauseSeconds, problem);
    takeSeconds(ini, "Navigation Reconnect Pause", 0, 600, settings.navigationReconnectPauseSeconds, problem);
    return settings;
}

DownloadFunction makeDownloadFunction(const ArchiveSettings& settings, const std::string& programDir,
                                      MainWindow* window) {
    auto downloader = std::make_shared<ArchiveDownloader>(settings, programDir, window);
    return [downloader](const DownloadRequest& request, RunLog& log) { downloader->download(request, log); };
}

}  // namespace velarix
