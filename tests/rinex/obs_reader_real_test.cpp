// The observation reader on real files: the fixtures in tests/data, and every observation
// file of the shared data folder (skipped when it is absent).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <regex>
#include <sstream>

#include "decompress/plain_copy.h"
#include "gnss/time.h"
#include "obs_test_text.h"
#include "rinex/satellite_id.h"

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

size_t afterHeader(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("END OF HEADER") != std::string::npos) return i + 1;
    }
    return lines.size();
}

int field(const std::string& line, size_t from, size_t count) {
    return line.size() > from ? std::atoi(line.substr(from, count).c_str()) : 0;
}

// Epochs of flags 0, 1 and 6 counted from the layout of the formats alone: RINEX 3 epoch
// lines begin with "> " and have their flag in column 32; a RINEX 2 epoch is followed by
// its continuation lines and one block of data lines per satellite, or by its special
// records for flags 2 to 5.
long independentEpochCount(const std::string& text) {
    const std::vector<std::string> lines = splitLines(text);
    const bool rinex3 = !lines.empty() && std::atof(lines[0].substr(0, 9).c_str()) >= 3.0;
    long epochs = 0;
    size_t i = afterHeader(lines);
    if (rinex3) {
        for (; i < lines.size(); ++i) {
            const std::string& l = lines[i];
            if (l.rfind("> ", 0) == 0 && l.size() >= 32 && (l[31] == '0' || l[31] == '1' || l[31] == '6')) ++epochs;
        }
        return epochs;
    }
    int types = 0;
    for (const std::string& l : lines) {
        if (l.find("# / TYPES OF OBSERV") != std::string::npos && types == 0) types = field(l, 0, 6);
    }
    const int linesPerSatellite = (types + 4) / 5;
    while (i < lines.size()) {
        const std::string& l = lines[i++];
        if (l.find_first_not_of(' ') == std::string::npos) continue;
        const char flag = l.size() > 28 ? l[28] : ' ';
        const int satellites = field(l, 29, 3);
        if (flag == '0' || flag == '1' || flag == '6' || flag == ' ') {
            ++epochs;
            i += (satellites - 1) / 12 + static_cast<size_t>(satellites * linesPerSatellite);
        } else {
            i += satellites;
        }
    }
    return epochs;
}

long lineCount(const std::string& text) {
    long n = std::count(text.begin(), text.end(), '\n');
    return !text.empty() && text.back() != '\n' ? n + 1 : n;
}

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

bool isObservationFile(const std::string& name) {
    static const std::regex pattern(R"((\.\d\d[oOdD]|_MO\.(rnx|crx)|^sample\.(rnx|crx))(\.(gz|Z|bz2|zip))?$)");
    return std::regex_search(name, pattern);
}

std::string fixture(const char* name) { return std::string(VELARIX_TEST_DATA) + "/" + name; }

}  // namespace

TEST(ObsReaderRealFiles, FixturesReadCleanly) {
    struct Case {
        const char* name;
        const char* summary;
    };
    const Case cases[] = {
        {"obs_sample_r301.rnx", "Rinex obs read (15 lines, 1 epochs, 0 lines discarded)"},
        {"obs_duth_r302.22o", "Rinex obs read (90 lines, 3 epochs, 0 lines discarded)"},
        {"obs_aopr_r210.17o", "Rinex obs read (52 lines, 3 epochs, 0 lines discarded)"},
    };
    for (const Case& c : cases) {
        const std::string text = readWholeFile(fixture(c.name));
        const ObsRead read(text, c.name);
        EXPECT_EQ(read.table.readStatus, 0) << c.name;
        EXPECT_TRUE(read.logHas(c.summary)) << c.name << read.log.messages;
        EXPECT_EQ(read.counts.epochs, independentEpochCount(text)) << c.name;
        EXPECT_EQ(selection(read.table, kGps).substr(0, 3), "C1C") << c.name;
    }
    const ObsRead aopr(readWholeFile(fixture("obs_aopr_r210.17o")));
    EXPECT_EQ(aopr.table.bySatellite.size(), 19u);  // "G 3" is GPS 3
    EXPECT_DOUBLE_EQ(aopr.table.bySatellite.at(31)[0].value(obsCodeId("C2P")), 22513487.370);
    EXPECT_EQ(aopr.table.bySatellite.at(31)[0].observations[0].lossOfLock, 4);
    EXPECT_EQ(aopr.table.bySatellite.at(31)[0].observations[0].signalStrength, 9);
}

