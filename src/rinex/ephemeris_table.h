#pragma once
// Broadcast ephemerides of one job, in three parts by record kind, each keyed by
// satellite number (satNo) and reference epoch (MJD, GPS time). A second record with
// the same epoch is appended after the first, never replacing it.
#include <array>
#include <functional>
#include <map>
#include <vector>

namespace velarix {

// GPS, Galileo, BeiDou, QZSS and IRNSS records (Keplerian orbit + clock polynomial).
// Times are MJD in GPS time (BeiDou moved from BDT by 14 s).
struct KeplerEphemeris {
    int satNo = 0;
    int systemCode = 0;     // (satNo + 100) / 100
    int issueOfData = 0;    // IODE (GPS, QZSS), IODnav (Galileo), AODE (BeiDou), IODEC (IRNSS)
    int iodc = 0;           // GPS, QZSS: IODC; BeiDou: AODC
    int accuracyIndex = 0;  // URA index 0..15 of the broadcast accuracy in metres
    int health = 0;
    int week = 0;         // as broadcast: GPS week, Galileo week, BDT week (from 2006-01-01)
    int codesOnL2 = 0;    // GPS, QZSS: codes on L2; Galileo: data sources
    int l2PDataFlag = 0;  // GPS, QZSS

    double toeMjd = 0.0;           // time of ephemeris
    double tocMjd = 0.0;           // time of clock (the epoch line)
    double transmissionMjd = 0.0;  // transmission time of the message

    double semiMajorAxis_m = 0.0;  // A = (sqrt A)^2
    double eccentricity = 0.0;
    double i0_rad = 0.0;
    double omega0_rad = 0.0;       // right ascension at the week epoch
    double argPerigee_rad = 0.0;   // omega
    double meanAnomaly_rad = 0.0;  // M0
    double deltaN_radps = 0.0;
    double omegaDot_radps = 0.0;
    double idot_radps = 0.0;
    double cuc_rad = 0.0;
    double cus_rad = 0.0;
    double crc_m = 0.0;
    double crs_m = 0.0;
    double cic_rad = 0.0;
    double cis_rad = 0.0;
    double toe_sow = 0.0;  // time of ephemeris, seconds of the broadcast week

    double af0_s = 0.0;     // clock bias
    double af1_sps = 0.0;   // clock drift, s/s
    double af2_sps2 = 0.0;  // clock drift rate, s/s^2

    double tgd_s = 0.0;        // GPS, QZSS, IRNSS: TGD; Galileo: BGD E5a/E1; BeiDou: TGD1
    double tgd2_s = 0.0;       // Galileo: BGD E5b/E1; BeiDou: TGD2
    double fitInterval = 0.0;  // GPS: hours as broadcast; QZSS: 1.0 for flag 0, else 2.0
};

// GLONASS records. Times are MJD in GPS time (moved from UTC by the leap seconds).
struct GlonassEphemeris {
    int satNo = 0;
    int systemCode = 0;
    double epochMjd = 0.0;      // reference epoch, the epoch line rounded to 15 minutes
    double tauN_s = 0.0;        // clock bias (the file holds -tauN)
    double gammaN = 0.0;        // relative frequency bias
    double frameTimeMjd = 0.0;  // message frame time, within 12 hours of the epoch
    double x_m = 0.0, y_m = 0.0, z_m = 0.0;
    double vx_mps = 0.0, vy_mps = 0.0, vz_mps = 0.0;
    double ax_mps2 = 0.0, ay_mps2 = 0.0, az_mps2 = 0.0;  // luni-solar acceleration
    int health = 0;
    int frequencyChannel = 0;  // -7..13
    int ageOfInformation_days = 0;
    int intervalIndex = 0;  // 15-minute interval of the UTC day, 0..96
};

// SBAS records (GPS time).
struct SbasEphemeris {
    int satNo = 0;
    int systemCode = 0;
    double epochMjd = 0.0;
    double transmissionMjd = 0.0;
    double x_m = 0.0, y_m = 0.0, z_m = 0.0;
    double vx_mps = 0.0, vy_mps = 0.0, vz_mps = 0.0;
    double ax_mps2 = 0.0, ay_mps2 = 0.0, az_mps2 = 0.0;
    int health = 0;
    int accuracyIndex = 0;  // URA index of the broadcast accuracy in metres
    double af0_s = 0.0;     // clock bias
    double af1_sps = 0.0;   // relative frequency bias
};

template <typename Record>
using EphemerisByEpoch = std::map<double, std::vector<Record>>;  // key: reference epoch, MJD

struct EphemerisTable {
    std::map<int, EphemerisByEpoch<KeplerEphemeris>> kepler;    // systems 1, 4, 5, 6, 7
    std::map<int, EphemerisByEpoch<GlonassEphemeris>> glonass;  // system 3
    std::map<int, EphemerisByEpoch<SbasEphemeris>> sbas;        // system 2
    int recordCount = 0;                                        // records stored by the last navigation read
    // Per-GPS-satellite flags (index 0-32) of the TEC stage; cleared by the navigation reader.
    std::array<int, 33> satelliteFlags{};

    void clear() { *this = EphemerisTable{}; }
};

// A second orbit source (precise orbits) checked before the broadcast table. It belongs
// to the orbit stage; until that exists callers pass nothing.
struct PreciseOrbitSource {
    bool active = false;                   // the "precise orbit table active" flag
    std::function<bool(int satNo)> holds;  // the precise table has this satellite
};

// 1 when the part of `table` for the satellite's system holds it (kepler for systems 1,
// 4, 5, 6, 7; glonass for 3; sbas for 2), else 0 (also for unknown systems). When
// `precise` is active, a satellite it holds counts first.
int HasEphemeris(const EphemerisTable& table, int satNo, const PreciseOrbitSource* precise = nullptr);

}  // namespace velarix
