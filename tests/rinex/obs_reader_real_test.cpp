// The observation reader on real files: the fixtures in tests/data, and every observation
// file of the shared data folder (skipped when it is absent).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

#include "decompress/plain_copy.h"
#include "geodesy/time.h"
#include "obs_test_text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// Epochs of flags 0, 1 and 6 (a blank flag is 0) counted from the layout of the epoch lines
// alone: the date, the seconds F11.7 and the flag, after "> " in RINEX 3, after a blank in RINEX 2.
long independentEpochCount(const std::string& text) {
    static const std::regex epochStart(R"((> \d{4}| [ \d]\d)( [ \d]\d){4}[ \d]{2}\d\.\d{7}  [016 ])");
    std::istringstream in(text);
    long epochs = 0;
    for (std::string line; std::getline(in, line);) {
        epochs += std::regex_search(line, epochStart, std::regex_constants::match_continuous);
    }
    return epochs;
}

// The four TEC observables chosen for a system, or "none".
std::string selection(const ObsTable& table, int systemCode) {
    const auto found = table.tecSelection.find(systemCode);
    if (found == table.tecSelection.end() || found->second.enough != 1) return "none";
    const TecObsSelection& s = found->second;
    std::string text;
    for (int id : {s.firstCode, s.secondCode, s.firstPhase, s.secondPhase}) {
        text += (text.empty() ? "" : " ") + std::string(obsCodeText(id));
    }
    return text;
}

}  // namespace

TEST(ObsReaderRealFiles, FixturesReadCleanly) {
    const struct {
        const char* name;
        const char* summary;
        const char* gps;
    } cases[] = {
        {"obs_sample_r301.rnx", "(15 lines, 1 epochs, 0 lines discarded)", "C1C C2P L1C L2P"},
        {"obs_duth_r302.22o", "(90 lines, 3 epochs, 0 lines discarded)", "C1C C2W L1C L2W"},
        {"obs_esbc_r305_excerpt.rnx", "(143 lines, 2 epochs, 0 lines discarded)", "C1C C2W L1C L2W"},
        {"obs_aopr_r210.17o", "(52 lines, 3 epochs, 0 lines discarded)", "C1C C2P L1P L2P"},
        {"obs_bjfs_excerpt.20o", "(56 lines, 2 epochs, 1 lines discarded)", "C1C C2P L1P L2P"},  // C1 and P1
    };
    std::map<std::string, ObsRead> reads;
    for (const auto& c : cases) {
        const std::string path = std::string(VELARIX_TEST_DATA) + "/" + c.name;
        const ObsRead& read = reads.try_emplace(c.name, path).first->second;
        EXPECT_EQ(read.table.readStatus, 0) << c.name;
        EXPECT_TRUE(read.logHas(std::string("Rinex obs read ") + c.summary)) << c.name << read.log.messages;
        EXPECT_EQ(read.counts.epochs, independentEpochCount(readWholeFile(path))) << c.name;
        EXPECT_EQ(selection(read.table, kGps), c.gps) << c.name;
    }
    // DUTH has no MARKER TYPE: reported, read all the same. ESBC's 3.05 is no matter.
    EXPECT_TRUE(reads.at("obs_duth_r302.22o").logHas("\r\nInfo! some information missing in header...\r\nIncomplete"));
    const ObsRead& esbc = reads.at("obs_esbc_r305_excerpt.rnx");
    EXPECT_FALSE(esbc.logHas("unsupported RINEX version")) << esbc.log.messages;
    EXPECT_EQ(esbc.table.bySatellite.size(), 12u);  // GPS satellites, 12 at each epoch
    const ObsRead& aopr = reads.at("obs_aopr_r210.17o");
    EXPECT_EQ(aopr.table.bySatellite.size(), 19u);  // "G 3" is GPS 3
    EXPECT_DOUBLE_EQ(aopr.record(31, 0).value(obsCodeId("C2P")), 22513487.370);
    const SatObservation& c1 = aopr.record(31, 0).observations[0];
    EXPECT_EQ((std::vector<int>{c1.lossOfLock, c1.signalStrength}), (std::vector<int>{4, 9}));
    const ObsRead& bjfs = reads.at("obs_bjfs_excerpt.20o");
    EXPECT_EQ(bjfs.records({2, 5}), (std::vector<size_t>{1, 2}));  // G02 has no L2 at 00:19:00
    EXPECT_DOUBLE_EQ(bjfs.record(5, 0).value(obsCodeId("L1P")), 113986897.215);
    EXPECT_EQ(bjfs.record(5, 0).observations[0].signalStrength, 8);
    EXPECT_NEAR(bjfs.table.longitude_deg, 115.892, 0.001);
}

