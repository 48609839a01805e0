#pragma once
// gzip members made with zlib, for the decoder tests.
#include <string>
#include <string_view>

std::string gzipBytes(std::string_view data);
