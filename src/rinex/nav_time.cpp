#include "rinex/nav_time.h"

#include <cmath>

#include "geodesy/time.h"

namespace velarix {

double gpsWeekMjd(int week, double secondsOfWeek) {
    return kGpsOriginMjd + 7.0 * week + secondsOfWeek / kSecondsPerDay;
}

double beidouWeekMjd(int week, double secondsOfWeek) {
    return kBeiDouWeekOriginMjd + 7.0 * week + secondsOfWeek / kSecondsPerDay;
}

int gpsWeekOf(double mjd) {
    const double weeks = std::floor((mjd - kGpsOriginMjd) / 7.0);
    return std::isfinite(weeks) && std::fabs(weeks) < 1e9 ? static_cast<int>(weeks) : 0;
}

double withinHalfWeek(double mjd, double referenceMjd) {
    const double difference_s = (mjd - referenceMjd) * kSecondsPerDay;
    if (difference_s > kHalfWeek_s) return mjd - 7.0;
    if (difference_s < -kHalfWeek_s) return mjd + 7.0;
    return mjd;
}

double withinHalfDay(double mjd, double referenceMjd) {
    const double difference_s = (mjd - referenceMjd) * kSecondsPerDay;
    if (difference_s > kHalfDay_s) return mjd - 1.0;
    if (difference_s < -kHalfDay_s) return mjd + 1.0;
    return mjd;
}

GlonassQuarterHour roundToQuarterHour(double dayStartMjd, double secondsOfDay) {
    const double index = std::round(secondsOfDay / 900.0);
    return {dayStartMjd + index * 900.0 / kSecondsPerDay, static_cast<int>(index)};
}

}  // namespace velarix
