#pragma once
// Subcommands of velarix-tools. Each takes the arguments after its name and returns the
// process exit status.
#include <string>
#include <vector>

using ToolArgs = std::vector<std::string>;

int toolClassify(const ToolArgs& args);
