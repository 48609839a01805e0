#pragma once
// The ".Bias" product: the biases of the day, as they are added to the calculated TEC.
#include <string>

#include "products/product_file.h"

namespace velarix {

class RunLog;
struct BiasResults;
struct DayJob;

// The file's text, headed by its own `path`. Each line ends in CR LF except the last.
// The satellite, interchannel and total biases are written as they are added to the
// calculated slant TEC (the bias stage removes them), so that the file's own line
// "Desired TEC = calc.TEC + Rx_bias + PRN_bias(...)" holds; the stage-1 receiver bias is
// added to slant TEC, the stage-2 one to vertical TEC only.
std::string BiasSummaryFileText(const BiasResults& bias, const std::string& path);

[[nodiscard]] ProductResult WriteBiasSummaryFile(const DayJob& job, const std::string& path, RunLog& log);

}  // namespace velarix
