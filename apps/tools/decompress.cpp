// velarix-tools decompress: expands a .gz, .Z or Compact RINEX file (or a chain such as
// .crx.gz or .20d.Z) into the plain RINEX file beside it, a named file or standard output.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "decompress/expand.h"
#include "platform/safe_output.h"
#include "tools/tools.h"

namespace velarix {

namespace {

const char* const kUsage =
    "Usage: velarix-tools decompress FILE [-o OUT]\n"
    "\n"
    "Expands FILE by its name's suffixes, in order: .gz (gzip), .Z (Unix compress), then\n"
    "Compact RINEX (.crx, or a short name whose type letter is d/D). Chains work:\n"
    "x.crx.gz -> x.rnx, abcd0010.20d.Z -> abcd0010.20o.\n"
    "\n"
    "  -o OUT   write to OUT; a plain FILE is then copied. An existing regular file OUT\n"
    "           is replaced (its permissions kept) only once the expansion succeeded: a\n"
    "           failed or interrupted expansion leaves it as it was. An OUT that is a\n"
    "           directory, FIFO, device or symbolic link is refused.\n"
    "  -o -     write the plain text to standard output (only when the expansion\n"
    "           succeeded).\n"
    "           Without -o the output is the expanded name beside FILE, and an existing\n"
    "           file of that name is never replaced.\n"
    "\n"
    "Exit status: 0 when expanded; also 0 when the Compact RINEX decoder had to skip\n"
    "epochs after a defect (the skipped span is marked in the output by an event-flag-4\n"
    "comment record and the decoder's warning is printed); 1 when the expansion failed\n"
    "or the output was refused (the message is printed; no output is left, an existing OUT\n"
    "is unchanged); 2 for a usage error. Interrupted by a signal, it removes its temporary\n"
    "files and ends by that signal.\n";

// Decoder texts end their lines in CR LF; a terminal wants LF.
std::string forTerminal(std::string text) {
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// Copies the file at `path` to standard output; false when a read or write failed.
bool copyToStandardOutput(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return false;
    std::vector<char> buffer(1 << 16);
    bool ok = true;
    for (size_t got; ok && (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
        ok = std::fwrite(buffer.data(), 1, got, stdout) == got;
    }
    ok = ok && std::ferror(in) == 0;
    std::fclose(in);
    return std::fflush(stdout) == 0 && ok;
}

}  // namespace

int toolDecompress(const ToolArgs& args) {
    std::string input, output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (args[i] == "-o" && i + 1 < args.size() && !args[i + 1].empty()) {
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
    const bool toStandardOutput = output == "-";
    ReplacePolicy policy = ReplacePolicy::kReplaceRegularFile;
    if (output.empty()) {
        if (!isExpandable(input)) {
            std::fprintf(stderr,
                         "velarix-tools decompress: %s: not a compressed name (.gz, .Z, .crx, .YYd); "
                         "use -o OUT to copy it\n",
                         input.c_str());
            return 2;
        }
        output = expandedName(input);
        policy = ReplacePolicy::kNeverReplace;
        struct stat status {};
        if (lstat(output.c_str(), &status) == 0) {
            std::fprintf(stderr,
                         "velarix-tools decompress: %s already exists; not replaced (name it with -o to replace "
                         "it)\n",
                         output.c_str());
            return 1;
        }
    }
    // Standard output gets the text only once it is complete, through a scratch file.
    ScratchFile scratch;
    if (toStandardOutput) {
        if (scratch.createInTemporaryDirectory(expandedName(input)) != OutputStatus::kOk) {
            std::fprintf(stderr, "velarix-tools decompress: cannot create a temporary file in %s\n",
                         temporaryDirectory().c_str());
            return 1;
        }
        output = scratch.path();
    }
    std::string message;
    const DecodeStatus result = expandFile(input, output, message, policy);
    if (!expandSucceeded(result)) {
        std::fprintf(stderr, "velarix-tools decompress: %s: failed (%d): %s\n", input.c_str(), statusCode(result),
                     forTerminal(message).c_str());
        return 1;
    }
    if (result != DecodeStatus::kOk) {
        std::fprintf(stderr, "velarix-tools decompress: %s: warning (%d): %s\n", input.c_str(), statusCode(result),
                     forTerminal(message).c_str());
    }
    if (toStandardOutput) {
        if (copyToStandardOutput(output)) return 0;
        std::fprintf(stderr, "velarix-tools decompress: %s: cannot write to standard output\n", input.c_str());
        return 1;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}

}  // namespace velarix
