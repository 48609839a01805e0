#pragma once
// Unix "compress" (".Z") decoder: LZW with code widths of 9 to 16 bits, with or without
// block mode (code 256 clears the dictionary). Works file to file.
#include <string>

#include "decompress/decode_status.h"
#include "decompress/file_io.h"

namespace velarix {

// Expands `inputPath` into `outputPath` (created or truncated, binary). Returns 0 on
// success and leaves `zMessage` unchanged; otherwise a negative code with the reason in
// `zMessage`:
//   -1  "Cannot open file" ("Not a regular file" for a directory, FIFO or device)
//   -9  "File of zero bytes"
//   -11 "Cannot write file"
//   -2  fewer than 3 bytes, or no 1F 9D magic ("Input file not in .Z compressed format,
//       check type or decompress manually!\n"; unchanged when nothing could be read)
//   -3  more than 16 bits ("File compressed with %d bits, can only handle %d bits\n")
//   -4  first code 256 or more ("oldcode:-1 code:%i\r\nCorrupt input file")
//   -5  code beyond the next free code ("insize:%d posbits:%d inbuf:%02X %02X %02X %02X
//       %02X (%d)\r\nCorrupt input file": bytes held in the input buffer, bit position of
//       the code, the bytes from one before to three after its first byte, its bit offset)
//   -6  "Write error!" (a full output buffer)   -7 "Write error2!" (the last one)
// A truncated input ends the output early and still returns 0. Both files are closed on
// every return; a partial output is left for the caller to delete.
[[nodiscard]] DecodeStatus DecompressZ(const std::string& inputPath, const std::string& outputPath,
                                       std::string& zMessage);
// The same between the files or pipes given (see file_io.h).
[[nodiscard]] DecodeStatus DecompressZ(const DecoderInput& input, const DecoderOutput& output,
                                       std::string& zMessage);

}  // namespace velarix
