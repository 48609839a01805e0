#pragma once
// SHA-256 of a byte string as 64 lower-case hex digits, for comparing decoder outputs
// with published digests.
#include <string>
#include <string_view>

std::string sha256Hex(std::string_view bytes);
