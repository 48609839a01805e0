#include "decompress/plain_copy.h"

#include <filesystem>

#include "decompress/expand.h"
#include "platform/strfmt.h"

PlainCopy::PlainCopy(const std::string& path) : path_(path) {
    if (!isExpandable(path)) return;
    // The temporary name ends in the expanded name, for readers that look at it.
    const std::string base = std::filesystem::path(expandedName(path)).filename().string();
    if (temporary_.createInTemporaryDirectory(base) != OutputStatus::kOk) {
        error_ = strfmt("cannot create a temporary file in %s", temporaryDirectory().c_str());
        return;
    }
    std::string message;
    const int result = expandFile(path, temporary_.path(), message);
    if (!expandSucceeded(result)) {
        error_ = strfmt("expansion failed (%d): %s", result, message.c_str());
        return;
    }
    if (result != 0) warning_ = message;
    path_ = temporary_.path();
}