TEST(ObsReaderRealFiles, EveryObservationFileReadsAndFullDaysHaveEveryEpoch) {
    const std::string root = sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "no shared data";
    // Full days: their epochs, and observables chosen. RINEX 2: C1 (C1C) before P1 (C1P) for GPS;
    // P before C for GLONASS. RINEX 3: the preferred four unless another combination was found
    // on clearly more satellite lines (Galileo E5b at ESBC and NYA1), or a more preferred one on
    // almost as many (GLONASS at ESBC).
    const std::map<std::string, std::pair<long, std::map<int, std::string>>> fullDays = {
        {"set1_bjfs_2020_001/bjfs0010.20o", {2880, {{kGps, "C1C C2P L1P L2P"}, {kGlonass, "C1P C2P L1P L2P"}}}},
        {"set3_cat2_2016_001/cat20010.16o", {2880, {{kGps, "C1C C2P L1P L2P"}}}},
        {"set6_bele_dgar_2024_010/dgar0100.24o.gz", {2880, {}}},
        {"set6_bele_dgar_2024_010/bele0100.24d.gz", {5760, {}}},
        {"set6_bele_dgar_2024_010/BELE00BRA_R_20240100000_01D_30S_MO.crx.gz",
         {2880, {{kGalileo, "C1X C5X L1X L5X"}, {kSbas, "none"}}}},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz",
         {2880,
          {{kGps, "C1C C2W L1C L2W"},
           {kGlonass, "C1C C2P L1C L2C"},
           {kGalileo, "C1C C7Q L1C L7Q"},
           {kBeiDou, "C2I C6I L2I L6I"},
           {kQzss, "C1C C2L L1C L2L"},
           {kSbas, "C1C C5I L1C L5I"}}}},
        {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_30S_MO.crx.gz", {2880, {{kGalileo, "C1X C7X L1X L7X"}}}},
        {"hatanaka_pairs/georinex_york/york0440.15o", {2880, {}}}};
    static const std::regex observationName(R"((\.\d\d[oOdD]|_MO\.(rnx|crx)|^sample\.(rnx|crx))(\.(gz|Z|bz2|zip))?$)");
    std::vector<std::string> files, skipped;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && std::regex_search(entry.path().filename().string(), observationName)) {
            files.push_back(entry.path().string().substr(root.size()));
        }
    }
    ASSERT_GT(files.size(), 60u);
    size_t fullDaysSeen = 0;
    for (const std::string& name : files) {
        const PlainCopy plain(root + name);
        if (!plain.ok()) {
            skipped.push_back(name + " (" + plain.error() + ")");
            continue;
        }
        const ObsRead read(plain.path());
        EXPECT_NE(read.table.readStatus, -2) << name;
        const std::string text = readWholeFile(plain.path());
        // Whenever the data section was read, every line of the file was counted.
        if (read.log.messages.find("Rinex obs read (") != std::string::npos) {
            const long lines =
                std::count(text.begin(), text.end(), '\n') + (text.empty() || text.back() == '\n' ? 0 : 1);
            EXPECT_EQ(read.counts.lines, lines) << name;
        }
        const auto day = fullDays.find(name);
        if (day == fullDays.end()) continue;
        ++fullDaysSeen;
        EXPECT_EQ(read.counts.epochs, independentEpochCount(text)) << name;
        EXPECT_EQ(read.counts.epochs, day->second.first) << name;
        EXPECT_EQ(read.table.readStatus, 0) << name;
        EXPECT_GE(read.table.bySatellite.size(), 25u) << name;
        EXPECT_EQ(selection(read.table, kGps).substr(0, 3), "C1C") << name;
        for (const auto& [system, chosen] : day->second.second)
            EXPECT_EQ(selection(read.table, system), chosen) << name;
    }
    for (const std::string& name : skipped) std::cout << "[ skipped  ] " << name << "\n";
    EXPECT_LE(skipped.size(), 4u);  // only the .bz2 and .zip wrappings may be beyond the decoders
    EXPECT_EQ(fullDaysSeen, fullDays.size());
}

