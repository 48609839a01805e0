#include "rinex/tec_selection.h"

#include <algorithm>
#include <map>
#include <string>

#include "platform/strfmt.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// Roles in the order of a candidate's identifiers.
enum Role { kFirstCode, kSecondCode, kFirstPhase, kSecondPhase, kRoleCount };

using RoleMap = std::multimap<int, int>;  // key (rank + band) -> identifier; equal keys keep header order

int bandOf(int obsId) { return obsCodeText(obsId)[1] - '0'; }

// Every combination in preference order whose code and phase of each frequency share a
// band: TEC takes one carrier frequency per role, so a mixed pair would scale one of them
// with the wrong frequency.
void buildCandidates(const std::array<RoleMap, kRoleCount>& maps, TecObsSelection& selection) {
    TecCandidate candidate;
    for (const auto& [k0, firstCode] : maps[kFirstCode]) {
        for (const auto& [k1, secondCode] : maps[kSecondCode]) {
            for (const auto& [k2, firstPhase] : maps[kFirstPhase]) {
                if (bandOf(firstPhase) != bandOf(firstCode)) continue;
                for (const auto& [k3, secondPhase] : maps[kSecondPhase]) {
                    if (bandOf(secondPhase) != bandOf(secondCode)) continue;
                    if (selection.candidates.size() == kMaxTecCandidates) return;
                    candidate.obsIds = {firstCode, secondCode, firstPhase, secondPhase};
                    selection.candidates.push_back(candidate);
                    ++candidate.rank;
                }
            }
        }
    }
}

// The chosen four, the carrier bands they are on and the signal strengths of those bands.
void applyChoice(const TecCandidate& chosen, TecObsSelection& selection) {
    selection.firstCode = chosen.obsIds[kFirstCode];
    selection.secondCode = chosen.obsIds[kSecondCode];
    selection.firstPhase = chosen.obsIds[kFirstPhase];
    selection.secondPhase = chosen.obsIds[kSecondPhase];
    selection.firstCodeName = std::string(obsCodeText(selection.firstCode));
    selection.secondCodeName = std::string(obsCodeText(selection.secondCode));
    selection.firstBand = bandOf(selection.firstCode);
    selection.secondBand = bandOf(selection.secondCode);
    const auto strength = [&selection](int band) {
        const auto found = selection.strengthByBand.find(band);
        return found == selection.strengthByBand.end() ? kNoObsCode : found->second;
    };
    selection.firstStrength = strength(selection.firstBand);
    selection.secondStrength = strength(selection.secondBand);
}

TecObsSelection selectFromHeader(int systemCode, const std::vector<HeaderObsType>& types) {
    TecObsSelection selection;
    std::array<RoleMap, kRoleCount> maps;
    for (const HeaderObsType& type : types) {
        const std::string& code = type.code;
        if (code.find("UNK") != std::string::npos || type.id == kNoObsCode) continue;
        const int band = code[1] - '0';
        if (code[0] == 'S') selection.strengthByBand[band] = type.id;  // a later one replaces an earlier one
        const BandRule rule = tecBandRule(systemCode, band);
        if (rule.role == 0 || (code[0] != 'C' && code[0] != 'L')) continue;
        const std::size_t position = rule.preference.find(code[2]);
        const int rank = position == std::string_view::npos ? 100 : static_cast<int>(position);
        const bool first = rule.role == 1;
        const Role role = code[0] == 'C' ? (first ? kFirstCode : kSecondCode) : (first ? kFirstPhase : kSecondPhase);
        maps[role].emplace(rank + band, type.id);
    }
    buildCandidates(maps, selection);
    if (selection.candidates.empty()) return selection;  // not enough observables
    selection.enough = 1;
    applyChoice(selection.candidates.front(), selection);
    return selection;
}

std::string candidateText(const TecCandidate& candidate) {
    std::string text;
    for (int id : candidate.obsIds) {
        text += obsCodeText(id);
        text += ", ";
    }
    return text + strfmt(" Count: %ld, r# %d\r\n", candidate.count, candidate.rank);
}

}  // namespace

