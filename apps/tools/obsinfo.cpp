#include <cstdio>

#include "tools/tools.h"

// Placeholder until the subcommand is written.
int toolObsInfo(const ToolArgs&) {
    std::fprintf(stderr, "velarix-tools: obsinfo is not built yet\n");
    return 3;
}
