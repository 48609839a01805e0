#include "decompress/plain_copy.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "decompress/expand.h"
#include "platform/strfmt.h"

PlainCopy::PlainCopy(const std::string& path) : path_(path) {
    if (!isExpandable(path)) return;
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string directory = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
    // The temporary name ends in the expanded name, for readers that look at it.
    const std::string base = std::filesystem::path(expandedName(path)).filename().string();
    std::string pattern = directory + "/velarix-XXXXXX-" + base;
    const int fd = mkstemps(pattern.data(), static_cast<int>(base.size() + 1));
    if (fd < 0) {
        error_ = strfmt("cannot create a temporary file in %s", directory.c_str());
        return;
    }
    close(fd);
    temporary_ = pattern;
    std::string message;
    const int result = expandFile(path, temporary_, message);
    if (!expandSucceeded(result)) {
        error_ = strfmt("expansion failed (%d): %s", result, message.c_str());
        return;
    }
    if (result != 0) warning_ = message;
    path_ = temporary_;
}

PlainCopy::~PlainCopy() {
    if (!temporary_.empty()) std::remove(temporary_.c_str());
}
