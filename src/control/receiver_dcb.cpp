#include "control/receiver_dcb.h"

#include "gnss/checks/ionex_reader.h"
#include "platform/dir_search.h"
#include "platform/strfmt.h"
#include "platform/text.h"

namespace velarix {

std::string CodeIonexName(int year, int dayOfYear) { return strfmt("codg%03d0.%02di", dayOfYear, year % 100); }

std::optional<ReceiverDcb> FindReceiverDcb(const DayJob& job, const std::string& dataDirectory, RunLog& log) {
    const std::string station = toUpper(job.context.stationCode);
    if (station.empty()) return std::nullopt;
    // Receiver rows name the station by its four characters, some by a longer name that
    // begins with them (BELE00BRA).
    for (const auto& [name, value_ns] : job.dcb.receiverP1p2) {
        if (toUpper(name.substr(0, station.size())) == station) {
            return ReceiverDcb{value_ns, "the receiver rows of the DCB files read (" + name + ")"};
        }
    }
    if (job.context.year < 0 || job.context.dayOfYear < 1) return std::nullopt;
    // The map of the day, plain or compressed, the name in any case.
    for (const DirEntry& entry : findEntries(dataDirectory + CodeIonexName(job.context.year, job.context.dayOfYear) + "*")) {
        if (entry.isDirectory) continue;
        IonexMaps maps;
        RunLog mapLog;  // the map's own problems matter only when it gives nothing
        if (!ionexMapsKept(ReadIonexFile(entry.path, maps, mapLog))) {
            log.append(mapLog.messages);
            continue;
        }
        if (const auto row = maps.gpsStationDcb_ns.find(station); row != maps.gpsStationDcb_ns.end()) {
            return ReceiverDcb{row->second, "the station DCBs in the header of " + entry.path};
        }
    }
    return std::nullopt;
}

}  // namespace velarix
