// Fuzz target: valid gzip files built from the input with zlib, expanded by DecompressGz,
// which must give back the input's bytes. The first byte picks the build: bit 0 an extra
// field, bit 1 a file name, bit 2 a comment, bit 3 a header CRC, bit 4 a second member
// (the rest of the input split in two), bits 5-6 the compression level, bit 7 trailing
// bytes that start no member.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "decompress/decompress_gz.h"
#include "fuzz_files.h"

using namespace velarix;

namespace {

// One gzip member holding `data`, with the header fields `choice` asks for.
std::string gzipMember(std::string_view data, unsigned choice) {
    static const int kLevels[] = {0, 1, 6, 9};
    z_stream stream{};
    if (deflateInit2(&stream, kLevels[(choice >> 5) & 3], Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        std::abort();
    unsigned char extra[] = {'V', 'x', 3, 0, 'a', 'b', 'c'};
    char name[] = "member.rnx";
    char comment[] = "built by the fuzz target";
    gz_header header{};
    header.text = 1;
    header.time = 1577836800;
    header.os = 3;
    if (choice & 1) {
        header.extra = extra;
        header.extra_len = sizeof extra;
    }
    if (choice & 2) header.name = reinterpret_cast<Bytef*>(name);
    if (choice & 4) header.comment = reinterpret_cast<Bytef*>(comment);
    header.hcrc = (choice & 8) != 0;
    if (deflateSetHeader(&stream, &header) != Z_OK) std::abort();
    std::string out(deflateBound(&stream, data.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) std::abort();
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzFiles files("decompress_gz_members");
    if (size == 0) return 0;
    const unsigned choice = data[0];
    const std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string file;
    if (choice & 16) {
        const size_t half = content.size() / 2;
        file = gzipMember(content.substr(0, half), choice) + gzipMember(content.substr(half), choice ^ 15);
    } else {
        file = gzipMember(content, choice);
    }
    if (choice & 128) file += std::string("\0\0\0\0\x1f", 5);
    if (!files.writeInput(reinterpret_cast<const uint8_t*>(file.data()), file.size())) return 0;

    std::string message;
    if (DecompressGz(files.input(), files.output(), message) != DecodeStatus::kOk) std::abort();
    std::string expanded;
    if (std::FILE* out = std::fopen(files.output().c_str(), "rb")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, out)) > 0) expanded.append(buffer, got);
        std::fclose(out);
    }
    if (expanded != content) std::abort();
    return 0;
}
