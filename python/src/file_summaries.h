#pragma once
// Summaries of single files for Python: what the readers take from an observation or
// navigation file, and what a file name says.
#include <string>

#include <pybind11/pybind11.h>

namespace velarix::python_module {

namespace py = pybind11;

// Version, systems, records per satellite, epochs and the reader's messages. Raises
// OSError when the file cannot be opened or expanded, ValueError when it holds no
// observation epoch.
py::dict ReadObsSummary(const std::string& path);

// Version, type, records per system and satellite, first and last reference epochs and
// the reader's messages. Raises like ReadObsSummary.
py::dict ReadNavSummary(const std::string& path);

// A satellite number as RINEX 3 names it (G05, R12, E11).
std::string SatelliteName(int satNo);

// The fields the program reads from a file name, and whether it names observations.
py::dict ClassifyName(const std::string& path);

}  // namespace velarix::python_module
