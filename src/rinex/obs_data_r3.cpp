// The RINEX 3 data section: epoch lines beginning with "> ", each followed by one line per
// satellite holding its system's observables in 16-character fields.
#include <algorithm>
#include <array>
#include <vector>

#include "platform/strfmt.h"
#include "rinex/fixed_fields.h"
#include "rinex/obs_read_state.h"
#include "rinex/satellite_id.h"
#include "rinex/tec_selection.h"

namespace velarix {

namespace {

// Fields that fit a line of the length limit; those of a longer list are always absent.
constexpr std::size_t kMaxValuesPerLine = (kRinex3LineLimit - 3) / 16;
constexpr const char* kLongLineFormat = "\r\nError! OBS_readR3: length of line exceeding 1500 chars @line# %ld";

struct EpochLine {
    int flag = 0;
    double mjd = 0.0;
    long satellites = 0;
};

enum class EpochStatus { kOk, kNotEpoch, kBadFlag, kBadTime };

bool isEpochStart(std::string_view line) { return line.size() >= 2 && line[0] == '>' && line[1] == ' '; }

// Fields of the list (16 characters each after the 3-character satellite) that begin on
// the line; those after it are absent and not stored. Storing all of a long list for every
// short line would let a few bytes of file take a kilobyte and a half of memory.
std::size_t fieldsOnLine(std::string_view line, std::size_t listed) {
    return line.size() <= 3 ? 0 : std::min(listed, (line.size() - 3 + 15) / 16);
}

bool readNumber(std::string_view field, long& value) { return parseIntField(field, value) == FieldStatus::kNumber; }

bool isEventFlag(int flag) { return flag >= 2 && flag <= 5; }

// "> yyyy mm dd hh mm ss.sssssss  f nnn": the flag in column 32, the time in columns 3-30,
// the satellite count (for events: the number of special records) in columns 33-35. An
// event may leave its time blank.
EpochStatus parseEpochLine(std::string_view line, EpochLine& epoch) {
    const char flag = line.size() >= 32 ? line[31] : ' ';
    epoch.flag = isBlankChar(flag) ? 0 : (flag >= '0' && flag <= '9' ? flag - '0' : -1);
    if (epoch.flag < 0 || epoch.flag > 6) return EpochStatus::kBadFlag;
    if (isEventFlag(epoch.flag) && isBlank(columns(line, 3, 30))) {
        const bool count = parseIntField(columns(line, 33, 35), epoch.satellites) != FieldStatus::kInvalid;
        return count && epoch.satellites >= 0 ? EpochStatus::kOk : EpochStatus::kBadTime;
    }
    for (std::size_t column : {7, 10, 13, 16, 19, 30, 31}) {
        if (!isBlankAt(line, column)) return EpochStatus::kBadTime;
    }
    if (isBlank(columns(line, 3, 29))) return EpochStatus::kBadTime;
    long year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
    if (!readNumber(columns(line, 3, 6), year) || !readNumber(columns(line, 8, 9), month) ||
        !readNumber(columns(line, 11, 12), day) || !readNumber(columns(line, 14, 15), hour) ||
        !readNumber(columns(line, 17, 18), minute) ||
        parseDoubleField(columns(line, 20, 30), second) != FieldStatus::kNumber) {
        return EpochStatus::kBadTime;
    }
    if (!epochFieldsInRange(month, day, hour, minute, second)) return EpochStatus::kBadTime;
    if (parseIntField(columns(line, 33, 35), epoch.satellites) == FieldStatus::kInvalid || epoch.satellites < 0) {
        return EpochStatus::kBadTime;
    }
    if (second >= 60.0) {  // a leap second: the next minute
        second = 0.0;
        ++minute;
    }
    epoch.mjd = epochLineMjd(year, month, day, hour, minute, second);
    return EpochStatus::kOk;
}

// One system's observable list as the data lines hold it, and the counts of the TEC
// selection gathered while reading.
struct SystemLayout {
    std::vector<int> obsIds;
    std::vector<long> occurrences;                         // per position
    std::vector<std::array<int, 4>> candidatePositions;   // -1: the list lacks the observable
    std::vector<long> candidateCounts;
    std::vector<std::size_t> kept;  // with ObsKeep::kTecOnly: the positions stored, ascending
};

class Rinex3Reader {
public:
    explicit Rinex3Reader(ObsReadState& state) : state_(state) {
        for (const auto& [systemCode, types] : state.header.obsTypes) prepare(systemCode, types);
    }

