#include "gnss/tec/tec_frequencies.h"

#include "rinex/satellite_id.h"

namespace velarix {

double CarrierFrequency_Hz(int systemCode, int band) {
    switch (systemCode) {
        case kGps:
            if (band == 1) return 1575420000.0;
            if (band == 2) return 1227600000.0;
            if (band == 5) return 1176450000.0;
            break;
        case kSbas:
            if (band == 1) return 1575420000.0;
            if (band == 5) return 1176450000.0;
            break;
        case kGlonass:
            // Bands 1 and 2 are spread over channels 562.5 and 437.5 kHz apart; those
            // spacings are not carriers and have no band of their own here.
            if (band == 1) return 1602000000.0;
            if (band == 2) return 1246000000.0;
            if (band == 3) return 1202025000.0;
            break;
        case kGalileo:
            if (band == 1) return 1575420000.0;
            if (band == 5) return 1176450000.0;
            if (band == 6) return 1278750000.0;
            if (band == 7) return 1207140000.0;
            if (band == 8) return 1191795000.0;
            break;
        case kBeiDou:
            if (band == 1 || band == 2) return 1561098000.0;
            if (band == 6) return 1268520000.0;
            if (band == 7) return 1207140000.0;
            break;
        case kQzss:
            if (band == 1) return 1575420000.0;
            if (band == 2) return 1227600000.0;
            if (band == 5) return 1176450000.0;
            if (band == 6) return 1278750000.0;
            break;
        case kIrnss:
            if (band == 5) return 1176450000.0;
            if (band == 9) return 2492028000.0;
            break;
        default:
            break;
    }
    return 0.0;
}

double TecPerNanosecond(double f1_Hz, double f2_Hz) {
    if (!(f1_Hz > 0.0) || !(f2_Hz > 0.0) || f1_Hz == f2_Hz) return 0.0;
    // c in m/ns with 1e16 electrons per TECU: 2.99792458e-17.
    return 2.99792458e-17 / ((1.0 / (f2_Hz * f2_Hz) - 1.0 / (f1_Hz * f1_Hz)) * kIonosphericDelay_m3ps2);
}

}  // namespace velarix
