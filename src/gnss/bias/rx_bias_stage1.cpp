#include "gnss/bias/rx_bias_stage1.h"

#include <array>
#include <cmath>

#include "gnss/bias/bias_grid.h"
#include "gnss/sample_stats.h"

namespace velarix {

namespace {

constexpr int kMaxWindowValues = 299;
constexpr int kMaxCandidates = 499;
constexpr double kNoScore = 9e10;
// Window index of an epoch; the small lift keeps epochs that sit on a window boundary
// from falling back into the previous window through rounding.
constexpr double kBoundaryLift = 1e-6;

struct Level {
    double step_TECU;
    double limit_TECU;
};
constexpr std::array<Level, 4> kLevels{{{50.0, 750.0}, {10.0, 250.0}, {1.0, 250.0}, {0.1, 250.0}}};
constexpr double kCoarseFrom_TECU = -500.0;
constexpr double kCoarseTo_TECU = 500.0;

}  // namespace

double SpreadScore(const std::vector<SpreadSample>& samples, double bias_TECU, double limit_TECU, int& windows) {
    double score = 0.0;
    windows = 0;
    std::vector<double> window;
    bool started = false;
    double firstEpoch = 0.0;
    long current = 0;
    auto close = [&]() {
        if (window.size() >= 2) {
            score += SampleMeanSd(window).sd;
            ++windows;
        }
        window.clear();
    };
    for (const SpreadSample& s : samples) {
        const double vertical = (s.slantTec + bias_TECU) * s.mappingFactor;
        if (!(std::fabs(vertical) < limit_TECU)) continue;
        if (!started) {
            firstEpoch = s.epochMjd;
            started = true;
        }
        const long index = static_cast<long>(std::floor((s.epochMjd - firstEpoch) / kGridStep_day + kBoundaryLift));
        if (index != current) {
            close();
            current = index;
        }
        if (window.size() < static_cast<std::size_t>(kMaxWindowValues)) window.push_back(vertical);
    }
    close();
    return score;
}

bool MinimumSpreadBias(const std::vector<SpreadSample>& samples, double& bias_TECU) {
    double best = 0.0;
    double from = kCoarseFrom_TECU;
    double to = kCoarseTo_TECU;
    for (std::size_t level = 0; level < kLevels.size(); ++level) {
        const Level& l = kLevels[level];
        double bestScore = kNoScore;
        bool scored = false;
        // Candidates are counted, not accumulated, so that 0.1-steps land on their values.
        for (int i = 0; i < kMaxCandidates; ++i) {
            const double candidate = from + i * l.step_TECU;
            if (candidate > to + 0.5 * l.step_TECU) break;
            int windows = 0;
            const double score = SpreadScore(samples, candidate, l.limit_TECU, windows);
            scored = scored || windows > 0;
            if (score < bestScore) {
                bestScore = score;
                best = candidate;
            }
        }
        if (level == 0 && !scored) return false;
        from = best - l.step_TECU;
        to = best + l.step_TECU;
    }
    bias_TECU = best;
    return true;
}

}  // namespace velarix
