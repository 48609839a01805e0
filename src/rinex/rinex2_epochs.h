#pragma once
// The data section of a RINEX 2 observation file, shared by the two readers of it (the
// pipeline's reader into the observation table, the command files' reader into the
// receiver table): an epoch line with up to 12 satellites (continuation lines for more),
// then per satellite the header's observables, five 16-character fields per line. Lines
// between epochs that are no epoch line are classified and reported. Each satellite's
// values go to a consumer, which decides what to keep.
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "rinex/obs_read_state.h"
#include "rinex/obs_table.h"
#include "rinex/satellite_id.h"

namespace velarix {

// The messages in which the two readers differ.
struct Rinex2DataTexts {
    const char* longLineFormat;       // a line over 90 characters, with the line number
    const char* longDataLineMessage;  // a data line over 80 characters
    const char* invalidFlagFormat;    // an epoch flag that is no digit 0-6 (the flag, -1 for no
                                      // digit, and the line number are passed)
    bool subHeaderNotes;              // header lines after an event of flag 4 are noted
};

// One satellite of one epoch, as read.
struct Rinex2SatelliteData {
    double epochMjd = 0.0;
    int epochFlag = 0;
    SatId id;
    int accepted = 0;  // the checked parse of the identifier: 0, or -1/-2 when refused
    // In the header's order, every type of the list (obsId left unset). An unreadable field
    // is 0.0 and reported.
    std::span<const SatObservation> values;
    unsigned presence = 0;    // Rinex2ObsBit of the non-blank fields
    std::size_t reached = 0;  // fields up to the last one the satellite's lines reach
};

class Rinex2DataConsumer {
public:
    virtual ~Rinex2DataConsumer() = default;
    virtual void satellite(const Rinex2SatelliteData& data) = 0;
};

enum class Rinex2DataEnd { kFileEnd, kEndInSatelliteList };

// Reads the data section to the end of the file; `types` is the header's list.
Rinex2DataEnd readRinex2Epochs(ObsLineInput& input, const std::vector<std::string>& types,
                               const Rinex2DataTexts& texts, Rinex2DataConsumer& consumer);

}  // namespace velarix
