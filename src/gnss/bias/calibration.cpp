#include "gnss/bias/calibration.h"

#include <strings.h>

#include <array>
#include <utility>

namespace velarix {

namespace {

constexpr std::array<std::pair<Calibration, const char*>, 4> kCalibrations{{
    {Calibration::kFloor, "floor"},
    {Calibration::kSpread, "spread"},
    {Calibration::kDcb, "dcb"},
    {Calibration::kModel, "model"},
}};
constexpr std::array<std::pair<IonoMapping, const char*>, 2> kMappings{{
    {IonoMapping::kThinShell, "thin-shell"},
    {IonoMapping::kMslm, "mslm"},
}};

template <typename Choice, std::size_t N>
const char* nameOf(const std::array<std::pair<Choice, const char*>, N>& names, Choice choice) {
    for (const auto& [value, name] : names)
        if (value == choice) return name;
    return "?";
}

template <typename Choice, std::size_t N>
bool parseName(const std::array<std::pair<Choice, const char*>, N>& names, const std::string& word, Choice& choice) {
    for (const auto& [value, name] : names) {
        if (strcasecmp(word.c_str(), name) == 0) {
            choice = value;
            return true;
        }
    }
    return false;
}

}  // namespace

const char* calibrationName(Calibration calibration) { return nameOf(kCalibrations, calibration); }
const char* mappingName(IonoMapping mapping) { return nameOf(kMappings, mapping); }
bool parseCalibration(const std::string& word, Calibration& calibration) {
    return parseName(kCalibrations, word, calibration);
}
bool parseMapping(const std::string& word, IonoMapping& mapping) { return parseName(kMappings, word, mapping); }

}  // namespace velarix
