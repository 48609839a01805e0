#pragma once
// What the product writers return, and how a product reaches its final name: written
// under a temporary name in the same folder and renamed into place when complete, so
// that a crash never leaves half a product behind under the real name.
#include <string>
#include <string_view>

namespace velarix {

enum class ProductResult {
    kWritten = 0,
    kNotCreated = -1,  // the file could not be created or completed; nothing under its name changed
    kNoData = -2,      // nothing to write; no file
};

// `text` as the whole product `path`; an older product of that name is replaced.
[[nodiscard]] bool WriteProductText(const std::string& path, std::string_view text);

}  // namespace velarix
