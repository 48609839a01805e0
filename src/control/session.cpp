#include "control/session.h"

#include <chrono>
#include <thread>

void Session::sleep(int ms) const {
    if (sleepMs) {
        sleepMs(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string Session::productFolder() const {
    if (options.separateTarget && !options.targetDir.empty()) {
        std::string folder = options.targetDir;
        if (folder.back() != '/') folder += '/';
        return folder;
    }
    return job.context.dataDirectory;
}
