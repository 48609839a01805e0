#include <cmath>

#include "geodesy/time.h"
#include "platform/strfmt.h"
#include "tools.h"

namespace velarix {

std::string calendarText(double mjd) {
    if (!std::isfinite(mjd) || std::fabs(mjd) > 1e7) return "(invalid)";
    DateTime time;
    time.FromMjd(mjd);
    return strfmt("%04d-%02d-%02d %02d:%02d:%06.3f", time.year, time.month, time.day, time.hour, time.minute,
                  time.second);
}

}  // namespace velarix
