#include "rinex/tec_selection.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

Rinex3ObsHeader headerWith(int systemCode, const std::string& codes) {
    Rinex3ObsHeader header;
    std::istringstream in(codes);
    std::string code;
    while (in >> code) header.obsTypes[systemCode].push_back({code, obsCodeId(code)});
    return header;
}

const TecObsSelection& pass1(ObsTable& table, int systemCode, const std::string& codes) {
    selectTecObservablesPass1(headerWith(systemCode, codes), table);
    return table.tecSelection.at(systemCode);
}

std::string codes(const TecObsSelection& s) {
    std::string text;
    for (int id : {s.firstCode, s.secondCode, s.firstPhase, s.secondPhase, s.firstStrength, s.secondStrength}) {
        text += (text.empty() ? "" : " ") + std::string(id == kNoObsCode ? "-" : obsCodeText(id));
    }
    return text;
}

TecCandidate candidate(const char* c1, const char* c2, const char* l1, const char* l2, long count, int rank) {
    TecCandidate c;
    c.obsIds = {obsCodeId(c1), obsCodeId(c2), obsCodeId(l1), obsCodeId(l2)};
    c.count = count;
    c.rank = rank;
    return c;
}

}  // namespace

TEST(TecSelection, Pass1PrefersByAttributeRankAndBand) {
    ObsTable table;
    // Band 5 is a second-frequency band of GPS.
    const TecObsSelection& l5 = pass1(table, kGps, "C1C L1C C5Q L5Q S1C S5Q");
    EXPECT_EQ(l5.enough, 1);
    EXPECT_EQ(codes(l5), "C1C C5Q L1C L5Q S1C S5Q");
    EXPECT_EQ(l5.firstBand, 1);
    EXPECT_EQ(l5.secondBand, 5);
    EXPECT_EQ(l5.firstCodeName, "C1C");
    EXPECT_EQ(l5.secondCodeName, "C5Q");

    // C2W (rank 2, key 4) before C2X (rank 9, key 11), whatever the header order.
    EXPECT_EQ(codes(pass1(table, kGps, "C1C L1C C2X L2X C2W L2W S1C S2X S2W")), "C1C C2W L1C L2W S1C S2W");
    // C1 (rank 0) before P1 (rank 1); an attribute outside the string ranks last.
    EXPECT_EQ(codes(pass1(table, kGps, "C1P C1C L1P L1C C2P L2P C2X L2X")), "C1C C2P L1C L2P - -");
    EXPECT_EQ(codes(pass1(table, kGps, "C1C L1C C2D L2D C2X L2X")), "C1C C2D L1C L2D - -");
    // Equal keys keep header order: C2C (rank 3 + band 2) against C5I (rank 0 + band 5).
    EXPECT_EQ(codes(pass1(table, kGps, "C1C L1C C5I L5I C2C L2C")), "C1C C5I L1C L5I - -");
    EXPECT_EQ(codes(pass1(table, kGps, "C1C L1C C2C L2C C5I L5I")), "C1C C2C L1C L2C - -");

    // Without a phase on a second-frequency band there is nothing to select.
    const TecObsSelection& noPhase = pass1(table, kGps, "C1C L1C C2W S1C");
    EXPECT_NE(noPhase.enough, 1);
    EXPECT_TRUE(noPhase.candidates.empty());
    EXPECT_EQ(noPhase.firstCode, kNoObsCode);
    // Doppler, unknown and band-less observables take no role.
    EXPECT_NE(pass1(table, kGps, "C1C L1C D2W C3X L3X").enough, 1);
    // A system without band roles has none.
    EXPECT_NE(pass1(table, kTransit, "C1C L1C C2W L2W").enough, 1);

    // Other systems' preferences.
    EXPECT_EQ(codes(pass1(table, kGlonass, "C1C C1P L1C L1P C2C C2P L2C L2P S1P S2P")), "C1P C2P L1P L2P S1P S2P");
    EXPECT_EQ(codes(pass1(table, kGalileo, "C1X L1X C7X L7X C5X L5X S1X S5X S7X")), "C1X C5X L1X L5X S1X S5X");
    EXPECT_EQ(codes(pass1(table, kQzss, "C1C L1C C2L L2L C5Q L5Q")), "C1C C2L L1C L2L - -");
    EXPECT_EQ(codes(pass1(table, kSbas, "C1C L1C C5I L5I S1C S5I")), "C1C C5I L1C L5I S1C S5I");
}

TEST(TecSelection, BandsFollowTheChosenObservables) {
    ObsTable table;
    // BeiDou's B3 (band 6) wins over B2b (band 7) at equal rank: the carrier bands and the
    // signal strengths must be those of B3, not a fixed 2/7 pair.
    const TecObsSelection& beidou = pass1(table, kBeiDou, "C2I C6I C7I L2I L6I L7I S2I S6I S7I");
    EXPECT_EQ(codes(beidou), "C2I C6I L2I L6I S2I S6I");
    EXPECT_EQ(beidou.firstBand, 2);
    EXPECT_EQ(beidou.secondBand, 6);
    // IRNSS: the first frequency is band 9 (S), the second band 5 (L5); bands in that order.
    const TecObsSelection& irnss = pass1(table, kIrnss, "C5A L5A S5A C9A L9A S9A");
    EXPECT_EQ(codes(irnss), "C9A C5A L9A L5A S9A S5A");
    EXPECT_EQ(irnss.firstBand, 9);
    EXPECT_EQ(irnss.secondBand, 5);
    // Code and phase of one frequency are on one band: with C2W and L5Q only, no pair.
    EXPECT_NE(pass1(table, kGps, "C1C L1C C2W L5Q").enough, 1);
}

