// Fuzz target: any bytes as the arguments of `velarix` (split at NUL bytes), parsed by
// parseCommandLine and laid over the default choices.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/command_line.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words{"velarix"};
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t begin = 0; begin <= text.size();) {
        size_t end = text.find('\0', begin);
        if (end == std::string::npos) end = text.size();
        words.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    CommandLine line;
    std::string messages;
    const CommandLineStatus status = parseCommandLine(static_cast<int>(argv.size()), argv.data(), line, messages);
    // Every refusal and every text shown says something.
    if (status != CommandLineStatus::kRun && messages.empty()) std::abort();
    if (status == CommandLineStatus::kRun) {
        RunOptions options;
        applyCommandLine(line, options);
    }
    return 0;
}
