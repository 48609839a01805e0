#pragma once
// Mean and sample standard deviation of a set of values.
#include <vector>

namespace velarix {

struct MeanSd {
    double mean = 0.0;  // 0 for no values
    double sd = 0.0;    // divisor n - 1; 0 for fewer than 2 values
};

MeanSd SampleMeanSd(const std::vector<double>& values);

}  // namespace velarix
