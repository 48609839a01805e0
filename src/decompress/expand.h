#pragma once
// Expands an input file through the decoders that its name calls for, in order:
// ".gz" (gzip), ".Z" (Unix compress), then Compact RINEX (".crx", or a short name whose
// type letter is d/D). So "x.crx.gz" is gunzipped and then decoded, "x.20d.Z"
// uncompressed and then decoded to "x.20o".
#include <string>
#include <vector>

#include "decompress/decode_status.h"
#include "decompress/file_io.h"
#include "platform/safe_output.h"

namespace velarix {

// The name of the plain file: ".gz" and ".Z" dropped (any case), then a Compact RINEX
// name made an observation name (".crx" -> ".rnx", ".20d" -> ".20o", case kept).
// A plain name comes back unchanged.
std::string expandedName(const std::string& path);

// True when `path` names a compressed or Compact RINEX file.
[[nodiscard]] bool isExpandable(const std::string& path);

// One decoder of a chain.
enum class DecodeStep { Gzip, UnixCompress, CompactRinex };

// The decoders `path` calls for, in order (none for a plain name); `plainName` receives
// expandedName(path).
std::vector<DecodeStep> decodeSteps(const std::string& path, std::string& plainName);

// Runs one decoder between the files or pipes given; its result and text as its own.
[[nodiscard]] DecodeStatus runDecodeStep(DecodeStep step, const DecoderInput& input, const DecoderOutput& output,
                                         std::string& message);

// Writes the plain content of `input` to `output`. A plain input is copied. The content
// is decoded into a hidden temporary file beside the output (chains through further ones)
// that takes the output's name only when complete, so a failed or interrupted decode
// leaves `output` exactly as it was. Returns kOk on success; the negative code of the gzip
// or .Z decoder (or of the copy: kCannotOpen cannot open or not a regular file, kCannotWrite
// cannot write, kWriteFailed write failed); or the result of DecompressCrx (kCrxEpochsSkipped
// and kCrxSkippedToEnd are warnings: the output is kept, see expandSucceeded). `message`
// receives the decoder's text. Refused with kCannotWrite: an output that is the input
// itself, or that exists and is not a regular file (directory, FIFO, device, symbolic
// link), or, under kNeverReplace, that exists at all. A scratch copy (Durability::kScratch)
// is not waited for on disk.
[[nodiscard]] DecodeStatus expandFile(const std::string& input, const std::string& output, std::string& message,
                                      ReplacePolicy policy = ReplacePolicy::kReplaceRegularFile,
                                      Durability durability = Durability::kSynced);

// expandSucceeded (decompress/decode_status.h) tells whether a result left a usable output.

}  // namespace velarix
