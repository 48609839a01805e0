#pragma once
// A generic figure: one line series y(x) on a portrait page, saved as PNG.
#include <string>
#include <vector>

namespace velarix {

enum class PlotXYStatus {
    kSaved = 0,
    kBadInput = -1,  // lengths differ, fewer than 3 points, an empty range or a value not finite
    kNoCanvas = -2,
    kAxesFailed = -3,
    kSaveFailed = -4,
};

// Ranges from the data, ticks every fifth of them. A point more than a twentieth of the
// frame's width to the right or left of the previous one starts a new line.
[[nodiscard]] PlotXYStatus PlotXY(const std::vector<double>& x, const std::vector<double>& y, const std::string& xTitle,
                                  const std::string& yTitle, const std::string& title, const std::string& path);

}  // namespace velarix
