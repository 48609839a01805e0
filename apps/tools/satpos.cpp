// velarix-tools satpos: Earth-fixed position and clock offset of one satellite from a
// broadcast navigation file at given GPS times.
#include <cctype>
#include <cstdio>
#include <string>

#include "gnss/orbits/orbit.h"
#include "gnss/checks/orbit_check.h"
#include "geodesy/time.h"
#include "platform/run_log.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"
#include "tools.h"

namespace velarix {

namespace {

const char kUsage[] =
    "Usage: velarix-tools satpos NAV SAT TIME...\n"
    "  NAV   RINEX navigation file (plain, .Z or gzip)\n"
    "  SAT   satellite, e.g. G05, R12, E11, C08\n"
    "  TIME  GPS time \"YYYY-MM-DD hh:mm:ss\" (one argument, or date and time as two)\n"
    "Prints one tab-separated line per time: time, satellite, X, Y, Z (m, Earth-fixed)\n"
    "and the clock offset (s) from the broadcast record nearest in time. Times more than\n"
    "4 h before the satellite's first record or after its last are refused (exit status 1).\n";

// How far before the first and after the last reference epoch a broadcast record is
// still evaluated: its fit interval and a margin, not days of extrapolation.
constexpr double kSpanMargin_days = 4.0 / 24.0;

// "G05" -> satellite number; 0 when the text is not a satellite of a system with orbits.
int parseSatellite(const std::string& text) {
    if (text.size() < 2 || text.size() > 3 || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    }
    const int satNo = satNoUnchecked(text);
    const int system = systemOf(satNo);
    return satNo > 0 && system >= kGps && system <= kIrnss ? satNo : 0;
}

// "YYYY-MM-DD hh:mm:ss[.s]" (or with 'T') -> MJD; false when it is not such a time.
bool parseTime(const std::string& text, double& mjd) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, consumed = 0;
    double second = 0.0;
    char separator = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%lf%n", &year, &month, &day, &separator, &hour, &minute,
                    &second, &consumed) != 7 ||
        static_cast<std::size_t>(consumed) != text.size() || (separator != ' ' && separator != 'T'))
        return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        !(second >= 0.0 && second < 60.0))
        return false;
    mjd = MjdFromCivil(year, month, day, hour, minute, second);
    return true;
}

}  // namespace

int toolSatPos(const ToolArgs& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const int satNo = parseSatellite(args[1]);
    if (satNo == 0) {
        std::fprintf(stderr, "satpos: \"%s\" is not a satellite (e.g. G05, R12, E11, C08)\n", args[1].c_str());
        return 2;
    }
    std::vector<std::pair<std::string, double>> times;
    for (std::size_t i = 2; i < args.size(); ++i) {
        std::string text = args[i];
        double mjd = 0.0;
        // A date and a time given as two arguments.
        if (!parseTime(text, mjd) && i + 1 < args.size() && parseTime(text + " " + args[i + 1], mjd)) {
            text += " " + args[++i];
        } else if (!parseTime(text, mjd)) {
            std::fprintf(stderr, "satpos: \"%s\" is not a time \"YYYY-MM-DD hh:mm:ss\"\n", text.c_str());
            return 2;
        }
        times.emplace_back(text, mjd);
    }

    EphemerisTable table;
    RunLog log;
    if (ReadBroadcastOrbits(args[0], table, log) != NavReadResult::kRead) {
        std::fprintf(stderr, "%s\nsatpos: cannot read the navigation file %s\n", withLineFeeds(log.messages).c_str(),
                     args[0].c_str());
        return 1;
    }
    const std::string label = satelliteLabel(satNo);
    double firstMjd = 0.0, lastMjd = 0.0;
    if (!EphemerisSpan(table, satNo, firstMjd, lastMjd)) {
        std::fprintf(stderr, "satpos: no ephemeris for %s in %s\n", label.c_str(), args[0].c_str());
        return 1;
    }
    std::printf("time_gps\tsat\tx_m\ty_m\tz_m\tclock_s\n");
    int status = 0;
    for (const auto& [text, mjd] : times) {
        if (mjd < firstMjd - kSpanMargin_days || mjd > lastMjd + kSpanMargin_days) {
            std::fprintf(stderr, "satpos: %s is more than 4 h outside the records of %s in %s (%s to %s)\n",
                         text.c_str(), label.c_str(), args[0].c_str(), calendarText(firstMjd).c_str(),
                         calendarText(lastMjd).c_str());
            status = 1;
            continue;
        }
        SatState state;
        if (!SatellitePosition(table, satNo, mjd, state)) {
            std::fprintf(stderr, "satpos: %s has no usable orbit at %s\n", label.c_str(), text.c_str());
            status = 1;
            continue;
        }
        std::printf("%s\t%s\t%.3f\t%.3f\t%.3f\t%.12e\n", text.c_str(), label.c_str(), state.x_m, state.y_m, state.z_m,
                    state.clockOffset_s);
    }
    return status;
}

}  // namespace velarix
