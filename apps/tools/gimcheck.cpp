// velarix-tools gimcheck: our calibrated vertical TEC against a global ionosphere map.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gnss/checks/gim_check.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "tools.h"

namespace velarix {

namespace {

const char kUsage[] =
    "Usage: velarix-tools gimcheck TECFILE IONEX [--min-elev DEG]\n"
    "  TECFILE  the table printed by `velarix-tools tec OBS NAV DCB... --calibrated`\n"
    "           (tab-separated, columns found by their header names), or a \".Cmn\"\n"
    "           product (known by its extension, in any case)\n"
    "  IONEX    global ionosphere maps, IONEX 1.x (plain, .Z or gzip), e.g. CODE's\n"
    "           codgDDD0.YYi.Z of the same day\n"
    "  --min-elev DEG  elevation mask in degrees (default 30): only records above it\n"
    "For every record above the mask, the map's vertical TEC at the record's pierce point\n"
    "and epoch: bilinear in latitude and longitude, linear in time between the two maps\n"
    "around the epoch, each map rotated with the Sun (its longitudes shifted by the Earth's\n"
    "rotation from the map epoch to the record's). Prints the differences ours minus map\n"
    "(TECU) per UT hour and for the day: count, mean, standard deviation, RMS, and the\n"
    "mean of the map values compared (the map's level). Records outside the maps' grid or\n"
    "time span are counted and left out. Not modelled: the maps' 450 km layer against the\n"
    "shell of our pierce points, geocentric map latitudes. A last line gives the verdict:\n"
    "whether the day's mean is within 1.5 TECU and its RMS within 2 TECU of the map.\n"
    "Exit status: 0 when records were compared, 1 when a file cannot be read or no record\n"
    "could be compared, 2 for a usage error.\n";

constexpr double kDefaultMask_deg = 30.0;

bool parseMask(const std::string& text, double& mask_deg) {
    char* end = nullptr;
    mask_deg = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && mask_deg >= 0.0 && mask_deg < 90.0;
}

std::string statsRow(const char* label, const DifferenceStats& s) {
    if (s.count == 0) return strfmt("%s\t0\t-\t-\t-\t-\n", label);
    return strfmt("%s\t%d\t%.2f\t%.2f\t%.2f\t%.2f\n", label, s.count, s.mean_TECU, s.std_TECU, s.rms_TECU,
                  s.mapMean_TECU);
}

void printResult(const GimCheckResult& result, double mask_deg) {
    std::printf("# ours minus map vertical TEC (TECU), elevation above %.1f deg\n", mask_deg);
    std::printf("# records: %d read, %d at or below the mask, %d without a map value, %d compared\n", result.samples,
                result.belowMask, result.withoutMapValue, result.all.count);
    std::printf("hour_UT\tcount\tmean_TECU\tstd_TECU\trms_TECU\tmap_mean_TECU\n");
    for (std::size_t h = 0; h < result.byHour.size(); ++h)
        std::fputs(statsRow(strfmt("%02zu", h).c_str(), result.byHour[h]).c_str(), stdout);
    std::fputs(statsRow("all", result.all).c_str(), stdout);
    std::printf("%s\n", GimVerdict(result.all).c_str());
}

}  // namespace

int toolGimCheck(const ToolArgs& args) {
    ToolArgs files;
    double mask_deg = kDefaultMask_deg;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (args[i] == "--min-elev") {
            if (i + 1 == args.size() || !parseMask(args[i + 1], mask_deg)) {
                std::fprintf(stderr, "velarix-tools: gimcheck: --min-elev needs degrees from 0 to below 90\n");
                return 2;
            }
            ++i;
        } else if (startsWith(args[i], "-")) {
            std::fprintf(stderr, "velarix-tools: gimcheck: unknown option '%s'\n%s", args[i].c_str(), kUsage);
            return 2;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    RunLog log;
    std::vector<VtecSample> samples;
    const VtecReadResult tableResult = ReadVtecSamples(files[0], samples, log);
    IonexMaps maps;
    const IonexReadResult ionexResult =
        tableResult == VtecReadResult::kRead ? ReadIonexFile(files[1], maps, log) : IonexReadResult::kRead;
    if (!log.messages.empty()) std::fprintf(stderr, "%s\n", withLineFeeds(log.messages).c_str());
    if (tableResult != VtecReadResult::kRead || !ionexMapsKept(ionexResult)) return 1;

    const GimCheckResult result = CompareWithMaps(samples, maps, mask_deg);
    printResult(result, mask_deg);
    if (result.all.count == 0) {
        std::fprintf(stderr, "velarix-tools: gimcheck: no record above the mask lies within the maps\n");
        return 1;
    }
    return 0;
}

}  // namespace velarix
