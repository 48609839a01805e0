// The compiled part of the `velarix` package: the RINEX job and the readers. The
// package's Python part (velarix/__init__.py) gives them their documented signatures
// and turns failed days into exceptions.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "day_calls.h"
#include "file_summaries.h"

using namespace velarix;

namespace py = pybind11;
using velarix::python_module::DayCallOptions;

PYBIND11_MODULE(_velarix, m) {
    m.doc() = "Velarix's RINEX job and readers (use the velarix package)";
    m.def(
        "process_day",
        [](const std::string& obs, const std::string& nav, const std::vector<std::string>& dcb,
           const std::string& calibration, const std::string& mapping, const std::string& productsDir,
           const std::string& products, const std::string& images, const std::string& dataDir) {
            return velarix::python_module::ProcessGivenDay(obs, nav, dcb,
                                                           DayCallOptions{dataDir, productsDir, products, images,
                                                                          calibration, mapping});
        },
        py::arg("obs"), py::arg("nav"), py::arg("dcb"), py::arg("calibration"), py::arg("mapping"),
        py::arg("products_dir"), py::arg("products"), py::arg("images"), py::arg("data_dir"));
    m.def(
        "run_day",
        [](const std::string& obs, const std::string& targetDir, const std::string& products,
           const std::string& images, const std::string& calibration, const std::string& mapping,
           const std::string& dataDir) {
            return velarix::python_module::RunArchiveDay(obs, DayCallOptions{dataDir, targetDir, products, images,
                                                                             calibration, mapping});
        },
        py::arg("obs"), py::arg("target_dir"), py::arg("products"), py::arg("images"), py::arg("calibration"),
        py::arg("mapping"), py::arg("data_dir"));
    m.def("append_run_logs", &velarix::python_module::AppendRunLogs, py::arg("directory"), py::arg("messages"),
          py::arg("errors"));
    m.def("read_obs", &velarix::python_module::ReadObsSummary, py::arg("path"));
    m.def("read_nav", &velarix::python_module::ReadNavSummary, py::arg("path"));
    m.def("classify", &velarix::python_module::ClassifyName, py::arg("path"));
    m.def("satellite_label", &velarix::python_module::SatelliteName, py::arg("prn"));
}
