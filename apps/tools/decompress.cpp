#include <cstdio>

#include "tools/tools.h"

// Placeholder until the subcommand is written.
int toolDecompress(const ToolArgs&) {
    std::fprintf(stderr, "velarix-tools: decompress is not built yet\n");
    return 3;
}
