#include "gnss/bias/bias_figures.h"

#include <cmath>

namespace velarix {

namespace {

constexpr double kFigureElevation_deg = 20.0;
constexpr double kS4Elevation_deg = 30.0;

}  // namespace

std::map<int, std::vector<TecFigurePoint>> FigureTec(const TecTable& tec, double dayStartMjd) {
    std::map<int, std::vector<TecFigurePoint>> figure;
    for (const auto& [satNo, series] : tec) {
        std::vector<TecFigurePoint> points;
        for (const auto& [epochMjd, r] : series) {
            if (r.valid == 1 && r.elevation_deg > kFigureElevation_deg) {
                points.push_back({(epochMjd - dayStartMjd) * 24.0, r.verticalTec});
            }
        }
        if (!points.empty()) figure.emplace(satNo, std::move(points));
    }
    return figure;
}

void FillFigureS4(const DayJob& job, BiasFigures& figures) {
    figures.s4Source = static_cast<S4Source>(job.s4.source);
    figures.s4Max.fill(-1.0);
    figures.hasS4 = false;
    for (const auto& [satNo, series] : job.tec) {
        for (const auto& [epochMjd, r] : series) {
            if (r.elevation_deg <= kS4Elevation_deg || r.s4 < 0.0) continue;
            const double bin = std::floor((epochMjd - job.dayStartMjd) * 24.0 / kS4FigureBin_h);
            if (!(bin >= 0.0 && bin < kS4FigureBins)) continue;
            double& slot = figures.s4Max[static_cast<std::size_t>(bin)];
            if (r.s4 > slot) slot = r.s4;
            figures.hasS4 = true;
        }
    }
}

}  // namespace velarix
