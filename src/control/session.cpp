#include "control/session.h"

#include <chrono>
#include <thread>

namespace velarix {

void Session::sleep(int ms) const {
    if (sleepMs) {
        sleepMs(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Session::pause(int ms) const {
    if (window.watched()) sleep(ms);
}

void Session::poll(int ms) const { sleep(window.watched() ? ms : 1); }

std::string productFolderFor(const RunOptions& options, const std::string& dataDirectory) {
    if (options.separateTarget && !options.targetDir.empty()) {
        std::string folder = options.targetDir;
        if (folder.back() != '/') folder += '/';
        return folder;
    }
    return dataDirectory;
}

}  // namespace velarix
