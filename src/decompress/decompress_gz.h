#pragma once
// gzip (".gz") decoder on zlib, with the contract of DecompressZ: 0 or a negative code,
// the reason in a message. Files of several gzip members (concatenated archives) expand
// to the concatenation of their contents.
#include <string>

#include "decompress/decode_status.h"
#include "decompress/file_io.h"

namespace velarix {

// Expands `inputPath` into `outputPath` (created or truncated, binary). Returns kOk on
// success and leaves `message` unchanged; otherwise a negative code with the reason:
//   -1  "Cannot open file" ("Not a regular file" for a directory, FIFO or device)
//   -9  "File of zero bytes"
//   -2  not gzip data: fewer than 2 bytes or no 1F 8B magic ("Input file not in gzip
//       format, check type or decompress manually!\n")
//   -5  corrupt or truncated data ("Corrupt input file: ..." / "Truncated input file")
//   -11 "Cannot write file"           -6  "Write error!"
// Bytes after the last complete member that do not start another member are ignored, as
// gzip does. Both files are closed on every return; a partial output is left for the
// caller to delete.
[[nodiscard]] DecodeStatus DecompressGz(const std::string& inputPath, const std::string& outputPath,
                                        std::string& message);
// The same between the files or pipes given (see file_io.h).
[[nodiscard]] DecodeStatus DecompressGz(const DecoderInput& input, const DecoderOutput& output,
                                        std::string& message);

}  // namespace velarix