    void run();

private:
    // Where the lines that belong to an epoch line left the read.
    enum class After { kNextLine, kEpochLineHeld, kEndOfFile };

    // Hands up to `count` lines after an epoch line to `take`. An epoch line among them
    // ends a short count and stays in `line` for the loop.
    template <typename Take>
    After followingLines(long count, std::string_view& line, Take take);
    void prepare(int systemCode, const std::vector<HeaderObsType>& types);
    void readSatellite(std::string_view line, const EpochLine& epoch, bool collect);
    void foldCounts();

    ObsReadState& state_;
    std::array<SystemLayout, kUnknownSystem + 1> systems_;
    std::vector<SatObservation> scratch_;  // values of satellites that are not stored
};

template <typename Take>
Rinex3Reader::After Rinex3Reader::followingLines(long count, std::string_view& line, Take take) {
    for (long k = 0; k < count; ++k) {
        if (!state_.nextLine(kRinex3LineLimit, line, kLongLineFormat)) return After::kEndOfFile;
        if (isEpochStart(line)) return After::kEpochLineHeld;
        take(line);
    }
    return After::kNextLine;
}

void Rinex3Reader::prepare(int systemCode, const std::vector<HeaderObsType>& types) {
    SystemLayout& layout = systems_[systemCode];
    const std::size_t count = std::min(types.size(), kMaxValuesPerLine);
    layout.obsIds.clear();
    for (std::size_t i = 0; i < count; ++i) layout.obsIds.push_back(types[i].id);
    layout.occurrences.assign(count, 0);
    layout.kept.clear();
    const auto selection = state_.table.tecSelection.find(systemCode);
    if (selection == state_.table.tecSelection.end()) return;
    if (state_.keep == ObsKeep::kTecOnly) {
        const std::vector<int> ids = tecObservablesKept(selection->second, true);
        for (std::size_t i = 0; i < count; ++i) {
            if (std::find(ids.begin(), ids.end(), layout.obsIds[i]) != ids.end()) layout.kept.push_back(i);
        }
    }
    for (const TecCandidate& candidate : selection->second.candidates) {
        std::array<int, 4> positions{};
        for (std::size_t role = 0; role < 4; ++role) {
            const auto found = std::find(layout.obsIds.begin(), layout.obsIds.end(), candidate.obsIds[role]);
            positions[role] = found == layout.obsIds.end() ? -1 : static_cast<int>(found - layout.obsIds.begin());
        }
        layout.candidatePositions.push_back(positions);
    }
    layout.candidateCounts.assign(layout.candidatePositions.size(), 0);
}

void Rinex3Reader::readSatellite(std::string_view line, const EpochLine& epoch, bool collect) {
    SatId id;
    const int accepted = parseSatIdChecked(line.substr(0, std::min<std::size_t>(3, line.size())), id);
    if (accepted == -1 || id.satNo <= 0) {  // no satellite to give the values to
        ++state_.counts.discarded;
        return;
    }
    SystemLayout& layout = systems_[id.systemCode];
    const std::size_t count = fieldsOnLine(line, layout.obsIds.size());
    // Rejected numbers (G33, J01, E36) still count for the selection but are not stored:
    // later stages index GPS tables by number, and a raw PRN would collide with GPS.
    const bool stored = accepted == 0 && (id.systemCode == kGps || id.systemCode == kIrnss);
    // A read that keeps some of the observables parses all of them (they all count for the
    // selection) and stores those kept after.
    const bool storedWhole = stored && state_.keep == ObsKeep::kEvery;
    std::span<SatObservation> values;
    if (storedWhole) {
        values = state_.table.pool.allocate(count);
    } else {
        scratch_.resize(count);
        values = scratch_;
    }
    bool unreadable = false;
    for (std::size_t i = 0; i < count; ++i) {
        SatObservation& observation = values[i];
        observation.obsId = layout.obsIds[i];
        const std::size_t start = 3 + 16 * i;
        double value = 0.0;
        if (parseDoubleField(line.substr(start, 14), value) == FieldStatus::kInvalid) {
            value = 0.0;
            unreadable = true;
        }
        observation.value = value;
        observation.lossOfLock = static_cast<std::int16_t>(indicatorAt(line, start + 15));
        observation.signalStrength = static_cast<std::int16_t>(indicatorAt(line, start + 16));
        if (value != 0.0) ++layout.occurrences[i];
    }
    if (unreadable) state_.report(kUnreadableValueFormat);
    for (std::size_t k = 0; k < layout.candidatePositions.size(); ++k) {
        const std::array<int, 4>& positions = layout.candidatePositions[k];
        bool all = true;
        for (int position : positions) {
            all = all && position >= 0 && static_cast<std::size_t>(position) < count && values[position].value != 0.0;
        }
        if (all) ++layout.candidateCounts[k];
    }
    if (!stored) return;
    if (!storedWhole) {
        const auto reached = static_cast<std::size_t>(
            std::lower_bound(layout.kept.begin(), layout.kept.end(), count) - layout.kept.begin());
        const std::span<SatObservation> kept = state_.table.pool.allocate(reached);
        for (std::size_t k = 0; k < reached; ++k) kept[k] = values[layout.kept[k]];
        values = kept;
    }
    SatEpochRecord record;
    record.epochMjd = epoch.mjd;
    record.satNo = id.satNo;
    record.systemLetter = id.letter;
    record.systemCode = id.systemCode;
    record.observations = values;
    record.epochFlag = static_cast<std::int16_t>(epoch.flag);
    state_.store(record, collect);
}

void Rinex3Reader::foldCounts() {
    for (auto& [systemCode, selection] : state_.table.tecSelection) {
        if (systemCode < 0 || systemCode > kUnknownSystem) continue;
        const SystemLayout& layout = systems_[systemCode];
        for (std::size_t i = 0; i < layout.obsIds.size(); ++i) {
            if (layout.obsIds[i] != kNoObsCode) selection.occurrences[layout.obsIds[i]] += layout.occurrences[i];
        }
        for (std::size_t k = 0; k < layout.candidateCounts.size() && k < selection.candidates.size(); ++k) {
            selection.candidates[k].count += layout.candidateCounts[k];
        }
    }
}

void Rinex3Reader::run() {
    std::string_view line;
    bool haveLine = state_.nextLine(kRinex3LineLimit, line, kLongLineFormat);
    while (haveLine) {
        if (line.empty()) {
            ++state_.counts.discarded;
            haveLine = state_.nextLine(kRinex3LineLimit, line, kLongLineFormat);
            continue;
        }
        EpochLine epoch;
        const EpochStatus status = isEpochStart(line) ? parseEpochLine(line, epoch) : EpochStatus::kNotEpoch;
        if (status == EpochStatus::kNotEpoch) {
            state_.report("\r\nError! Bad epoch at line: %ld");
            ++state_.counts.discarded;
        } else if (status == EpochStatus::kBadFlag) {
            if (state_.messages.admit(kInvalidFlagFormat))
                state_.log.append(strfmt(kInvalidFlagFormat, epoch.flag, state_.counts.lines));
            ++state_.counts.discarded;
        } else if (status == EpochStatus::kBadTime) {
            state_.report("\r\nError! Bad time format at epoch @line: %ld");
            ++state_.counts.discarded;
        } else {
            After after = After::kNextLine;
            if (isEventFlag(epoch.flag)) {  // its special records: header lines and comments
                if (epoch.satellites > 0) ++state_.counts.discarded;
                after = followingLines(epoch.satellites, line, [this](std::string_view) { ++state_.counts.discarded; });
            } else {
                const bool collect = state_.collectingEpochs();
                after = followingLines(epoch.satellites, line, [&](std::string_view satellite) {
                    readSatellite(satellite, epoch, collect);
                });
                state_.countEpoch(epoch.mjd);
            }
            if (after == After::kEndOfFile) break;
            if (after == After::kEpochLineHeld) continue;
        }
        haveLine = state_.nextLine(kRinex3LineLimit, line, kLongLineFormat);
    }
    state_.log.append("\r\n ... end of file..");
    foldCounts();
}

}  // namespace

void readRinex3Data(ObsReadState& state) { Rinex3Reader(state).run(); }

}  // namespace velarix
