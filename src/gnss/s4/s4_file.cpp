#include "gnss/s4/s4_file.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "platform/line_reader.h"
#include "platform/message_limiter.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"
#include "platform/fields.h"

namespace velarix {

namespace {

constexpr std::size_t kS4LineLimit = 256;
constexpr std::string_view kHeaderStart = "Jdatet";
constexpr const char* kBadLine = "line not readable, skipped";

bool finiteNumber(std::string_view text, double& value) { return parseNumber(text, value) && std::isfinite(value); }

// One record line; false when it does not parse.
bool parseRecord(std::string_view line, S4FileRecord& record) {
    const std::vector<std::string_view> fields = splitBlanks(line);
    if (fields.size() < 3 || fields[1].size() > 3) return false;
    SatId id;
    if (parseSatIdChecked(fields[1], id) != 0 || id.satNo <= 0 || id.systemCode > kIrnss) return false;
    record = S4FileRecord{0.0, static_cast<double>(id.satNo), 0.0, 0.0, 0.0};
    if (!finiteNumber(fields[0], record[0]) || !finiteNumber(fields[2], record[2])) return false;
    for (std::size_t i = 3; i < fields.size() && i < record.size(); ++i) {
        if (!finiteNumber(fields[i], record[i])) return false;
    }
    return true;
}

}  // namespace

int readS4File(const std::string& path, S4FileTable& table, RunLog& log) {
    LineReader reader(path);
    if (reader.openStatus() == InputFileStatus::kNotRegularFile) {
        log.append(inputFileError("S4", path, InputFileStatus::kNotRegularFile) + "\r\n");
        return kS4FileNotRegularFile;
    }
    if (!reader.isOpen()) {
        log.append(strfmt("\r\nError! could not open S4 file %s\r\n", path.c_str()));
        return kS4FileNotOpened;
    }
    std::string_view line;
    bool cut = false;
    long lineNumber = 0;
    long badLines = 0;
    MessageLimiter messages(log, path);
    int records = 0;
    while (reader.next(kS4LineLimit, line, cut)) {
        ++lineNumber;
        const std::string_view text = trim(line);
        if (lineNumber == 1 && !startsWith(text, kHeaderStart)) {
            log.append(strfmt("\r\nError! %s is no S4 file: its first line does not begin with \"Jdatet\"\r\n",
                              path.c_str()));
            return kS4FileNoHeader;
        }
        if (text.empty() || startsWith(text, kHeaderStart)) continue;
        S4FileRecord record;
        if (cut || !parseRecord(text, record)) {
            ++badLines;
            if (messages.admit(kBadLine)) {
                log.append(strfmt("\r\nError! S4 file %s: %s @line# %ld", path.c_str(), kBadLine, lineNumber));
            }
            continue;
        }
        table[static_cast<int>(record[1])].push_back(record);
        ++records;
    }
    if (lineNumber == 0) {
        log.append(strfmt("\r\nError! %s is no S4 file: it is empty\r\n", path.c_str()));
        return kS4FileNoHeader;
    }
    messages.finish();
    if (badLines > 0) {
        log.append(strfmt("\r\nWarning! %ld lines of S4 file %s were not readable\r\n", badLines, path.c_str()));
        log.appendError(strfmt("%s .. %ld S4 file lines not readable\r\n", path.c_str(), badLines));
    }
    return records;
}

}  // namespace velarix
