#include "gnss/bias/dcb_names.h"

#include "geodesy/time.h"
#include "platform/text.h"

namespace velarix {

namespace {

bool digits(std::string_view text, std::size_t count) {
    if (text.size() < count) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

int number(std::string_view text) {
    int value = 0;
    for (const char c : text) value = value * 10 + (c - '0');
    return value;
}

std::string_view fileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The MJD `months` calendar months after `mjd` (same day of month and time).
double addMonths(double mjd, int months) {
    DateTime time;
    time.FromMjd(mjd);
    const int index = time.year * 12 + (time.month - 1) + months;
    time.year = index / 12;
    time.month = index % 12 + 1;
    return time.ToMjd();
}

}  // namespace

DcbFileKind DcbKindOfName(std::string_view path) {
    BiasSinexPeriod period;
    if (ParseBiasSinexName(path, period)) return DcbFileKind::kBiasSinex;
    std::string_view name = fileName(path);
    if (endsWithNoCase(name, ".Z")) name.remove_suffix(2);
    if (name.size() < 8 || !digits(name.substr(4), 4)) return DcbFileKind::kNone;
    const std::string_view kind = name.substr(0, 4);
    const std::string_view rest = name.substr(8);
    if (equalsNoCase(kind, "P1C1") && equalsNoCase(rest, ".DCB")) return DcbFileKind::kP1c1;
    if (!equalsNoCase(kind, "P1P2")) return DcbFileKind::kNone;
    if (equalsNoCase(rest, ".DCB")) return DcbFileKind::kP1p2;
    if (equalsNoCase(rest, "_ALL.DCB")) return DcbFileKind::kP1p2All;
    return DcbFileKind::kNone;
}

bool ParseBiasSinexName(std::string_view path, BiasSinexPeriod& period) {
    // AAAVPPPTTT_YYYYDDDHHMM_LEN_SMP_CNT.BIA: the fields after the first ten characters.
    std::string_view name = fileName(path);
    if (endsWithNoCase(name, ".gz")) name.remove_suffix(3);
    if (endsWithNoCase(name, ".Z")) name.remove_suffix(2);
    if (name.size() != 38 || !(endsWithNoCase(name, ".BIA") || endsWithNoCase(name, ".BSX"))) return false;
    if (name[10] != '_' || name[22] != '_' || name[26] != '_' || name[30] != '_') return false;
    const std::string_view start = name.substr(11, 11);
    if (!digits(start, 11) || !digits(name.substr(23), 2)) return false;
    const int year = number(start.substr(0, 4));
    const int dayOfYear = number(start.substr(4, 3));
    const int hour = number(start.substr(7, 2));
    const int minute = number(start.substr(9, 2));
    const int length = number(name.substr(23, 2));
    if (dayOfYear < 1 || dayOfYear > 366 || hour > 23 || minute > 59 || length == 0) return false;
    period.startMjd = MjdFromCivil(year, 1, 1, hour, minute, 0.0) + (dayOfYear - 1);
    switch (name[25] & ~0x20) {  // the unit, any case
        case 'M': period.endMjd = period.startMjd + length / 1440.0; break;
        case 'H': period.endMjd = period.startMjd + length / 24.0; break;
        case 'D': period.endMjd = period.startMjd + length; break;
        case 'W': period.endMjd = period.startMjd + 7.0 * length; break;
        case 'L': period.endMjd = addMonths(period.startMjd, length); break;
        case 'Y': period.endMjd = addMonths(period.startMjd, 12 * length); break;
        default: return false;
    }
    return true;
}

}  // namespace velarix
