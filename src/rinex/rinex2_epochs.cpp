#include "rinex/rinex2_epochs.h"

#include <array>
#include <cctype>

#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/fixed_fields.h"
#include "rinex/rinex2_tec_rule.h"

namespace velarix {

namespace {

constexpr long kMaxSatellitesPerEpoch = 50;
constexpr std::size_t kSatellitesPerLine = 12;
constexpr std::size_t kValuesPerLine = 5;
constexpr std::size_t kDataLineLength = 80;
constexpr int kShownNotes = 3;

enum class LineKind {
    kNothing,
    kComment,
    kSubHeader,      // a header line after an event of flag 4, noted
    kSpecialRecord,  // another header line after an event (flags 2 to 5)
    kBadEpochLine,
    kBadTimeFormat,
    kNoEpochTime,
    kEpoch
};

struct Satellite {
    SatId id;
    int accepted = 0;  // result of the checked parse
};

struct Rinex2Epoch {
    int flag = 0;
    double mjd = 0.0;
    long satellites = 0;
};

// A header label such as "MARKER NAME": five or more characters, more than four letters.
bool looksLikeLabel(std::string_view label) {
    int letters = 0;
    for (char c : label) letters += std::isalpha(static_cast<unsigned char>(c)) ? 1 : 0;
    return label.size() >= 5 && letters > 4;
}

bool isEventFlag(int flag) { return flag >= 2 && flag <= 5; }

// An event (flag 2 to 5 in column 29) may leave its time blank.
bool isEventWithoutTime(std::string_view line) {
    const char flag = line.size() >= 29 ? line[28] : ' ';
    return flag >= '0' && flag <= '9' && isEventFlag(flag - '0') && isBlank(columns(line, 1, 26));
}

// Six blank-separated numbers in columns 1-26: yy mm dd hh mm ss.sssssss.

bool parseEpochTime(std::string_view line, double& mjd) {
    std::string_view rest = columns(line, 1, 26);
    std::array<std::string_view, 6> tokens;
    for (std::string_view& token : tokens) {
        std::size_t begin = 0;
        while (begin < rest.size() && isBlankChar(rest[begin])) ++begin;
        std::size_t end = begin;
        while (end < rest.size() && !isBlankChar(rest[end])) ++end;
        if (begin == end) return false;
        token = rest.substr(begin, end - begin);
        rest = rest.substr(end);
    }
    std::array<long, 5> fields{};  // year, month, day, hour, minute
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (parseIntField(tokens[i], fields[i]) != FieldStatus::kNumber) return false;
    }
    double second = 0.0;
    if (parseDoubleField(tokens[5], second) != FieldStatus::kNumber) return false;
    auto [year, month, day, hour, minute] = fields;
    if (year < 0 || !epochFieldsInRange(month, day, hour, minute, second)) return false;
    if (year < 100) year += year < 80 ? 2000 : 1900;
    if (second >= 60.0) {  // a leap second: the next minute
        second -= 60.0;
        ++minute;
    }
    mjd = epochLineMjd(year, month, day, hour, minute, second);
    return true;
}

class Rinex2Epochs {
public:
    Rinex2Epochs(ObsLineInput& input, const std::vector<std::string>& types, const Rinex2DataTexts& texts,
                 Rinex2DataConsumer& consumer);
    Rinex2DataEnd run();

private:
    LineKind classify(std::string_view line);
    void note(const char* format);
    // Each returns false when the file ended.
    bool readEpoch(std::string_view line);
    bool skipLines(long count);
    bool readSatellite(const Satellite& satellite, const Rinex2Epoch& epoch);
    void addSatellites(std::string_view line, long total, std::vector<Satellite>& satellites);

