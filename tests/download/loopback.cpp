#include "loopback.h"

#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>

namespace velarix {

LoopbackServer::LoopbackServer(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"/usr/bin/python3",
                                     std::string(VELARIX_SOURCE_DIR) + "/tests/download/loopback_servers.py"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (process_.start(argv) != SessionStart::kStarted) return;
    const bool listening = process_.waitFor(
        0, [](std::string_view text) { return text.find('\n') != std::string_view::npos; }, std::chrono::seconds(10));
    const std::string text = process_.output();
    if (listening && text.rfind("PORT ", 0) == 0) port_ = std::atoi(text.c_str() + 5);
}

LoopbackServer::~LoopbackServer() { process_.stop(std::chrono::milliseconds(0)); }

std::string LoopbackServer::url(const std::string& scheme) const {
    return scheme + "://127.0.0.1:" + std::to_string(port_);
}

bool haveLftp() {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && ::access((dir + "/lftp").c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

ArchiveSettings loopbackSettings(const std::string& site) {
    ArchiveSettings settings;
    settings.timeoutSeconds = 2;
    settings.dcbReconnectPauseSeconds = 0;
    settings.navigationReconnectPauseSeconds = 0;
    settings.dcbUrl = site + "/CODE/{yyyy}/{kind}{yy}{mm}.DCB.Z";
    settings.dcbRunningMonthUrl = site + "/CODE/{kind}.DCB";
    settings.navigationUrl = site + "/nav/{yyyy}/{ddd}/{station}{ddd}0.{yy}n.gz";
    settings.navigationStations = {"chpi", "cro1", "brdc"};
    return settings;
}

void writeGzip(const std::string& path, const std::string& content) {
    gzFile file = gzopen(path.c_str(), "wb");
    gzwrite(file, content.data(), static_cast<unsigned>(content.size()));
    gzclose(file);
}

void RecordingWindow::setStatus(StatusLine line, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    status_[static_cast<int>(line)] = text;
    if (line == StatusLine::Progress && !text.empty()) ++progressUpdates;
}

std::string RecordingWindow::statusText(StatusLine line) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_[static_cast<int>(line)];
}

void RecordingWindow::messageBox(const std::string& title, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes.push_back(title + ": " + text);
}

}  // namespace velarix
