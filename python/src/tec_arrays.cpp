#include "tec_arrays.h"

#include <cstdint>
#include <limits>

#include <pybind11/numpy.h>

namespace velarix::python_module {

namespace {

// The stage keeps the satellite biases as it removes them; the products, and so these
// arrays, give them as they add to the calculated TEC (0 - x, never -0.0).
py::array_t<double> addedPerPrn(const std::array<double, 33>& removed) {
    py::array_t<double> array(static_cast<py::ssize_t>(removed.size()));
    auto view = array.mutable_unchecked<1>();
    for (std::size_t i = 0; i < removed.size(); ++i) view(static_cast<py::ssize_t>(i)) = 0.0 - removed[i];
    return array;
}

}  // namespace

void AddTecArrays(const TecTable& tec, py::dict& out) {
    py::ssize_t count = 0;
    for (const auto& [satNo, series] : tec) count += static_cast<py::ssize_t>(series.size());

    py::array_t<double> mjd(count), elevation(count), azimuth(count), ippLat(count), ippLon(count), stec(count),
        vtec(count), s4(count);
    py::array_t<std::int32_t> prn(count);
    py::array_t<bool> valid(count);
    auto mjdView = mjd.mutable_unchecked<1>();
    auto elevationView = elevation.mutable_unchecked<1>();
    auto azimuthView = azimuth.mutable_unchecked<1>();
    auto latView = ippLat.mutable_unchecked<1>();
    auto lonView = ippLon.mutable_unchecked<1>();
    auto stecView = stec.mutable_unchecked<1>();
    auto vtecView = vtec.mutable_unchecked<1>();
    auto s4View = s4.mutable_unchecked<1>();
    auto prnView = prn.mutable_unchecked<1>();
    auto validView = valid.mutable_unchecked<1>();

    py::ssize_t i = 0;
    for (const auto& [satNo, series] : tec) {
        for (const auto& [epochMjd, record] : series) {
            mjdView(i) = epochMjd;
            prnView(i) = satNo;
            elevationView(i) = record.elevation_deg;
            azimuthView(i) = record.azimuth_deg;
            latView(i) = record.ippLatitude_deg;
            lonView(i) = record.ippLongitude_deg;
            stecView(i) = record.slantTec;
            vtecView(i) = record.verticalTec;
            // The products write -99 for these; NaN keeps them out of NumPy's statistics.
            s4View(i) = record.s4 > 0.0 ? record.s4 : std::numeric_limits<double>::quiet_NaN();
            validView(i) = record.valid == 1;
            ++i;
        }
    }
    out["mjd"] = mjd;
    out["prn"] = prn;
    out["elevation"] = elevation;
    out["azimuth"] = azimuth;
    out["ipp_lat"] = ippLat;
    out["ipp_lon"] = ippLon;
    out["stec"] = stec;
    out["vtec"] = vtec;
    out["s4"] = s4;
    out["valid"] = valid;
}

py::dict BiasDict(const BiasResults& bias) {
    py::dict out;
    out["satellite"] = addedPerPrn(bias.satBias);
    out["interchannel"] = addedPerPrn(bias.interchannelBias);
    out["total"] = addedPerPrn(bias.totalBias);
    out["receiver_stage1"] = bias.rxBiasStage1;
    out["receiver_stage2"] = bias.rxBiasStage2;
    out["receiver_total"] = bias.rxBiasTotal;
    out["min_tec"] = bias.minTecAverage;
    out["max_tec"] = bias.maxTecAverage;
    return out;
}

py::dict StationDict(const DayJob& job) {
    py::dict out;
    out["code"] = job.context.stationCode;
    out["latitude_deg"] = job.station.latitude_deg;
    out["longitude_deg"] = job.station.longitude_deg;
    out["height_m"] = job.station.height_m;
    out["x_m"] = job.station.x_m;
    out["y_m"] = job.station.y_m;
    out["z_m"] = job.station.z_m;
    return out;
}

}  // namespace velarix::python_module
