#pragma once
// Physical and model constants of the analysis, one a line with its unit.

// --- Ionospheric single-layer mappings ---
// The thin shell of the pierce points and of the default slant-to-vertical mapping.
constexpr double kThinShellHeight_km = 350.0;
// The modified single-layer mapping (MSLM) of CODE's global ionosphere maps: the shell
// height and the factor that scales the zenith angle, as their IONEX headers state.
constexpr double kMslmShellHeight_km = 506.7;
constexpr double kMslmZenithScale = 0.9782;
// The Earth radius of the MSLM (the maps' BASE RADIUS).
constexpr double kMslmEarthRadius_km = 6371.0;
