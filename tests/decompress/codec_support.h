#pragma once
// Support of the decoder tests: encoders that build exact inputs (gzip members with zlib,
// Unix "compress" streams) and a runner that decodes bytes through a temporary file.
#include <string>
#include <string_view>
#include <vector>

#include "decompress/decode_status.h"

namespace velarix {

std::string gzipBytes(std::string_view data);

struct LzwOptions {
    int maxBits = 16;
    bool blockMode = true;
    size_t clearEvery = 0;  // codes between clear codes (block mode only); 0 = never
};

// LZW as compress(1) writes it: widths 9 to maxBits, each group of eight codes padded
// when the width changes or the dictionary is cleared. `codes` (when given) receives
// the codes written, clear codes included.
std::string lzwCompress(std::string_view data, const LzwOptions& options = {}, std::vector<int>* codes = nullptr);

struct Decoded {
    int code = 0;  // the decoder's status as the number the logs print
    std::string message = "unchanged";
    std::string output;
};
using Decoder = DecodeStatus (*)(const std::string& input, const std::string& output, std::string& message);

// Writes `bytes` to a temporary file called `name`, decodes it and reads the output back.
Decoded decodeBytes(Decoder decoder, const std::string& bytes, const std::string& name = "input");

}  // namespace velarix
