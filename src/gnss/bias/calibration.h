#pragma once
// How the receiver bias sets the calibrated level, and the words that name the choices
// and the mappings in the settings file and on command lines.
#include <string>

#include "gnss/orbits/look_geometry.h"

namespace velarix {

enum class Calibration {
    kFloor,   // minimum spread, then the night minimum of the day's curve lifted to 2 TECU
    kSpread,  // minimum spread only
    kDcb,     // the receiver's published P1-P2 DCB, else minimum spread
    kModel,   // least-squares fit of a local vertical TEC model with the bias as unknown
};

// "floor", "spread", "dcb", "model"; "thin-shell", "mslm".
const char* calibrationName(Calibration calibration);
const char* mappingName(IonoMapping mapping);
// False for any other word (case matters not).
[[nodiscard]] bool parseCalibration(const std::string& word, Calibration& calibration);
[[nodiscard]] bool parseMapping(const std::string& word, IonoMapping& mapping);

}  // namespace velarix
