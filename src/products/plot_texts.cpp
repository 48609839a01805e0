#include "products/plot_texts.h"

#include "geodesy/time.h"
#include "platform/strfmt.h"
#include "stations/igs_stations.h"

namespace velarix {

namespace {

DateTime dayOf(const DayJob& job) {
    DateTime day;
    day.FromMjd(job.dayStartMjd);
    return day;
}

std::string catalogueLine(const StationInfo& station) {
    return strfmt("%s - %s,%s ", station.code.c_str(), station.city.c_str(), station.country.c_str());
}

}  // namespace

std::string InputFileName(const CurrentFileContext& context) {
    const std::string& path = context.inputPath.empty() ? context.decompressedInputPath : context.inputPath;
    return path.substr(path.find_last_of('/') + 1);
}

std::string Tec24hDateTitle(const DayJob& job) {
    const DateTime day = dayOf(job);
    return strfmt("Date: %d-%02d-%02d, DoY: %03d  (Elev Mask 15 deg)", day.year, day.month, day.day, day.DayOfYear());
}

std::string Tec24hStationTitle(const DayJob& job) {
    const std::string file = InputFileName(job.context);
    if (job.context.station != nullptr) return catalogueLine(*job.context.station);
    if (job.kinds.novatel != 0) return strfmt("Unknown(Novatel) File: %s", file.c_str());
    if (job.s4.lisnSiteMatch != 0) return strfmt("%s ", job.s4.lisnSite.siteName.c_str());
    return strfmt("Unknown File: %s", file.c_str());
}

std::string PrnPageDateTitle(const DayJob& job) {
    const DateTime day = dayOf(job);
    return strfmt("Date: %d/%02d/%02d", day.year, day.month, day.day);
}

std::string PrnPageStationTitle(const DayJob& job) {
    if (job.context.station != nullptr) return catalogueLine(*job.context.station);
    return strfmt("File: %s", InputFileName(job.context).c_str());
}

std::string BiasDateTitle(const DayJob& job) {
    const DateTime day = dayOf(job);
    return strfmt("Date: %d/%02d/%02d (DoY: %03d)", day.year, day.month, day.day, day.DayOfYear());
}

std::string BiasStationTitle(const DayJob& job) {
    const CurrentFileContext& c = job.context;
    const std::string file = InputFileName(c);
    if (c.station != nullptr) {
        const std::string& code = c.stationCode.empty() ? c.station->code : c.stationCode;
        return strfmt("Station: %s - %s,%s", code.c_str(), c.station->city.c_str(), c.station->country.c_str());
    }
    if (job.kinds.novatel != 0) return strfmt("Novatel file: %s", file.c_str());
    if (!c.stationCode.empty()) return strfmt("Station: %s - File: %s", c.stationCode.c_str(), file.c_str());
    return strfmt("File: %s", file.c_str());
}

std::string S4SourceTitle(const DayJob& job) {
    switch (job.bias.figures.s4Source) {
        case kS4Scinda:
            return "S4 data from scinda-format";
        case kS4PseudoFromS1:
            return "Psuedo-S4 from Rinex S1 (s/n values)";
        case kS4File:
            return strfmt("S4 from file %s", job.s4.filePath.substr(job.s4.filePath.find_last_of('/') + 1).c_str());
        default:
            return std::string();
    }
}

}  // namespace velarix
