#pragma once
// Text and number helpers of the Compact RINEX decoder.
#include <cstdint>
#include <string>
#include <string_view>

namespace velarix {

// Restores a text differenced against `reference` in place: a blank keeps the reference
// character, '&' stands for a blank, any other character replaces it; characters beyond
// the reference's end are appended ('&' as a blank).
void applyTextDifference(std::string& reference, std::string_view difference);

// The same rules on a fixed-size field (the flag characters of one satellite); characters
// beyond `size` are ignored.
void applyTextDifference(char* field, size_t size, std::string_view difference);

// An optional '-' and 1 to 18 decimal digits, nothing else.
[[nodiscard]] bool parseCrxInteger(std::string_view text, int64_t& value);

// Writes `value`, a count of 10^-decimals units, right-aligned into `width` characters
// with `decimals` decimals and no zero before the point (".000", "-.250", "62.000").
// False when the text does not fit the width.
[[nodiscard]] bool formatFixedPoint(int64_t value, int decimals, int width, char* out);

}  // namespace velarix
