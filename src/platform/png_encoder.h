#pragma once
// PNG encoding of 24-bit images, made for plots: every row is filtered against the row
// above ("Up": rows that repeat become zeros) and compressed with zlib's run-length
// strategy, which takes the long runs of background and of repeated rows at a small
// fraction of the cost of a general-purpose encoder's filter search.
#include <cstdint>
#include <string>

namespace velarix {

// Encodes `height` rows of `width` pixels, each pixel a native-endian 32-bit 0x00RRGGBB
// (cairo's RGB24 layout), `stride` bytes from one row to the next, as a whole PNG file
// (8-bit RGB, no interlace) into `png`. False when zlib fails or the size is not valid.
[[nodiscard]] bool EncodePngRgb24(const unsigned char* pixels, int width, int height, int stride, std::string& png);

}  // namespace velarix
