#include "gnss/day_job.h"

void CurrentFileContext::reset(const std::string& path) {
    *this = CurrentFileContext{};
    const size_t slash = path.rfind('/');
    dataDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
