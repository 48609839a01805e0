#pragma once
// A station-day run from Python: the RINEX job over explicitly named files
// (process_day), or over a day of a station archive found as `velarix` finds it
// (run_day). Both release the interpreter while the day runs, so that a Python program
// can run several days on its own threads.
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

namespace velarix::python_module {

namespace py = pybind11;

// What a day call asks for besides its files.
struct DayCallOptions {
    std::string dataDir;      // where IGS_stations.txt and LISN_Site_Def.txt lie (the package folder)
    std::string productsDir;  // "" : the given-files day writes nothing; the archive day writes beside its data
    std::string products;     // comma lists as `velarix --products/--images` take them; "" : the defaults
    std::string images;
    std::string calibration;  // "floor", or "" for TEC before the bias calibration
    std::string mapping;      // "thin-shell" or "mslm"; "" : thin-shell
};

// The day of `observation` with `navigation` and the DCB files named. The dict holds the
// result code and reason, the log text and the paths written; for a day that completed,
// its TEC table as NumPy arrays, the biases and the station.
py::dict ProcessGivenDay(const std::string& observation, const std::string& navigation,
                         const std::vector<std::string>& dcb, const DayCallOptions& options);

// The day of `observation` in its folder, as the serial `velarix --scope day` run
// processes it: its session files, the navigation and DCB files searched beside it, the
// products written there (or into productsDir). The dict holds the result code and
// reason, the log and error-log text and the paths written.
py::dict RunArchiveDay(const std::string& observation, const DayCallOptions& options);

// Appends a run's log texts to Log_file.txt and Log_errors.txt in `directory`, as the
// program does; false when the message log could not be written there.
bool AppendRunLogs(const std::string& directory, const std::string& messages, const std::string& errors);

}  // namespace velarix::python_module
