#pragma once

namespace velarix {
// The station a product's header names: a station of the IGS catalogue when the day's
// station was found there, else the LISN site matched for the day (never for NovAtel
// recordings), else none.
struct DayJob;
struct LisnSite;
struct StationInfo;

struct ProductStation {
    const StationInfo* igs = nullptr;
    const LisnSite* lisn = nullptr;  // only when igs is null
};

ProductStation ProductStationOf(const DayJob& job);

}  // namespace velarix
