#include "decompress/plain_copy.h"

#include <cstdio>

// Plain files only for now; the decoders plug in here.
PlainCopy::PlainCopy(const std::string& path) : path_(path) {}

PlainCopy::~PlainCopy() {
    if (!temporary_.empty()) std::remove(temporary_.c_str());
}
