#include "platform/png_encoder.h"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace velarix {

namespace {

constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr unsigned char kFilterUp = 2;
constexpr int kBytesPerPixel = 3;

void appendBigEndian(std::string& out, std::uint32_t value) {
    const char bytes[] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                          static_cast<char>(value)};
    out.append(bytes, sizeof bytes);
}

// A chunk: length, type, data and the CRC of type and data.
void appendChunk(std::string& out, const char type[4], const unsigned char* data, std::size_t size) {
    appendBigEndian(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data), size);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + typeAt), static_cast<uInt>(size + 4));
    appendBigEndian(out, static_cast<std::uint32_t>(crc));
}

// One row as 8-bit R, G, B from native 0x00RRGGBB words.
void unpackRow(const unsigned char* row, int width, unsigned char* rgb) {
    for (int x = 0; x < width; ++x) {
        std::uint32_t value;
        std::memcpy(&value, row + 4 * static_cast<std::size_t>(x), sizeof value);
        rgb[0] = static_cast<unsigned char>(value >> 16);
        rgb[1] = static_cast<unsigned char>(value >> 8);
        rgb[2] = static_cast<unsigned char>(value);
        rgb += kBytesPerPixel;
    }
}

}  // namespace

bool EncodePngRgb24(const unsigned char* pixels, int width, int height, int stride, std::string& png) {
    png.clear();
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < 4 * width) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * kBytesPerPixel;

    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return false;
    std::vector<unsigned char> previous(rowBytes, 0), current(rowBytes), filtered(rowBytes + 1);
    std::vector<unsigned char> compressed(deflateBound(&stream, static_cast<uLong>((rowBytes + 1) * height)));
    stream.next_out = compressed.data();
    stream.avail_out = static_cast<uInt>(compressed.size());
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        unpackRow(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride), width, current.data());
        filtered[0] = kFilterUp;
        for (std::size_t i = 0; i < rowBytes; ++i) filtered[i + 1] = static_cast<unsigned char>(current[i] - previous[i]);
        previous.swap(current);
        stream.next_in = filtered.data();
        stream.avail_in = static_cast<uInt>(filtered.size());
        ok = deflate(&stream, y + 1 == height ? Z_FINISH : Z_NO_FLUSH) == (y + 1 == height ? Z_STREAM_END : Z_OK);
    }
    const std::size_t compressedSize = compressed.size() - stream.avail_out;
    deflateEnd(&stream);
    if (!ok) return false;

    unsigned char header[13];
    const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    for (int i = 0; i < 2; ++i) {
        for (int b = 0; b < 4; ++b) header[4 * i + b] = static_cast<unsigned char>(size[i] >> (24 - 8 * b));
    }
    header[8] = 8;   // bits per sample
    header[9] = 2;   // colour type: RGB
    header[10] = 0;  // deflate
    header[11] = 0;  // adaptive filtering, one filter byte per row
    header[12] = 0;  // no interlace
    png.assign(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    appendChunk(png, "IHDR", header, sizeof header);
    appendChunk(png, "IDAT", compressed.data(), compressedSize);
    appendChunk(png, "IEND", nullptr, 0);
    return true;
}

}  // namespace velarix
