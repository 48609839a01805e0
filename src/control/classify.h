#pragma once
// What a file is, read from its name alone: the kind of recording, its compression, the
// station and the date and time it covers. Nothing here touches the file system.
#include <cstdint>
#include <string>

namespace velarix {

struct InputKindFlags;

// Kinds of input names. Codes are shared with the run driver and the RINEX job.
enum InputKind : std::int32_t {
    kShortSessionName = 1,     // ssssdddN.yyt    N a session digit
    kShortHourlyName = 2,      // ssssdddH.yyt    H the hour letter a..x
    kShortSubHourlyName = 3,   // ssssdddHmm.yyt  H the hour letter, mm the starting minute
    kShortUnderscoreName = 4,  // ssss_dddhhN.yyt hh the hour, N a session digit
    kLongObservationName = 5,  // RINEX 3 long name, observation
    kLongNavigationName = 9,   // RINEX 3 long name, navigation
    kDcbName = 10,             // CODE DCB file, P1P2yymm / P1C1yymm
    kNovatelName = 13,         // yymmdd_hhmmss.nvd
    kScindaName = 15,          // yymmdd_hhmmss.scn
    kDateOutOfRange = 18,      // the name's date is not a date, before 1990 or far in the future
    kInvalidName = 19,         // no known name form
};

// Flags are -1 until classify() has looked at the name, then 0 or 1. Numeric date fields
// are -1 when the name carries none.
struct InputFileInfo {
    std::int32_t nameForm = -1;  // the InputKind of the pattern that matched; 0 after a bad date
    std::int32_t isRinexObs = -1;
    std::int32_t isNavigation = -1;
    std::int32_t spareFlag = -1;     // 1 for the sub-daily short names (forms 2, 3, 4); no caller reads it
    std::int32_t isHatanaka = -1;    // Compact RINEX: type letter d or extension crx
    std::int32_t isCompressedZ = -1; // compressed: ".Z" or gzip ".gz" (any case)
    std::int32_t isGzip = -1;        // of those, gzip (decoded by zlib, not by the .Z decoder)
    std::int32_t isDcb = -1;
    std::int32_t kind = kInvalidName;
    std::string directory;   // up to and including the last '/'
    std::string extension;   // after the first dot of the file name, lower-cased
    std::string fileName;    // after the last '/'
    std::int32_t nameLength = 0;
    std::string stationCode; // four characters; "N_A_" when the name carries no station
    std::int32_t year = -1;
    std::int32_t month = -1;
    std::int32_t day = -1;
    std::int32_t hour = -1;
    std::int32_t minute = -1;
    double seconds = 0.0;
    std::int32_t dayOfYear = -1;
    std::int32_t nameValid = -1;  // 1 when the name matched a form (even with a bad date)
};

// The reference "now" of this process (MJD, local clock), read once at the first call.
double processNowMjd();

// Classifies `path` against "now" given as an MJD (tests pass a fixed one).
InputFileInfo classify(const std::string& path, double nowMjd);
InputFileInfo classify(const std::string& path);

// Clears all twelve flags and raises those that the name alone decides.
void setInputKindFlags(InputKindFlags& flags, const InputFileInfo& info);

// Decoding steps a RINEX observation file needs: 3 Compact RINEX inside .Z/.gz,
// 2 Compact RINEX, 1 compressed, 0 plain.
int rinexCompressionCode(const InputFileInfo& info);

}  // namespace velarix
