#include "rinex/nav_records.h"

#include <cmath>

#include "geodesy/time.h"
#include "rinex/leap_seconds.h"
#include "rinex/nav_time.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

struct LayoutColumns {
    std::size_t identifierWidth;
    std::size_t dateStart;
    std::size_t clockStart;
};

LayoutColumns columnsOf(NavLayout layout) {
    return layout == NavLayout::kRinex3 ? LayoutColumns{3, 4, 23} : LayoutColumns{2, 3, 22};
}

}  // namespace

std::size_t orbitValueColumn(NavLayout layout) { return columnsOf(layout).identifierWidth + 1; }

bool isOrbitLine(std::string_view line, NavLayout layout) {
    const std::size_t indent = orbitValueColumn(layout);
    if (line.size() < indent) return false;
    for (std::size_t i = 0; i < indent; ++i) {
        if (line[i] != ' ') return false;
    }
    return true;
}

bool parseNavEpochLine(std::string_view line, NavLayout layout, RawNavRecord& record) {
    const LayoutColumns columns = columnsOf(layout);
    // The identifier is followed by a blank (A1,I2.2,1X or I2,1X).
    if (line.size() <= columns.clockStart || line[columns.identifierWidth] != ' ') return false;
    RawNavRecord parsed;
    parsed.satNo = satNoUnchecked(line.substr(0, columns.identifierWidth));
    if (parsed.satNo <= 0) return false;
    if (!parseEpochDate(line.substr(columns.dateStart, columns.clockStart - columns.dateStart), parsed.epoch)) {
        return false;
    }
    double values[4] = {};
    if (!parseNavFields(line.substr(0, columns.clockStart + 3 * kNavFieldWidth), columns.clockStart, values)) {
        return false;
    }
    for (int i = 0; i < 3; ++i) parsed.clock[i] = values[i];
    record = parsed;
    return true;
}

int orbitLineCount(int systemCode) {
    switch (systemCode) {
        case kGps:
        case kGalileo:
        case kBeiDou:
        case kQzss:
        case kIrnss: return 7;
        case kGlonass:
        case kSbas: return 3;
        default: return 0;
    }
}

KeplerEphemeris toKeplerEphemeris(const RawNavRecord& raw) {
    const auto& o = raw.orbit;
    KeplerEphemeris k;
    k.satNo = raw.satNo;
    k.systemCode = systemOf(raw.satNo);
    const bool beidou = k.systemCode == kBeiDou;
    const bool gpsLike = k.systemCode == kGps || k.systemCode == kQzss;
    const double toGpsTime_days = beidou ? kBeiDouToGps_days : 0.0;

    k.tocMjd = epochMjd(raw.epoch) + toGpsTime_days;
    k.af0_s = raw.clock[0];
    k.af1_sps = raw.clock[1];
    k.af2_sps2 = raw.clock[2];

    k.issueOfData = roundToInt(o[1][0]);
    k.crs_m = o[1][1];
    k.deltaN_radps = o[1][2];
    k.meanAnomaly_rad = o[1][3];
    k.cuc_rad = o[2][0];
    k.eccentricity = o[2][1];
    k.cus_rad = o[2][2];
    k.semiMajorAxis_m = o[2][3] * o[2][3];
    k.toe_sow = o[3][0];
    k.cic_rad = o[3][1];
    k.omega0_rad = o[3][2];
    k.cis_rad = o[3][3];
    k.i0_rad = o[4][0];
    k.crc_m = o[4][1];
    k.argPerigee_rad = o[4][2];
    k.omegaDot_radps = o[4][3];
    k.idot_radps = o[5][0];
    k.codesOnL2 = roundToInt(o[5][1]);
    k.week = roundToInt(o[5][2]);
    if (gpsLike) k.l2PDataFlag = roundToInt(o[5][3]);
    k.accuracyIndex = accuracyIndexFromMetres(o[6][0]);
    k.health = roundToInt(o[6][1]);
    k.tgd_s = o[6][2];
    if (gpsLike) k.iodc = roundToInt(o[6][3]);
    if (k.systemCode == kGalileo || beidou) k.tgd2_s = o[6][3];
    if (beidou) k.iodc = roundToInt(o[7][1]);
    if (k.systemCode == kGps) k.fitInterval = o[7][1];
    if (k.systemCode == kQzss) k.fitInterval = o[7][1] == 0.0 ? 1.0 : 2.0;

    // Week and seconds of week give the times; the week may be that of the clock time
    // while the seconds already count in the next week (or the other way round).
    auto weekTime = [&](double secondsOfWeek) {
        const double mjd =
            beidou ? beidouWeekMjd(k.week, secondsOfWeek) + kBeiDouToGps_days : gpsWeekMjd(k.week, secondsOfWeek);
        return withinHalfWeek(mjd, k.tocMjd);
    };
    k.toeMjd = weekTime(k.toe_sow);
    k.transmissionMjd = weekTime(o[7][0]);
    return k;
}

