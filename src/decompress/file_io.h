#pragma once
// Plain stdio files for the decoders: closed by their owner on every return, outputs
// unbuffered so that a failed write is seen where it happens.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/regular_file.h"

namespace velarix {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens an existing regular file for reading and gives its size in bytes; nullptr when it
// cannot be opened or is no regular file (a directory, FIFO, device), `status` (when
// given) telling which.
FilePtr openInputFile(const std::string& path, long long& sizeBytes, InputFileStatus* status = nullptr);

// Creates or truncates `path` for writing, without stdio buffering.
FilePtr openOutputFile(const std::string& path);

// Writes all `size` bytes; false on a short write.
[[nodiscard]] bool writeBytes(std::FILE* file, const void* data, size_t size);

// Closes an output file; false when the close itself fails (nothing of it is lost
// silently).
[[nodiscard]] bool closeOutputFile(FilePtr& file);

}  // namespace velarix
