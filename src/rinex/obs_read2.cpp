#include "rinex/obs_read2.h"

#include <array>

#include "platform/line_reader.h"
#include "platform/regular_file.h"
#include "platform/strfmt.h"
#include "rinex/obs_read_state.h"
#include "rinex/rinex2_epochs.h"
#include "rinex/rinex2_tec_rule.h"
#include "rinex/rinex3_obs_header.h"

namespace velarix {

namespace {

constexpr Rinex2DataTexts kTexts{
    "\r\nError! @OBS_read: length of line exceeding 90 chars @line %ld",
    "\r\nInvalid line size... at data line",
    "\r\nError! invalid epoch flag..",
    false,  // no sub-header notes: a header line after an event is a bad epoch line
};
constexpr const char* kHeaderLengthMessage = "\r\nError! invalid line length not in 0 - 80.. \r\n";
constexpr const char* kPrnOutOfRangeFormat = "\r\nError! GPS PRN outside 1-32, its observations skipped @line# %ld";

struct TypeEntry {
    std::string_view type;
    Rinex2ObsTypeInfo info;
};

constexpr std::array<TypeEntry, 28> kTypes{{
    {"L1", {"L1 Carrier Phase", "L1 cycles"}},
    {"L2", {"L2 Carrier Phase", "L2 cycles"}},
    {"C1", {"C/A-code pseudorange", "meters"}},
    {"C2", {"L2C-code pseudorange", "meters"}},
    {"P1", {"Pcode L1 pseudorange", "meters"}},
    {"P2", {"Pcode L2 pseudorange", "meters"}},
    {"D1", {"Doppler Frequency L1", "Hz"}},
    {"D2", {"Doppler Frequency L2", "Hz"}},
    {"S1", {"Signal-to-Noise L1", "dB-Hz"}},
    {"S2", {"Signal-to-Noise L2", "dB-Hz"}},
    {"T1", {"Transit 150 MHz", ""}},
    {"T2", {"Transit 400 MHz", ""}},
    {"C5", {"L5C-code pseudorange", "meters"}},
    {"L5", {"L5 Carrier Phase", "L5 cycles"}},
    {"D5", {"Doppler Frequency L5", "Hz"}},
    {"S5", {"Signal-to-Noise L5", "dB-Hz"}},
    {"C6", {"E6-code pseudorange", "meters"}},
    {"L6", {"E6 Carrier Phase", "L6 cycles"}},
    {"D6", {"Doppler Frequency E6", "Hz"}},
    {"S6", {"Signal-to-Noise E6", "dB-Hz"}},
    {"C7", {"E5b-code pseudorange", "meters"}},
    {"L7", {"E5b Carrier Phase", "L7 cycles"}},
    {"D7", {"Doppler Frequency E5b", "Hz"}},
    {"S7", {"Signal-to-Noise E5b", "dB-Hz"}},
    {"C8", {"E5a+b-code pseudorange", "meters"}},
    {"L8", {"E5a+b Carrier Phase", "L8 cycles"}},
    {"D8", {"Doppler Frequency E5a+b", "Hz"}},
    {"S8", {"Signal-to-Noise E5a+b", "dB-Hz"}},
}};

// Where each header type goes in a record: its value, and its loss-of-lock indicator.
struct Destination {
    double ReceiverObsRecord::*value = nullptr;
    double ReceiverObsRecord::*lossOfLock = nullptr;
};

Destination destinationOf(std::string_view type) {
    if (type == "L1") return {&ReceiverObsRecord::l1, &ReceiverObsRecord::l1Lli};
    if (type == "L2") return {&ReceiverObsRecord::l2, &ReceiverObsRecord::l2Lli};
    if (type == "P1") return {&ReceiverObsRecord::p1, &ReceiverObsRecord::p1Lli};
    if (type == "P2") return {&ReceiverObsRecord::p2, &ReceiverObsRecord::p2Lli};
    if (type == "C1") return {&ReceiverObsRecord::c1, nullptr};
    if (type == "C2") return {&ReceiverObsRecord::c2, nullptr};
    if (type == "S1") return {&ReceiverObsRecord::s1, nullptr};
    if (type == "S2") return {&ReceiverObsRecord::s2, nullptr};
    if (type == "D1") return {&ReceiverObsRecord::d1, nullptr};
    if (type == "D2") return {&ReceiverObsRecord::d2, nullptr};
    return {};
}

class ReceiverConsumer : public Rinex2DataConsumer {
public:
    ReceiverConsumer(ObsLineInput& input, const std::vector<std::string>& types, ReceiverObsTable& table)
        : input_(input), table_(table) {
        for (const std::string& type : types) {
            Destination destination = destinationOf(type);
            // A type listed twice fills its field from its first column only.
            for (const Destination& earlier : destinations_) {
                if (destination.value != nullptr && earlier.value == destination.value) destination = {};
            }
            destinations_.push_back(destination);
            bits_.push_back(rinex2ObsBit(type));
        }
    }

    void satellite(const Rinex2SatelliteData& data) override {
        if (data.id.systemCode != kGps) return;  // other systems are read past
        if (data.accepted != 0 || !isGpsPrn(data.id.satNo)) {
            input_.report(kPrnOutOfRangeFormat);
            return;
        }
        unsigned presence = 0;
        for (std::size_t i = 0; i < data.values.size(); ++i) {
            if (data.values[i].value != 0.0) presence |= bits_[i];
        }
        if (rinex2TecRule(presence) == Rinex2TecRule::kMissing) {
            ++result.discarded;
            return;
        }
        ReceiverObsRecord record;
        record.epochMjd = data.epochMjd;
        record.prn = data.id.satNo;
        for (std::size_t i = 0; i < data.values.size(); ++i) {
            const Destination& destination = destinations_[i];
            if (destination.value == nullptr) continue;
            record.*destination.value = data.values[i].value;
            if (destination.lossOfLock != nullptr) record.*destination.lossOfLock = data.values[i].lossOfLock;
        }
        table_.add(record);
        ++result.stored;
    }

