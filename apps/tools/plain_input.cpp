#include "tools/plain_input.h"

#include <cstdio>

// Plain files only for now; the decoders plug in here.
PlainInput::PlainInput(const std::string& path) : path_(path) {}

PlainInput::~PlainInput() {
    if (!temporary_.empty()) std::remove(temporary_.c_str());
}
