#pragma once
// Total electron content per satellite and epoch. The TEC stage fills it, the bias
// stage calibrates it in place, the writers and plots read it. One TECU is 1e16
// electrons per square metre.
#include <map>

struct TecRecord {
    double epochMjd = 0.0;
    double codeTec = 0.0;      // TECU, from the two pseudoranges
    double phaseTec = 0.0;     // TECU, from the two carrier phases, cycle slips corrected
    double slantTec = 0.0;     // TECU, phase levelled to code; later bias-corrected
    double verticalTec = 0.0;  // TECU, slantTec * MappingFactor; later bias-corrected
    double reserved1 = 0.0;
    double reserved2 = 0.0;
    double azimuth_deg = 0.0;       // 0..360
    double ippLongitude_deg = 0.0;  // pierce point, 0..360
    double ippLatitude_deg = 0.0;
    double elevation_deg = 0.0;
    double signal1 = 0.0;  // first-band signal strength, as read
    double signal2 = 0.0;  // second-band signal strength, as read
    double s4 = -1.0;      // amplitude scintillation index; -1 until the S4 stage sets it
    double phase1_ns = 0.0;
    double code1_ns = 0.0;  // after the P1-C1 correction
    double phase1Lli = 0.0;
    double phase2Lli = 0.0;
    double code1Lli = 0.0;
    double code2Lli = 0.0;
    int valid = 1;
    int spare = 0;
};

// Satellite number -> epoch (MJD) -> record. Epochs are unique per satellite, so each
// epoch holds one record; satellites and epochs iterate in ascending order.
using TecSeries = std::map<double, TecRecord>;
using TecTable = std::map<int, TecSeries>;
