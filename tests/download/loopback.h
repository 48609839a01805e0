#pragma once
// Loopback archive servers started by the download tests, and what the tests share.
#include <string>
#include <vector>

#include "download/archive_settings.h"
#include "download/console_session.h"
#include "platform/window.h"

namespace velarix {

// A server of loopback_servers.py ("ftp ROOT", "http ROOT", "drop", "hang") on a free
// port of 127.0.0.1, ended with the object.
class LoopbackServer {
public:
    explicit LoopbackServer(const std::vector<std::string>& arguments);
    ~LoopbackServer();
    bool ok() const { return port_ > 0; }
    int port() const { return port_; }
    std::string url(const std::string& scheme) const;

private:
    CRedir process_;
    int port_ = -1;
};

// Whether lftp can be started here: the download tests then check its missing-client path.
bool haveLftp();

// Settings for the loopback archives: short time-outs, no pauses.
ArchiveSettings loopbackSettings(const std::string& site);

// Writes `content` gzip-compressed to `path`.
void writeGzip(const std::string& path, const std::string& content);

// A window that records what the download shows.
class RecordingWindow : public MainWindow {
public:
    void setStatus(StatusLine line, const std::string& text) override;
    std::string statusText(StatusLine line) const override;
    void showPaneText(const std::string&) override {}
    void messageBox(const std::string& title, const std::string& text) override;
    void beep() override {}

    std::vector<std::string> boxes;
    int progressUpdates = 0;

private:
    mutable std::mutex mutex_;
    std::string status_[kStatusLineCount];
};

}  // namespace velarix