TEST(ObsReaderRealFiles, BrokenFilesGiveTheirMessages) {
    const std::string root = sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "no shared data";
    // Each message (or summary of a clean read) with the files that give it.
    const std::string gpstk2 = "gpstk/test_input_rinex2_obs_", gpstk3 = "gpstk/test_input_rinex3_obs_";
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"\r\nError! Bad number in TIME OF FIRST OBS, in header at line 3", {"georinex/badtime.10o"}},
        {"Rinex obs read (24 lines, 2 epochs, 3 lines discarded)", {"georinex/badtime.10o"}},
        {"Rinex obs read (5 lines, 0 epochs, 1 lines discarded)", {"georinex/blank.10o"}},
        {"Rinex obs read (5 lines, 0 epochs, 0 lines discarded)", {"georinex/blank1st.10o"}},
        {"\r\nError! Bad epoch at line: 7", {"georinex/blank3.10o"}},
        {"Rinex obs read (7 lines, 0 epochs, 0 lines discarded)", {"georinex/blank3_1st.10o"}},
        {"\r\nError! Bad time format at epoch @line: 10", {"georinex/junk_time_obs3.10o"}},
        {"Rinex obs read (21 lines, 1 epochs, 3 lines discarded)", {"georinex/wrong_obs2_count.10o"}},
        {"\r\nError! Invalid epoch flag 9 @ line 41 ", {gpstk2 + "BadEpochFlag.06o"}},
        {"\r\nError! Bad epoch line.. @Obs.data at line# 41\r\n", {gpstk2 + "BadEpochLine.06o"}},
        {"\r\nInvalid line size... at data lineR3", {gpstk2 + "BadLineSize.06o"}},
        {"Rinex obs read (154 lines, 6 epochs, 0 lines discarded)",
         {gpstk2 + "FilterTest1.06o", gpstk2 + "FilterTest2.06o", gpstk2 + "FilterTest3.06o",
          gpstk2 + "FilterTest4.06o", gpstk2 + "RinexObsFile.06o"}},
        {"\r\nIncomplete or invalid header", {gpstk2 + "IncompleteHeader.06o", gpstk3 + "IncompleteHeader.15o"}},
        {"\r\nError! invalid header line length.. ", {gpstk2 + "InvalidLineLength.06o"}},
        {"\r\nError! invalid time format @line# 41", {gpstk2 + "InvalidTimeFormat.06o"}},
        {"\r\nError! This is not a RINEX Obs file., in header at line 1",
         {gpstk2 + "NotObs.06o", gpstk3 + "NotObs.15o"}},
        {"Rinex obs read (187 lines, 7 epochs, 3 lines discarded)", {gpstk2 + "RinexContData.06o"}},
        {"Rinex obs read (155 lines, 6 epochs, 1 lines discarded)",
         {gpstk2 + "SystemGeosync.06o", gpstk2 + "SystemGlonass.06o", gpstk2 + "SystemMixed.06o",
          gpstk2 + "SystemTransit.06o"}},
        {"\r\nError! RINEX 2 record in RINEX 3 file: # / TYPES OF OBSERV, in header at line 14",
         {gpstk2 + "UnSupVersion.06o"}},
        {"\r\nUnknown or unsupported RINEX version", {gpstk2 + "UnSupVersion.06o"}},
        {"\r\nError! Invalid epoch flag 9 @ line 31 ", {gpstk3 + "BadEpochFlag.15o"}},
        {"\r\nError! unreadable observation value @line# 35", {gpstk3 + "BadLineSize.15o"}},
        {"Rinex obs read (154 lines, 37 epochs, 0 lines discarded)",
         {gpstk3 + "FilterTest1.15o", gpstk3 + "FilterTest2.15o", gpstk3 + "FilterTest3.15o",
          gpstk3 + "FilterTest4.15o", gpstk3 + "RinexObsFile.15o", gpstk3 + "SystemGeosync.15o",
          gpstk3 + "SystemGlonass.15o", gpstk3 + "SystemMixed.15o", gpstk3 + "SystemTransit.15o"}},
        {"\r\nError! Unidentified label: >RINEX VERSION /<, in header at line 1", {gpstk3 + "InvalidLineLength.15o"}},
        {"\r\nError! Bad time format at epoch @line: 31", {gpstk3 + "InvalidTimeFormat.15o"}},
    };
    for (const auto& [message, names] : cases) {
        for (const std::string& name : names) {
            const ObsRead read(root + "bad_files/" + name);
            EXPECT_NE(read.log.messages.find(message), std::string::npos) << name << "\n" << read.log.messages;
        }
    }
    // A new site's event without a time (flag 3), its header lines and comment: no error.
    const ObsRead newSite(root + "bad_files/" + gpstk2 + "RinexContData.06o");
    EXPECT_FALSE(newSite.logHas("Error")) << newSite.log.messages;
    // The second epoch of badtime.10o is at 60 seconds: one minute later.
    EXPECT_DOUBLE_EQ(ObsRead(root + "bad_files/georinex/badtime.10o").record(13, 1).epochMjd,
                     MjdFromCivil(2010, 3, 5, 0, 1, 0.0));
}

}  // namespace velarix