GlonassEphemeris toGlonassEphemeris(const RawNavRecord& raw) {
    const auto& o = raw.orbit;
    GlonassEphemeris g;
    g.satNo = raw.satNo;
    g.systemCode = systemOf(raw.satNo);
    const double dayStartMjd = MjdFromCivil(raw.epoch.year, raw.epoch.month, raw.epoch.day, 0, 0, 0.0);
    const double secondsOfDay = raw.epoch.hour * 3600.0 + raw.epoch.minute * 60.0 + raw.epoch.second;
    const GlonassQuarterHour epoch = roundToQuarterHour(dayStartMjd, secondsOfDay);
    g.intervalIndex = epoch.intervalIndex;

    g.tauN_s = -raw.clock[0];
    g.gammaN = raw.clock[1];
    // Seconds of the UTC day (RINEX 2) or week (RINEX 3): only the time of day is used.
    const double frameUtcMjd =
        withinHalfDay(dayStartMjd + std::fmod(raw.clock[2], kSecondsPerDay) / kSecondsPerDay, epoch.epochMjd);
    g.epochMjd = epoch.epochMjd + GpsUtcLeapSeconds(epoch.epochMjd) / kSecondsPerDay;
    g.frameTimeMjd = frameUtcMjd + GpsUtcLeapSeconds(frameUtcMjd) / kSecondsPerDay;

    g.x_m = o[1][0] * 1000.0;
    g.vx_mps = o[1][1] * 1000.0;
    g.ax_mps2 = o[1][2] * 1000.0;
    g.health = roundToInt(o[1][3]);
    g.y_m = o[2][0] * 1000.0;
    g.vy_mps = o[2][1] * 1000.0;
    g.ay_mps2 = o[2][2] * 1000.0;
    g.frequencyChannel = roundToInt(o[2][3]);
    if (g.frequencyChannel > 128) g.frequencyChannel -= 256;
    g.z_m = o[3][0] * 1000.0;
    g.vz_mps = o[3][1] * 1000.0;
    g.az_mps2 = o[3][2] * 1000.0;
    g.ageOfInformation_days = roundToInt(o[3][3]);
    return g;
}

SbasEphemeris toSbasEphemeris(const RawNavRecord& raw) {
    const auto& o = raw.orbit;
    SbasEphemeris s;
    s.satNo = raw.satNo;
    s.systemCode = systemOf(raw.satNo);
    s.epochMjd = epochMjd(raw.epoch);
    s.af0_s = raw.clock[0];
    s.af1_sps = raw.clock[1];
    // The transmission time counts seconds of the GPS week around the epoch.
    s.transmissionMjd = withinHalfWeek(gpsWeekMjd(gpsWeekOf(s.epochMjd), raw.clock[2]), s.epochMjd);

    s.x_m = o[1][0] * 1000.0;
    s.vx_mps = o[1][1] * 1000.0;
    s.ax_mps2 = o[1][2] * 1000.0;
    s.health = roundToInt(o[1][3]);
    s.y_m = o[2][0] * 1000.0;
    s.vy_mps = o[2][1] * 1000.0;
    s.ay_mps2 = o[2][2] * 1000.0;
    s.accuracyIndex = accuracyIndexFromMetres(o[2][3]);
    s.z_m = o[3][0] * 1000.0;
    s.vz_mps = o[3][1] * 1000.0;
    s.az_mps2 = o[3][2] * 1000.0;
    return s;
}

}  // namespace velarix