TEST(ObsReaderRealFiles, EveryObservationFileReads) {
    const std::string root = sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "no shared data";
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && isObservationFile(entry.path().filename().string())) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 60u);
    std::vector<std::string> skipped;
    for (const std::string& path : files) {
        const PlainCopy plain(path);
        if (!plain.ok()) {
            skipped.push_back(path.substr(root.size()) + " (" + plain.error() + ")");
            continue;
        }
        ObsTable table;
        Rinex3ObsHeader header;
        RunLog log;
        const ObsReadCounts counts = OBS_readR3(plain.path(), table, header, log);
        EXPECT_NE(table.readStatus, -2) << path;
        // Whenever the data section was read, every line of the file was counted.
        if (log.messages.find("Rinex obs read (") != std::string::npos) {
            EXPECT_EQ(counts.lines, lineCount(readWholeFile(plain.path()))) << path;
        }
    }
    for (const std::string& name : skipped) std::cout << "[ skipped  ] " << name << "\n";
    EXPECT_LE(skipped.size(), 4u);  // only the .bz2 and .zip wrappings may be beyond the decoders
}

TEST(ObsReaderRealFiles, FullDaysHaveEveryEpoch) {
    const std::string root = sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "no shared data";
    struct Case {
        const char* path;
        long epochs;
    };
    const Case cases[] = {
        {"set1_bjfs_2020_001/bjfs0010.20o", 2880},
        {"set3_cat2_2016_001/cat20010.16o", 2880},
        {"set6_bele_dgar_2024_010/dgar0100.24o.gz", 2880},
        {"set6_bele_dgar_2024_010/bele0100.24d.gz", 5760},
        {"set6_bele_dgar_2024_010/BELE00BRA_R_20240100000_01D_30S_MO.crx.gz", 2880},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", 2880},
        {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_30S_MO.crx.gz", 2880},
        {"hatanaka_pairs/georinex_york/york0440.15o", 2880},
    };
    for (const Case& c : cases) {
        const PlainCopy plain(root + c.path);
        if (!plain.ok()) {
            std::cout << "[ skipped  ] " << c.path << " (" << plain.error() << ")\n";
            continue;
        }
        ObsTable table;
        Rinex3ObsHeader header;
        RunLog log;
        const ObsReadCounts counts = OBS_readR3(plain.path(), table, header, log);
        EXPECT_EQ(counts.epochs, independentEpochCount(readWholeFile(plain.path()))) << c.path;
        EXPECT_EQ(counts.epochs, c.epochs) << c.path;
        EXPECT_EQ(table.readStatus, 0) << c.path;
        EXPECT_GE(table.bySatellite.size(), 25u) << c.path;
        EXPECT_EQ(selection(table, kGps).substr(0, 3), "C1C") << c.path;
    }
}

TEST(ObsReaderRealFiles, ObservableSelections) {
    const std::string root = sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "no shared data";
    struct Case {
        const char* path;
        int system;
        const char* chosen;
    };
    // RINEX 2: C1 (C1C) before P1 (C1P) for GPS; P before C for GLONASS.
    // RINEX 3: the preferred four unless another combination was found on clearly more
    // satellite lines (Galileo E5b at ESBC and NYA1), or a more preferred one on almost as
    // many (GLONASS at ESBC and BELE).
    const Case cases[] = {
        {"set1_bjfs_2020_001/bjfs0010.20o", kGps, "C1C C2P L1P L2P"},
        {"set1_bjfs_2020_001/bjfs0010.20o", kGlonass, "C1P C2P L1P L2P"},
        {"set3_cat2_2016_001/cat20010.16o", kGps, "C1C C2P L1P L2P"},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", kGps, "C1C C2W L1C L2W"},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", kGlonass, "C1C C2P L1C L2C"},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", kGalileo, "C1C C7Q L1C L7Q"},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", kBeiDou, "C2I C6I L2I L6I"},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", kQzss, "C1C C2L L1C L2L"},
        {"set7_esbc_2020_177/ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz", kSbas, "C1C C5I L1C L5I"},
        {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_30S_MO.crx.gz", kGps, "C1C C2W L1C L2W"},
        {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_30S_MO.crx.gz", kGlonass, "C1P C2P L1P L2P"},
        {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_30S_MO.crx.gz", kGalileo, "C1X C7X L1X L7X"},
        {"set9_nya1_2024_124/NYA100NOR_S_20241240000_01D_30S_MO.crx.gz", kBeiDou, "C2X C6X L2X L6X"},
        {"set6_bele_dgar_2024_010/BELE00BRA_R_20240100000_01D_30S_MO.crx.gz", kGps, "C1C C2W L1C L2W"},
        {"set6_bele_dgar_2024_010/BELE00BRA_R_20240100000_01D_30S_MO.crx.gz", kGalileo, "C1X C5X L1X L5X"},
        {"set6_bele_dgar_2024_010/BELE00BRA_R_20240100000_01D_30S_MO.crx.gz", kSbas, "none"},
    };
    std::string lastPath;
    ObsTable table;
    Rinex3ObsHeader header;
    for (const Case& c : cases) {
        if (c.path != lastPath) {
            lastPath = c.path;
            const PlainCopy plain(root + c.path);
            if (!plain.ok()) {
                std::cout << "[ skipped  ] " << c.path << " (" << plain.error() << ")\n";
                table.clear();
                continue;
            }
            table.clear();
            RunLog log;
            OBS_readR3(plain.path(), table, header, log);
            // The 3.05 files fail the version check and are read all the same.
            if (header.version > 3.02) {
                EXPECT_NE(log.messages.find("\r\nUnknown or unsupported RINEX version"), std::string::npos);
            }
        }
        if (table.tecSelection.empty()) continue;
        EXPECT_EQ(selection(table, c.system), c.chosen) << c.path << " " << systemName(c.system);
    }
}

TEST(ObsReaderRealFiles, BrokenFilesGiveTheirMessages) {
    const std::string root = sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "no shared data";
    struct Case {
        const char* name;
        const char* message;  // a message of the log, or the summary of a clean read
    };
    const Case cases[] = {
        {"georinex/badtime.10o", "\r\nError! Bad number in TIME OF FIRST OBS, in header at line 3"},
        {"georinex/badtime.10o", "Rinex obs read (24 lines, 2 epochs, 3 lines discarded)"},
        {"georinex/blank.10o", "Rinex obs read (5 lines, 0 epochs, 1 lines discarded)"},
        {"georinex/blank1st.10o", "Rinex obs read (5 lines, 0 epochs, 0 lines discarded)"},
        {"georinex/blank3.10o", "\r\nError! Bad epoch at line: 7"},
        {"georinex/blank3_1st.10o", "Rinex obs read (7 lines, 0 epochs, 0 lines discarded)"},
        {"georinex/junk_time_obs3.10o", "\r\nError! Bad time format at epoch @line: 10"},
        {"georinex/wrong_obs2_count.10o", "Rinex obs read (21 lines, 1 epochs, 3 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_BadEpochFlag.06o", "\r\nError! Invalid epoch flag 9 @ line 41 "},
        {"gpstk/test_input_rinex2_obs_BadEpochLine.06o", "\r\nError! Bad epoch line.. @Obs.data at line# 41\r\n"},
        {"gpstk/test_input_rinex2_obs_BadLineSize.06o", "\r\nInvalid line size... at data lineR3"},
        {"gpstk/test_input_rinex2_obs_FilterTest1.06o", "Rinex obs read (154 lines, 6 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_FilterTest2.06o", "Rinex obs read (154 lines, 6 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_FilterTest3.06o", "Rinex obs read (154 lines, 6 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_FilterTest4.06o", "Rinex obs read (154 lines, 6 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_IncompleteHeader.06o", "\r\nIncomplete or invalid header"},
        {"gpstk/test_input_rinex2_obs_InvalidLineLength.06o", "\r\nError! invalid header line length.. "},
        {"gpstk/test_input_rinex2_obs_InvalidTimeFormat.06o", "\r\nError! invalid time format @line# 41"},
        {"gpstk/test_input_rinex2_obs_NotObs.06o", "\r\nError! This is not a RINEX Obs file., in header at line 1"},
        {"gpstk/test_input_rinex2_obs_RinexContData.06o", "\r\nError! there is no epoch time @line# 164"},
        {"gpstk/test_input_rinex2_obs_RinexContData.06o", "Rinex obs read (187 lines, 7 epochs, 3 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_RinexObsFile.06o", "Rinex obs read (154 lines, 6 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_SystemGeosync.06o", "Rinex obs read (155 lines, 6 epochs, 1 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_SystemGlonass.06o", "Rinex obs read (155 lines, 6 epochs, 1 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_SystemMixed.06o", "Rinex obs read (155 lines, 6 epochs, 1 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_SystemTransit.06o", "Rinex obs read (155 lines, 6 epochs, 1 lines discarded)"},
        {"gpstk/test_input_rinex2_obs_UnSupVersion.06o",
         "\r\nError! RINEX 2 record in RINEX 3 file: # / TYPES OF OBSERV, in header at line 14"},
        {"gpstk/test_input_rinex2_obs_UnSupVersion.06o", "\r\nUnknown or unsupported RINEX version"},
        {"gpstk/test_input_rinex3_obs_BadEpochFlag.15o", "\r\nError! Invalid epoch flag 9 @ line 31 "},
        {"gpstk/test_input_rinex3_obs_BadLineSize.15o", "\r\nError! unreadable observation value @line# 35"},
        {"gpstk/test_input_rinex3_obs_FilterTest1.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_FilterTest2.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_FilterTest3.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_FilterTest4.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_IncompleteHeader.15o", "\r\nIncomplete or invalid header"},
        {"gpstk/test_input_rinex3_obs_InvalidLineLength.15o",
         "\r\nError! Unidentified label: >RINEX VERSION /<, in header at line 1"},
        {"gpstk/test_input_rinex3_obs_InvalidTimeFormat.15o", "\r\nError! Bad time format at epoch @line: 31"},
        {"gpstk/test_input_rinex3_obs_NotObs.15o", "\r\nError! This is not a RINEX Obs file., in header at line 1"},
        {"gpstk/test_input_rinex3_obs_RinexObsFile.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_SystemGeosync.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_SystemGlonass.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_SystemMixed.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
        {"gpstk/test_input_rinex3_obs_SystemTransit.15o", "Rinex obs read (154 lines, 37 epochs, 0 lines discarded)"},
    };
    for (const Case& c : cases) {
        const std::string path = root + "bad_files/" + c.name;
        ObsTable table;
        Rinex3ObsHeader header;
        RunLog log;
        OBS_readR3(path, table, header, log);
        EXPECT_NE(log.messages.find(c.message), std::string::npos) << c.name << "\n" << log.messages;
    }
    // The second epoch of badtime.10o is at 60 seconds: one minute later.
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    OBS_readR3(root + "bad_files/georinex/badtime.10o", table, header, log);
    ASSERT_EQ(table.bySatellite.at(13).size(), 2u);
    EXPECT_DOUBLE_EQ(table.bySatellite.at(13)[1].epochMjd, MjdFromCivil(2010, 3, 5, 0, 1, 0.0));
}
