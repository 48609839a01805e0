// velarix-tools decompress: expands a .gz, .Z or Compact RINEX file (or a chain such as
// .crx.gz or .20d.Z) into the plain RINEX file beside it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "decompress/expand.h"
#include "tools/tools.h"

namespace {

const char* const kUsage =
    "Usage: velarix-tools decompress FILE [-o OUT]\n"
    "\n"
    "Expands FILE by its name's suffixes, in order: .gz (gzip), .Z (Unix compress), then\n"
    "Compact RINEX (.crx, or a short name whose type letter is d/D). Chains work:\n"
    "x.crx.gz -> x.rnx, abcd0010.20d.Z -> abcd0010.20o.\n"
    "\n"
    "  -o OUT   write to OUT (an existing OUT is replaced); a plain FILE is then copied.\n"
    "           Without -o the output is the expanded name beside FILE, and an existing\n"
    "           file of that name is never replaced.\n"
    "\n"
    "Exit status: 0 when expanded; also 0 when the Compact RINEX decoder had to skip\n"
    "epochs after a defect (the skipped span is marked in the output by an event-flag-4\n"
    "comment record and the decoder's warning is printed); 1 when the expansion failed\n"
    "(the decoder's message is printed, no output is left); 2 for a usage error.\n";

// Decoder texts end their lines in CR LF; a terminal wants LF.
std::string forTerminal(std::string text) {
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

}  // namespace

int toolDecompress(const ToolArgs& args) {
    std::string input, output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (args[i] == "-o" && i + 1 < args.size()) {
            output = args[++i];
        } else if (input.empty() && !args[i].empty() && args[i][0] != '-') {
            input = args[i];
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (input.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (output.empty()) {
        if (!isExpandable(input)) {
            std::fprintf(stderr,
                         "velarix-tools decompress: %s: not a compressed name (.gz, .Z, .crx, .YYd); "
                         "use -o OUT to copy it\n",
                         input.c_str());
            return 2;
        }
        output = expandedName(input);
        std::error_code error;
        if (std::filesystem::exists(output, error)) {
            std::fprintf(stderr,
                         "velarix-tools decompress: %s already exists; not replaced (name it with -o to replace "
                         "it)\n",
                         output.c_str());
            return 1;
        }
    }
    std::string message;
    const int result = expandFile(input, output, message);
    if (!expandSucceeded(result)) {
        std::fprintf(stderr, "velarix-tools decompress: %s: failed (%d): %s\n", input.c_str(), result,
                     forTerminal(message).c_str());
        return 1;
    }
    if (result != 0) {
        std::fprintf(stderr, "velarix-tools decompress: %s: warning (%d): %s\n", input.c_str(), result,
                     forTerminal(message).c_str());
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
