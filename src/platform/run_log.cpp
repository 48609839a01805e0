#include "platform/run_log.h"

#include <cstdio>

#include "platform/window.h"

void RunLog::refresh() {
    if (shown_ > messages.size()) shown_ = 0;
    if (pane_ != nullptr && shown_ < messages.size()) pane_->showPaneText(messages.substr(shown_));
    shown_ = messages.size();
}

namespace {
bool appendToFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}
}  // namespace

bool RunLog::flush(const std::string& directory) {
    const std::string logPath = directory + "Log_file.txt";
    bool ok = true;
    refresh();
    if (appendToFile(logPath, messages)) {
        messages.clear();
        shown_ = 0;
    } else {
        ok = false;
        append("* Unable to write LOG file... " + logPath + "\r\n");
        refresh();
    }
    if (errors.size() > 2 && appendToFile(directory + "Log_errors.txt", errors)) errors.clear();
    return ok;
}
