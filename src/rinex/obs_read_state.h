#pragma once
// What the two data loops of the observation reader share: the input, the tables, the
// counters of the summary line, and the storing of records.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "geodesy/time.h"
#include "platform/message_limiter.h"
#include "platform/run_log.h"
#include "rinex/obs_reader.h"
#include "rinex/obs_table.h"
#include "rinex/rinex3_obs_header.h"
#include "platform/line_reader.h"

namespace velarix {

constexpr std::size_t kHeaderLineLimit = 1500;
constexpr std::size_t kRinex3LineLimit = 1500;
constexpr std::size_t kRinex2LineLimit = 90;
// Epochs collected into byEpoch while the station position is unknown.
constexpr long kEpochsForPosition = 100;
// A data line with a field that is no number (its value counts as absent).
constexpr const char* kUnreadableValueFormat = "\r\nError! unreadable observation value @line# %ld";
// An epoch line whose flag is no digit 0-6: the flag (-1 for no digit) and the line number.
constexpr const char* kInvalidFlagFormat = "\r\nError! Invalid epoch flag %d @ line %ld ";

// Fields of an epoch line that name a time (a day past the month's end moves on).
constexpr bool epochFieldsInRange(long month, long day, long hour, long minute, double second) {
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 && hour <= 23 && minute >= 0 &&
           minute <= 59 && second >= 0.0;
}

inline double epochLineMjd(long year, long month, long day, long hour, long minute, double second) {
    return MjdFromCivil(static_cast<std::int32_t>(year), static_cast<std::int32_t>(month),
                        static_cast<std::int32_t>(day), static_cast<std::int32_t>(hour),
                        static_cast<std::int32_t>(minute), second);
}

// The lines, counters and messages of one read of an observation file.
class ObsLineInput {
public:
    ObsLineInput(LineReader& in, RunLog& log, const std::string& path) : in(in), log(log), messages(log, path) {}

    // The next line with at most `limit` characters, counted. A longer line is cut to the
    // limit and, when `cutFormat` is given, reported with it.
    bool nextLine(std::size_t limit, std::string_view& line, const char* cutFormat = nullptr);

    // Appends to the log a message formatted with the current line number; each format is
    // a kind of its own for `messages`.
    void report(const char* format);

    // An epoch of flag 0, 1 or 6 has been read.
    void countEpoch(double mjd);

    LineReader& in;
    RunLog& log;
    MessageLimiter messages;  // every message a line of the file can cause goes through it
    ObsReadCounts counts;
};

// A read into the observation table.
class ObsReadState : public ObsLineInput {
public:
    ObsReadState(LineReader& in, ObsTable& table, Rinex3ObsHeader& header, RunLog& log, const std::string& path)
        : ObsLineInput(in, log, path), table(table), header(header) {}

    // Records of the current epoch also go to byEpoch.
    bool collectingEpochs() const { return !table.positionKnown && counts.epochs < kEpochsForPosition; }
    void store(const SatEpochRecord& record, bool collect);

    ObsTable& table;
    Rinex3ObsHeader& header;
    ObsKeep keep = ObsKeep::kEvery;

private:
    // bySatellite entries by satellite number, so that a record is stored without a lookup.
    std::array<std::vector<SatEpochRecord>*, 1000> satelliteRecords_{};
};

// Reads header lines until END OF HEADER; false when the file ended first. A line shorter
// than 60 or longer than 80 characters is reported with `lengthMessage` and still parsed.
bool readObsHeader(ObsLineInput& input, Rinex3ObsHeader& header, const char* lengthMessage);

void readRinex3Data(ObsReadState& state);
void readRinex2Data(ObsReadState& state);

}  // namespace velarix
