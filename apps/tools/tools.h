#pragma once
// Subcommands of velarix-tools. Each takes the arguments after its name and returns the
// process exit status.
#include <string>
#include <vector>

using ToolArgs = std::vector<std::string>;

int toolClassify(const ToolArgs& args);
// Calendar date and time of an MJD, to the millisecond, for the summaries.
std::string calendarText(double mjd);
int toolDecompress(const ToolArgs& args);
int toolObsInfo(const ToolArgs& args);
int toolNavInfo(const ToolArgs& args);
int toolTec(const ToolArgs& args);
int toolSatPos(const ToolArgs& args);
int toolOrbitCheck(const ToolArgs& args);
int toolGimCheck(const ToolArgs& args);
