// velarix-tools navinfo: reads a navigation file into a fresh ephemeris table and prints
// the run-log text, then records per system and satellite, the first and last reference
// epochs and the header's ionosphere, time-system and leap-second values.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "decompress/plain_copy.h"
#include "geodesy/time.h"
#include "platform/run_log.h"
#include "platform/text.h"
#include "platform/strfmt.h"
#include "rinex/nav_reader.h"
#include "rinex/satellite_id.h"
#include "tools.h"

namespace velarix {

namespace {

struct SatelliteSummary {
    int records = 0;
    double firstMjd = 0.0;
    double lastMjd = 0.0;
};

template <typename Record>
void summarise(const std::map<int, EphemerisByEpoch<Record>>& part, std::map<int, SatelliteSummary>& out) {
    for (const auto& [satNo, byEpoch] : part) {
        SatelliteSummary& summary = out[satNo];
        for (const auto& [epochMjd, records] : byEpoch) summary.records += static_cast<int>(records.size());
        if (!byEpoch.empty()) {
            summary.firstMjd = byEpoch.begin()->first;
            summary.lastMjd = byEpoch.rbegin()->first;
        }
    }
}


void printIono(const char* name, const IonoCoefficients& set) {
    if (!set.present) return;
    std::printf("  %-6s %12.4e %12.4e %12.4e %12.4e\n", name, set.value[0], set.value[1], set.value[2], set.value[3]);
}

void printCorrection(const char* name, const TimeCorrection& c) {
    if (!c.present) return;
    std::printf("  %-6s a0 %18.10e  a1 %17.9e  T %7d  W %5d\n", name, c.a0_s, c.a1_sps, c.referenceTime_s,
                c.referenceWeek);
}

void printSummary(const std::string& path, const EphemerisTable& table, const NavHeader& header,
                  const NavReadReport& report) {
    std::map<int, SatelliteSummary> satellites;
    summarise(table.kepler, satellites);
    summarise(table.glonass, satellites);
    summarise(table.sbas, satellites);

    std::printf("file: %s\n", path.c_str());
    std::printf("version: %.2f  type: %c  system: %s\n", header.version, header.fileType,
                systemName(header.systemCode));
    std::printf("records: %d\n", table.recordCount);
    if (report.status != 0) std::printf("read status: %d\n", report.status);
    if (report.badRecords != 0) std::printf("records reported and dropped: %d\n", report.badRecords);
    if (report.channelDropped != 0)
        std::printf("GLONASS records dropped for their channel: %d\n", report.channelDropped);
    if (report.recordsSkipped != 0)
        std::printf("records of other systems or kinds skipped: %d\n", report.recordsSkipped);

    std::map<int, std::pair<int, int>> bySystem;  // system -> records, satellites
    for (const auto& [satNo, summary] : satellites) {
        auto& counts = bySystem[systemOf(satNo)];
        counts.first += summary.records;
        counts.second += 1;
    }
    std::printf("records per system:\n");
    for (const auto& [system, counts] : bySystem) {
        std::printf("  %-8s %6d records %4d satellites\n", systemName(system), counts.first, counts.second);
    }

    std::printf("records per satellite:                first               last\n");
    double first = 0.0;
    double last = 0.0;
    bool any = false;
    for (const auto& [satNo, summary] : satellites) {
        std::printf("  %s %6d  %s  %s\n", satelliteLabel(satNo).c_str(), summary.records,
                    calendarText(summary.firstMjd).c_str(), calendarText(summary.lastMjd).c_str());
        if (!any || summary.firstMjd < first) first = summary.firstMjd;
        if (!any || summary.lastMjd > last) last = summary.lastMjd;
        any = true;
    }
    if (any) {
        std::printf("first reference epoch: %s\n", calendarText(first).c_str());
        std::printf("last reference epoch: %s\n", calendarText(last).c_str());
    }

    std::printf("ionosphere:\n");
    for (const IonoKind& kind : kIonoKinds) printIono(kind.code, header.*kind.values);
    std::printf("time-system corrections:\n");
    printCorrection("UTC", header.deltaUtc);
    for (const TimeCorrectionKind& kind : kTimeCorrectionKinds) printCorrection(kind.code, header.*kind.values);
    if (header.leapSecondsPresent) {
        std::printf("leap seconds: %d\n", header.leapSeconds);
    } else {
        std::printf("leap seconds: not given\n");
    }
}

const char* readFailure(NavReadResult result) {
    switch (result) {
        case NavReadResult::kCannotOpen: return "cannot open the file";
        case NavReadResult::kNotRegularFile: return "not a regular file";
        default: return "not a navigation file this reader knows";
    }
}

}  // namespace

int toolNavInfo(const ToolArgs& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "Usage: velarix-tools navinfo FILE\n");
        return 2;
    }
    const std::string& path = args[0];
    PlainCopy plain(path);
    if (!plain.ok()) {
        std::fprintf(stderr, "velarix-tools: %s: %s\n", path.c_str(), plain.error().c_str());
        return 1;
    }
    EphemerisTable table;
    NavHeader header;
    NavReadReport report;
    RunLog log;
    log.append("\r\nReading nav file ");
    log.append(path);
    const NavReadResult result = readNavigationFile(plain.path(), table, header, log, &report);
    if (result != NavReadResult::kRead) log.append("\r\nError! reading Navigation file\r\n");
    log.append(" ..done!");
    std::printf("%s\n", withLineFeeds(log.messages).c_str());
    if (result != NavReadResult::kRead) {
        std::fprintf(stderr, "velarix-tools: %s: %s\n", path.c_str(), readFailure(result));
        return 1;
    }
    printSummary(path, table, header, report);
    if (table.recordCount == 0) {
        std::fprintf(stderr, "velarix-tools: %s: no ephemeris record read\n", path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace velarix
