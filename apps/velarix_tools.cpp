// velarix-tools: utility subcommands for checking inputs and intermediate results.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/cleanup_registry.h"
#include "tools/tools.h"

using namespace velarix;

namespace {

struct Tool {
    const char* name;
    const char* usage;
    int (*run)(const ToolArgs&);
};

const Tool kTools[] = {
    {"classify", "classify PATH...          what the program reads from each file name", toolClassify},
    {"decompress", "decompress FILE [-o OUT]  expand .Z, gzip and Compact RINEX files (chains too)", toolDecompress},
    {"obsinfo", "obsinfo FILE              read an observation file and summarise it", toolObsInfo},
    {"navinfo", "navinfo FILE              read a navigation file and summarise it", toolNavInfo},
    {"tec", "tec OBS NAV [DCB...]      TEC per satellite and epoch; --calibrated: biases removed, with S4", toolTec},
    {"satpos", "satpos NAV SAT TIME...    satellite position and clock at GPS times", toolSatPos},
    {"orbitcheck", "orbitcheck NAV SP3        broadcast against precise orbits per satellite", toolOrbitCheck},
    {"gimcheck", "gimcheck TECFILE IONEX    calibrated vertical TEC against a global ionosphere map", toolGimCheck},
    {"products", "products OBS NAV [DCB...] the day's products and plots into a folder (--out DIR)", toolProducts},
};

void printUsage(std::FILE* out) {
    std::fprintf(out, "Usage: velarix-tools COMMAND [ARGS]\n\nCommands:\n");
    for (const Tool& tool : kTools) std::fprintf(out, "  %s\n", tool.usage);
}

}  // namespace

int main(int argc, char** argv) {
    // The tools expand inputs into temporary files; an interrupted tool removes them.
    installSignalCleanup();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Tool& tool : kTools) {
        if (std::strcmp(argv[1], tool.name) == 0) return tool.run(ToolArgs(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "velarix-tools: unknown command '%s'\n", argv[1]);
    printUsage(stderr);
    return 2;
}
