#pragma once
// The header of a RINEX navigation file: version and type, the ionosphere parameters of
// each system, the UTC and time-system corrections, and the leap seconds.
#include <string>

namespace velarix {

class MessageLimiter;
class NavLines;
class RunLog;

struct IonoCoefficients {
    bool present = false;
    double value[4] = {};
};

// A0 + A1 (t - T) with T in seconds of week W.
struct TimeCorrection {
    bool present = false;
    double a0_s = 0.0;
    double a1_sps = 0.0;
    int referenceTime_s = 0;
    int referenceWeek = 0;
};

struct NavHeader {
    double version = 0.0;
    char fileType = ' ';  // 'N'; RINEX 2 also 'G' (GLONASS) and 'H' (SBAS)
    int systemCode = 0;   // system of the file (kMixed for mixed files)

    // Klobuchar alpha and beta ("ION ALPHA", "ION BETA", "GPSA", "GPSB") and the
    // parameter sets of the other systems. Where a kind appears twice the last wins.
    IonoCoefficients gpsAlpha, gpsBeta;
    IonoCoefficients galileo;  // ai0, ai1, ai2 and a fourth value (0 when blank)
    IonoCoefficients qzssAlpha, qzssBeta;
    IonoCoefficients beidouAlpha, beidouBeta;
    IonoCoefficients irnssAlpha, irnssBeta;

    TimeCorrection deltaUtc;                                  // "DELTA-UTC: A0,A1,T,W"
    TimeCorrection gput, glut, gaut, qzut, bdut, sbut, irut;  // "TIME SYSTEM CORR" rows

    bool leapSecondsPresent = false;
    int leapSeconds = 0;

    bool isRinex3() const { return version >= 3.0; }
};

// The kinds of "IONOSPHERIC CORR" and "TIME SYSTEM CORR" rows kept, with the member each
// fills ("GAL " is the Galileo row).
struct IonoKind {
    const char* code;
    IonoCoefficients NavHeader::*values;
};
struct TimeCorrectionKind {
    const char* code;
    TimeCorrection NavHeader::*values;
};
extern const IonoKind kIonoKinds[9];
extern const TimeCorrectionKind kTimeCorrectionKinds[7];

// Reads header lines up to and including "END OF HEADER" into `header` (emptied first),
// counting lines in `lines`. True: header read and it is one of a navigation file of a
// supported version (1.x to 4.x). False: not a navigation file, an unsupported version or
// no "END OF HEADER"; the reason is appended to `log` with the path and line. Lines with
// an unreadable value are reported through `messages`.
[[nodiscard]] bool readNavHeader(NavLines& lines, NavHeader& header, RunLog& log, const std::string& path,
                                 MessageLimiter& messages);

}  // namespace velarix
