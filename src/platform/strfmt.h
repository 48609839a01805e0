#pragma once
// printf-style formatting into std::string. The program's messages and products are
// defined by printf formats ("% 5.0d", "%2.2lf"), so they are produced by vsnprintf,
// always in the C locale: a desktop toolkit or a Python program may have set the user's
// locale for the process, and a decimal comma must never reach a product or a log.
#include <string>

namespace velarix {

std::string strfmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace velarix
