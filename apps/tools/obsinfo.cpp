// velarix-tools obsinfo: reads an observation file as the pipeline does and prints the
// reader's messages and a summary of what it read.
#include <cstdio>
#include <set>
#include <string>

#include "decompress/plain_copy.h"
#include "geodesy/time.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "rinex/obs_reader.h"
#include "rinex/satellite_id.h"
#include "tools.h"

namespace velarix {

namespace {


std::string codeText(int id) {
    const std::string_view code = obsCodeText(id);
    return code.empty() ? std::string("---") : std::string(code);
}

std::string satelliteText(const SatEpochRecord& record) {
    return strfmt("%c%02d", record.systemLetter, record.satNo - (record.systemCode - 1) * 100);
}

std::string summary(const Rinex3ObsHeader& header, const ObsTable& table, const ObsReadCounts& counts) {
    std::string text = strfmt("RINEX version: %.2f\n", header.version);
    std::string systems;
    for (const auto& [systemCode, types] : header.obsTypes) {
        systems += (systems.empty() ? "" : ", ") + std::string(systemName(systemCode));
    }
    text += "Systems: " + (systems.empty() ? std::string("none") : systems) + "\n";
    text += "TEC observables (first code, second code, first phase, second phase; signal strengths):\n";
    for (const auto& [systemCode, selection] : table.tecSelection) {
        text += strfmt("  %-8s ", systemName(systemCode));
        if (selection.enough != 1) {
            text += "not enough observables\n";
            continue;
        }
        text += codeText(selection.firstCode) + " " + codeText(selection.secondCode) + " " +
                codeText(selection.firstPhase) + " " + codeText(selection.secondPhase) + "; " +
                codeText(selection.firstStrength) + " " + codeText(selection.secondStrength) + "\n";
    }
    text += strfmt("Satellites stored: %zu (records)\n", table.bySatellite.size());
    int column = 0;
    for (const auto& [satNo, records] : table.bySatellite) {
        if (records.empty()) continue;
        text += strfmt("  %s %6zu", satelliteText(records.front()).c_str(), records.size());
        if (++column % 6 == 0) text += "\n";
    }
    if (column % 6 != 0) text += "\n";
    text += strfmt("Epochs: %ld\n", counts.epochs);
    if (counts.epochs > 0) {
        text += "First epoch: " + calendarText(counts.firstEpochMjd) + "\n";
        text += "Last epoch: " + calendarText(counts.lastEpochMjd) + "\n";
    }
    return text;
}

// Why the read gave nothing to summarise; "" when it did.
std::string readFailure(const ObsTable& table, const Rinex3ObsHeader& header, const ObsReadCounts& counts) {
    switch (table.readStatus) {
        case kObsHeaderIncomplete: return "the header ends before END OF HEADER";
        case kObsCannotOpen: return "cannot open the file";
        case kObsNotRegularFile: return "not a regular file";
        default: break;
    }
    if (!header.isObservationFile()) return "not a RINEX observation file (see RINEX VERSION / TYPE)";
    if (counts.epochs == 0) return "no epoch read";
    return {};
}

}  // namespace

int toolObsInfo(const ToolArgs& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "Usage: velarix-tools obsinfo FILE\n");
        return 2;
    }
    const PlainCopy plain(args[0]);
    if (!plain.ok()) {
        std::fprintf(stderr, "velarix-tools: %s: %s\n", args[0].c_str(), plain.error().c_str());
        return 1;
    }
    if (!plain.warning().empty()) std::fprintf(stderr, "velarix-tools: %s: %s\n", args[0].c_str(), plain.warning().c_str());
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    const ObsReadCounts counts = OBS_readR3(plain.path(), table, header, log);
    std::fputs(withLineFeeds(log.messages).c_str(), stdout);
    std::fputs("\n\n", stdout);
    if (const std::string failure = readFailure(table, header, counts); !failure.empty()) {
        std::fprintf(stderr, "velarix-tools: %s: %s\n", args[0].c_str(), failure.c_str());
        return 1;
    }
    std::fputs(summary(header, table, counts).c_str(), stdout);
    return 0;
}

}  // namespace velarix
