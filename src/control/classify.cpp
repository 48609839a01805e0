#include "control/classify.h"

#include <time.h>

#include <cctype>
#include <cstring>
#include <string_view>

#include "gnss/day_job.h"
#include "geodesy/time.h"
#include "platform/dir_search.h"
#include "platform/text.h"

namespace velarix {

namespace {

// Which name forms a (decompressed) extension calls for.
enum class NameScheme {
    kShortRinex,  // yyo, yyd, yyn: RINEX 2 short names
    kLongRinex,   // rnx, crx: RINEX 3 long names
    kNovatel,
    kScinda,
    kDcb,
    kNoNameForm,  // a known file type whose names this program does not read
    kUnknown,
};

struct WordExtension {
    const char* word;
    NameScheme scheme;
};

// Three-letter extensions met in GNSS data folders.
const WordExtension kWordExtensions[] = {
    {"rnx", NameScheme::kLongRinex},   // RINEX 3 observation or navigation
    {"crx", NameScheme::kLongRinex},   // Compact RINEX (Hatanaka) 3 observation
    {"nvd", NameScheme::kNovatel},     // NovAtel GSV4004 scintillation receiver recording
    {"scn", NameScheme::kScinda},      // SCINDA receiver recording
    {"dcb", NameScheme::kDcb},         // CODE monthly differential code biases
    {"obs", NameScheme::kNoNameForm},  // receiver-native observation dump
    {"xls", NameScheme::kNoNameForm},  // spreadsheet export
    {"ism", NameScheme::kNoNameForm},  // ISM receiver recording (found by the ISM search)
    {"gps", NameScheme::kNoNameForm},  // receiver GPS log
    {"lb2", NameScheme::kNoNameForm},  // LISN binary recording
    {"dat", NameScheme::kNoNameForm},  // LISN / SCINDA processed data, CESAR products
    {"cmn", NameScheme::kNoNameForm},  // this program's TEC product
    {"std", NameScheme::kNoNameForm},  // this program's TEC deviation product
    {"bsx", NameScheme::kNoNameForm},  // bias SINEX
    {"bia", NameScheme::kNoNameForm},  // bias SINEX
    {"snx", NameScheme::kNoNameForm},  // SINEX station solutions
    {"psn", NameScheme::kNoNameForm},  // station position file
    {"nav", NameScheme::kNoNameForm},  // navigation data outside the RINEX naming
    {"sp3", NameScheme::kNoNameForm},  // precise orbits
    {"eph", NameScheme::kNoNameForm},  // CODE precise orbits
    {"clk", NameScheme::kNoNameForm},  // satellite and receiver clocks
    {"inx", NameScheme::kNoNameForm},  // IONEX maps
    {"ion", NameScheme::kNoNameForm},  // ionosphere model coefficients
};

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// Value of `count` digits starting at 1-based character `position`; -1 when the text is
// too short or a character is not a digit.
// (At most 9 digits, so that the value fits.)
int digitsAt(std::string_view text, size_t position, size_t count) {
    if (count > 9 || position == 0 || position - 1 + count > text.size()) return -1;
    int value = 0;
    for (size_t i = position - 1; i < position - 1 + count; ++i) {
        if (!isDigit(text[i])) return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool allDigitsAt(std::string_view text, size_t position, size_t count) {
    if (position == 0 || position - 1 + count > text.size()) return false;
    for (size_t i = position - 1; i < position - 1 + count; ++i) {
        if (!isDigit(text[i])) return false;
    }
    return true;
}

char charAt(std::string_view text, size_t position) {
    return position >= 1 && position <= text.size() ? text[position - 1] : '\0';
}

// Two-digit years: 81..99 are 1981..1999, 00..80 are 2000..2080.
int yearFromTwoDigits(int yy) { return yy < 81 ? 2000 + yy : 1900 + yy; }

NameScheme schemeOf(const std::string& coreExtension) {
    if (coreExtension.size() == 3 && isDigit(coreExtension[0]) && isDigit(coreExtension[1]) &&
        std::strchr("odn", coreExtension[2]) != nullptr) {
        return NameScheme::kShortRinex;
    }
    for (const WordExtension& entry : kWordExtensions) {
        if (coreExtension == entry.word) return entry.scheme;
    }
    return NameScheme::kUnknown;
}

// RINEX 2 short names. The type letter (o, d or n) and the year come from the extension.
bool matchShortName(std::string_view base, const std::string& coreExtension, InputFileInfo& info) {
    const int dayOfYear = digitsAt(base, 5, 3);
    if (base.size() == 8 && dayOfYear >= 0 && isDigit(base[7])) {
        info.nameForm = kShortSessionName;
        info.hour = 0;
        info.minute = 0;
    } else if (base.size() == 8 && dayOfYear >= 0 && isLetter(base[7])) {
        info.nameForm = kShortHourlyName;
        info.hour = std::tolower(static_cast<unsigned char>(base[7])) - 'a';
        info.minute = 0;
    } else if (base.size() == 10 && dayOfYear >= 0 && isLetter(base[7]) && digitsAt(base, 9, 2) >= 0) {
        // High-rate files: the hour letter, then the starting minute in characters 9-10.
        info.nameForm = kShortSubHourlyName;
        info.hour = std::tolower(static_cast<unsigned char>(base[7])) - 'a';
        info.minute = digitsAt(base, 9, 2);
    } else if (base.size() == 11 && base[4] == '_' && digitsAt(base, 6, 6) >= 0) {
        // ssss_dddhhN: day of year in 6-8, hour in 9-10, session digit in 11.
        info.nameForm = kShortUnderscoreName;
        info.dayOfYear = digitsAt(base, 6, 3);
        info.hour = digitsAt(base, 9, 2);
        info.minute = 0;
    } else {
        return false;
    }
    if (info.nameForm != kShortUnderscoreName) info.dayOfYear = dayOfYear;
    info.kind = info.nameForm;
    info.spareFlag = info.nameForm == kShortSessionName ? 0 : 1;
    info.stationCode = std::string(base.substr(0, 4));
    info.year = yearFromTwoDigits(digitsAt(coreExtension, 1, 2));
    const char type = coreExtension[2];
    info.isRinexObs = type == 'o' || type == 'd' ? 1 : 0;
    info.isHatanaka = type == 'd' ? 1 : 0;
    info.isNavigation = type == 'n' ? 1 : 0;
    return true;
}

// RINEX 3 long names: SSSSMRCCC_S_YYYYDDDHHMM_PPU[_FRU]_DT.
bool matchLongName(std::string_view base, const std::string& coreExtension, InputFileInfo& info) {
    if (charAt(base, 10) != '_' || charAt(base, 12) != '_' || charAt(base, 24) != '_' || charAt(base, 28) != '_' ||
        !allDigitsAt(base, 13, 11)) {
        return false;
    }
    // The data type is character 30 in navigation names (..._01D_MN). Observation names
    // carry a sampling field first (..._01D_30S_MO), which puts it at character 34.
    char type = static_cast<char>(std::toupper(static_cast<unsigned char>(charAt(base, 30))));
    if (type != 'O' && type != 'N' && base.size() == 34 && base[31] == '_') {
        type = static_cast<char>(std::toupper(static_cast<unsigned char>(base[33])));
    }
    const bool compact = coreExtension == "crx";
    if (type == 'O') {
        info.nameForm = kLongObservationName;
    } else if (type == 'N' && !compact) {  // Compact RINEX holds observations only
        info.nameForm = kLongNavigationName;
    } else {
        return false;
    }
    info.kind = info.nameForm;
    info.stationCode = std::string(base.substr(0, 4));
    info.year = digitsAt(base, 13, 4);
    info.dayOfYear = digitsAt(base, 17, 3);
    info.hour = digitsAt(base, 20, 2);
    info.minute = digitsAt(base, 22, 2);
    info.isRinexObs = type == 'O' ? 1 : 0;
    info.isNavigation = type == 'N' ? 1 : 0;
    info.isHatanaka = compact ? 1 : 0;
    return true;
}

// NovAtel and SCINDA: yymmdd_hhmmss, exactly 13 characters.
bool matchReceiverName(std::string_view base, std::int32_t kind, InputFileInfo& info) {
    if (base.size() != 13 || base[6] != '_' || digitsAt(base, 1, 6) < 0 || digitsAt(base, 8, 6) < 0) return false;
    info.nameForm = kind;
    info.kind = kind;
    info.stationCode = "N_A_";
    info.year = yearFromTwoDigits(digitsAt(base, 1, 2));
    info.month = digitsAt(base, 3, 2);
    info.day = digitsAt(base, 5, 2);
    info.hour = digitsAt(base, 8, 2);
    info.minute = digitsAt(base, 10, 2);
    info.seconds = digitsAt(base, 12, 2);
    return true;
}

// CODE DCB files: P1P2yymm or P1C1yymm, optionally followed by "_..." (P1P22001_ALL).
bool matchDcbName(std::string_view base, InputFileInfo& info) {
    const std::string head = toUpper(base.substr(0, 4));
    if ((head != "P1P2" && head != "P1C1") || digitsAt(base, 5, 4) < 0 || (base.size() > 8 && base[8] != '_')) {
        return false;
    }
    info.nameForm = kDcbName;
    info.kind = kDcbName;
    info.isDcb = 1;
    info.stationCode = "N_A_";
    info.year = yearFromTwoDigits(digitsAt(base, 5, 2));
    info.month = digitsAt(base, 7, 2);
    info.day = 15;  // the month's middle, for the date check
    info.hour = 0;
    info.minute = 0;
    return true;
}

std::int32_t daysInYear(std::int32_t year) { return DayOfYear(year, 12, 31); }

// Fills month and day from the day of year, or the day of year from month and day, and
// tells whether every field is a real date and time.
bool completeDate(InputFileInfo& info) {
    const bool fromDayOfYear = info.dayOfYear >= 0;
    if (fromDayOfYear) {
        if (info.dayOfYear < 1 || info.dayOfYear > daysInYear(info.year)) return false;
        MonthDayFromDayOfYear(info.year, info.dayOfYear, info.month, info.day);
    } else {
        if (info.month < 1 || info.month > 12 || info.day < 1) return false;
        std::int32_t y = 0, m = 0, d = 0;
        CalendarFromJdn(JulianDayNumber(info.year, info.month, info.day), y, m, d);
        if (m != info.month || d != info.day) return false;  // e.g. 30 February
        info.dayOfYear = DayOfYear(info.year, info.month, info.day);
    }
    return info.hour >= 0 && info.hour <= 23 && info.minute >= 0 && info.minute <= 59 && info.seconds >= 0.0 &&
           info.seconds < 60.0;
}

constexpr double kFirstDayMjd = 47892.0;  // 1990-01-01 00:00
constexpr double kMaxDaysAfterNow = 3650.0;

}  // namespace

double processNowMjd() {
    static const double nowMjd = [] {
        const time_t seconds = time(nullptr);
        struct tm local {};
        localtime_r(&seconds, &local);
        return MjdFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                            local.tm_sec);
    }();
    return nowMjd;
}

InputFileInfo classify(const std::string& path) { return classify(path, processNowMjd()); }

InputFileInfo classify(const std::string& path, double nowMjd) {
    InputFileInfo info;
    info.directory = directoryOf(path);
    info.fileName = fileNameOf(path);
    info.nameLength = static_cast<std::int32_t>(info.fileName.size());
    const size_t dot = info.fileName.find('.');
    const std::string_view base = std::string_view(info.fileName).substr(0, dot);
    info.extension = dot == std::string::npos ? std::string() : toLower(info.fileName.substr(dot + 1));

    info.isRinexObs = info.isNavigation = info.spareFlag = info.isHatanaka = info.isDcb = 0;
    info.isGzip = endsWithNoCase(info.fileName, ".gz") ? 1 : 0;
    info.isCompressedZ = info.isGzip == 1 || endsWithNoCase(info.fileName, ".z") ? 1 : 0;
    info.nameValid = 0;

    // The extension with the compression suffix removed: "20o.z" -> "20o", "crx.gz" -> "crx".
    const std::string_view suffix = info.isGzip == 1 ? ".gz" : ".z";
    const std::string_view extension = info.extension;
    const std::string coreExtension(info.isCompressedZ == 1 && endsWith(extension, suffix)
                                        ? extension.substr(0, extension.size() - suffix.size())
                                        : extension);

    bool matched = false;
    switch (schemeOf(coreExtension)) {
        case NameScheme::kShortRinex: matched = matchShortName(base, coreExtension, info); break;
        case NameScheme::kLongRinex: matched = matchLongName(base, coreExtension, info); break;
        case NameScheme::kNovatel: matched = matchReceiverName(base, kNovatelName, info); break;
        case NameScheme::kScinda: matched = matchReceiverName(base, kScindaName, info); break;
        case NameScheme::kDcb: matched = matchDcbName(base, info); break;
        case NameScheme::kNoNameForm:
        case NameScheme::kUnknown: break;
    }
    if (!matched) return info;
    info.nameValid = 1;

    // A name whose fields are no date, or dated before 1990 or more than ten years after
    // the PC's date, is refused: either the name or the PC clock is wrong.
    const bool dated = completeDate(info);
    const double nameMjd =
        dated ? MjdFromCivil(info.year, info.month, info.day, info.hour, info.minute, info.seconds) : 0.0;
    if (!dated || nameMjd < kFirstDayMjd || nameMjd > nowMjd + kMaxDaysAfterNow) {
        info.kind = kDateOutOfRange;
        info.nameForm = 0;
    }
    return info;
}

void setInputKindFlags(InputKindFlags& flags, const InputFileInfo& info) {
    flags.clear();
    flags.rinexObs = info.isRinexObs == 1 ? 1 : 0;
    flags.hatanaka = info.isRinexObs == 1 && info.isHatanaka == 1 ? 1 : 0;
    flags.compressedZ = info.isCompressedZ == 1 ? 1 : 0;
    flags.novatel = flags.ism = info.kind == kNovatelName ? 1 : 0;
    flags.scinda = info.kind == kScindaName ? 1 : 0;
}

int rinexCompressionCode(const InputFileInfo& info) {
    const bool compressed = info.isCompressedZ == 1;
    if (info.isHatanaka == 1) return compressed ? 3 : 2;
    return compressed ? 1 : 0;
}

}  // namespace velarix
