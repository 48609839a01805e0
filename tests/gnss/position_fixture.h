#pragma once
// A synthetic sky for the position tests: satellites in chosen directions from a station
// and the pseudoranges that station would measure from them.
#include <cstddef>
#include <iterator>

#include "gnss/geodetic.h"

struct SkyDirection {
    double elevation_deg;
    double azimuth_deg;
};
// Six satellites well above 20 degrees, spread in azimuth.
inline constexpr SkyDirection kHighSky[] = {{80, 30}, {45, 120}, {35, 210}, {30, 300}, {55, 0}, {25, 75}};
inline constexpr std::size_t kHighSkyCount = std::size(kHighSky);

// The satellite in that direction from `station`, 20 000 km away plus 50 km per degree
// below the zenith.
EcefPosition satelliteSeenFrom(const EcefPosition& station, double elevation_deg, double azimuth_deg);
// `sat` turned about the z axis by the Earth's rotation while its signal travels to
// `station`: where it was at sending, in the frame of reception.
EcefPosition turnedByTravel(const EcefPosition& station, const EcefPosition& sat);
// The pseudorange (m) `station` measures with receiver clock term `clock_m` from a
// satellite whose clock is `satClock_s` off.
double pseudorangeAt(const EcefPosition& station, const EcefPosition& sat, double clock_m, double satClock_s);