TEST(TecSelection, CandidatesInPreferenceOrder) {
    ObsTable table;
    const TecObsSelection& gps = pass1(table, kGps, "C1C C1W C2L C2W C5Q L1C L2L L2W L5Q UNK");
    const std::vector<std::string> expected = {
        "C1C C2W L1C L2W", "C1C C2W L1C L2L", "C1C C5Q L1C L5Q", "C1C C2L L1C L2W", "C1C C2L L1C L2L",
        "C1W C2W L1C L2W", "C1W C2W L1C L2L", "C1W C5Q L1C L5Q", "C1W C2L L1C L2W", "C1W C2L L1C L2L",
    };
    ASSERT_EQ(gps.candidates.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TecCandidate& c = gps.candidates[i];
        EXPECT_EQ(c.rank, static_cast<int>(i));
        EXPECT_EQ(c.count, 0);
        std::string text;
        for (int id : c.obsIds) text += (text.empty() ? "" : " ") + std::string(obsCodeText(id));
        EXPECT_EQ(text, expected[i]);
    }

    // A header repeating observables cannot make the list explode.
    std::string many;
    for (int i = 0; i < 30; ++i) many += " C1C L1C C2W L2W";
    EXPECT_EQ(pass1(table, kGps, many).candidates.size(), kMaxTecCandidates);
}

TEST(TecSelection, Pass2ChoosesByCountAndReports) {
    ObsTable table;
    TecObsSelection& gps = table.tecSelection[kGps];
    gps.enough = 1;
    gps.candidates = {candidate("C1C", "C2W", "L1C", "L2W", 100, 0), candidate("C1C", "C2W", "L1C", "L2L", 120, 1),
                      candidate("C1C", "C5Q", "L1C", "L5Q", 0, 2), candidate("C1C", "C2L", "L1C", "L2L", 0, 3)};
    // One candidate: listed, nothing chosen.
    TecObsSelection& sbas = table.tecSelection[kSbas];
    sbas.candidates = {candidate("C1C", "C5I", "L1C", "L5I", 7, 0)};
    sbas.firstCode = obsCodeId("C1C");
    // Not enough: no report.
    table.tecSelection[kGlonass];
    RunLog log;
    selectTecObservablesPass2(table, log);
    EXPECT_EQ(log.messages,
              "\r\nList of available Observables for GPS\r\n"
              "C1C, C2W, L1C, L2L,  Count: 120, r# 1\r\n"
              "C1C, C2W, L1C, L2W,  Count: 100, r# 0\r\n"
              "And selected observables for TEC are:\r\n"
              "--> C1C, C2W, L1C, L2L,  Count: 120, r# 1\r\n"
              "\r\nList of available Observables for SBASGeo\r\n"
              "C1C, C5I, L1C, L5I,  Count: 7, r# 0\r\n");
    EXPECT_EQ(gps.secondPhase, obsCodeId("L2L"));
    EXPECT_EQ(gps.secondCodeName, "C2W");
    EXPECT_EQ(gps.candidates.size(), 2u);
    EXPECT_EQ(sbas.firstCode, obsCodeId("C1C"));

    // A more preferred runner-up within 10 % of the best count is chosen.
    ObsTable close;
    TecObsSelection& s = close.tecSelection[kGps];
    s.candidates = {candidate("C1C", "C2L", "L1C", "L2L", 95, 4), candidate("C1C", "C2W", "L1C", "L2W", 100, 0),
                    candidate("C1C", "C5Q", "L1C", "L5Q", 50, 2)};
    RunLog closeLog;
    selectTecObservablesPass2(close, closeLog);
    EXPECT_EQ(codes(s).substr(0, 15), "C1C C2W L1C L2W");  // the best, rank 0
    ObsTable nearly;
    TecObsSelection& n = nearly.tecSelection[kGps];
    n.candidates = {candidate("C1C", "C2L", "L1C", "L2L", 100, 4), candidate("C1C", "C2W", "L1C", "L2W", 91, 0)};
    RunLog nearlyLog;
    selectTecObservablesPass2(nearly, nearlyLog);
    EXPECT_EQ(codes(n).substr(0, 15), "C1C C2W L1C L2W");
    EXPECT_NE(nearlyLog.messages.find("--> C1C, C2W, L1C, L2W,  Count: 91, r# 0\r\n"), std::string::npos);
    ObsTable far;
    TecObsSelection& f = far.tecSelection[kGps];
    f.candidates = {candidate("C1C", "C2L", "L1C", "L2L", 100, 4), candidate("C1C", "C2W", "L1C", "L2W", 90, 0)};
    RunLog farLog;
    selectTecObservablesPass2(far, farLog);
    EXPECT_EQ(codes(f).substr(0, 15), "C1C C2L L1C L2L");
    EXPECT_EQ(f.secondBand, 2);

    // All counts zero: two are kept, the first stays.
    ObsTable none;
    TecObsSelection& z = none.tecSelection[kGalileo];
    z.candidates = {candidate("C1C", "C5Q", "L1C", "L5Q", 0, 0), candidate("C1C", "C7Q", "L1C", "L7Q", 0, 1),
                    candidate("C1C", "C8Q", "L1C", "L8Q", 0, 2)};
    RunLog noneLog;
    selectTecObservablesPass2(none, noneLog);
    EXPECT_EQ(z.candidates.size(), 2u);
    EXPECT_EQ(codes(z).substr(0, 15), "C1C C5Q L1C L5Q");
}
