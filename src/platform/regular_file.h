#pragma once
// Inputs are opened only when they are regular files. A directory opens for reading and
// then reads as an empty file, a FIFO blocks in open() until some writer comes, and a
// device or socket holds no data file: each is refused before a byte is read, so that the
// reader can say so instead of reporting an empty or missing file, or hanging.
#include <string>

namespace velarix {

enum class InputFileStatus { kOpened, kCannotOpen, kNotRegularFile };

// Opens `path` read-only and close-on-exec, following symbolic links. On kOpened `fd` is
// the descriptor, in blocking mode, and the caller closes it; otherwise `fd` is -1.
[[nodiscard]] InputFileStatus openRegularFile(const std::string& path, int& fd);

// The content of the regular file `path` in `text`, at most `maxBytes` of it (emptied on
// failure; a read error counts as kCannotOpen).
[[nodiscard]] InputFileStatus readRegularFile(const std::string& path, std::string& text,
                                              std::size_t maxBytes = std::string::npos);

// The run-log line of an input that did not open, in the readers' style:
// "\r\nError! <kind> file <path>: not a regular file" (or ": cannot open").
std::string inputFileError(const char* kind, const std::string& path, InputFileStatus status);

}  // namespace velarix
