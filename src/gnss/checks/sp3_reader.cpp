#include "gnss/checks/sp3_reader.h"

#include <cmath>
#include <string_view>

#include "decompress/plain_copy.h"
#include "geodesy/time.h"
#include "platform/line_reader.h"
#include "platform/message_limiter.h"
#include "platform/regular_file.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/fixed_fields.h"
#include "rinex/leap_seconds.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr std::size_t kLineLimit = 256;       // SP3 lines are 80 characters; comments of version d may be longer
constexpr double kBadClock_us = 999999.0;     // 999999.999999 marks a bad or absent clock
constexpr double kTaiMinusGps_s = 19.0;
constexpr double kGpsMinusBdt_s = 14.0;
constexpr double kGlonassMinusUtc_s = 3.0 * 3600.0;

// Offset of the file's time system from GPS time. `known` false for a system that is not
// converted.
struct TimeSystemRule {
    bool known = true;
    double gpsMinusSystem_s = 0.0;  // fixed part
    bool addLeapSeconds = false;    // UTC-based: the leap seconds at that UTC instant as well
};

TimeSystemRule ruleFor(std::string_view system) {
    // GPS, Galileo, QZSS and IRNSS system times are steered to GPS time; a blank or "ccc"
    // field (versions a and b, or a header without %c lines) means GPS.
    if (system.empty() || system == "ccc" || system == "GPS" || system == "GAL" || system == "QZS" ||
        system == "IRN")
        return {};
    if (system == "TAI") return {true, -kTaiMinusGps_s, false};
    if (system == "BDT") return {true, kGpsMinusBdt_s, false};
    if (system == "UTC") return {true, 0.0, true};
    if (system == "GLO") return {true, -kGlonassMinusUtc_s, true};
    return {false, 0.0, false};
}

double toGpsMjd(const TimeSystemRule& rule, double fileMjd) {
    double mjd = fileMjd + rule.gpsMinusSystem_s / kSecondsPerDay;  // GLONASS: now UTC
    if (rule.addLeapSeconds) mjd += GpsUtcLeapSeconds(mjd) / kSecondsPerDay;
    return mjd;
}

bool readInt(std::string_view line, std::size_t first, std::size_t last, long& value) {
    return parseIntField(columns(line, first, last), value) == FieldStatus::kNumber;
}

bool readDouble(std::string_view line, std::size_t first, std::size_t last, double& value) {
    return parseDoubleField(columns(line, first, last), value) == FieldStatus::kNumber;
}

// "*  2020  6 25  0  0  0.00000000": the epoch as MJD in the file's time system.
bool parseEpochLine(std::string_view line, double& mjd) {
    long year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
    if (!readInt(line, 4, 7, year) || !readInt(line, 9, 10, month) || !readInt(line, 12, 13, day) ||
        !readInt(line, 15, 16, hour) || !readInt(line, 18, 19, minute) || !readDouble(line, 21, 31, second))
        return false;
    if (year < 1980 || year > 2200 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0.0 || second >= 61.0)
        return false;
    mjd = MjdFromCivil(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                       static_cast<int>(hour), static_cast<int>(minute), second);
    return true;
}

// "PG01   9888.347630 -19617.637165 -14892.695448   -247.902361": satellite number
// (0 for a satellite of no system this program numbers, e.g. a LEO) and the sample.
// False when the line cannot be read.
bool parsePositionLine(std::string_view line, int& satNo, Sp3Sample& sample) {
    const std::string_view id = columns(line, 2, 4);
    if (id.size() != 3) return false;
    satNo = satNoUnchecked(id);
    const int system = systemOf(satNo);
    if (satNo <= 0 || system < kGps || system > kIrnss || satNo - (system - 1) * 100 > 99) satNo = 0;
    double x_km = 0.0, y_km = 0.0, z_km = 0.0;
    if (!readDouble(line, 5, 18, x_km) || !readDouble(line, 19, 32, y_km) || !readDouble(line, 33, 46, z_km))
        return false;
    double clock_us = 0.0;
    const FieldStatus clock = parseDoubleField(columns(line, 47, 60), clock_us);
    if (clock == FieldStatus::kInvalid) return false;
    sample.x_m = x_km * 1000.0;
    sample.y_m = y_km * 1000.0;
    sample.z_m = z_km * 1000.0;
    sample.hasClock = clock == FieldStatus::kNumber && std::abs(clock_us) < kBadClock_us;
    sample.clock_s = sample.hasClock ? clock_us * 1e-6 : 0.0;
    return true;
}

class Sp3Parser {
public:
    Sp3Parser(const std::string& path, Sp3Orbits& orbits, RunLog& log)
        : path_(path), orbits_(orbits), log_(log), messages_(log, path) {}

    int run(const std::string& plainPath) {
        LineReader reader(plainPath);
        if (!reader.isOpen()) {
            log_.append(inputFileError("SP3", path_, reader.openStatus()));
            return -1;
        }
        std::string_view line;
        bool cut = false;
        while (reader.next(kLineLimit, line, cut)) {
            ++lineNo_;
            const int result = lineNo_ == 1 ? firstLine(line) : inHeader_ ? headerLine(line) : dataLine(line);
            if (result < 0) return result;
            if (sawEof_) break;
        }
        return finish();
    }

private:
    void report(const char* tag, const std::string& what) {
        log_.append(strfmt("\r\n%s SP3 %s @line# %ld: %s", tag, what.c_str(), lineNo_, path_.c_str()));
    }

