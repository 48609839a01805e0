#include "figure_day.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "gnss/day_job.h"

namespace velarix {

TecRecord figureRecord(double epochMjd, double verticalTec, double elevation_deg, double ippLatitude_deg) {
    TecRecord r;
    r.epochMjd = epochMjd;
    r.verticalTec = verticalTec;
    r.elevation_deg = elevation_deg;
    r.ippLatitude_deg = ippLatitude_deg;
    return r;
}

void addPass(DayJob& job, int satNo, double fromHour, int count, double step_s, double verticalTec,
             double elevation_deg) {
    for (int i = 0; i < count; ++i) {
        const double epoch = kFigureDay + fromHour / 24.0 + i * step_s / 86400.0;
        job.tec[satNo][epoch] = figureRecord(epoch, verticalTec, elevation_deg);
    }
}

bool nearColour(Colour a, Colour b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) return false;
    }
    return true;
}

std::string figurePath(const std::string& dir, const std::string& name) {
    const char* keep = std::getenv("VELARIX_FIGURE_DIR");
    return (keep != nullptr && *keep != '\0' ? std::string(keep) + "/" : dir) + name;
}

}  // namespace velarix
