#pragma once
// Choice, per GNSS system, of the four observables TEC is derived from (first- and
// second-frequency code and phase) and of the two signal-strength observables.
//
// Pass 1 works from the header alone: every code and phase observable of a band with a
// role gets a key (its attribute's rank in the band's preference string plus the band
// number), and every combination of the four roles whose code and phase share a band per
// frequency becomes a candidate, in key order; the first is preferred. The reader then
// counts, per candidate, the satellite lines on which all four were non-zero; pass 2
// picks by those counts and writes the report. The carrier bands of a selection are those
// of its chosen observables, and its signal strengths the S observables of those bands.
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/run_log.h"
#include "rinex/obs_table.h"
#include "rinex/rinex3_obs_header.h"

namespace velarix {

// A hostile header could list enough observables for billions of combinations; the least
// preferred beyond this number are not kept (real receivers give well under 100).
constexpr std::size_t kMaxTecCandidates = 4096;

struct BandRule {
    int role = 0;  // 1: first frequency, 2: second frequency, 0: not used for TEC
    std::string_view preference;  // attribute letters, most preferred first
};

BandRule tecBandRule(int systemCode, int band);

// Fills `table.tecSelection` for every system with RINEX 3 observable types.
void selectTecObservablesPass1(const Rinex3ObsHeader& header, ObsTable& table);

// Pass 1 of one system's list, as selectTecObservablesPass1 makes it.
TecObsSelection selectTecObservables(int systemCode, const std::vector<HeaderObsType>& types);

// The observables a read that keeps only what TEC needs (ObsKeep::kTecOnly) stores of a
// system with this selection: the four of every candidate and the signal strength of its
// first band when the data are still to choose among the candidates (RINEX 3, pass 2), else
// the four chosen and the first band's strength (RINEX 2, chosen from the header alone).
// The station position takes the first code, the S4 stage the first-band strength.
std::vector<int> tecObservablesKept(const TecObsSelection& selection, bool candidatesOpen);

// Chooses among each system's candidates by their counts and reports to `log`.
void selectTecObservablesPass2(ObsTable& table, RunLog& log);

}  // namespace velarix
