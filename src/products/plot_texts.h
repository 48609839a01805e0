#pragma once
// The titles of the day's figures: dates, the station or file they show, the S4 source.
#include <string>

#include "gnss/day_job.h"

namespace velarix {

// 24-hour TEC plot: "Date: 2020-01-01, DoY: 001  (Elev Mask 15 deg)".
std::string Tec24hDateTitle(const DayJob& job);
// "BJFS - Beijing,China " for a catalogued station, "<site name> " for a LISN site,
// "Unknown(Novatel) File: <file>" for NovAtel input, else "Unknown File: <file>".
std::string Tec24hStationTitle(const DayJob& job);

// Per-satellite pages: "Date: 2020/01/01".
std::string PrnPageDateTitle(const DayJob& job);
// "BJFS - Beijing,China " for a catalogued station, else "File: <file>".
std::string PrnPageStationTitle(const DayJob& job);

// Bias figure: "Date: 2020/01/01 (DoY: 001)".
std::string BiasDateTitle(const DayJob& job);
// "Station: BJFS - Beijing,China", "Novatel file: <file>", "Station: BJFS - File: <file>"
// or "File: <file>".
std::string BiasStationTitle(const DayJob& job);
// Where the S4 values came from (an S4 file by its name); "" when the records carry none.
std::string S4SourceTitle(const DayJob& job);

constexpr const char* kBiasedTecTitle = "Calculated TEC - Elevation Mask 20 deg";
constexpr const char* kRemovedTecTitle = "Calculated TEC (Satellite & Rx bias(es) removed)";

// The input file's name without its folders: the titles name the file, and a full path
// would run off the figure.
std::string InputFileName(const CurrentFileContext& context);

}  // namespace velarix
