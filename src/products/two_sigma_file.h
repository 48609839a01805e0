#pragma once
// The ".Std" product: the day's 2-sigma TEC curve, one line per bin of the day.
#include <string>

#include "products/product_file.h"

namespace velarix {

class RunLog;
struct DayJob;
struct TwoSigmaCurve;

// Lines "%2.3f \t%2.2f \t%2.2f \t%2.2f": bin centre (hours of day), curve value, the bin's
// own trimmed average and its spread (TECU); "%2.3f \t- \t- \t%2.2f" with a spread of 0
// for an empty bin. Each line ends in CR LF.
std::string TwoSigmaFileText(const TwoSigmaCurve& curve);

// Writes the curve of job.bias to `path` and logs it. ProductResult::kNoData when the bias stage
// formed no curve (no file then).
[[nodiscard]] ProductResult WriteTwoSigmaFile(const DayJob& job, const std::string& path, RunLog& log);

}  // namespace velarix
