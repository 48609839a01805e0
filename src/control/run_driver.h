#pragma once
// The run driver: the body of the execute thread. It takes the input from the command
// line or the user, classifies it, finds the batch, waits for start, runs the pipeline
// once per file with progress and timing, keeps the log, and then waits for the next
// input or closes the program.
#include <string>
#include <vector>

#include "control/session.h"

namespace velarix {

// The command-line input after the driver's reading of it: surrounding double quotes
// removed, a trailing " auto" (or a last argument "auto") taken as the auto mode.
struct CommandLineInput {
    std::string path;
    bool autoMode = false;
    int pathCount = 0;  // more than one is refused
};
CommandLineInput readCommandLine(const std::vector<std::string>& arguments);

void executeThread(Session& session);

}  // namespace velarix
