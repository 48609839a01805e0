#pragma once
// Giving the TEC records their S4 on a time grid: the grid starts at each satellite's
// first epoch and steps every 30 s (or every sampling interval, when that is longer);
// the records closest to the grid points take S4 from an S4 file or, without one, a
// pseudo-S4 from the first-band signal strength of every ten grid records.
#include <array>
#include <optional>

#include "gnss/s4/s4_state.h"
#include "gnss/tec/tec_table.h"

namespace velarix {

constexpr double kNoS4 = -99.0;  // never written into a record
constexpr int kPseudoS4Count = 10;

struct S4Grid {
    double step_s = 30.0;
    double tolerance_s = 15.0;  // a record within +-tolerance of a grid point is a grid record
    double window_s = 0.0;      // an S4 file value within +-window of a grid point is taken
};

// The grid for a sampling interval and an S4 file's interval (see S4FileInterval_s).
S4Grid s4Grid(double dataInterval_s, double fileInterval_s);

// The S4 file's sampling interval: the ring-of-10 interval of the first satellite with 50
// or more records, rounded down to whole seconds, plus 0.1 s.
double S4FileInterval_s(const S4FileTable& table);

// sqrt((q - m^2) / m) of ten signal values, m their mean and q the mean of their squares;
// none when m is not positive.
std::optional<double> pseudoS4(const std::array<double, kPseudoS4Count>& signal);

// Writes S4 into the grid records of every satellite: the file's value when `file` holds
// the satellite, else the pseudo-S4 after every tenth grid record.
void AssignS4(TecTable& tec, const S4Grid& grid, const S4FileTable& file);

}  // namespace velarix
