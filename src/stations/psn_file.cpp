#include "stations/psn_file.h"

#include <string_view>
#include <vector>

#include "geodesy/geodetic.h"
#include "platform/fields.h"
#include "platform/line_reader.h"

namespace velarix {

namespace {

// Position lines are short; a longer line is read from its first characters, so that a
// file without line ends costs no more memory than any other.
constexpr std::size_t kPsnLineLimit = 256;

}  // namespace

PsnReadResult readPsnFile(const std::string& path, PsnPosition& out, std::string& errorText) {
    errorText.clear();
    LineReader in(path);
    if (in.openStatus() == InputFileStatus::kNotRegularFile) {
        errorText = "\r\nError! .PSN file is not a regular file\r\n" + path + "\r\n";
        return PsnReadResult::kNotRegularFile;
    }
    if (!in.isOpen()) {
        errorText = "\r\nError! unable to read .PSN file\r\n" + path + "\r\n";
        return PsnReadResult::kCannotOpen;
    }
    double latitudeSum = 0.0, longitudeSum = 0.0, heightSum = 0.0;
    int taken = 0;
    std::string_view line;
    bool cut = false;  // a longer line is read by its beginning, which holds the position
    while (taken < kPsnMaxPositionLines && in.next(kPsnLineLimit, line, cut)) {
        const std::vector<std::string_view> fields = splitBlanks(line);
        if (fields.size() < 4 || fields[0] == "T") continue;
        double latitude = 0.0, longitude = 0.0, height = 0.0;
        if (!parseNumber(fields[0], latitude) || !parseNumber(fields[1], longitude) ||
            !parseNumber(fields[2], height)) {
            continue;
        }
        latitudeSum += latitude;
        longitudeSum += longitude;
        heightSum += height;
        ++taken;
    }
    if (taken == 0) {
        errorText = "\r\nError! no position line in .PSN file\r\n" + path + "\r\n";
        return PsnReadResult::kNoPosition;
    }
    PsnPosition position;
    position.linesUsed = taken;
    position.latitude_deg = latitudeSum / taken;
    position.longitude_deg = longitudeSum / taken;
    position.height = heightSum / taken;
    if (position.longitude_deg < 0.0) position.longitude_deg += 360.0;
    const EcefPosition ecef = geodeticToEcef(position.latitude_deg, position.longitude_deg, position.height);
    position.x_m = ecef.x_m;
    position.y_m = ecef.y_m;
    position.z_m = ecef.z_m;
    out = position;
    return PsnReadResult::kRead;
}

}  // namespace velarix
