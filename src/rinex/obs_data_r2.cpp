// The RINEX 2 data section: an epoch line with up to 12 satellites (continuation lines for
// more), then per satellite the header's observables, five 16-character fields per line.
// Lines between epochs that are no epoch line are classified and reported.
#include <array>
#include <cctype>
#include <vector>

#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/fixed_fields.h"
#include "rinex/obs_codes.h"
#include "rinex/obs_read_state.h"
#include "rinex/rinex2_tec_rule.h"
#include "rinex/satellite_id.h"

namespace {

constexpr long kMaxSatellitesPerEpoch = 50;
constexpr std::size_t kSatellitesPerLine = 12;
constexpr std::size_t kValuesPerLine = 5;
constexpr std::size_t kDataLineLength = 80;
constexpr int kShownNotes = 3;
constexpr const char* kLongLineFormat = "\r\nError! OBS_readR3: length of line exceeding 90 chars @line# %ld";
constexpr const char* kLongDataLineMessage = "\r\nInvalid line size... at data lineR3";

enum class LineKind { kNothing, kComment, kSubHeader, kBadEpochLine, kBadTimeFormat, kNoEpochTime, kEpoch };

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

class Rinex2Reader {
public:
    explicit Rinex2Reader(ObsReadState& state);
    void run();

private:
    LineKind classify(std::string_view line);
    void note(const char* format);
    // Each returns false when the file ended.
    bool readEpoch(std::string_view line);
    bool skipLines(long count);
    bool readSatellite(const Satellite& satellite, const Rinex2Epoch& epoch, bool collect);
    void addSatellites(std::string_view line, long total, std::vector<Satellite>& satellites);
    // The header's two-character list as RINEX 3 codes of each system that occurred.
    void buildHeaderLists();

