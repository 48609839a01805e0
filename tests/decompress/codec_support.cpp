#include "codec_support.h"

#include <zlib.h>

#include <map>

#include "test_support.h"

namespace velarix {

std::string gzipBytes(std::string_view data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string lzwCompress(std::string_view data, const LzwOptions& options, std::vector<int>* codes) {
    std::string bytes{'\x1f', '\x9d', static_cast<char>(options.maxBits | (options.blockMode ? 0x80 : 0))};
    const int largestCode = 1 << options.maxBits;
    int width = 9, maxCode = 511, freeEntry = options.blockMode ? 257 : 256;
    size_t bit = 0, groupStart = 0;  // bits written after the header; where this width began
    std::map<std::pair<int, unsigned char>, int> table;
    const auto output = [&](int code, bool clearing) {
        if (codes != nullptr) codes->push_back(code);
        for (int i = 0; i < width; ++i, ++bit) {
            if (bit % 8 == 0) bytes.push_back(0);
            if ((code >> i) & 1) bytes.back() = static_cast<char>(bytes.back() | (1 << (bit % 8)));
        }
        if (freeEntry <= maxCode && !clearing) return;
        for (; (bit - groupStart) % (8 * width) != 0; ++bit) {
            if (bit % 8 == 0) bytes.push_back(0);
        }
        groupStart = bit;
        width = clearing ? 9 : width + 1;
        maxCode = clearing ? 511 : width == options.maxBits ? largestCode : (1 << width) - 1;
    };
    if (data.empty()) return bytes;
    int prefix = static_cast<unsigned char>(data[0]);
    size_t sinceClear = 0;
    for (size_t i = 1; i < data.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (const auto found = table.find({prefix, c}); found != table.end()) {
            prefix = found->second;
            continue;
        }
        output(prefix, false);
        if (freeEntry < largestCode) table[{prefix, c}] = freeEntry++;
        prefix = c;
        if (options.blockMode && options.clearEvery != 0 && ++sinceClear == options.clearEvery) {
            table.clear();
            freeEntry = 257;
            output(256, true);
            sinceClear = 0;
        }
    }
    output(prefix, false);
    return bytes;
}

Decoded decodeBytes(Decoder decoder, const std::string& bytes, const std::string& name) {
    TempDir dir;
    Decoded run;
    run.code = statusCode(decoder(dir.write(name, bytes), dir.path() + "out", run.message));
    run.output = readWholeFile(dir.path() + "out");
    return run;
}

}  // namespace velarix
