#include "lzw_encoder.h"

#include <map>
#include <utility>

namespace {

std::vector<int> gCodes;

class BitWriter {
public:
    explicit BitWriter(std::string header)
        : bytes_(std::move(header)), position_(bytes_.size() * 8), segmentStart_(position_) {}
    void put(int code, int bits) {
        for (int i = 0; i < bits; ++i, ++position_) {
            if (position_ % 8 == 0) bytes_.push_back(0);
            if ((code >> i) & 1) bytes_.back() = static_cast<char>(bytes_.back() | (1 << (position_ % 8)));
        }
    }
    // Pads to the end of the current group of eight codes of `bits` bits, counted from the
    // start of the current width.
    void endGroup(int bits) {
        const size_t group = static_cast<size_t>(bits) * 8;
        const size_t used = (position_ - segmentStart_) % group;
        for (size_t i = used; used != 0 && i < group; ++i, ++position_) {
            if (position_ % 8 == 0) bytes_.push_back(0);
        }
        segmentStart_ = position_;
    }
    std::string bytes() const { return bytes_; }

private:
    std::string bytes_;
    size_t position_;
    size_t segmentStart_;
};

}  // namespace

std::string lzwCompress(std::string_view data, const LzwOptions& options) {
    gCodes.clear();
    const int largestCode = 1 << options.maxBits;
    int bits = 9;
    int maxCode = 511;
    int freeEntry = options.blockMode ? 257 : 256;
    std::map<std::pair<int, unsigned char>, int> table;
    BitWriter writer(std::string{'\x1f', '\x9d', static_cast<char>(options.maxBits | (options.blockMode ? 0x80 : 0))});
    bool clearing = false;
    const auto output = [&](int code) {
        gCodes.push_back(code);
        writer.put(code, bits);
        if (freeEntry > maxCode || clearing) {
            writer.endGroup(bits);
            if (clearing) {
                bits = 9;
                maxCode = 511;
                clearing = false;
            } else {
                ++bits;
                maxCode = bits == options.maxBits ? largestCode : (1 << bits) - 1;
            }
        }
    };
    if (data.empty()) return writer.bytes();
    int prefix = static_cast<unsigned char>(data[0]);
    size_t sinceClear = 0;
    for (size_t i = 1; i < data.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        const auto found = table.find({prefix, c});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        output(prefix);
        if (freeEntry < largestCode) table[{prefix, c}] = freeEntry++;
        prefix = c;
        if (options.blockMode && options.clearEvery != 0 && ++sinceClear == options.clearEvery) {
            table.clear();
            freeEntry = 257;
            clearing = true;
            output(256);
            sinceClear = 0;
        }
    }
    output(prefix);
    return writer.bytes();
}

const std::vector<int>& lastLzwCodes() { return gCodes; }