    ObsReadState& state_;
    std::size_t typeCount_ = 0;
    std::size_t linesPerSatellite_ = 0;
    std::vector<unsigned> typeBits_;  // P1, P2, L1, L2, C1, C2 bit of each header type
    std::array<std::vector<int>, kUnknownSystem + 1> obsIds_;  // each system's identifiers of the types
    std::array<bool, kUnknownSystem + 1> occurred_{};
    int previousFlag_ = 0;
    long notes_ = 0;
    std::vector<SatObservation> values_;
};

Rinex2Reader::Rinex2Reader(ObsReadState& state) : state_(state) {
    const std::vector<std::string>& types = state.header.rinex2ObsTypes;
    typeCount_ = types.size();
    linesPerSatellite_ = (typeCount_ + kValuesPerLine - 1) / kValuesPerLine;
    for (const std::string& type : types) typeBits_.push_back(rinex2ObsBit(type));
    for (int system = kGps; system <= kUnknownSystem; ++system) {
        for (const std::string& type : types) obsIds_[system].push_back(obsCodeId(rinex2ToRinex3Code(system, type)));
    }
}

LineKind Rinex2Reader::classify(std::string_view line) {
    if (line.size() <= 1 || isBlank(line)) return LineKind::kNothing;
    const std::string_view label = trim(columns(line, 61, 80));
    if (line.size() > 60 && startsWith(label, "COMMENT")) return LineKind::kComment;
    if (previousFlag_ == 4) {
        if (line.size() > 60 && looksLikeLabel(label)) return LineKind::kSubHeader;
        previousFlag_ = 0;
    }
    // Blanks after column 80 are no content: an epoch line is not lost for them.
    if (trimRight(line).size() > 80 || !isBlankAt(line, 1) || !isBlankAt(line, 4) || !isBlankAt(line, 7)) {
        return LineKind::kBadEpochLine;
    }
    if (!isBlankAt(line, 10) || !isBlankAt(line, 13) || !isBlankAt(line, 16)) return LineKind::kBadTimeFormat;
    if (isBlank(columns(line, 1, 26))) return LineKind::kNoEpochTime;
    return LineKind::kEpoch;
}

void Rinex2Reader::note(const char* format) {
    if (notes_ < kShownNotes) state_.report(format);
    ++notes_;
}

void Rinex2Reader::addSatellites(std::string_view line, long total, std::vector<Satellite>& satellites) {
    for (std::size_t i = 0; i < kSatellitesPerLine && static_cast<long>(satellites.size()) < total; ++i) {
        Satellite satellite;
        satellite.accepted = parseSatIdChecked(columns(line, 33 + 3 * i, 35 + 3 * i), satellite.id);
        if (satellite.accepted != -1 && satellite.id.satNo > 0) occurred_[satellite.id.systemCode] = true;
        satellites.push_back(satellite);
    }
}

bool Rinex2Reader::skipLines(long count) {
    std::string_view line;
    for (long i = 0; i < count; ++i) {
        if (!state_.nextLine(kRinex2LineLimit, line, kLongLineFormat)) {
            state_.log.append("\r\nINFO! unexpected end of file, @data read");
            return false;
        }
        ++state_.counts.discarded;
    }
    return true;
}

bool Rinex2Reader::readEpoch(std::string_view line) {
    const char flagChar = line.size() >= 29 ? line[28] : ' ';
    Rinex2Epoch epoch;
    epoch.flag = isBlankChar(flagChar) ? 0 : (flagChar >= '0' && flagChar <= '9' ? flagChar - '0' : -1);
    previousFlag_ = epoch.flag;
    if (epoch.flag < 0 || epoch.flag > 6) {
        if (state_.messages.admit(kInvalidFlagFormat))
            state_.log.append(strfmt(kInvalidFlagFormat, epoch.flag, state_.counts.lines));
        ++state_.counts.discarded;
        return true;
    }
    if (epoch.flag == 4) {
        std::string_view next;
        if (!state_.nextLine(kRinex2LineLimit, next, kLongLineFormat)) return false;
        state_.report("\r\nInfo! header/comment at line# %ld\r\n");
        return true;
    }
    if (!parseEpochTime(line, epoch.mjd) ||
        parseIntField(columns(line, 30, 32), epoch.satellites) == FieldStatus::kInvalid || epoch.satellites < 0) {
        state_.report("\r\nError! bad format in epoch time @line# %ld");
        ++state_.counts.discarded;
        return true;
    }
    if (epoch.flag != 0 && epoch.flag != 1 && epoch.flag != 6) {
        if (epoch.satellites > 0) ++state_.counts.discarded;  // its special records follow as lines of their own
        return true;
    }
    const long continuationLines = epoch.satellites > 0 ? (epoch.satellites - 1) / 12 : 0;
    if (epoch.satellites > kMaxSatellitesPerEpoch) {
        state_.report("\r\nError! No. of satellites at epoch line are greater than limit! Obs@line# %ld");
        ++state_.counts.discarded;
        return skipLines(continuationLines + epoch.satellites * static_cast<long>(linesPerSatellite_));
    }
    std::vector<Satellite> satellites;
    satellites.reserve(static_cast<std::size_t>(epoch.satellites));
    addSatellites(line, epoch.satellites, satellites);  // `line` is not valid after the next read
    for (long i = 0; i < continuationLines; ++i) {
        std::string_view continuation;
        if (!state_.nextLine(kRinex2LineLimit, continuation, kLongLineFormat)) {
            state_.table.readStatus = kObsEndInSatelliteList;
            state_.report("\r\nError ..unexpected eof, at prns obs @line# %ld");
            return false;
        }
        if (continuation.size() > 80) state_.report("\r\nInvalid line size at epoch header continuation @line# %ld");
        addSatellites(continuation, epoch.satellites, satellites);
    }
    const bool collect = state_.collectingEpochs();
    for (const Satellite& satellite : satellites) {
        if (!readSatellite(satellite, epoch, collect)) {
            state_.countEpoch(epoch.mjd);
            return false;
        }
    }
    state_.countEpoch(epoch.mjd);
    return true;
}

bool Rinex2Reader::readSatellite(const Satellite& satellite, const Rinex2Epoch& epoch, bool collect) {
    const std::vector<int>& ids = obsIds_[satellite.id.systemCode];
    values_.assign(typeCount_, SatObservation{});
    unsigned presence = 0;
    std::size_t reached = 0;  // fields up to the last one with a value
    std::string_view line;
    for (std::size_t row = 0; row < linesPerSatellite_; ++row) {
        if (!state_.nextLine(kRinex2LineLimit, line, kLongLineFormat)) {
            state_.log.append("\r\nINFO! unexpected end of file, @data read");
            return false;
        }
        if (line.size() > kDataLineLength) {
            state_.messages.append(kLongDataLineMessage, kLongDataLineMessage);
            line = line.substr(0, kDataLineLength);
        }
        bool unreadable = false;
        for (std::size_t k = 0; k < kValuesPerLine; ++k) {
            const std::size_t i = row * kValuesPerLine + k;
            if (i >= typeCount_) break;
            SatObservation& observation = values_[i];
            observation.obsId = ids[i];
            const std::size_t start = 16 * k;
            const std::string_view field = columns(line, start + 1, start + 14);
            if (isBlank(field)) continue;
            presence |= typeBits_[i];
            if (parseDoubleField(field, observation.value) == FieldStatus::kInvalid) {
                observation.value = 0.0;
                unreadable = true;
            }
            observation.lossOfLock = static_cast<std::int16_t>(indicatorAt(line, start + 15));
            observation.signalStrength = static_cast<std::int16_t>(indicatorAt(line, start + 16));
            if (start < line.size()) reached = i + 1;
        }
        if (unreadable) state_.report(kUnreadableValueFormat);
    }
    if (rinex2TecRule(presence) == Rinex2TecRule::kMissing) {
        ++state_.counts.discarded;
        return true;
    }
    // Numbers outside the system's range are not stored: later stages index per-PRN tables
    // by them, and a digit-only "123" would collide with SBAS 23.
    if (satellite.accepted != 0 || satellite.id.satNo <= 0) return true;
    // Absent values after the last one present are not stored: a long list of observables
    // over mostly empty lines would otherwise take far more memory than the file.
    std::span<SatObservation> stored = state_.table.pool.allocate(reached);
    std::copy(values_.begin(), values_.begin() + static_cast<std::ptrdiff_t>(reached), stored.begin());
    SatEpochRecord record;
    record.epochMjd = epoch.mjd;
    record.satNo = satellite.id.satNo;
    record.systemLetter = satellite.id.letter;
    record.systemCode = satellite.id.systemCode;
    record.observations = stored;
    record.epochFlag = static_cast<std::int16_t>(epoch.flag);
    state_.store(record, collect);
    return true;
}

void Rinex2Reader::buildHeaderLists() {
    for (int system : {kGps, kSbas, kGlonass, kGalileo}) {
        if (!occurred_[system]) continue;
        std::vector<HeaderObsType>& list = state_.header.obsTypes[system];
        list.clear();
        for (const std::string& type : state_.header.rinex2ObsTypes) {
            const std::string code = rinex2ToRinex3Code(system, type);
            list.push_back({code, obsCodeId(code)});
        }
    }
}

void Rinex2Reader::run() {
    std::string_view line;
    bool more = true;
    while (more && state_.nextLine(kRinex2LineLimit, line, kLongLineFormat)) {
        if (line.empty()) {
            ++state_.counts.discarded;
            continue;
        }
        switch (classify(line)) {
            case LineKind::kNothing:
                ++state_.counts.discarded;
                break;
            case LineKind::kComment:
                note("\r\nNote! comment in rinexdata @line# %ld");
                break;
            case LineKind::kSubHeader:
                note("\r\nNote! sub-header in rinexdata @line# %ld");
                break;
            case LineKind::kBadEpochLine:
                state_.report("\r\nError! Bad epoch line.. @Obs.data at line# %ld\r\n");
                ++state_.counts.discarded;
                break;
            case LineKind::kBadTimeFormat:
                state_.report("\r\nError! invalid time format @line# %ld");
                ++state_.counts.discarded;
                break;
            case LineKind::kNoEpochTime:
                state_.report("\r\nError! there is no epoch time @line# %ld");
                ++state_.counts.discarded;
                break;
            case LineKind::kEpoch:
                more = readEpoch(line);
                break;
        }
    }
    buildHeaderLists();
}

}  // namespace

void readRinex2Data(ObsReadState& state) { Rinex2Reader(state).run(); }
