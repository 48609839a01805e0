#include "products/cmn_file.h"

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

std::string stationLine(const DayJob& job) {
    const ProductStation station = ProductStationOf(job);
    if (station.igs != nullptr) return strfmt("%s,\t%s", station.igs->code.c_str(), station.igs->country.c_str());
    if (station.lisn != nullptr) return "\"" + station.lisn->siteName + "\"";
    return "Unknown_station,\t\"" + job.context.inputPath + "\"";
}

std::string headerText(const DayJob& job) {
    const CurrentFileContext& c = job.context;
    return stationLine(job) + "\r\n" +
           strfmt("%1.5lf\t%1.5lf\t%1.5lf\r\n", c.latitudeDeg, c.longitudeDeg, c.altitude) +
           "MJdatet\t\t Time\t\t PRN\t Az\t Ele\t Lat\t Lon\t Stec\t Vtec\t S4\r\n";
}

// MJD through the calendar and back: the time on the millisecond.
double recomposed(double mjd) {
    DateTime t;
    t.FromMjd(mjd);
    return t.ToMjd();
}

// Hours of `slotMjd` from 00:00 UT of the processed day: its time of day, less 24 on the
// day before, plus 24 on the day after.
double hoursFromDayStart(double slotMjd, double dayStartMjd) {
    DateTime t;
    t.FromMjd(slotMjd);
    const double days = std::round(MjdFromCivil(t.year, t.month, t.day, 0, 0, 0.0) - std::floor(dayStartMjd));
    return days * 24.0 + t.hour + t.minute / 60.0 + t.second / 3600.0;
}

// "%5.6lf\t%2.6lf\t%2d\t%2.2lf\t%2.2lf\t%2.3lf\t%2.3lf\t%2.2lf\t%2.2lf\t%1.3lf\r\n"
void appendDataLine(std::string& lines, int satNo, double epochMjd, double hours, const TecRecord& r) {
    const auto field = [&lines](PrintfConversion conversion, auto value) {
        AppendNumber(lines, conversion, value);
        lines += '\t';
    };
    field("%5.6lf", epochMjd);
    field("%2.6lf", hours);
    field("%2d", satNo);
    field("%2.2lf", r.azimuth_deg);
    field("%2.2lf", r.elevation_deg);
    field("%2.3lf", r.ippLatitude_deg);
    field("%2.3lf", r.ippLongitude_deg);
    field("%2.2lf", r.slantTec);
    field("%2.2lf", r.verticalTec);
    AppendNumber(lines, "%1.3lf", r.s4 > 0.0 ? r.s4 : -99.0);
    lines += "\r\n";
}

// One satellite's lines, thinned to the slot grid (step in days; 0: no thinning). Of the
// records within half a step of a slot the one nearest the slot is written: the first of
// them would lie up to half a step early, and denser records than the interval would give
// a line every half step or so.
std::string satelliteLines(int satNo, const TecSeries& series, double step, double dayStartMjd) {
    std::string lines;
    if (series.empty()) return lines;
    const double half = step / 2.0;
    const double quarter = step / 4.0;
    double slot = recomposed(series.begin()->first);
    const TecRecord* chosen = nullptr;  // the record nearest the slot so far
    double chosenMjd = 0.0;
    const auto writeChosen = [&] {
        appendDataLine(lines, satNo, chosenMjd, hoursFromDayStart(slot, dayStartMjd), *chosen);
        slot = chosenMjd + step;
        chosen = nullptr;
    };
    for (const auto& [t, r] : series) {
        if (r.valid != 1) continue;
        if (step <= 0.0) {
            appendDataLine(lines, satNo, t, hoursFromDayStart(t, dayStartMjd), r);
            continue;
        }
        if (chosen != nullptr && t >= slot + half) writeChosen();
        if (t > slot + half) {
            while (t > slot + half - quarter) slot += step;
        }
        if (!(slot - half < t && t < slot + half)) continue;
        if (chosen == nullptr || std::fabs(t - slot) < std::fabs(chosenMjd - slot)) {
            chosen = &r;
            chosenMjd = t;
        }
    }
    if (chosen != nullptr) writeChosen();
    return lines;
}

ProductResult failed(const std::string& path, RunLog& log) {
    log.say("Error! Unable to write CMN-O/P file..." + path + "\r\n");
    return ProductResult::kNotCreated;
}

}  // namespace

ProductResult WriteCmnFile(const DayJob& job, const std::string& path, RunLog& log) {
    AtomicOutput out;
    if (out.open(path, ReplacePolicy::kReplaceRegularFile) != OutputStatus::kOk) return failed(path, log);
    log.say("Writing CMN-O/P file... \t" + path + "\r\n");

    const double interval_s = job.dataInterval_s;
    const double step = interval_s > 0.0 && std::isfinite(interval_s) ? interval_s / kSecondsPerDay : 0.0;
    out.write(headerText(job));
    for (const auto& [satNo, series] : job.tec) out.write(satelliteLines(satNo, series, step, job.dayStartMjd));
    if (out.commit() != OutputStatus::kOk) return failed(path, log);
    return ProductResult::kWritten;
}

}  // namespace velarix
