#pragma once
// A small Unix "compress" encoder for building exact .Z test inputs: widths 9 to maxBits,
// groups of eight codes padded when the width changes or the dictionary is cleared, as
// compress(1) writes them.
#include <string>
#include <string_view>
#include <vector>

struct LzwOptions {
    int maxBits = 16;
    bool blockMode = true;
    // Codes after which a clear code is sent (counted from the start or the last clear);
    // 0 = never. Only in block mode.
    size_t clearEvery = 0;
};

std::string lzwCompress(std::string_view data, const LzwOptions& options = {});

// The codes written by the last lzwCompress call (clear codes included), for tests that
// need to know where the widths change.
const std::vector<int>& lastLzwCodes();
