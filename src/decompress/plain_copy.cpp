#include "decompress/plain_copy.h"

#include <filesystem>

#include "decompress/expand.h"
#include "platform/strfmt.h"

namespace velarix {

std::string expansionFailure(DecodeStatus result, const std::string& decoderText) {
    return strfmt("expansion failed (%d): %s", statusCode(result), decoderText.c_str());
}

PlainCopy::PlainCopy(const std::string& path, const std::string& folder) : path_(path) {
    if (!isExpandable(path)) return;
    expanded_ = true;
    // The temporary name ends in the expanded name, for readers that look at it.
    const std::string base = std::filesystem::path(expandedName(path)).filename().string();
    const OutputStatus created =
        folder.empty() ? temporary_.createInTemporaryDirectory(base) : temporary_.createHiddenIn(folder, base);
    if (created != OutputStatus::kOk) {
        const std::string where = folder.empty() ? temporaryDirectory() : folder;
        result_ = DecodeStatus::kCannotWrite;
        decoderText_ = strfmt("Cannot write file: a temporary file in %s: %s", where.c_str(), outputStatusText(created));
        error_ = "cannot create a temporary file in " + where;
        return;
    }
    // A scratch copy is read and removed by this process: no need to wait for the disk.
    result_ = expandFile(path, temporary_.path(), decoderText_, ReplacePolicy::kReplaceRegularFile, Durability::kScratch);
    if (!expandSucceeded(result_)) {
        error_ = expansionFailure(result_, decoderText_);
        temporary_.remove();
        return;
    }
    if (result_ != DecodeStatus::kOk) warning_ = decoderText_;
    path_ = temporary_.path();
}

}  // namespace velarix
