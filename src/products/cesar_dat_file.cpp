#include "products/cesar_dat_file.h"

#include <cmath>

#include "geodesy/time.h"
#include "gnss/day_job.h"
#include "platform/number_text.h"
#include "platform/run_log.h"
#include "platform/safe_output.h"
#include "platform/strfmt.h"
#include "products/product_station.h"
#include "stations/igs_stations.h"
#include "stations/lisn_sites.h"

namespace velarix {

namespace {

constexpr double kMjdOf2000 = 51544.0;  // 2000-01-01 00:00 UT

// Texts are right-aligned in fixed widths and cut to them ("%14.14s"; a blank flag, as
// in "% 14.14s", means nothing for a text).
std::string headerText(const DayJob& job) {
    const CurrentFileContext& c = job.context;
    const ProductStation station = ProductStationOf(job);
    std::string text;
    if (station.igs != nullptr) {
        text = strfmt("%14.14s, %14.14s\r\n", station.igs->code.c_str(), station.igs->country.c_str());
    } else if (station.lisn != nullptr) {
        text = "\"" + station.lisn->siteName + "\"\r\n";
    } else {
        text = strfmt("%14.14s,        unknown\r\n", c.stationCode.c_str());
    }
    text += strfmt("% 13.4lf% 13.4lf% 13.4lf\r\n", c.latitudeDeg, c.longitudeDeg, c.altitude / 1000.0);
    if (station.lisn != nullptr) {
        text += strfmt("%10.10s\r\n%10.10s\r\n", station.lisn->receiverType.c_str(), station.lisn->dataFormat.c_str());
    } else {
        text += "Novatel   \r\n1dRINEX   \r\n";
    }
    text += strfmt("% 5.0d% 5.0d% 5.0d\r\n", c.year, c.month, c.dayOfMonth);
    return text;
}

double hoursOfDay(const DateTime& t) { return t.hour + t.minute / 60.0 + t.second / 3600.0; }

std::string satelliteLines(int satNo, const TecSeries& series, double longitude_deg) {
    std::string lines = strfmt("PRN % 7.0d% 7.0ld\r\n", satNo, static_cast<long>(series.size()));
    const double localShift_day = longitude_deg / 15.0 / 24.0;
    long sequence = 0;
    for (const auto& [t, r] : series) {
        ++sequence;
        if (r.valid != 1 || r.elevation_deg < kCesarMinElevation_deg) continue;
        DateTime ut;
        ut.FromMjd(t);
        DateTime local;
        local.FromMjd(t + localShift_day);
        const long dayNumber = static_cast<long>(std::trunc(t - kMjdOf2000 + 1.0));
        // "% 5.0ld% 5.0ld% 4d% 4d% 4.0lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf\r\n"
        AppendNumber(lines, "% 5.0ld", sequence);
        AppendNumber(lines, "% 5.0ld", dayNumber);
        AppendNumber(lines, "% 4d", ut.hour);
        AppendNumber(lines, "% 4d", ut.minute);
        AppendNumber(lines, "% 4.0lf", ut.second);
        for (double value : {r.verticalTec, hoursOfDay(local), r.elevation_deg, r.ippLatitude_deg,
                             r.ippLongitude_deg, r.slantTec}) {
            AppendNumber(lines, "% 9.3lf", value);
        }
        lines += "\r\n";
    }
    return lines;
}

ProductResult failed(const std::string& path, RunLog& log) {
    log.say("\r\nError! Unable to write the file... " + path + "\r\n");
    return ProductResult::kNotCreated;
}

}  // namespace

ProductResult WriteCesarDat(const DayJob& job, const std::string& path, RunLog& log) {
    if (job.tec.empty()) return ProductResult::kNoData;
    AtomicOutput out;
    if (out.open(path, ReplacePolicy::kReplaceRegularFile) != OutputStatus::kOk) return failed(path, log);
    log.append("\r\nWriting output (CESAR-Dat) file: " + path + "\r\n");

    double longitude_deg = job.context.longitudeDeg;
    if (longitude_deg > 180.0) longitude_deg -= 360.0;
    out.write(headerText(job));
    for (const auto& [satNo, series] : job.tec) {
        if (!series.empty()) out.write(satelliteLines(satNo, series, longitude_deg));
    }
    if (out.commit() != OutputStatus::kOk) return failed(path, log);
    return ProductResult::kWritten;
}

}  // namespace velarix
