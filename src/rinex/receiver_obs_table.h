#pragma once
// The GPS observation table of the receiver-format path: per PRN (1-32) the records of
// one satellite in time order, with the fixed set of L1/L2 observables a dual-frequency
// receiver gives. The RINEX 2 reader of command files fills it, the receiver-format TEC
// derivation reads it and the RINEX writer writes it back out.
#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace velarix {

// One GPS satellite at one epoch. Phases in cycles, codes in metres, Doppler in Hz,
// signal strengths as recorded; an absent value is 0.0.
struct ReceiverObsRecord {
    double epochMjd = 0.0;
    int prn = 0;
    double l1 = 0.0;
    double l2 = 0.0;
    double p1 = 0.0;
    double p2 = 0.0;
    double c1 = 0.0;
    double c2 = 0.0;
    double s1 = 0.0;
    double s2 = 0.0;
    // Loss-of-lock indicators (small integers, 0 when none was recorded).
    double l1Lli = 0.0;
    double l2Lli = 0.0;
    double p1Lli = 0.0;
    double p2Lli = 0.0;
    double d1 = 0.0;
    double d2 = 0.0;
};

// What the recording says of its station and receiver.
struct ReceiverRecordingInfo {
    std::string markerName;
    std::string observer, agency;
    std::string receiverNumber, receiverType, receiverVersion;
    std::string antennaNumber, antennaType;
    std::array<double, 3> approxPosition_m{};  // Earth-fixed; all 0 when not given
    std::array<double, 3> antennaDeltaHen_m{};
    bool antennaDeltaGiven = false;
};

struct ReceiverObsTable {
    std::map<int, std::vector<ReceiverObsRecord>> byPrn;
    std::vector<int> prns;  // in the order they were first read
    ReceiverRecordingInfo recording;

    // Appends a record under its PRN, listing the PRN when new.
    void add(const ReceiverObsRecord& record);
    std::size_t recordCount() const;
    void clear() { *this = ReceiverObsTable{}; }
};

}  // namespace velarix
