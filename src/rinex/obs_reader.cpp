#include "rinex/obs_reader.h"

#include <algorithm>

#include "geodesy/geodetic.h"
#include "platform/prefault.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "rinex/obs_read_state.h"
#include "rinex/rinex2_tec_rule.h"
#include "rinex/satellite_id.h"
#include "rinex/tec_selection.h"

namespace velarix {

bool ObsLineInput::nextLine(std::size_t limit, std::string_view& line, const char* cutFormat) {
    bool cut = false;
    if (!in.next(limit, line, cut)) return false;
    ++counts.lines;
    if (cut && cutFormat != nullptr) report(cutFormat);
    return true;
}

void ObsLineInput::report(const char* format) {
    if (messages.admit(format)) log.append(strfmt(format, counts.lines));
}

void ObsLineInput::countEpoch(double mjd) {
    if (counts.epochs == 0) counts.firstEpochMjd = mjd;
    counts.lastEpochMjd = mjd;
    ++counts.epochs;
}

bool readObsHeader(ObsLineInput& input, Rinex3ObsHeader& header, const char* lengthMessage) {
    constexpr const char* kHeaderLineFormat = "\r\nError! in header at line %ld";
    std::string_view line;
    while (!header.endOfHeader) {
        if (!input.nextLine(kHeaderLineLimit, line)) {
            input.log.append("\r\nError! incomplete header... end of file..");
            return false;
        }
        if (line.empty()) continue;
        if (line.size() < 60 || line.size() > 80) input.messages.append(lengthMessage, lengthMessage);
        const HeaderStatus status = header.parseLine(line);
        // Both kinds of a bad header line count as one kind of message.
        if (status.kind == HeaderStatus::kMessage) {
            if (input.messages.admit(kHeaderLineFormat)) {
                input.log.append("\r\nError! " + status.message + strfmt(", in header at line %ld", input.counts.lines));
            }
        } else if (status.kind == HeaderStatus::kPlain) {
            input.report(kHeaderLineFormat);
        }
    }
    return true;
}

namespace {

// push_back with the vector's growth done here, so that the new room is made resident in
// one call before the records are copied into it. It grows by half, not twice: the room
// left over at the end of a read is then about a quarter of the records' size on average,
// not nearly a half.
void appendRecord(std::vector<SatEpochRecord>& records, const SatEpochRecord& record) {
    if (records.size() == records.capacity()) {
        std::vector<SatEpochRecord> grown;
        grown.reserve(std::max<std::size_t>(64, records.capacity() + records.capacity() / 2));
        PrefaultPages(grown.data(), grown.capacity() * sizeof(SatEpochRecord));
        grown.insert(grown.end(), records.begin(), records.end());
        records.swap(grown);
    }
    records.push_back(record);
}

}  // namespace

void ObsReadState::store(const SatEpochRecord& record, bool collect) {
    const auto index = static_cast<std::size_t>(record.satNo);
    if (index < satelliteRecords_.size()) {
        if (satelliteRecords_[index] == nullptr) satelliteRecords_[index] = &table.bySatellite[record.satNo];
        appendRecord(*satelliteRecords_[index], record);
    } else {
        appendRecord(table.bySatellite[record.satNo], record);
    }
    if (collect) table.byEpoch[record.epochMjd].push_back(record);
}

namespace {

constexpr const char* kHeaderLengthMessage = "\r\nError! invalid header line length.. ";

void checkHeader(Rinex3ObsHeader& header, RunLog& log) {
    const std::uint32_t required = requiredHeaderBits(header.version);
    if ((header.validBits & required) != required) log.append("\r\nInfo! some information missing in header...");
    const HeaderStatus status = header.checkValidity();
    if (status.kind == HeaderStatus::kMessage) {
        log.append("\r\n" + status.message);
    } else if (status.kind == HeaderStatus::kPlain) {
        log.append("\r\nException! in header.");
    }
}

// RINEX 3: false when no system has the observables for TEC.
bool preselectTecObservables(const Rinex3ObsHeader& header, ObsTable& table, RunLog& log) {
    selectTecObservablesPass1(header, table);  // a fresh entry for every system with types
    int usable = 0;
    for (const auto& [systemCode, types] : header.obsTypes) {
        if (table.tecSelection[systemCode].enough == 1) {
            ++usable;
        } else {
            log.append(std::string("\r\nInfo ") + systemName(systemCode) + " - Not enough preselect observables for TEC.");
        }
    }
    if (usable > 0) return true;
    log.append("\r\nInfo! No GNSS system(s) have observables for TEC derivation: exiting..file read..");
    return false;
}

// RINEX 2: false when the header lacks the observables for TEC.
bool checkRinex2Observables(const Rinex3ObsHeader& header, RunLog& log) {
    const Rinex2TecRule rule = rinex2TecRule(rinex2PresenceBits(header.rinex2ObsTypes));
    if (rule == Rinex2TecRule::kCodesOnly) {
        log.append("\r\nWarning! @OBS_read: Both P1 & P2 observables absent in RinexVer2\r\nUsing C1,C2, L1,L2 for "
                   "deriving TEC.");
    } else if (rule == Rinex2TecRule::kMissing) {
        log.append("\r\nError! @OBS_read: one or more of Required observable(s) P1/C1,P2,L1,L2 missing! in RinexVer2");
        return false;
    }
    return true;
}

void takeStationPosition(const Rinex3ObsHeader& header, ObsTable& table) {
    const auto& [x, y, z] = header.approxPosition_m;
    table.stationX_m = x;
    table.stationY_m = y;
    table.stationZ_m = z;
    table.positionKnown = !(x == 0.0 && y == 0.0);
    if (!table.positionKnown) return;
    const GeodeticPosition position = ecefToGeodetic(x, y, z);
    table.latitude_deg = position.latitude_deg;
    table.longitude_deg = position.longitude_deg < 0.0 ? position.longitude_deg + 360.0 : position.longitude_deg;
    table.height_m = position.height_m;
}

}  // namespace

ObsReadCounts OBS_readR3(const std::string& path, ObsTable& table, Rinex3ObsHeader& header, RunLog& log,
                         ObsKeep keep) {
    table.readStatus = 0;
    LineReader in(path);
    if (in.openStatus() == InputFileStatus::kNotRegularFile) {
        log.say(inputFileError("observation input", path, InputFileStatus::kNotRegularFile));
        table.readStatus = kObsNotRegularFile;
        return {};
    }
    if (!in.isOpen()) {
        log.say("\r\nCan't open observation input file " + path);
        table.readStatus = kObsCannotOpen;
        return {};
    }
    return OBS_readR3(in, path, table, header, log, keep);
}

ObsReadCounts OBS_readR3(LineReader& in, const std::string& path, ObsTable& table, Rinex3ObsHeader& header,
                         RunLog& log, ObsKeep keep) {
    table.readStatus = 0;
    header.reset();
    ObsReadState state(in, table, header, log, path);
    state.keep = keep;
    if (!readObsHeader(state, header, kHeaderLengthMessage)) {
        table.readStatus = kObsHeaderIncomplete;
        state.messages.finish();
        log.refresh();
        return state.counts;
    }
    state.messages.finish();  // the header's count lines before what follows from the header
    checkHeader(header, log);
    const bool rinex3 = header.version >= 3.0;
    const bool proceed = rinex3 ? preselectTecObservables(header, table, log) : checkRinex2Observables(header, log);
    if (!proceed) {
        table.readStatus = kObsNoTecObservables;
        log.refresh();
        return state.counts;
    }
    takeStationPosition(header, table);

    if (rinex3) {
        readRinex3Data(state);
    } else {
        readRinex2Data(state);
    }
    state.messages.finish();
    log.say(strfmt("\r\nRinex obs read (%ld lines, %ld epochs, %ld lines discarded)\r\n ..DONE..", state.counts.lines,
                   state.counts.epochs, state.counts.discarded));
    if (rinex3) {
        selectTecObservablesPass2(table, log);
    } else {
        selectTecObservablesPass1(header, table);
    }
    log.refresh();
    return state.counts;
}

}  // namespace velarix