    ObsRead2Result result;

private:
    ObsLineInput& input_;
    ReceiverObsTable& table_;
    std::vector<Destination> destinations_;  // by header position
    std::vector<unsigned> bits_;
};

void takeRecordingInfo(const Rinex3ObsHeader& header, ReceiverRecordingInfo& info) {
    info.markerName = header.markerName;
    info.observer = header.observer;
    info.agency = header.agency;
    info.receiverNumber = header.receiverNumber;
    info.receiverType = header.receiverType;
    info.receiverVersion = header.receiverVersion;
    info.antennaNumber = header.antennaNumber;
    info.antennaType = header.antennaType;
    info.approxPosition_m = header.approxPosition_m;
    info.antennaDeltaGiven = (header.validBits & kBitAntennaDeltaHen) != 0;
    info.antennaDeltaHen_m = header.antennaDeltaHen_m;
}

std::string typeListText(const std::vector<std::string>& types) {
    std::string text = "\r\nInfo! observation types:";
    for (const std::string& type : types) {
        const Rinex2ObsTypeInfo info = rinex2ObsTypeInfo(type);
        text += " " + type + " (" + info.description + (info.unit[0] != '\0' ? std::string(", ") + info.unit : "") + ")";
    }
    return text;
}

// The header's verdict: 0 to read the data, else the end code (reported).
int checkHeader(const Rinex3ObsHeader& header, const std::string& path, RunLog& log) {
    if (!header.isObservationFile() || header.version >= 3.0) {
        log.append("\r\nError! @OBS_read2: not a RINEX 2 observation file: " + path);
        return kObsRead2NotRinex2;
    }
    if (header.rinex2ObsTypes.size() > kMaxRinex2ObsTypes) {
        log.append("\r\nError! No. of observables exceeded the limit.. program needs modification! @Obs. data read ");
        return kObsRead2TooManyTypes;
    }
    log.append(typeListText(header.rinex2ObsTypes));
    switch (rinex2TecRule(rinex2PresenceBits(header.rinex2ObsTypes))) {
        case Rinex2TecRule::kComplete: return kObsRead2Done;
        case Rinex2TecRule::kCodesOnly:
            log.append("\r\nWarning! @OBS_read2: Both P1 & P2 observables absent\r\nUsing C1,C2, L1,L2 for deriving TEC.");
            return kObsRead2Done;
        case Rinex2TecRule::kMissing: break;
    }
    log.append("\r\nError! @OBS_read2: one or more of Required observable(s) P1/C1,P2/C2,L1,L2 missing!");
    return kObsRead2MissingObservables;
}

void summary(const ObsRead2Result& result, const ReceiverObsTable& table, RunLog& log) {
    const long tested = result.discarded + result.stored;
    const double percent = result.stored == 0 ? 100.0 : 100.0 * static_cast<double>(result.discarded) / tested;
    log.append("\r\nNote! No. of discarded data points (missing PRN observations): ");
    log.append(strfmt(" %ld (%1.2lf%%)", result.discarded, percent));
    log.say(strfmt("\r\nRinex read done (eof=%d), PRNs read --> %zu", result.endCode, table.prns.size()));
}

}  // namespace

Rinex2ObsTypeInfo rinex2ObsTypeInfo(std::string_view type) {
    for (const TypeEntry& entry : kTypes) {
        if (entry.type == type) return entry.info;
    }
    return {"Unknown or Invalid", "unknown"};
}

ObsRead2Result OBS_read2(const std::string& path, ReceiverObsTable& table, RunLog& log) {
    ObsRead2Result result;
    if (path.empty() || (path.back() != 'o' && path.back() != 'O')) {
        log.say("\r\nThis isn't a Rinex Observation file: " + path);
        result.endCode = kObsRead2NotObservationName;
        return result;
    }
    LineReader in(path);
    if (!in.isOpen()) {
        log.say(in.openStatus() == InputFileStatus::kNotRegularFile
                    ? inputFileError("observation input", path, InputFileStatus::kNotRegularFile)
                    : "\r\nCan't open observation input file " + path);
        result.endCode = kObsRead2CannotOpen;
        return result;
    }
    ObsLineInput input(in, log, path);
    Rinex3ObsHeader header;
    if (!readObsHeader(input, header, kHeaderLengthMessage)) {
        input.messages.finish();
        result.endCode = kObsRead2HeaderIncomplete;
        log.refresh();
        return result;
    }
    input.messages.finish();  // the header's count lines before what follows from the header
    if (const int verdict = checkHeader(header, path, log); verdict != kObsRead2Done) {
        result.endCode = verdict;
        log.refresh();
        return result;
    }
    takeRecordingInfo(header, table.recording);

    ReceiverConsumer consumer(input, header.rinex2ObsTypes, table);
    const Rinex2DataEnd end = readRinex2Epochs(input, header.rinex2ObsTypes, kTexts, consumer);
    input.messages.finish();
    result = consumer.result;
    result.endCode = end == Rinex2DataEnd::kEndInSatelliteList ? kObsRead2EndInSatelliteList : kObsRead2Done;
    summary(result, table, log);
    return result;
}

}  // namespace velarix
