#pragma once
// Plain stdio files for the decoders: closed by their owner on every return, outputs
// unbuffered so that a failed write is seen where it happens.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "platform/regular_file.h"

namespace velarix {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Where a decoder reads and writes: a file by name, or a descriptor (a pipe between
// decoders, or to the reader) that stays its owner's. A decoder works on a duplicate of the
// descriptor, so that the owner can still read what the decoder left, or close the pipe
// when the decoder gave up before writing. `path` names it in messages.
struct DecoderFile {
    explicit DecoderFile(std::string path, int fd = -1) : path(std::move(path)), fd(fd) {}
    std::string path;
    int fd;
};
using DecoderInput = DecoderFile;
using DecoderOutput = DecoderFile;

// Opens an existing regular file for reading and gives its size in bytes; nullptr when it
// cannot be opened or is no regular file (a directory, FIFO, device), `status` (when
// given) telling which.
FilePtr openInputFile(const std::string& path, long long& sizeBytes, InputFileStatus* status = nullptr);
// The same for a decoder's input; a pipe's size is 0 when it ends at once, else LLONG_MAX.
FilePtr openInputFile(const DecoderInput& input, long long& sizeBytes, InputFileStatus* status = nullptr);

// Creates or truncates `path` for writing, without stdio buffering.
FilePtr openOutputFile(const std::string& path);
FilePtr openOutputFile(const DecoderOutput& output);

// A duplicate of `fd` that is closed on exec; -1 on failure.
int duplicateDescriptor(int fd);

// Writes all `size` bytes; false on a short write.
[[nodiscard]] bool writeBytes(std::FILE* file, const void* data, size_t size);

// Closes an output file; false when the close itself fails (nothing of it is lost
// silently).
[[nodiscard]] bool closeOutputFile(FilePtr& file);

}  // namespace velarix
