#pragma once
// An input file as plain text: a compressed input (".Z", gzip, Compact RINEX, or a chain
// of them) is expanded into a scratch file whose name ends in the expanded name, under
// $TMPDIR (or /tmp) or hidden in a given folder, and removed again with the object (or by
// a signal that ends the program). A plain input is used in place; the input itself is
// never changed.
#include <string>

#include "decompress/decode_status.h"
#include "platform/safe_output.h"

namespace velarix {

// "expansion failed (<code>): <decoder's text>": why a compressed input gave no plain
// text, as callers report it after its name.
std::string expansionFailure(DecodeStatus result, const std::string& decoderText);

class PlainCopy {
public:
    // `folder`: where the expanded copy goes, ending in '/'; "" for $TMPDIR.
    explicit PlainCopy(const std::string& path, const std::string& folder = {});
    PlainCopy(const PlainCopy&) = delete;
    PlainCopy& operator=(const PlainCopy&) = delete;

    bool ok() const { return error_.empty(); }
    // The plain file to read.
    const std::string& path() const { return path_; }
    // Why the input could not be made plain, without its path (callers name the file).
    const std::string& error() const { return error_; }
    // The Compact RINEX decoder's text when it skipped epochs (the file is still usable).
    const std::string& warning() const { return warning_; }
    // Whether the input needed expanding; expandFile's result (kOk for a plain input;
    // kCannotWrite when no scratch file could be made) and the decoder's own text.
    bool expanded() const { return expanded_; }
    DecodeStatus result() const { return result_; }
    const std::string& decoderText() const { return decoderText_; }

private:
    std::string path_;
    ScratchFile temporary_;  // not created when the input was already plain
    std::string error_;
    std::string warning_;
    bool expanded_ = false;
    DecodeStatus result_ = DecodeStatus::kOk;
    std::string decoderText_;
};

}  // namespace velarix