    ObsLineInput& input_;
    const Rinex2DataTexts& texts_;
    Rinex2DataConsumer& consumer_;
    std::size_t typeCount_ = 0;
    std::size_t linesPerSatellite_ = 0;
    std::vector<unsigned> typeBits_;  // P1, P2, L1, L2, C1, C2 bit of each header type
    int previousFlag_ = 0;
    long notes_ = 0;
    bool endInSatelliteList_ = false;
    std::vector<SatObservation> values_;
};

Rinex2Epochs::Rinex2Epochs(ObsLineInput& input, const std::vector<std::string>& types, const Rinex2DataTexts& texts,
                           Rinex2DataConsumer& consumer)
    : input_(input), texts_(texts), consumer_(consumer) {
    typeCount_ = types.size();
    linesPerSatellite_ = (typeCount_ + kValuesPerLine - 1) / kValuesPerLine;
    for (const std::string& type : types) typeBits_.push_back(rinex2ObsBit(type));
}

LineKind Rinex2Epochs::classify(std::string_view line) {
    if (line.size() <= 1 || isBlank(line)) return LineKind::kNothing;
    const std::string_view label = trim(columns(line, 61, 80));
    if (line.size() > 60 && startsWith(label, "COMMENT")) return LineKind::kComment;
    // An event's special records are header lines; the first other line ends them.
    if (isEventFlag(previousFlag_)) {
        if (line.size() > 60 && looksLikeLabel(label)) {
            return previousFlag_ == 4 && texts_.subHeaderNotes ? LineKind::kSubHeader : LineKind::kSpecialRecord;
        }
        previousFlag_ = 0;
    }
    // Blanks after column 80 are no content: an epoch line is not lost for them.
    if (trimRight(line).size() > 80 || !isBlankAt(line, 1) || !isBlankAt(line, 4) || !isBlankAt(line, 7)) {
        return LineKind::kBadEpochLine;
    }
    if (!isBlankAt(line, 10) || !isBlankAt(line, 13) || !isBlankAt(line, 16)) return LineKind::kBadTimeFormat;
    if (isBlank(columns(line, 1, 26)) && !isEventWithoutTime(line)) return LineKind::kNoEpochTime;
    return LineKind::kEpoch;
}

void Rinex2Epochs::note(const char* format) {
    if (notes_ < kShownNotes) input_.report(format);
    ++notes_;
}

void Rinex2Epochs::addSatellites(std::string_view line, long total, std::vector<Satellite>& satellites) {
    for (std::size_t i = 0; i < kSatellitesPerLine && static_cast<long>(satellites.size()) < total; ++i) {
        Satellite satellite;
        satellite.accepted = parseSatIdChecked(columns(line, 33 + 3 * i, 35 + 3 * i), satellite.id);
        satellites.push_back(satellite);
    }
}

bool Rinex2Epochs::skipLines(long count) {
    std::string_view line;
    for (long i = 0; i < count; ++i) {
        if (!input_.nextLine(kRinex2LineLimit, line, texts_.longLineFormat)) {
            input_.log.append("\r\nINFO! unexpected end of file, @data read");
            return false;
        }
        ++input_.counts.discarded;
    }
    return true;
}

bool Rinex2Epochs::readEpoch(std::string_view line) {
    const char flagChar = line.size() >= 29 ? line[28] : ' ';
    Rinex2Epoch epoch;
    epoch.flag = isBlankChar(flagChar) ? 0 : (flagChar >= '0' && flagChar <= '9' ? flagChar - '0' : -1);
    previousFlag_ = epoch.flag;
    if (epoch.flag < 0 || epoch.flag > 6) {
        if (input_.messages.admit(texts_.invalidFlagFormat)) {
            input_.log.append(strfmt(texts_.invalidFlagFormat, epoch.flag, input_.counts.lines));
        }
        ++input_.counts.discarded;
        return true;
    }
    if (epoch.flag == 4) {
        std::string_view next;
        if (!input_.nextLine(kRinex2LineLimit, next, texts_.longLineFormat)) return false;
        input_.report("\r\nInfo! header/comment at line# %ld\r\n");
        return true;
    }
    const bool timed = !isEventWithoutTime(line);
    if ((timed && !parseEpochTime(line, epoch.mjd)) ||
        parseIntField(columns(line, 30, 32), epoch.satellites) == FieldStatus::kInvalid || epoch.satellites < 0) {
        input_.report("\r\nError! bad format in epoch time @line# %ld");
        ++input_.counts.discarded;
        return true;
    }
    if (epoch.flag != 0 && epoch.flag != 1 && epoch.flag != 6) {
        if (epoch.satellites > 0) ++input_.counts.discarded;  // its special records follow as lines of their own
        return true;
    }
    const long continuationLines = epoch.satellites > 0 ? (epoch.satellites - 1) / 12 : 0;
    if (epoch.satellites > kMaxSatellitesPerEpoch) {
        input_.report("\r\nError! No. of satellites at epoch line are greater than limit! Obs@line# %ld");
        ++input_.counts.discarded;
        return skipLines(continuationLines + epoch.satellites * static_cast<long>(linesPerSatellite_));
    }
    std::vector<Satellite> satellites;
    satellites.reserve(static_cast<std::size_t>(epoch.satellites));
    addSatellites(line, epoch.satellites, satellites);  // `line` is not valid after the next read
    for (long i = 0; i < continuationLines; ++i) {
        std::string_view continuation;
        if (!input_.nextLine(kRinex2LineLimit, continuation, texts_.longLineFormat)) {
            endInSatelliteList_ = true;
            input_.report("\r\nError ..unexpected eof, at prns obs @line# %ld");
            return false;
        }
        if (continuation.size() > 80) input_.report("\r\nInvalid line size at epoch header continuation @line# %ld");
        addSatellites(continuation, epoch.satellites, satellites);
    }
    for (const Satellite& satellite : satellites) {
        if (!readSatellite(satellite, epoch)) {
            input_.countEpoch(epoch.mjd);
            return false;
        }
    }
    input_.countEpoch(epoch.mjd);
    return true;
}

bool Rinex2Epochs::readSatellite(const Satellite& satellite, const Rinex2Epoch& epoch) {
    values_.assign(typeCount_, SatObservation{});
    Rinex2SatelliteData data;
    std::string_view line;
    for (std::size_t row = 0; row < linesPerSatellite_; ++row) {
        if (!input_.nextLine(kRinex2LineLimit, line, texts_.longLineFormat)) {
            input_.log.append("\r\nINFO! unexpected end of file, @data read");
            return false;
        }
        if (line.size() > kDataLineLength) {
            input_.messages.append(texts_.longDataLineMessage, texts_.longDataLineMessage);
            line = line.substr(0, kDataLineLength);
        }
        bool unreadable = false;
        for (std::size_t k = 0; k < kValuesPerLine; ++k) {
            const std::size_t i = row * kValuesPerLine + k;
            if (i >= typeCount_) break;
            SatObservation& observation = values_[i];
            const std::size_t start = 16 * k;
            const std::string_view field = columns(line, start + 1, start + 14);
            if (isBlank(field)) continue;
            data.presence |= typeBits_[i];
            if (parseDoubleField(field, observation.value) == FieldStatus::kInvalid) {
                observation.value = 0.0;
                unreadable = true;
            }
            observation.lossOfLock = static_cast<std::int16_t>(indicatorAt(line, start + 15));
            observation.signalStrength = static_cast<std::int16_t>(indicatorAt(line, start + 16));
            if (start < line.size()) data.reached = i + 1;
        }
        if (unreadable) input_.report(kUnreadableValueFormat);
    }
    data.epochMjd = epoch.mjd;
    data.epochFlag = epoch.flag;
    data.id = satellite.id;
    data.accepted = satellite.accepted;
    data.values = values_;
    consumer_.satellite(data);
    return true;
}

Rinex2DataEnd Rinex2Epochs::run() {
    std::string_view line;
    bool more = true;
    while (more && input_.nextLine(kRinex2LineLimit, line, texts_.longLineFormat)) {
        if (line.empty()) {
            ++input_.counts.discarded;
            continue;
        }
        switch (classify(line)) {
            case LineKind::kNothing:
                ++input_.counts.discarded;
                break;
            case LineKind::kComment:
                note("\r\nNote! comment in rinexdata @line# %ld");
                break;
            case LineKind::kSubHeader:
                note("\r\nNote! sub-header in rinexdata @line# %ld");
                break;
            case LineKind::kSpecialRecord:
                ++input_.counts.discarded;
                break;
            case LineKind::kBadEpochLine:
                input_.report("\r\nError! Bad epoch line.. @Obs.data at line# %ld\r\n");
                ++input_.counts.discarded;
                break;
            case LineKind::kBadTimeFormat:
                input_.report("\r\nError! invalid time format @line# %ld");
                ++input_.counts.discarded;
                break;
            case LineKind::kNoEpochTime:
                input_.report("\r\nError! there is no epoch time @line# %ld");
                ++input_.counts.discarded;
                break;
            case LineKind::kEpoch:
                more = readEpoch(line);
                break;
        }
    }
    return endInSatelliteList_ ? Rinex2DataEnd::kEndInSatelliteList : Rinex2DataEnd::kFileEnd;
}

}  // namespace

Rinex2DataEnd readRinex2Epochs(ObsLineInput& input, const std::vector<std::string>& types,
                               const Rinex2DataTexts& texts, Rinex2DataConsumer& consumer) {
    return Rinex2Epochs(input, types, texts, consumer).run();
}

}  // namespace velarix
