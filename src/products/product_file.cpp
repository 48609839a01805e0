#include "products/product_file.h"

#include "platform/safe_output.h"

bool WriteProductText(const std::string& path, std::string_view text) {
    return writeFileAtomically(path, text, ReplacePolicy::kReplaceRegularFile) == OutputStatus::kOk;
}
