#include "decompress/crx_text.h"

#include <cstring>

namespace velarix {

void applyTextDifference(std::string& reference, std::string_view difference) {
    const size_t common = std::min(reference.size(), difference.size());
    for (size_t i = 0; i < common; ++i) {
        const char c = difference[i];
        if (c != ' ') reference[i] = c == '&' ? ' ' : c;
    }
    for (size_t i = common; i < difference.size(); ++i) reference.push_back(difference[i] == '&' ? ' ' : difference[i]);
}

void applyTextDifference(char* field, size_t size, std::string_view difference) {
    const size_t count = std::min(size, difference.size());
    for (size_t i = 0; i < count; ++i) {
        const char c = difference[i];
        if (c != ' ') field[i] = c == '&' ? ' ' : c;
    }
}

bool parseCrxInteger(std::string_view text, int64_t& value) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 18) return false;
    int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

bool formatFixedPoint(int64_t value, int decimals, int width, char* out) {
    char digits[32];
    char* p = digits + sizeof digits;
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    *--p = '.';
    while (magnitude > 0) {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (value < 0) *--p = '-';
    const int length = static_cast<int>(digits + sizeof digits - p);
    if (length > width) return false;
    std::memset(out, ' ', static_cast<size_t>(width - length));
    std::memcpy(out + (width - length), p, static_cast<size_t>(length));
    return true;
}

}  // namespace velarix
