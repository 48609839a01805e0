#include "products/product_file.h"

#include "platform/safe_output.h"

namespace velarix {

bool WriteProductText(const std::string& path, std::string_view text) {
    return writeFileAtomically(path, text, ReplacePolicy::kReplaceRegularFile) == OutputStatus::kOk;
}

}  // namespace velarix
