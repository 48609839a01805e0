#pragma once
// An input file as plain text for the inspection tools, tests and benchmarks: a
// compressed input (".Z", gzip, Compact RINEX, or a chain of them) is expanded into a
// scratch file under $TMPDIR (or /tmp) whose name ends in the expanded name, removed again
// with the object (or by a signal that ends the program). A plain input is used in place.
#include <string>

#include "platform/safe_output.h"

class PlainCopy {
public:
    explicit PlainCopy(const std::string& path);
    PlainCopy(const PlainCopy&) = delete;
    PlainCopy& operator=(const PlainCopy&) = delete;

    bool ok() const { return error_.empty(); }
    // The plain file to read.
    const std::string& path() const { return path_; }
    // Why the input could not be made plain, without its path (callers name the file).
    const std::string& error() const { return error_; }
    // The Compact RINEX decoder's text when it skipped epochs (the file is still usable).
    const std::string& warning() const { return warning_; }

private:
    std::string path_;
    ScratchFile temporary_;  // not created when the input was already plain
    std::string error_;
    std::string warning_;
};
