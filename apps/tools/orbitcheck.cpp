// velarix-tools orbitcheck: broadcast orbits and clocks against precise ones (SP3).
#include <cstdio>
#include <string>

#include "gnss/checks/orbit_check.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"
#include "tools.h"

namespace velarix {

namespace {

const char kUsage[] =
    "Usage: velarix-tools orbitcheck NAV SP3\n"
    "  NAV  RINEX navigation file (plain, .Z or gzip)\n"
    "  SP3  precise orbits, SP3-c or SP3-d (plain, .Z or gzip)\n"
    "For every satellite in both files: broadcast minus precise position at the SP3\n"
    "epochs, 3-D RMS and maximum (m), and clock RMS (ns); then per system the median over\n"
    "healthy satellites. An epoch is compared only when the broadcast record in use (the\n"
    "nearest in time) is current: its reference epoch at most 2 h before or after it (GPS,\n"
    "QZSS, IRNSS), 2 h before or 30 min after (Galileo, BeiDou, whose records are fitted\n"
    "for later use), 16 min (GLONASS) or 10 min (SBAS); other epochs count as skipped.\n"
    "Clocks: broadcast clocks without the periodic relativistic term; at every epoch the\n"
    "mean broadcast-minus-precise difference of the system's healthy satellites is removed\n"
    "(the precise clock datum is arbitrary), so the clock RMS shows each satellite's\n"
    "deviation from its system. Not modelled: precise orbits are of the centre of mass,\n"
    "broadcast orbits of the antenna phase centre (up to about 2.5 m, mostly radial);\n"
    "GLONASS broadcast orbits are in PZ-90.11 (decimetres from the ITRF). Satellites with\n"
    "an unhealthy record are marked \"unhealthy\" and left out of the medians.\n";

}  // namespace

int toolOrbitCheck(const ToolArgs& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    EphemerisTable broadcast;
    RunLog log;
    if (ReadBroadcastOrbits(args[0], broadcast, log) != NavReadResult::kRead) {
        std::fprintf(stderr, "%s\norbitcheck: cannot read the navigation file %s\n",
                     withLineFeeds(log.messages).c_str(), args[0].c_str());
        return 1;
    }
    Sp3Orbits precise;
    const int sp3Result = ReadSp3File(args[1], precise, log);
    if (!log.messages.empty()) std::fprintf(stderr, "%s\n", withLineFeeds(log.messages).c_str());
    if (sp3Result < 0) {
        std::fprintf(stderr, "orbitcheck: cannot read the precise orbits %s\n", args[1].c_str());
        return 1;
    }

    const OrbitCheckResult result = CheckBroadcastOrbits(broadcast, precise);
    std::printf("sat\tepochs\tskipped\trms3d_m\tmax3d_m\tclock_rms_ns\thealth\n");
    for (const SatelliteOrbitCheck& s : result.satellites) {
        const std::string clock = s.clockEpochs > 0 ? strfmt("%.2f", s.clockRms_ns) : std::string("-");
        std::printf("%s\t%d\t%d\t%.3f\t%.3f\t%s\t%s\n", satelliteLabel(s.satNo).c_str(), s.epochs, s.epochsSkipped,
                    s.rms3d_m, s.max3d_m, clock.c_str(), s.healthy ? "healthy" : "unhealthy");
    }
    for (const auto& [system, summary] : result.bySystem) {
        std::printf("median\t%s\t%d satellites\trms3d_m %.3f\tclock_rms_ns %.2f\tlargest rms3d_m %.3f\n",
                    systemName(system), summary.satellites, summary.medianRms3d_m, summary.medianClockRms_ns,
                    summary.maxRms3d_m);
    }
    if (result.satellites.empty()) {
        std::fprintf(stderr, "orbitcheck: no satellite is in both files at a common time\n");
        return 1;
    }
    return 0;
}

}  // namespace velarix
