#pragma once
// Builders of small navigation files for the reader tests (header lines with their label in
// column 61, records in the RINEX 2 and RINEX 3 layouts), and reads of a file or a text.
#include <array>
#include <string>

#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "rinex/nav_gps_r2_reader.h"
#include "rinex/nav_reader.h"
#include "test_support.h"

namespace velarix {

// A read of one file by the navigation reader, adding to `start`.
struct NavRead {
    EphemerisTable table;
    NavHeader header;
    RunLog log;
    NavReadReport report;
    int result;  // the NavReadResult as the number it has always had

    explicit NavRead(const std::string& path, EphemerisTable start = {})
        : table(std::move(start)), result(statusCode(readNavigationFile(path, table, header, log, &report))) {}
    const KeplerEphemeris& kepler(int satNo) const { return table.kepler.at(satNo).begin()->second.at(0); }
    const GlonassEphemeris& glonass(int satNo) const { return table.glonass.at(satNo).begin()->second.at(0); }
};

inline NavRead navText(const std::string& text, EphemerisTable start = {}) {
    return NavRead(TempDir().write("test.nav", text), std::move(start));
}

// A read of one file by the RINEX 2 GPS reader.
struct GpsRead {
    GpsBroadcastTable table;
    NavHeader header;
    RunLog log;
    int result;  // the NavReadResult as its number

    explicit GpsRead(const std::string& path) : result(statusCode(readGpsNavigationR2(path, table, header, log))) {}
};

inline GpsRead gpsText(const std::string& text) { return GpsRead(TempDir().write("brdc0100.24n", text)); }

using OrbitLines = std::array<std::array<double, 4>, 7>;

inline std::string navHeaderLine(std::string content, const char* label) {
    content.resize(60, ' ');
    return content + label + "\n";
}

inline std::string navEnd() { return navHeaderLine("", "END OF HEADER"); }

// The epoch line, then `lines` orbit lines whose values start after `indent`.
inline std::string navRecord(const std::string& id, const std::string& date, const std::array<double, 3>& clock,
                             const OrbitLines& orbit, int lines, const char* indent) {
    std::string text = id + " " + date + strfmt("%19.12E%19.12E%19.12E\n", clock[0], clock[1], clock[2]);
    for (int i = 0; i < lines; ++i) {
        text += indent + strfmt("%19.12E%19.12E%19.12E%19.12E\n", orbit[i][0], orbit[i][1], orbit[i][2], orbit[i][3]);
    }
    return text;
}

// "G01" and "2024 01 10 00 00 00".
inline std::string r3Record(const std::string& sat, const std::string& date, const std::array<double, 3>& clock,
                            const OrbitLines& orbit, int lines = 7) {
    return navRecord(sat, date, clock, orbit, lines, "    ");
}

// PRN and "24  1 10  0 15  0.0".
inline std::string r2Record(int prn, const std::string& date, const std::array<double, 3>& clock,
                            const OrbitLines& orbit, int lines = 7) {
    return navRecord(strfmt("%2d", prn), date, clock, orbit, lines, "   ");
}

inline std::string r3Header(const char* systemLetterText = "M: MIXED") {
    return navHeaderLine(std::string("     3.04           N: GNSS NAV DATA    ") + systemLetterText,
                         "RINEX VERSION / TYPE") +
           navEnd();
}

inline std::string r2Header(const char* typeText = "N: GPS NAV DATA") {
    return navHeaderLine(std::string("     2.11           ") + typeText, "RINEX VERSION / TYPE") + navEnd();
}

// A plausible GPS broadcast orbit: each slot holds a distinct value.
inline OrbitLines gpsOrbit(double toe_sow = 259200.0, double week = 2296.0, double transmission_sow = 252018.0) {
    return {{{45.0, 12.5, 4.5e-9, 0.5},
             {1.0e-6, 0.01, 2.0e-6, 5153.6},
             {toe_sow, 3.0e-8, -1.7, 4.0e-8},
             {0.99, 393.4, 0.9, -8.4e-9},
             {-1.25e-10, 1.0, week, 0.0},
             {2.8, 0.0, 5.1e-9, 46.0},
             {transmission_sow, 4.0, 0.0, 0.0}}};
}

// A GLONASS state (km, km/s, km/s^2) with its health, channel and age.
inline OrbitLines glonassOrbit(double channel, double health = 0.0) {
    return {{{14181.6733398, 2.37214183807, 9.31322574616e-10, health},
             {-11487.3530273, -0.580963134766, 0.0, channel},
             {-17816.2050781, 2.26311016083, 3.72529029846e-09, 2.0},
             {},
             {},
             {},
             {}}};
}

}  // namespace velarix
