#include "rinex/rinex2_writer.h"

#include <cmath>
#include <ctime>
#include <map>

#include "geodesy/time.h"
#include "platform/safe_output.h"
#include "platform/strfmt.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr double kGridStep_s = 30.0;
constexpr double kGridPointsPerDay = kSecondsPerDay / kGridStep_s;
constexpr double kUnknownIntervalWindow_s = 5.0;
constexpr double kTolerance_s = 1e-3;  // epochs this close count as equally near
constexpr std::size_t kSatellitesPerLine = 12;
constexpr std::size_t kValuesPerLine = 5;
constexpr double kLargestField = 9999999999.9995;  // F14.3 holds up to 9999999999.999
constexpr double kSmallestField = -999999999.9995;

struct TypeField {
    const char* name;
    double ReceiverObsRecord::*value;
    double ReceiverObsRecord::*lossOfLock;  // nullptr: the type has no indicator
};

TypeField fieldOf(RinexCopyType type) {
    switch (type) {
        case RinexCopyType::kC1: return {"C1", &ReceiverObsRecord::c1, nullptr};
        case RinexCopyType::kC2: return {"C2", &ReceiverObsRecord::c2, nullptr};
        case RinexCopyType::kP1: return {"P1", &ReceiverObsRecord::p1, &ReceiverObsRecord::p1Lli};
        case RinexCopyType::kP2: return {"P2", &ReceiverObsRecord::p2, &ReceiverObsRecord::p2Lli};
        case RinexCopyType::kL1: return {"L1", &ReceiverObsRecord::l1, &ReceiverObsRecord::l1Lli};
        case RinexCopyType::kL2: return {"L2", &ReceiverObsRecord::l2, &ReceiverObsRecord::l2Lli};
        case RinexCopyType::kS1: return {"S1", &ReceiverObsRecord::s1, nullptr};
        case RinexCopyType::kS2: return {"S2", &ReceiverObsRecord::s2, nullptr};
        case RinexCopyType::kD1: return {"D1", &ReceiverObsRecord::d1, nullptr};
        case RinexCopyType::kD2: return {"D2", &ReceiverObsRecord::d2, nullptr};
    }
    return {"", nullptr, nullptr};
}

std::string orUnknown(const std::string& text) { return text.empty() ? "unknown" : text; }

// Columns 1-60 (cut or padded) and the label.
std::string headerLine(const std::string& content, const char* label) {
    std::string line = content.substr(0, 60);
    line.resize(60, ' ');
    return line + label + "\n";
}

