#pragma once
// An input file as plain text for the inspection tools, tests and benchmarks: a compressed input (".Z", gzip,
// Compact RINEX, or a chain of them) is expanded into a temporary file, removed again
// with the object.
#include <string>

class PlainCopy {
public:
    explicit PlainCopy(const std::string& path);
    ~PlainCopy();
    PlainCopy(const PlainCopy&) = delete;
    PlainCopy& operator=(const PlainCopy&) = delete;

    bool ok() const { return error_.empty(); }
    // The plain file to read.
    const std::string& path() const { return path_; }
    // Why the input could not be made plain.
    const std::string& error() const { return error_; }

private:
    std::string path_;
    std::string temporary_;  // "" when the input was already plain
    std::string error_;
};
