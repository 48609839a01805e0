#include "gnss/sample_stats.h"

#include <cmath>

namespace velarix {

MeanSd SampleMeanSd(const std::vector<double>& values) {
    MeanSd m;
    if (values.empty()) return m;
    double sum = 0.0;
    for (double x : values) sum += x;
    m.mean = sum / static_cast<double>(values.size());
    if (values.size() < 2) return m;
    double squares = 0.0;
    for (double x : values) squares += (x - m.mean) * (x - m.mean);
    m.sd = std::sqrt(squares / static_cast<double>(values.size() - 1));
    return m;
}

}  // namespace velarix
