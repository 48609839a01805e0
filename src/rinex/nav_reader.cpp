#include "rinex/nav_reader.h"

#include <string_view>

#include "platform/message_limiter.h"
#include "platform/regular_file.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "rinex/fixed_fields.h"
#include "rinex/nav_lines.h"
#include "rinex/nav_records.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

constexpr std::size_t kShortestEpochLine = 78;
constexpr const char* kBadRecordFormat = "\r\nNavR3-exception bad data format @line#:%d\r\n";

// RINEX 4 starts each record with a line "> EPH G01 LNAV". Records of the message kinds
// laid out as in RINEX 3 are read; all others (CNAV ephemerides, STO, EOP, ION) are not.
bool isReadableRecordStart(std::string_view line) {
    if (line.size() < 9 || line.substr(0, 6) != "> EPH ") return false;
    std::string_view kind = line.substr(line.size() > 10 ? 10 : line.size());
    while (!kind.empty() && kind.front() == ' ') kind.remove_prefix(1);
    kind = kind.substr(0, kind.find(' '));
    return kind == "LNAV" || kind == "INAV" || kind == "FNAV" || kind == "D1" || kind == "D2" || kind == "FDMA" ||
           kind == "SBAS";
}

class NavRecordReader {
public:
    NavRecordReader(NavLines& lines, const NavHeader& header, EphemerisTable& table, RunLog& log,
                    MessageLimiter& messages, NavReadReport& report)
        : lines_(lines),
          layout_(header.isRinex3() ? NavLayout::kRinex3 : NavLayout::kRinex2),
          table_(table),
          log_(log),
          messages_(messages),
          report_(report) {
        // RINEX 2 single-system files number GLONASS and SBAS satellites without a letter.
        if (!header.isRinex3() && header.systemCode == kGlonass) satOffset_ = 200;
        if (!header.isRinex3() && header.systemCode == kSbas) satOffset_ = 100;
    }

    void readAll() {
        std::string_view line;
        bool skippingRecord = false;  // inside a RINEX 4 record this reader does not use
        while (lines_.next(line)) {
            if (isBlank(line)) continue;
            if (line.front() == '>') {
                skippingRecord = !isReadableRecordStart(line);
                if (skippingRecord) ++report_.recordsSkipped;
                continue;
            }
            // Orbit lines outside a record: those of a dropped record, or lines beyond the
            // ones used (the fourth GLONASS line of RINEX 3.05).
            if (skippingRecord || isOrbitLine(line, layout_)) continue;
            if (line.size() < kShortestEpochLine) {
                report_.status = 2;
                log_.append(
                    strfmt("\r\nNavR3-epoch line too short, reading stopped @line#:%d\r\n", lines_.lineNumber()));
                return;
            }
            if (!readRecord(line)) return;
        }
    }

private:
    void reportBadLine(int lineNumber) {
        ++report_.badRecords;
        if (messages_.admit(kBadRecordFormat)) log_.append(strfmt(kBadRecordFormat, lineNumber));
    }

    // Reads the record that starts with `epochLine`; false when the file ended inside it.
    bool readRecord(std::string_view epochLine) {
        const int epochLineNumber = lines_.lineNumber();
        RawNavRecord raw;
        if (!parseNavEpochLine(epochLine, layout_, raw)) {
            reportBadLine(epochLineNumber);
            return true;
        }
        if (satOffset_ != 0 && systemOf(raw.satNo) == kGps) raw.satNo += satOffset_;
        const int systemCode = systemOf(raw.satNo);
        const int orbitLines = orbitLineCount(systemCode);
        if (orbitLines == 0) {
            ++report_.recordsSkipped;
            return true;
        }
        for (int n = 1; n <= orbitLines; ++n) {
            std::string_view line;
            bool more = lines_.next(line);
            while (more && isBlank(line)) more = lines_.next(line);
            if (!more) {
                report_.status = n;
                ++report_.badRecords;
                log_.append(strfmt(" NavR3-file last record incomplete @line#%d", lines_.lineNumber()));
                return false;
            }
            if (!isOrbitLine(line, layout_)) {
                // The next record began early: this one is short.
                lines_.unread();
                reportBadLine(epochLineNumber);
                return true;
            }
            if (!parseNavFields(line, orbitValueColumn(layout_), raw.orbit[n])) {
                reportBadLine(lines_.lineNumber());
                return true;
            }
        }
        store(raw, systemCode);
        return true;
    }

    template <typename Record>
    void append(std::map<int, EphemerisByEpoch<Record>>& part, const Record& record, double epochMjd) {
        part[record.satNo][epochMjd].push_back(record);
        ++table_.recordCount;
        ++report_.recordsStored;
    }

    void store(const RawNavRecord& raw, int systemCode) {
        if (systemCode == kGlonass) {
            const GlonassEphemeris record = toGlonassEphemeris(raw);
            if (record.frequencyChannel < -7 || record.frequencyChannel > 13) {
                ++report_.channelDropped;
                return;
            }
            append(table_.glonass, record, record.epochMjd);
        } else if (systemCode == kSbas) {
            const SbasEphemeris record = toSbasEphemeris(raw);
            append(table_.sbas, record, record.epochMjd);
        } else {
            const KeplerEphemeris record = toKeplerEphemeris(raw);
            append(table_.kepler, record, record.tocMjd);
        }
    }

    NavLines& lines_;
    NavLayout layout_;
    EphemerisTable& table_;
    RunLog& log_;
    MessageLimiter& messages_;
    NavReadReport& report_;
    int satOffset_ = 0;
};

}  // namespace

NavReadResult navOpenResult(const NavLines& lines, const std::string& path, RunLog& log) {
    switch (lines.openStatus()) {
        case InputFileStatus::kOpened: return NavReadResult::kRead;
        case InputFileStatus::kNotRegularFile:
            log.append(inputFileError("navigation", path, InputFileStatus::kNotRegularFile));
            return NavReadResult::kNotRegularFile;
        case InputFileStatus::kCannotOpen: break;
    }
    log.append("\r\nCan't open Nav. file: ");
    log.append(path);
    return NavReadResult::kCannotOpen;
}

NavReadResult readNavigationFile(const std::string& path, EphemerisTable& table, NavHeader& header, RunLog& log,
                                 NavReadReport* report) {
    NavReadReport localReport;
    NavReadReport& result = report != nullptr ? *report : localReport;
    result = NavReadReport{};
    table.recordCount = 0;
    table.satelliteFlags.fill(0);

    NavLines lines(path);
    if (const NavReadResult refused = navOpenResult(lines, path, log); refused != NavReadResult::kRead) {
        return refused;
    }
    MessageLimiter messages(log, path);
    if (!readNavHeader(lines, header, log, path, messages)) return NavReadResult::kNotNavigation;

    NavRecordReader(lines, header, table, log, messages, result).readAll();
    messages.finish();
    if (result.recordsSkipped > 0) {
        log.append(strfmt("\r\nInfo! %d nav. record(s) of other systems or kinds skipped", result.recordsSkipped));
    }
    return NavReadResult::kRead;
}

}  // namespace velarix
