#pragma once

namespace velarix {
// Time conversions of broadcast records: week and seconds of week to MJD, the half-week
// and half-day ambiguities, BeiDou time and GLONASS 15-minute epochs.

constexpr double kHalfWeek_s = 302400.0;
constexpr double kHalfDay_s = 43200.0;
// BDT = GPS time - 14 s; BDT weeks count from 2006-01-01 (GPS week 1356).
constexpr double kBeiDouToGps_days = 0.00016203703703703703;
constexpr int kBeiDouWeekOriginMjd = 53736;

// MJD of a GPS (or Galileo, QZSS, IRNSS) week and seconds of week.
double gpsWeekMjd(int week, double secondsOfWeek);
// MJD (BDT) of a BDT week and seconds of week.
double beidouWeekMjd(int week, double secondsOfWeek);
// GPS week in which an MJD lies.
int gpsWeekOf(double mjd);

// `mjd` moved by 7 days when it lies more than half a week from `referenceMjd`.
double withinHalfWeek(double mjd, double referenceMjd);
// `mjd` moved by one day when it lies more than 12 hours from `referenceMjd`.
double withinHalfDay(double mjd, double referenceMjd);

// A GLONASS epoch line time of day rounded to the nearest 15 minutes.
struct GlonassQuarterHour {
    double epochMjd;    // same time scale as the input
    int intervalIndex;  // seconds of day / 900, rounded
};
GlonassQuarterHour roundToQuarterHour(double dayStartMjd, double secondsOfDay);

}  // namespace velarix