std::string localDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return strfmt("%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string timeLine(double mjd) {
    DateTime t;
    t.FromMjd(mjd);
    return strfmt("%6d%6d%6d%6d%6d%13.7lf     GPS", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// Epoch -> the GPS records of that epoch, each PRN once (its first record).
using EpochTable = std::map<double, std::vector<const ReceiverObsRecord*>>;

EpochTable epochTableOf(const ReceiverObsTable& table) {
    EpochTable epochs;
    for (const auto& [prn, records] : table.byPrn) {
        if (!isGpsPrn(prn)) continue;
        for (const ReceiverObsRecord& record : records) {
            std::vector<const ReceiverObsRecord*>& at = epochs[record.epochMjd];
            if (at.empty() || at.back()->prn != prn) at.push_back(&record);
        }
    }
    return epochs;
}

class CopyText {
public:
    explicit CopyText(const std::vector<RinexCopyType>& types) {
        for (RinexCopyType type : types) fields_.push_back(fieldOf(type));
    }

    void header(const RinexCopyHeader& h, double interval_s, double firstMjd, double lastMjd) {
        text_ += headerLine(strfmt("%9.2lf%-11s%-40s", 2.10, "", "OBSERVATION DATA    G (GPS)"), "RINEX VERSION / TYPE");
        const std::string date = h.date.empty() ? localDate() : h.date;
        text_ += headerLine(strfmt("%-20s%-20s%-20s", "Velarix", "no info", date.c_str()), "PGM / RUN BY / DATE");
        text_ += headerLine("converted to Rinex by the program Velarix developed by", "COMMENT");
        text_ += headerLine("the Velarix developers for ionospheric TEC research", "COMMENT");
        text_ += headerLine(h.markerName.empty() ? "Not available" : h.markerName, "MARKER NAME");
        text_ += headerLine(strfmt("%-20s%-40s", orUnknown(h.observer).c_str(), orUnknown(h.agency).c_str()),
                            "OBSERVER / AGENCY");
        text_ += headerLine(strfmt("%-20s%-20s%-20s", orUnknown(h.receiverNumber).c_str(),
                                   orUnknown(h.receiverType).c_str(), orUnknown(h.receiverVersion).c_str()),
                            "REC # / TYPE / VERS");
        text_ += headerLine(strfmt("%-20s%-20s", orUnknown(h.antennaNumber).c_str(), orUnknown(h.antennaType).c_str()),
                            "ANT # / TYPE");
        const auto& [x, y, z] = h.approxPosition_m;
        text_ += headerLine(strfmt("%14.4lf%14.4lf%14.4lf", x, y, z), "APPROX POSITION XYZ");
        const auto& [dh, de, dn] = h.antennaDeltaHen_m;
        text_ += headerLine(strfmt("%14.4lf%14.4lf%14.4lf", dh, de, dn), "ANTENNA: DELTA H/E/N");
        text_ += headerLine(strfmt("%6d%6d", 1, 1), "WAVELENGTH FACT L1/2");
        typesLines();
        if (interval_s >= kGridStep_s - kTolerance_s) {
            text_ += headerLine(strfmt("%10.3lf", interval_s), "INTERVAL");
        } else {
            text_ += headerLine(strfmt("%10.3lf", kGridStep_s), "INTERVAL");
            text_ += headerLine("Data interval is decimated to 30 Secs", "COMMENT");
        }
        text_ += headerLine(timeLine(firstMjd), "TIME OF FIRST OBS");
        text_ += headerLine(timeLine(lastMjd), "TIME OF LAST OBS");
        text_ += headerLine("", "END OF HEADER");
    }

    void epoch(double mjd, const std::vector<const ReceiverObsRecord*>& records) {
        DateTime t;
        t.FromMjd(mjd);
        text_ += strfmt(" %02d %2d %2d %2d %2d%11.7lf  0%3zu", t.year % 100, t.month, t.day, t.hour, t.minute, t.second,
                        records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (i > 0 && i % kSatellitesPerLine == 0) text_ += "\n" + std::string(32, ' ');
            text_ += strfmt("G%2d", records[i]->prn);
        }
        text_ += "\n";
        for (const ReceiverObsRecord* record : records) observations(*record);
    }

    const std::string& text() const { return text_; }
    long unfitValues = 0;
    long badIndicators = 0;

private:
    // "# / TYPES OF OBSERV": the count and up to 9 types per line.
    void typesLines() {
        std::string content = strfmt("%6zu", fields_.size());
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (i > 0 && i % 9 == 0) {
                text_ += headerLine(content, "# / TYPES OF OBSERV");
                content = std::string(6, ' ');
            }
            content += strfmt("    %s", fields_[i].name);
        }
        text_ += headerLine(content, "# / TYPES OF OBSERV");
    }

    // One value: F14.3 (blank when absent or too wide), the loss-of-lock digit, a blank
    // signal-strength column.
    void value(const ReceiverObsRecord& record, const TypeField& field) {
        const double v = record.*field.value;
        if (v == 0.0) {
            text_ += std::string(16, ' ');
            return;
        }
        if (!(v < kLargestField && v > kSmallestField)) {
            ++unfitValues;
            text_ += std::string(16, ' ');
            return;
        }
        text_ += strfmt("%14.3lf", v);
        char indicator = ' ';
        if (field.lossOfLock != nullptr) {
            const double lli = record.*field.lossOfLock;
            if (lli >= 1.0 && lli <= 9.0 && lli == std::floor(lli)) {
                indicator = static_cast<char>('0' + static_cast<int>(lli));
            } else if (lli != 0.0) {
                ++badIndicators;
            }
        }
        text_ += indicator;
        text_ += ' ';
    }

    void observations(const ReceiverObsRecord& record) {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            value(record, fields_[i]);
            if ((i + 1) % kValuesPerLine == 0 || i + 1 == fields_.size()) text_ += "\n";
        }
    }

    std::vector<TypeField> fields_;
    std::string text_;
};

}  // namespace

