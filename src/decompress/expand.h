#pragma once
// Expands an input file through the decoders that its name calls for, in order:
// ".gz" (gzip), ".Z" (Unix compress), then Compact RINEX (".crx", or a short name whose
// type letter is d/D). So "x.crx.gz" is gunzipped and then decoded, "x.20d.Z"
// uncompressed and then decoded to "x.20o".
#include <string>

// The name of the plain file: ".gz" and ".Z" dropped (any case), then a Compact RINEX
// name made an observation name (".crx" -> ".rnx", ".20d" -> ".20o", case kept).
// A plain name comes back unchanged.
std::string expandedName(const std::string& path);

// True when `path` names a compressed or Compact RINEX file.
bool isExpandable(const std::string& path);

// Writes the plain content of `input` to `output`, through temporary files beside the
// output for chains (removed again). A plain input is copied. Returns 0 on success; the
// negative code of the gzip or .Z decoder (or of the copy: -1 cannot open or not a
// regular file, -11 cannot write, -6 write failed); or the result of DecompressCrx (2 and
// 21 are warnings: the output is kept). `message` receives the decoder's text. On failure the output is
// removed. An output that is the input itself is refused (-11).
int expandFile(const std::string& input, const std::string& output, std::string& message);

// Whether a result of expandFile left a usable output (success or Compact RINEX warning).
inline bool expandSucceeded(int result) { return result == 0 || result == 2 || result == 21; }
