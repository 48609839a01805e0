#include "gnss/checks/vtec_samples.h"

#include <array>
#include <string_view>

#include "platform/fields.h"
#include "platform/line_reader.h"
#include "platform/message_limiter.h"
#include "platform/regular_file.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/fixed_fields.h"

namespace velarix {

namespace {

constexpr std::size_t kLineLimit = 4096;
constexpr const char* kBadRow = "row not readable, skipped";

// The columns read, in the order of VtecSample's fields.
constexpr std::array<std::string_view, 5> kColumnNames = {"MJD", "elevation_deg", "ippLatitude_deg",
                                                          "ippLongitude_deg", "verticalTec_TECU"};
// The column that only the calibrated table has.
constexpr std::string_view kCalibratedColumn = "S4";

// The ".Cmn" product: its header lines, the start of the column names' line, and where
// the columns read stand.
constexpr int kCmnHeaderLines = 3;
constexpr std::string_view kCmnColumnNamesStart = "MJdatet\t";
constexpr std::array<std::size_t, kColumnNames.size()> kCmnColumns = {0, 4, 5, 6, 8};

using ColumnIndexes = std::array<std::size_t, kColumnNames.size()>;

void report(RunLog& log, const char* tag, const std::string& what, long lineNo, const std::string& path,
            const char* kind = "TEC table") {
    log.append(strfmt("\r\n%s %s %s @line# %ld: %s", tag, kind, what.c_str(), lineNo, path.c_str()));
}

// The rows after the header (line `lineNo`), columns at `at`: kRead, or kNoSamples when
// none could be read.
VtecReadResult readRows(LineReader& reader, const ColumnIndexes& at, long lineNo, const std::string& path, const char* kind,
             std::vector<VtecSample>& samples, RunLog& log) {
    std::string_view line;
    bool cut = false;
    MessageLimiter messages(log, path);
    while (reader.next(kLineLimit, line, cut)) {
        ++lineNo;
        if (isBlank(line)) continue;
        const std::vector<std::string_view> fields = splitTabs(line);
        std::array<double, kColumnNames.size()> value{};
        bool ok = !cut;
        for (std::size_t c = 0; c < at.size() && ok; ++c)
            ok = at[c] < fields.size() && parseDoubleField(fields[at[c]], value[c]) == FieldStatus::kNumber;
        if (!ok) {
            if (messages.admit(kBadRow)) report(log, "Warning!", kBadRow, lineNo, path, kind);
            continue;
        }
        samples.push_back({value[0], value[1], value[2], value[3], value[4]});
    }
    messages.finish();
    if (samples.empty()) {
        report(log, "Error!", "no row could be read", lineNo, path, kind);
        return VtecReadResult::kNoSamples;
    }
    return VtecReadResult::kRead;
}

}  // namespace

TecFileLayout TecFileLayoutOf(const std::string& path) {
    return endsWithNoCase(path, ".cmn") ? TecFileLayout::kCmn : TecFileLayout::kToolTable;
}

VtecReadResult ReadTecToolTable(const std::string& path, std::vector<VtecSample>& samples, RunLog& log) {
    samples.clear();
    LineReader reader(path);
    if (!reader.isOpen()) {
        log.append(inputFileError("TEC table", path, reader.openStatus()));
        return VtecReadResult::kCannotOpen;
    }
    std::string_view line;
    bool cut = false;
    if (!reader.next(kLineLimit, line, cut)) {
        report(log, "Error!", "file is empty", 0, path);
        return VtecReadResult::kNoSamples;
    }
    ColumnIndexes at{};
    const std::vector<std::string_view> names = splitTabs(line);
    bool calibrated = false;
    for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
        at[c] = names.size();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == kColumnNames[c]) at[c] = i;
            if (names[i] == kCalibratedColumn) calibrated = true;
        }
        if (at[c] == names.size()) {
            report(log, "Error!", strfmt("header has no column \"%s\"", std::string(kColumnNames[c]).c_str()), 1, path);
            return VtecReadResult::kNoSamples;
        }
    }
    if (!calibrated)
        log.append(strfmt("\r\nNote! %s has no S4 column: not the table of `tec --calibrated`, so its TEC still "
                          "carries the receiver and satellite biases", path.c_str()));
    return readRows(reader, at, 1, path, "TEC table", samples, log);
}

VtecReadResult ReadCmnFile(const std::string& path, std::vector<VtecSample>& samples, RunLog& log) {
    samples.clear();
    LineReader reader(path);
    if (!reader.isOpen()) {
        log.append(inputFileError("CMN file", path, reader.openStatus()));
        return VtecReadResult::kCannotOpen;
    }
    std::string_view line;
    bool cut = false;
    long lineNo = 0;
    while (lineNo < kCmnHeaderLines && reader.next(kLineLimit, line, cut)) ++lineNo;
    if (lineNo < kCmnHeaderLines || !startsWith(line, kCmnColumnNamesStart)) {
        report(log, "Error!", "has no column names' line (MJdatet, Time, PRN...) on its third line",
               lineNo, path, "CMN file");
        return VtecReadResult::kNoSamples;
    }
    return readRows(reader, kCmnColumns, lineNo, path, "CMN file", samples, log);
}

VtecReadResult ReadVtecSamples(const std::string& path, std::vector<VtecSample>& samples, RunLog& log) {
    return TecFileLayoutOf(path) == TecFileLayout::kCmn ? ReadCmnFile(path, samples, log)
                                                         : ReadTecToolTable(path, samples, log);
}

}  // namespace velarix