const char* rinexCopyTypeName(RinexCopyType type) { return fieldOf(type).name; }

std::vector<RinexCopyType> NovatelCopyTypes() {
    using enum RinexCopyType;
    return {kC1, kP2, kL1, kL2, kS1, kS2, kD1, kD2};
}

std::vector<RinexCopyType> LeicaCopyTypes() {
    using enum RinexCopyType;
    return {kP1, kP2, kL1, kL2};
}

std::vector<RinexCopyType> AshtechCopyTypes() {
    using enum RinexCopyType;
    return {kP1, kP2, kL1, kL2, kS1, kS2};
}

std::vector<RinexCopyType> CopyTypesHeld(const ReceiverObsTable& table) {
    using enum RinexCopyType;
    std::vector<RinexCopyType> held;
    for (RinexCopyType type : {kC1, kC2, kP1, kP2, kL1, kL2, kS1, kS2, kD1, kD2}) {
        const double ReceiverObsRecord::*member = fieldOf(type).value;
        bool found = false;
        for (const auto& [prn, records] : table.byPrn) {
            for (const ReceiverObsRecord& r : records) {
                if (r.*member != 0.0) {
                    found = true;
                    break;
                }
            }
            if (found) break;
        }
        if (found) held.push_back(type);
    }
    return held;
}

std::vector<double> DecimatedEpochs(const std::vector<double>& epochsMjd, double dataInterval_s) {
    if (dataInterval_s >= kGridStep_s - kTolerance_s) return epochsMjd;
    const double window_s = dataInterval_s > 0.0 ? dataInterval_s / 2.0 : kUnknownIntervalWindow_s;
    struct Nearest {
        double epochMjd;
        double distance_s;
    };
    std::map<long long, Nearest> byGridPoint;  // grid points counted from MJD 0
    for (const double t : epochsMjd) {
        const double inGrid = t * kGridPointsPerDay;
        const long long point = std::llround(inGrid);
        const double distance_s = std::fabs(inGrid - static_cast<double>(point)) * kGridStep_s;
        if (distance_s > window_s + kTolerance_s) continue;
        const auto [at, inserted] = byGridPoint.try_emplace(point, Nearest{t, distance_s});
        if (!inserted && distance_s < at->second.distance_s - kTolerance_s) at->second = {t, distance_s};
    }
    std::vector<double> chosen;
    chosen.reserve(byGridPoint.size());
    for (const auto& [point, nearest] : byGridPoint) chosen.push_back(nearest.epochMjd);
    return chosen;
}

RinexCopyResult WriteRinexCopyFile(const ReceiverObsTable& table, const RinexCopyHeader& header,
                                   double dataInterval_s, const std::string& path, RunLog& log) {
    log.append(path);
    const EpochTable epochs = epochTableOf(table);
    std::vector<double> all;
    all.reserve(epochs.size());
    for (const auto& [mjd, records] : epochs) all.push_back(mjd);
    const std::vector<double> written = DecimatedEpochs(all, dataInterval_s);
    if (written.empty() || header.types.empty()) {
        log.append("\r\nError! no GPS observation to write to " + path + "\r\n");
        return RinexCopyResult::kNoData;
    }

    CopyText text(header.types);
    text.header(header, dataInterval_s, written.front(), written.back());
    for (const double mjd : written) text.epoch(mjd, epochs.at(mjd));
    if (text.unfitValues > 0) {
        log.append(strfmt("\r\nWarning! %ld value(s) too wide for the RINEX fields left blank in ", text.unfitValues) +
                   path);
    }
    if (text.badIndicators > 0) {
        log.append(strfmt("\r\nWarning! %ld loss-of-lock indicator(s) outside 1-9 left blank in ", text.badIndicators) +
                   path);
    }
    const OutputStatus status = writeFileAtomically(path, text.text(), ReplacePolicy::kNeverReplace);
    if (status != OutputStatus::kOk) {
        log.append("\r\nError! in writing Rinex o/p file... " + path + " (" + outputStatusText(status) + ")\r\n");
        return RinexCopyResult::kNotWritten;
    }
    log.append("\r\n");
    return RinexCopyResult::kWritten;
}

}  // namespace velarix