    int firstLine(std::string_view line) {
        if (line.size() < 3 || line[0] != '#' || line[1] < 'a' || line[1] > 'd' || (line[2] != 'P' && line[2] != 'V')) {
            report("Error!", "file: first line is not \"#aP\" to \"#dV\"");
            return -2;
        }
        orbits_.version = line[1];
        long epochs = 0;
        if (readInt(line, 33, 39, epochs)) orbits_.epochsAnnounced = static_cast<int>(epochs);
        orbits_.coordinateSystem = std::string(trim(columns(line, 47, 51)));
        orbits_.agency = std::string(trim(columns(line, 57, 60)));
        return 0;
    }

    int headerLine(std::string_view line) {
        if (line.substr(0, 2) == "##") {
            readDouble(line, 25, 38, orbits_.interval_s);
        } else if (line.substr(0, 2) == "%c" && !sawTimeSystem_) {
            sawTimeSystem_ = true;  // only the first %c line names the time system
            orbits_.timeSystem = std::string(trim(columns(line, 10, 12)));
            rule_ = ruleFor(orbits_.timeSystem);
            if (!rule_.known) {
                report("Error!", strfmt("time system \"%s\" cannot be converted to GPS time", orbits_.timeSystem.c_str()));
                return -3;
            }
        } else if ((!line.empty() && line[0] == '*') || line.substr(0, 3) == "EOF") {
            inHeader_ = false;
            if (!sawTimeSystem_) orbits_.timeSystem = "GPS";
            return dataLine(line);
        }
        return 0;
    }

    int dataLine(std::string_view line) {
        if (line.substr(0, 3) == "EOF") {
            closeEpoch();
            sawEof_ = true;
        } else if (!line.empty() && line[0] == '*') {
            closeEpoch();
            double fileMjd = 0.0;
            haveEpoch_ = parseEpochLine(line, fileMjd);
            if (!haveEpoch_) {
                badLine("epoch line not readable, its satellites skipped");
                return 0;
            }
            epochMjd_ = toGpsMjd(rule_, fileMjd);
            epochSatellites_ = 0;
            ++orbits_.epochsRead;
        } else if (!line.empty() && line[0] == 'P') {
            positionLine(line);
        } else if (!isBlank(line) && line[0] != 'V' && line.substr(0, 2) != "EP" && line.substr(0, 2) != "EV" &&
                   line.substr(0, 2) != "/*") {
            badLine("line of no known kind skipped");
        }
        return 0;
    }

    void positionLine(std::string_view line) {
        int satNo = 0;
        Sp3Sample sample;
        if (!haveEpoch_) {
            badLine("position line without a readable epoch skipped");
            return;
        }
        if (!parsePositionLine(line, satNo, sample)) {
            badLine("position line not readable, skipped");
            return;
        }
        ++epochSatellites_;
        const bool absent = sample.x_m == 0.0 && sample.y_m == 0.0 && sample.z_m == 0.0;
        if (satNo != 0 && !absent) orbits_.bySatellite[satNo].emplace(epochMjd_, sample);
    }

    void badLine(const char* what) {
        ++orbits_.badLines;
        if (messages_.admit(what)) report("Warning!", what);
    }

    // An epoch line followed by no satellite at all is where a cut file stopped.
    void closeEpoch() {
        if (haveEpoch_ && epochSatellites_ == 0) emptyEpochs_ += 1;
        haveEpoch_ = false;
    }

    int finish() {
        if (lineNo_ == 0) {
            report("Error!", "file is empty");
            return -2;
        }
        closeEpoch();
        messages_.finish();
        const bool early = !sawEof_ || emptyEpochs_ > 0 || orbits_.epochsRead < orbits_.epochsAnnounced;
        if (!early) return 0;
        report("Warning!", strfmt("file ends early: %d of %d epochs, %d without satellites, %s", orbits_.epochsRead,
                                  orbits_.epochsAnnounced, emptyEpochs_, sawEof_ ? "EOF line present" : "no EOF line"));
        return 1;
    }

    const std::string& path_;
    Sp3Orbits& orbits_;
    RunLog& log_;
    MessageLimiter messages_;  // bad lines by kind
    long lineNo_ = 0;
    bool inHeader_ = true;
    bool sawTimeSystem_ = false;
    bool sawEof_ = false;
    TimeSystemRule rule_;
    bool haveEpoch_ = false;
    double epochMjd_ = 0.0;
    int epochSatellites_ = 0;
    int emptyEpochs_ = 0;
};

}  // namespace

int ReadSp3File(const std::string& path, Sp3Orbits& orbits, RunLog& log) {
    orbits = Sp3Orbits{};
    PlainCopy plain(path);
    if (!plain.ok()) {
        log.append(strfmt("\r\nError! SP3 file cannot be expanded: %s: %s", path.c_str(), plain.error().c_str()));
        return -1;
    }
    return Sp3Parser(path, orbits, log).run(plain.path());
}

}  // namespace velarix
