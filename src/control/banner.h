#pragma once
#include <string>

namespace velarix {

// The text the message log starts with: program, version, build date, authorship and
// the conditions of use.
std::string startupBanner();

}  // namespace velarix
