#include "gnss/bias/bias_figures.h"

#include <cmath>

#include "geodesy/time.h"
#include "platform/strfmt.h"
#include "stations/igs_stations.h"

namespace {

constexpr double kFigureElevation_deg = 20.0;
constexpr double kS4Elevation_deg = 30.0;

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stationLine(const DayJob& job) {
    const CurrentFileContext& c = job.context;
    const std::string file = fileName(c.inputPath.empty() ? c.decompressedInputPath : c.inputPath);
    if (c.station != nullptr) {
        const std::string& code = c.stationCode.empty() ? c.station->code : c.stationCode;
        return strfmt("Station: %s - %s,%s", code.c_str(), c.station->city.c_str(), c.station->country.c_str());
    }
    if (job.kinds.novatel != 0) return strfmt("Novatel file: %s", file.c_str());
    if (!c.stationCode.empty()) return strfmt("Station: %s - File: %s", c.stationCode.c_str(), file.c_str());
    return strfmt("File: %s", file.c_str());
}

std::string s4SourceLine(const S4State& s4) {
    switch (s4.source) {
        case kS4Scinda:
            return "S4 data from scinda-format";
        case kS4PseudoFromS1:
            return "Psuedo-S4 from Rinex S1 (s/n values)";
        case kS4File:
            return strfmt("S4 from file %s", s4.filePath.c_str());
        default:
            return std::string();
    }
}

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

void FillFigureTexts(const DayJob& job, BiasFigures& figures) {
    figures.biasedTitle = "Calculated TEC - Elevation Mask 20 deg";
    figures.removedTitle = "Calculated TEC (Satellite & Rx bias(es) removed)";
    DateTime day;
    day.FromMjd(job.dayStartMjd);
    figures.dateLine = strfmt("Date: %d/%02d/%02d (DoY: %03d)", day.year, day.month, day.day, day.DayOfYear());
    figures.stationLine = stationLine(job);
    figures.s4SourceLine = s4SourceLine(job.s4);

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
