#include <cstdio>

#include "tools/tools.h"

// Placeholder until the subcommand is written.
int toolNavInfo(const ToolArgs&) {
    std::fprintf(stderr, "velarix-tools: navinfo is not built yet\n");
    return 3;
}
