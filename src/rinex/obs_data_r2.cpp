// The RINEX 2 data section read into the observation table: every system's satellites
// that have the observables for TEC are stored, under their RINEX 3 observation codes.
#include <algorithm>
#include <array>
#include <vector>

#include "rinex/obs_codes.h"
#include "rinex/obs_read_state.h"
#include "rinex/rinex2_epochs.h"
#include "rinex/rinex2_tec_rule.h"
#include "rinex/tec_selection.h"

namespace velarix {

namespace {

constexpr Rinex2DataTexts kTexts{
    "\r\nError! OBS_readR3: length of line exceeding 90 chars @line# %ld",
    "\r\nInvalid line size... at data lineR3",
    kInvalidFlagFormat,
    true,
};

class ObsTableConsumer : public Rinex2DataConsumer {
public:
    explicit ObsTableConsumer(ObsReadState& state);
    void satellite(const Rinex2SatelliteData& data) override;
    // The header's two-character list as RINEX 3 codes of each system that occurred.
    void buildHeaderLists();

private:
    ObsReadState& state_;
    std::array<std::vector<int>, kUnknownSystem + 1> obsIds_;  // each system's identifiers of the types
    // Each system's positions in the list that are stored, ascending: all of them, or with
    // ObsKeep::kTecOnly those of its TEC observables.
    std::array<std::vector<std::size_t>, kUnknownSystem + 1> kept_;
    std::array<bool, kUnknownSystem + 1> occurred_{};
};

// The systems whose list buildHeaderLists writes, and so the only ones that get a TEC selection.
constexpr int kListedSystems[] = {kGps, kSbas, kGlonass, kGalileo};

ObsTableConsumer::ObsTableConsumer(ObsReadState& state) : state_(state) {
    const std::vector<std::string>& types = state.header.rinex2ObsTypes;
    for (int system = kGps; system <= kUnknownSystem; ++system) {
        for (const std::string& type : types) obsIds_[system].push_back(obsCodeId(rinex2ToRinex3Code(system, type)));
        if (state.keep == ObsKeep::kEvery) {
            for (std::size_t i = 0; i < types.size(); ++i) kept_[system].push_back(i);
        }
    }
    if (state.keep != ObsKeep::kTecOnly) return;
    // RINEX 2 chooses from the header alone (pass 1 after the read), so the choice is known now.
    for (int system : kListedSystems) {
        std::vector<HeaderObsType> list;
        for (const std::string& type : types) {
            const std::string code = rinex2ToRinex3Code(system, type);
            list.push_back({code, obsCodeId(code)});
        }
        const std::vector<int> ids = tecObservablesKept(selectTecObservables(system, list), false);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (std::find(ids.begin(), ids.end(), list[i].id) != ids.end()) kept_[system].push_back(i);
        }
    }
}

void ObsTableConsumer::satellite(const Rinex2SatelliteData& data) {
    if (data.accepted != -1 && data.id.satNo > 0) occurred_[data.id.systemCode] = true;
    if (rinex2TecRule(data.presence) == Rinex2TecRule::kMissing) {
        ++state_.counts.discarded;
        return;
    }
    // Numbers outside the system's range are not stored: later stages index per-PRN tables
    // by them, and a digit-only "123" would collide with SBAS 23.
    if (data.accepted != 0 || data.id.satNo <= 0) return;
    // Absent values after the last one present are not stored: a long list of observables
    // over mostly empty lines would otherwise take far more memory than the file.
    const std::vector<int>& ids = obsIds_[data.id.systemCode];
    const std::vector<std::size_t>& kept = kept_[data.id.systemCode];
    const auto reached =
        static_cast<std::size_t>(std::lower_bound(kept.begin(), kept.end(), data.reached) - kept.begin());
    std::span<SatObservation> stored = state_.table.pool.allocate(reached);
    for (std::size_t k = 0; k < reached; ++k) {
        stored[k] = data.values[kept[k]];
        stored[k].obsId = ids[kept[k]];
    }
    SatEpochRecord record;
    record.epochMjd = data.epochMjd;
    record.satNo = data.id.satNo;
    record.systemLetter = data.id.letter;
    record.systemCode = data.id.systemCode;
    record.observations = stored;
    record.epochFlag = static_cast<std::int16_t>(data.epochFlag);
    state_.store(record, state_.collectingEpochs());
}

void ObsTableConsumer::buildHeaderLists() {
    for (int system : kListedSystems) {
        if (!occurred_[system]) continue;
        std::vector<HeaderObsType>& list = state_.header.obsTypes[system];
        list.clear();
        for (const std::string& type : state_.header.rinex2ObsTypes) {
            const std::string code = rinex2ToRinex3Code(system, type);
            list.push_back({code, obsCodeId(code)});
        }
    }
}

}  // namespace

void readRinex2Data(ObsReadState& state) {
    ObsTableConsumer consumer(state);
    if (readRinex2Epochs(state, state.header.rinex2ObsTypes, kTexts, consumer) == Rinex2DataEnd::kEndInSatelliteList) {
        state.table.readStatus = kObsEndInSatelliteList;
    }
    consumer.buildHeaderLists();
}

}  // namespace velarix
