#include "rinex/nav_gps_r2_reader.h"

#include "platform/message_limiter.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "rinex/fixed_fields.h"
#include "rinex/nav_lines.h"
#include "rinex/nav_reader.h"
#include "rinex/nav_records.h"
#include "rinex/satellite_id.h"

namespace velarix {

int GetBroadCastOrbit(std::string_view line, double (&values)[4]) {
    if (!isOrbitLine(line, NavLayout::kRinex2)) return -1;
    return parseNavFields(line, orbitValueColumn(NavLayout::kRinex2), values) ? 0 : -1;
}

namespace {

constexpr const char* kBadOrbitFormat = "\r\n error in GetBroadCastOrbit at line%d";
constexpr const char* kBadLineFormat = "\r\nNavFile-exception: Badly formatted line @line# %d";

// Reads the seven orbit lines of a record. 0: read; -1: a line could not be read
// (reported, the record is dropped); n > 0: the file ended before orbit line n.
int readOrbitLines(NavLines& lines, RawNavRecord& raw, RunLog& log, MessageLimiter& messages) {
    for (int n = 1; n <= 7; ++n) {
        std::string_view line;
        bool more = lines.next(line);
        while (more && isBlank(line)) more = lines.next(line);
        if (!more) {
            log.append(strfmt("\r\n Nav-file last record incomplete @line= %d", lines.lineNumber()));
            return n;
        }
        if (GetBroadCastOrbit(line, raw.orbit[n]) != 0) {
            if (messages.admit(kBadOrbitFormat)) log.append(strfmt(kBadOrbitFormat, lines.lineNumber()));
            // A line that begins the next record is read again as such.
            if (!isOrbitLine(line, NavLayout::kRinex2)) lines.unread();
            return -1;
        }
    }
    return 0;
}

}  // namespace

NavReadResult readGpsNavigationR2(const std::string& path, GpsBroadcastTable& table, NavHeader& header, RunLog& log) {
    table.readStatus = 0;
    NavLines lines(path);
    if (const NavReadResult refused = navOpenResult(lines, path, log); refused != NavReadResult::kRead) {
        return refused;
    }
    MessageLimiter messages(log, path);
    if (!readNavHeader(lines, header, log, path, messages)) return NavReadResult::kNotNavigation;
    if (header.isRinex3() || header.systemCode != kGps) {
        log.append("\r\nNavFile-exception: not a RINEX 2 GPS navigation file: ");
        log.append(path);
        return NavReadResult::kNotNavigation;
    }

    std::string_view line;
    while (lines.next(line)) {
        if (isBlank(line) || isOrbitLine(line, NavLayout::kRinex2)) continue;
        RawNavRecord raw;
        if (!parseNavEpochLine(line, NavLayout::kRinex2, raw) || systemOf(raw.satNo) != kGps) {
            if (messages.admit(kBadLineFormat)) log.append(strfmt(kBadLineFormat, lines.lineNumber()));
            continue;
        }
        if (raw.satNo > 32) {
            log.append(strfmt("\r\n Error PRN in Nav. file: prn= %d", raw.satNo));
            break;
        }
        const int orbitResult = readOrbitLines(lines, raw, log, messages);
        if (orbitResult > 0) {
            table.readStatus = orbitResult;
            break;
        }
        if (orbitResult < 0 || table.byPrn.count(raw.satNo) != 0) continue;
        table.byPrn.emplace(raw.satNo, toKeplerEphemeris(raw));
        table.prnStored[static_cast<std::size_t>(raw.satNo)] = 1;
    }
    return NavReadResult::kRead;
}

}  // namespace velarix
