#pragma once
// The day's tables as NumPy arrays and plain Python values.
#include <pybind11/pybind11.h>

#include "gnss/day_job.h"

namespace velarix::python_module {

namespace py = pybind11;

// One entry per satellite and epoch of the TEC table, satellites ascending, epochs
// ascending within each: mjd, prn, elevation, azimuth, ipp_lat, ipp_lon (degrees, the
// longitude 0..360), stec, vtec (TECU), s4 (NaN where there is none) and valid (bool).
void AddTecArrays(const TecTable& tec, py::dict& out);

// The biases applied, in TECU as they add to the calculated TEC: per GPS PRN arrays
// (index 0 unused) and the receiver's two stages.
py::dict BiasDict(const BiasResults& bias);

// Station position and the processing day.
py::dict StationDict(const DayJob& job);

}  // namespace velarix::python_module
