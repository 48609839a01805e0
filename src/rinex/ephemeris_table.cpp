#include "rinex/ephemeris_table.h"

#include "rinex/satellite_id.h"

namespace velarix {

int HasEphemeris(const EphemerisTable& table, int satNo, const PreciseOrbitSource* precise) {
    if (precise != nullptr && precise->active && precise->holds && precise->holds(satNo)) return 1;
    switch (systemOf(satNo)) {
        case kGps:
        case kGalileo:
        case kBeiDou:
        case kQzss:
        case kIrnss: return table.kepler.count(satNo) != 0 ? 1 : 0;
        case kGlonass: return table.glonass.count(satNo) != 0 ? 1 : 0;
        case kSbas: return table.sbas.count(satNo) != 0 ? 1 : 0;
        default: return 0;
    }
}

}  // namespace velarix
