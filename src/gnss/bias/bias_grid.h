#pragma once
// The 3-minute working copy of the TEC table that the bias estimation works on, and the
// segments (stretches between gaps of more than an hour) of its satellites.
#include <vector>

#include "gnss/bias/bias_results.h"
#include "gnss/tec/tec_table.h"

namespace velarix {

constexpr double kGridStep_day = 0.0020833333333333333;  // 3 minutes
constexpr double kSegmentGap_day = 1.0 / 24.0;
constexpr std::size_t kMaxGapsPerSatellite = 10;
constexpr std::size_t kMinRecordsForSegments = 11;  // more than 10

// How far a record may lie from a grid point: 0.4 of the data interval from 120 s on,
// else 0.3 of it (days).
double GridTolerance_day(double interval_s);

// Per satellite, the valid records that fall on a 3-minute grid started at the
// satellite's first valid record. Satellites without a valid record are left out.
TecTable ResampleToGrid(const TecTable& tec, double tolerance_day);

// The gaps of a satellite's 3-minute series: jumps of more than an hour, at most 10; none
// for a series of 10 records or fewer.
std::vector<DataGap> FindGaps(const TecSeries& resampled);

// The segment an epoch belongs to: the number of gaps that end at or before it.
std::size_t SegmentIndex(const std::vector<DataGap>& gaps, double epochMjd);

}  // namespace velarix
