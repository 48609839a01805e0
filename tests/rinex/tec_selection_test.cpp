// Choice of the TEC observables per system: pass 1 from the header, pass 2 by counts.
#include "rinex/tec_selection.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/run_log.h"

namespace velarix {

namespace {

const TecObsSelection& pass1(ObsTable& table, int systemCode, const std::string& codes) {
    Rinex3ObsHeader header;
    std::istringstream in(codes);
    for (std::string code; in >> code;) header.obsTypes[systemCode].push_back({code, obsCodeId(code)});
    selectTecObservablesPass1(header, table);
    return table.tecSelection.at(systemCode);
}

std::string codes(const TecObsSelection& s) {
    std::string text;
    for (int id : {s.firstCode, s.secondCode, s.firstPhase, s.secondPhase, s.firstStrength, s.secondStrength}) {
        text += (text.empty() ? "" : " ") + std::string(id == kNoObsCode ? "-" : obsCodeText(id));
    }
    return text;
}

// Pass 2 after pass 1 on GPS `header`, with these counts for the candidates in preference
// order; returns the chosen four.
std::string pass2(const std::string& header, const std::vector<long>& counts, std::string* report = nullptr) {
    ObsTable table;
    pass1(table, kGps, header);
    TecObsSelection& gps = table.tecSelection.at(kGps);
    for (size_t i = 0; i < counts.size(); ++i) gps.candidates.at(i).count = counts[i];
    RunLog log;
    selectTecObservablesPass2(table, log);
    if (report != nullptr) *report = log.messages;
    return codes(gps).substr(0, 15);
}

}  // namespace

TEST(TecSelection, Pass1PrefersByAttributeRankAndBand) {
    ObsTable table;
    const TecObsSelection& l5 = pass1(table, kGps, "C1C L1C C5Q L5Q S1C S5Q");  // band 5 is a second frequency
    EXPECT_EQ(codes(l5), "C1C C5Q L1C L5Q S1C S5Q");
    EXPECT_EQ(l5.secondCodeName, "C5Q");
    // C2W (rank 2) before C2X (rank 9) whatever the header order; equal keys
    // keep header order (C2C: rank 3 + band 2, C5I: rank 0 + band 5).
    EXPECT_EQ(codes(pass1(table, kGps, "C1C L1C C2X L2X C2W L2W S1C S2X S2W")), "C1C C2W L1C L2W S1C S2W");
    EXPECT_EQ(codes(pass1(table, kGps, "C1C L1C C5I L5I C2C L2C")), "C1C C5I L1C L5I - -");
    EXPECT_EQ(codes(pass1(table, kGps, "C1C L1C C2C L2C C5I L5I")), "C1C C2C L1C L2C - -");
    EXPECT_EQ(codes(pass1(table, kGlonass, "C1C C1P L1C L1P C2C C2P L2C L2P S1P S2P")), "C1P C2P L1P L2P S1P S2P");
    // No phase on a second band; Doppler and band-less observables; a system without roles.
    EXPECT_TRUE(pass1(table, kGps, "C1C L1C C2W S1C").candidates.empty());
    EXPECT_NE(pass1(table, kGps, "C1C L1C D2W C3X L3X").enough, 1);
    EXPECT_NE(pass1(table, kTransit, "C1C L1C C2W L2W").enough, 1);
}

TEST(TecSelection, BandsAndCandidatesFollowTheObservables) {
    ObsTable table;
    // BeiDou's B3 (band 6) wins over B2b (band 7) at equal rank: bands and signal strengths
    // must be those of B3, not a fixed 2/7 pair.
    const TecObsSelection& beidou = pass1(table, kBeiDou, "C2I C6I C7I L2I L6I L7I S2I S6I S7I");
    EXPECT_EQ(codes(beidou), "C2I C6I L2I L6I S2I S6I");
    EXPECT_EQ(beidou.secondBand, 6);
    // IRNSS: the first frequency is band 9 (S), the second band 5 (L5).
    EXPECT_EQ(codes(pass1(table, kIrnss, "C5A L5A S5A C9A L9A S9A")), "C9A C5A L9A L5A S9A S5A");
    EXPECT_EQ(table.tecSelection.at(kIrnss).firstBand, 9);
    // Code and phase of one frequency are on one band: with C2W and L5Q only, no pair.
    EXPECT_NE(pass1(table, kGps, "C1C L1C C2W L5Q").enough, 1);

    const TecObsSelection& gps = pass1(table, kGps, "C1C C1W C2L C2W C5Q L1C L2L L2W L5Q UNK");
    const std::vector<std::string> expected = {
        "C1C C2W L1C L2W", "C1C C2W L1C L2L", "C1C C5Q L1C L5Q", "C1C C2L L1C L2W", "C1C C2L L1C L2L",
        "C1W C2W L1C L2W", "C1W C2W L1C L2L", "C1W C5Q L1C L5Q", "C1W C2L L1C L2W", "C1W C2L L1C L2L"};
    ASSERT_EQ(gps.candidates.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        std::string text;
        for (int id : gps.candidates[i].obsIds) text += (text.empty() ? "" : " ") + std::string(obsCodeText(id));
        EXPECT_EQ(text, expected[i]);
        EXPECT_EQ(gps.candidates[i].rank, static_cast<int>(i));
    }
    // A header repeating observables cannot make the list explode.
    std::string many;
    for (int i = 0; i < 30; ++i) many += " C1C L1C C2W L2W";
    EXPECT_EQ(pass1(table, kGps, many).candidates.size(), kMaxTecCandidates);
}

TEST(TecSelection, Pass2ChoosesByCountAndReports) {
    // Candidates in preference order: C2W/L2W, C2W/L2L, C2L/L2W, C2L/L2L.
    const std::string header = "C1C L1C C2W L2W C2L L2L";
    std::string report;
    EXPECT_EQ(pass2(header, {100, 120, 0, 0}, &report), "C1C C2W L1C L2L");
    EXPECT_EQ(report,
              "\r\nList of available Observables for GPS\r\n"
              "C1C, C2W, L1C, L2L,  Count: 120, r# 1\r\n"
              "C1C, C2W, L1C, L2W,  Count: 100, r# 0\r\n"
              "And selected observables for TEC are:\r\n"
              "--> C1C, C2W, L1C, L2L,  Count: 120, r# 1\r\n");
    // A more preferred runner-up within 10 % of the best count is chosen.
    EXPECT_EQ(pass2(header, {91, 0, 0, 100}), "C1C C2W L1C L2W");
    EXPECT_EQ(pass2(header, {90, 0, 0, 100}), "C1C C2L L1C L2L");
    EXPECT_EQ(pass2(header, {0, 0, 0, 0}), "C1C C2W L1C L2W");  // all zero: the first stays
}

}  // namespace velarix