BandRule tecBandRule(int systemCode, int band) {
    switch (systemCode) {
        case kGps:
            if (band == 1) return {1, "CPYWMNSL"};
            if (band == 2) return {2, "PYWCMNDSLX"};
            if (band == 5) return {2, "IQX"};
            break;
        case kSbas:
            if (band == 1) return {1, "C"};
            if (band == 5) return {2, "IQX"};
            break;
        case kGlonass:
            if (band == 1) return {1, "PC"};
            if (band == 2) return {2, "PC"};
            if (band == 3) return {2, "IQX"};
            break;
        case kGalileo:
            if (band == 1) return {1, "CABXZ"};
            if (band == 6) return {2, "ABCXZ"};
            if (band == 5 || band == 7 || band == 8) return {2, "IQX"};
            break;
        case kBeiDou:
            if (band == 1 || band == 2) return {1, "IQX"};
            if (band == 6 || band == 7) return {2, "IQX"};
            break;
        case kQzss:
            if (band == 1) return {1, "CSLXZ"};
            if (band == 2 || band == 6) return {2, "SLX"};
            if (band == 5) return {2, "IQX"};
            break;
        case kIrnss:
            if (band == 9) return {1, "ABCX"};
            if (band == 5) return {2, "ABCX"};
            break;
        default:
            break;
    }
    return {};
}

void selectTecObservablesPass1(const Rinex3ObsHeader& header, ObsTable& table) {
    for (const auto& [systemCode, types] : header.obsTypes) {
        table.tecSelection[systemCode] = selectFromHeader(systemCode, types);
    }
}

TecObsSelection selectTecObservables(int systemCode, const std::vector<HeaderObsType>& types) {
    return selectFromHeader(systemCode, types);
}

std::vector<int> tecObservablesKept(const TecObsSelection& selection, bool candidatesOpen) {
    std::vector<int> kept;
    if (selection.enough != 1) return kept;
    const auto keep = [&kept](int obsId) {
        if (obsId != kNoObsCode && std::find(kept.begin(), kept.end(), obsId) == kept.end()) kept.push_back(obsId);
    };
    const auto strengthOf = [&selection](int codeId) {
        const auto found = selection.strengthByBand.find(bandOf(codeId));
        return found == selection.strengthByBand.end() ? kNoObsCode : found->second;
    };
    if (candidatesOpen) {
        for (const TecCandidate& candidate : selection.candidates) {
            for (int obsId : candidate.obsIds) keep(obsId);
            keep(strengthOf(candidate.obsIds[kFirstCode]));
        }
    } else {
        for (int obsId : {selection.firstCode, selection.secondCode, selection.firstPhase, selection.secondPhase,
                          selection.firstStrength}) {
            keep(obsId);
        }
    }
    return kept;
}

void selectTecObservablesPass2(ObsTable& table, RunLog& log) {
    for (auto& [systemCode, selection] : table.tecSelection) {
        std::vector<TecCandidate>& candidates = selection.candidates;
        if (candidates.empty()) continue;
        std::string report = std::string("\r\nList of available Observables for ") + systemName(systemCode) + "\r\n";
        if (candidates.size() == 1) {
            log.append(report + candidateText(candidates.front()));
            continue;
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const TecCandidate& a, const TecCandidate& b) { return a.count > b.count; });
        if (candidates.size() > 2) {
            const auto firstZero = std::find_if(candidates.begin(), candidates.end(),
                                                [](const TecCandidate& c) { return c.count == 0; });
            const auto kept = std::max<std::ptrdiff_t>(firstZero - candidates.begin(), 2);
            candidates.resize(static_cast<std::size_t>(kept));
        }
        const TecCandidate& best = candidates[0];
        const TecCandidate& runnerUp = candidates[1];
        const bool preferRunnerUp =
            best.rank >= runnerUp.rank && static_cast<double>(runnerUp.count) > 0.9 * static_cast<double>(best.count);
        const TecCandidate& chosen = preferRunnerUp ? runnerUp : best;
        applyChoice(chosen, selection);
        for (const TecCandidate& candidate : candidates) report += candidateText(candidate);
        report += "And selected observables for TEC are:\r\n--> " + candidateText(chosen);
        log.append(report);
    }
}

}  // namespace velarix
