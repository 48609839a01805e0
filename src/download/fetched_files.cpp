#include "download/fetched_files.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "decompress/expand.h"
#include "platform/strfmt.h"

namespace velarix {

bool placeFetchedFile(const std::string& temporary, const std::string& final) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace rename: a hard link fails just the same on an
    // existing name.
    if (::link(temporary.c_str(), final.c_str()) != 0) return false;
    ::unlink(temporary.c_str());
    return true;
}

void expandFetchedArchives(const std::vector<std::string>& fetched, const std::string& dataDirectory, RunLog& log) {
    std::vector<std::string> archives;
    for (const std::string& path : fetched) {
        if (isExpandable(path)) archives.push_back(path);
    }
    if (archives.empty()) {
        log.say("\r\nNO files found in Directory @ " + dataDirectory + "\r\n");
        return;
    }
    log.say(
        strfmt("\r\nNo. of files found in Directory are %zu\r\nWait... decompressing them....\r\n", archives.size()));
    for (const std::string& archive : archives) {
        log.append("\r\nDecompressing... " + archive);
        log.refresh();
        std::string message;
        const DecodeStatus result = expandFile(archive, expandedName(archive), message, ReplacePolicy::kNeverReplace);
        if (!expandSucceeded(result)) {
            log.say(strfmt(" ...Decompress error# %d\r\n", statusCode(result)) + message);
            continue;
        }
        log.say(" ...done!\r\n");
        std::error_code ec;
        std::filesystem::remove(archive, ec);
        if (ec) log.say("\r\nError deleting file .. " + archive + "\r\n");
    }
}

}  // namespace velarix
