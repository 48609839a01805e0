#pragma once
// Receiver position files (".PSN") kept beside NovAtel and SCINDA recordings: lines of at
// least four blank-separated fields, "latitude longitude height ..." in degrees and
// metres; lines whose first field is "T" carry other records and are skipped.
#include <string>

namespace velarix {

struct PsnPosition {
    double latitude_deg = 0.0;
    double longitude_deg = 0.0;  // 0..360: a negative average gets 360 added
    double height = 0.0;         // as written in the file (metres)
    double x_m = 0.0;            // WGS-84 Cartesian position of the averages
    double y_m = 0.0;
    double z_m = 0.0;
    int linesUsed = 0;           // position lines averaged, 1..kPsnMaxPositionLines
};

constexpr int kPsnMaxPositionLines = 10;

enum class PsnReadResult { kRead = 0, kCannotOpen = -1, kNoPosition = -2, kNotRegularFile = -3 };

// Averages the first kPsnMaxPositionLines position lines of `path` into `out`.
// Lines with fewer than four fields, or whose first three fields are not numbers, are
// not position lines and are skipped. kCannotOpen when the file cannot be opened,
// kNoPosition when it holds no position line, kNotRegularFile when it is no regular file.
// On failure `out` is left as it was and `errorText` holds a message naming the file; on
// success `errorText` is empty.
[[nodiscard]] PsnReadResult readPsnFile(const std::string& path, PsnPosition& out, std::string& errorText);

}  // namespace velarix
