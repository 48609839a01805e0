// The observation reader on small synthetic files: header handling and both data loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "geodesy/time.h"
#include "obs_test_text.h"
#include "platform/message_limiter.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// L1 L2 C1 P1 P2: one data line per satellite.
const std::vector<std::string> kTypes = {"L1", "L2", "C1", "P1", "P2"};
const std::vector<double> kAll = {110000000.123, 85000000.456, 21000000.5, 21000001.25, 21000003.75};

std::vector<std::string> gpsList(int count, char letter = 'G') {
    std::vector<std::string> sats;
    for (int i = 0; i < count; ++i) sats.push_back(strfmt("%c%02d", letter, letter == 'G' ? i + 1 : i % 24 + 1));
    return sats;
}

const std::vector<std::string> kGpsTypes = {"G    5 C1C L1C C2W L2W S1C"};
const std::vector<double> kGpsValues = {20000000.123, 105000000.456, 20000003.5, 82000000.25, 45.5};

}  // namespace

TEST(ObsReaderRinex2, ObservablesForTecInTheHeaderAndForEachSatellite) {
    // C1, C2, L1 and L2 only: read, with a warning.
    const ObsRead codes = obsText(rinex2Header({"C1", "C2", "L1", "L2"}) + rinex2Epoch(0, 0, 0.0, 0, {"G01"}) +
                                  rinex2Data({21000000.5, 21000003.5, 110000000.123, 85000000.456}));
    EXPECT_TRUE(startsWith(codes.log.messages,
                           "\r\nWarning! @OBS_read: Both P1 & P2 observables absent in RinexVer2\r\nUsing C1,C2, "
                           "L1,L2 for deriving TEC.\r\nRinex obs read (13 lines, 1 epochs, 0 lines discarded)"));
    EXPECT_EQ(codes.table.tecSelection.at(kGps).secondCodeName, "C2C");
    // C1, L1 and L2 only: refused before the data.
    const ObsRead refused = obsText(rinex2Header({"C1", "L1", "L2"}) + rinex2Epoch(0, 0, 0.0, 0, {"G01"}) +
                                    rinex2Data({21000000.5, 110000000.123, 85000000.456}));
    EXPECT_EQ(refused.log.messages,
              "\r\nError! @OBS_read: one or more of Required observable(s) P1/C1,P2,L1,L2 missing! in RinexVer2");
    EXPECT_TRUE(refused.table.bySatellite.empty());
    EXPECT_EQ(refused.table.readStatus, kObsNoTecObservables);  // a failure, not a read

    // Each satellite needs them too: no L2 (G02) or no P2 (G04) is discarded; C1 stands in for P1 (G03).
    const ObsRead read = obsText(rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, gpsList(4)) + rinex2Data(kAll) +
                                 rinex2Data({110000000.123, 0.0, 21000000.5, 21000001.25, 21000003.75}) +
                                 rinex2Data({110000000.123, 85000000.456, 21000000.5, 0.0, 21000003.75}) +
                                 rinex2Data({110000000.123, 85000000.456, 21000000.5, 21000001.25, 0.0}));
    EXPECT_EQ(read.records({1, 2, 3, 4}), (std::vector<size_t>{1, 0, 1, 0}));
    EXPECT_TRUE(read.logHas("Rinex obs read (16 lines, 1 epochs, 2 lines discarded)"));
    EXPECT_EQ(read.record(1, 0).observations[3].obsId, obsCodeId("C1P"));  // P1
    EXPECT_DOUBLE_EQ(read.record(1, 0).value(obsCodeId("L2P")), 85000000.456);
    EXPECT_EQ(read.table.tecSelection.at(kGps).firstCodeName, "C1C");  // C1 before P1
}

TEST(ObsReaderRinex2, LinesBetweenEpochsAreClassified) {
    const std::string comment = headerLine("a comment", "COMMENT");
    const std::string text = rinex2Header(kTypes) + comment + comment +                    // 12, 13
                             rinex2Epoch(0, 0, 0.0, 4, gpsList(3)).substr(0, 32) + "\n" +  // 14: flag 4
                             comment +                                                     // 15: read with it
                             headerLine("NEWMARK", "MARKER NAME") + comment +              // 16: sub-header, 17
                             "x24  1 10  0  0  0.0000000  0  1G01\n" +                     // 18
                             " 24 13 10  0  0  0.0000000  0  1G01\n" +                     // 19
                             " 24  1 10  0  0  0.0000000  8  1G01\n" + "x\n" +             // 20, 21
                             rinex2Epoch(0, 0, 30.0, 3, {"G01"}).substr(0, 32) + "\n" +    // 22: flag 3
                             rinex2Epoch(0, 1, 0.0, 0, {"G01"}) + rinex2Data(kAll);        // 23, 24
    const ObsRead read = obsText(text);
    EXPECT_EQ(read.log.messages,
              "\r\nNote! comment in rinexdata @line# 12"
              "\r\nNote! comment in rinexdata @line# 13"
              "\r\nInfo! header/comment at line# 15\r\n"
              "\r\nNote! sub-header in rinexdata @line# 16"
              "\r\nError! Bad epoch line.. @Obs.data at line# 18\r\n"
              "\r\nError! bad format in epoch time @line# 19"
              "\r\nError! Invalid epoch flag 8 @ line 20 "
              "\r\nRinex obs read (24 lines, 1 epochs, 5 lines discarded)\r\n ..DONE..");
}

TEST(ObsReaderRinex2, SatelliteListsLongLinesAndTheEndOfTheFile) {
    // 14 satellites on two lines; 51 are more than the limit; blanks past column 80 are no
    // content, characters past column 90 are cut.
    std::string epoch = rinex2Epoch(0, 0, 0.0, 0, gpsList(14));
    epoch.insert(epoch.find('\n'), std::string(17, ' '));  // 85 characters
    std::string data = rinex2Data(kAll);
    data.insert(data.size() - 1, "   xxxxxxxxxxxxx");  // 96 characters
    std::string continued = rinex2Epoch(0, 0, 30.0, 0, gpsList(13));
    continued.insert(continued.size() - 1, std::string(48, ' ') + "x");  // a continuation of 84 characters
    std::string text = rinex2Header(kTypes) + epoch + data;              // 12-14
    for (int i = 1; i < 14; ++i) text += rinex2Data(kAll);               // 15-27
    text += continued;                                                   // 28, 29
    for (int i = 0; i < 13; ++i) text += rinex2Data(kAll);               // 30-42
    text += rinex2Epoch(0, 0, 60.0, 0, gpsList(51, 'R'));                // 43-47
    for (int i = 0; i < 51; ++i) text += rinex2Data(kAll);               // 48-98
    text += rinex2Epoch(0, 1, 60.5, 0, {"G01"}) + rinex2Data(kAll);      // 99, 100
    const ObsRead read = obsText(text);
    EXPECT_EQ(read.log.messages,
              "\r\nError! OBS_readR3: length of line exceeding 90 chars @line# 14"
              "\r\nInvalid line size... at data lineR3"
              "\r\nInvalid line size at epoch header continuation @line# 29"
              "\r\nError! No. of satellites at epoch line are greater than limit! Obs@line# 43"
              "\r\nRinex obs read (100 lines, 3 epochs, 56 lines discarded)\r\n ..DONE..");
    EXPECT_EQ(read.records({1, 13, 14, 201}), (std::vector<size_t>{3, 2, 1, 0}));
    EXPECT_DOUBLE_EQ(read.record(1, 0).value(obsCodeId("C2P")), 21000003.75);
    EXPECT_DOUBLE_EQ(read.record(1, 2).epochMjd, MjdFromCivil(2024, 1, 10, 0, 2, 0.5));  // 60.5 s: the next minute

    // The file ends inside the satellite list of an epoch.
    std::string list = rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, gpsList(14));
    list.erase(list.rfind('\n', list.rfind("G13")) + 1);  // the continuation line is gone
    const ObsRead cut = obsText(list);
    EXPECT_EQ(cut.table.readStatus, 2);
    EXPECT_TRUE(startsWith(cut.log.messages, "\r\nError ..unexpected eof, at prns obs @line# 12"));
    // The file ends inside the data of an epoch: what was read stays.
    const ObsRead shortData =
        obsText(rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, {"G01", "G02"}) + rinex2Data(kAll));
    EXPECT_EQ(shortData.table.readStatus, 0);
    EXPECT_TRUE(startsWith(shortData.log.messages, "\r\nINFO! unexpected end of file, @data read"));
    EXPECT_EQ(shortData.records(1), 1u);
}

TEST(ObsReaderRinex2, IdentifiersOutsideTheirRangeAreNotStored) {
    // "123" would collide with SBAS 23 and G33 with the per-PRN tables of later stages.
    std::string text = rinex2Header(kTypes, 0.0, 0.0, 0.0) +
                       rinex2Epoch(0, 0, 0.0, 0, {"G33", "123", "J01", "   ", "R24", "E05", "G 7"});
    for (int i = 0; i < 7; ++i) text += rinex2Data(kAll);
    for (int epoch = 1; epoch < 110; ++epoch)
        text += rinex2Epoch(0, epoch / 2, epoch % 2 * 30.0, 0, {"G01"}) + rinex2Data(kAll);
    const ObsRead read = obsText(text);
    EXPECT_EQ(read.records({224, 305, 7}), (std::vector<size_t>{1, 1, 1}));
    EXPECT_EQ(read.table.bySatellite.size(), 4u);  // and G01
    // The per-system lists exist after the data, for the systems that occurred.
    EXPECT_EQ(read.header.obsTypes.size(), 3u);
    EXPECT_EQ(read.header.obsTypes.at(kGalileo)[2].code, "C1A");
    EXPECT_EQ(read.record(224, 0).observations[3].obsId, obsCodeId("C1P"));
    // Without a position, the first 100 epochs are also kept by epoch.
    EXPECT_FALSE(read.table.positionKnown);
    ASSERT_EQ(read.table.byEpoch.size(), 100u);
    EXPECT_DOUBLE_EQ(read.table.byEpoch.rbegin()->first, MjdFromCivil(2024, 1, 10, 0, 49, 30.0));
}

TEST(ObsReaderRinex3, StoresGpsAndIrnssWithinTheirRangesOnly) {
    std::string text = rinex3Header({"G    5 C1C L1C C2W L2W S1C", "R    4 C1C L1C C2C L2C", "I    4 C5A L5A C9A L9A",
                                     "J    4 C1C L1C C2L L2L"}) +
                       rinex3Epoch(0, 0, 0.0, 0, 8) + rinex3Sat("G05", kGpsValues);
    for (const char* id : {"R12", "I05", "J01", "I08"}) text += rinex3Sat(id, {1.0, 2.0, 3.0, 4.0});
    // G33 must not become GPS 33, nor I08 collide with GPS 8; then no number, no identifier.
    for (const char* id : {"G33", "G  ", "   "}) text += rinex3Sat(id, kGpsValues);
    text += rinex3Epoch(0, 0, 30.0, 0, 1) + rinex3Sat("G05", kGpsValues);
    const ObsRead read = obsText(text);
    EXPECT_EQ(read.table.readStatus, 0);
    EXPECT_EQ(read.log.messages,
              "\r\n ... end of file..\r\nRinex obs read (27 lines, 2 epochs, 2 lines discarded)\r\n ..DONE.."
              "\r\nList of available Observables for GPS\r\nC1C, C2W, L1C, L2W,  Count: 3, r# 0\r\n"
              "\r\nList of available Observables for Glonass\r\nC1C, C2C, L1C, L2C,  Count: 1, r# 0\r\n"
              "\r\nList of available Observables for QZSS\r\nC1C, C2L, L1C, L2L,  Count: 1, r# 0\r\n"
              "\r\nList of available Observables for IRNSS\r\nC9A, C5A, L9A, L5A,  Count: 2, r# 0\r\n");
    EXPECT_EQ(read.table.bySatellite.size(), 2u);
    EXPECT_EQ(read.records({5, 605}), (std::vector<size_t>{2, 1}));
    const SatEpochRecord& g05 = read.record(5, 1);
    EXPECT_DOUBLE_EQ(g05.epochMjd, MjdFromCivil(2024, 1, 10, 0, 0, 30.0));
    EXPECT_DOUBLE_EQ(g05.value(obsCodeId("L2W")), 82000000.25);
    EXPECT_TRUE(read.table.byEpoch.empty());  // the header gives the position
    EXPECT_NEAR(read.table.latitude_deg, 41.1402, 0.0001);
    // Occurrences count every satellite line with a value, stored or not.
    EXPECT_EQ(read.table.tecSelection.at(kGps).occurrences.at(obsCodeId("S1C")), 3);
}

TEST(ObsReaderRinex3, EpochAndLineEdgeCases) {
    std::string text = rinex3Header(kGpsTypes);
    text += rinex3Epoch(0, 59, 60.0, 0, 1) + rinex3Sat("G01", kGpsValues);  // a leap second
    text += rinex3Epoch(23, 59, 60.0, 0, 1) + rinex3Sat("G01", kGpsValues);
    text += rinex3Epoch(1, 0, 0.0, 0, 3) + rinex3Sat("G02", kGpsValues);  // two satellites short
    text += rinex3Epoch(1, 0, 30.0, 0, 2) + rinex3Sat("G02", kGpsValues) + "G03  20000000.12317 105000000.456 6\n";
    std::string crlf;  // CR LF line ends, none after the last line
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const ObsRead read = obsText(crlf.substr(0, crlf.size() - 2));
    EXPECT_DOUBLE_EQ(read.record(1, 0).epochMjd, MjdFromCivil(2024, 1, 10, 1, 0, 0.0));
    EXPECT_DOUBLE_EQ(read.record(1, 1).epochMjd, MjdFromCivil(2024, 1, 11, 0, 0, 0.0));
    // The epoch that announced three satellites ends at the next epoch line, which is read.
    EXPECT_DOUBLE_EQ(read.record(2, 1).epochMjd, MjdFromCivil(2024, 1, 10, 1, 0, 30.0));
    EXPECT_TRUE(read.logHas("Rinex obs read (22 lines, 4 epochs, 0 lines discarded)")) << read.log.messages;
    // Loss of lock and signal strength; a line that stops after its second value holds two
    // fields, the others are absent.
    const SatEpochRecord& g03 = read.record(3, 0);
    ASSERT_EQ(g03.observations.size(), 2u);
    EXPECT_DOUBLE_EQ(g03.observations[0].value, 20000000.123);
    EXPECT_EQ((std::vector<int>{g03.observations[0].lossOfLock, g03.observations[0].signalStrength,
                                g03.observations[1].lossOfLock, g03.observations[1].signalStrength}),
              (std::vector<int>{1, 7, 0, 6}));
    EXPECT_TRUE(g03.find(obsCodeId("C2W")) == nullptr && g03.value(obsCodeId("S1C")) == 0.0);
}

TEST(ObsReader, ShortLinesTakeMemoryForTheFieldsTheyHoldOnly) {
    // RINEX 2: 20 observables listed, four lines per satellite of which only the first has
    // values: four values stored per record, not 20.
    const auto s1 = [](int count) {
        std::string fields;
        for (int i = 0; i < count; ++i) fields += "    S1";
        return fields;
    };
    const char* const label = "# / TYPES OF OBSERV";
    std::string r2 = rinex2Header({"C1", "L1", "L2", "P2"});
    const std::string fourTypes = headerLine("     4    C1    L1    L2    P2", label);
    r2.replace(r2.find(fourTypes), fourTypes.size(),
               headerLine("    20    C1    L1    L2    P2" + s1(5), label) + headerLine("      " + s1(9), label) +
                   headerLine("      " + s1(2), label));
    std::string body;
    for (int epoch = 0; epoch < 100; ++epoch) {
        body += rinex2Epoch(epoch / 120, epoch / 2 % 60, epoch % 2 * 30.0, 0, gpsList(10));
        for (int sat = 0; sat < 10; ++sat) {
            body += rinex2Data({21000000.5, 110000000.123, 85000000.456, 21000003.75}) + "\n\n\n";
        }
    }
    const ObsRead wide = obsText(r2 + body);
    ASSERT_EQ(wide.header.rinex2ObsTypes.size(), 20u);
    EXPECT_EQ(wide.records(3), 100u);
    EXPECT_EQ(wide.table.pool.size(), 100u * 10u * 4u);
    EXPECT_DOUBLE_EQ(wide.record(3, 0).value(obsCodeId("C2P")), 21000003.75);

    // RINEX 3: 93 observables listed, satellite lines of four characters: a value each, not 93.
    std::vector<std::string> typeLines;
    for (int first = 0; first < 93; first += 13) {
        std::string line = first == 0 ? "G   93 C1C L1C C2W L2W" : "      ";
        for (int i = first == 0 ? 4 : first; i < std::min(first + 13, 93); ++i) line += " S2W";
        typeLines.push_back(line);
    }
    std::string text = rinex3Header(typeLines);
    for (int epoch = 0; epoch < 200; ++epoch) {
        text += rinex3Epoch(epoch / 120, epoch / 2 % 60, epoch % 2 * 30.0, 0, 32);
        for (int sat = 1; sat <= 32; ++sat) text += strfmt("G%02d5\n", sat);
    }
    const ObsRead read = obsText(text);
    EXPECT_EQ(read.records(7), 200u);
    EXPECT_EQ(read.table.pool.size(), 200u * 32u);
    EXPECT_DOUBLE_EQ(read.record(7, 0).value(obsCodeId("C1C")), 5.0);
}

namespace {

std::vector<int> ids(std::initializer_list<const char*> codes) {
    std::vector<int> list;
    for (const char* code : codes) list.push_back(obsCodeId(code));
    return list;
}

// `kept` read the text of `every` keeping `keptIds[system]` only: the same log, counts,
// records and choice, each record with those of its observables that `every` holds, alike.
void expectKeptOnly(const ObsRead& every, const ObsRead& kept, const std::map<int, std::vector<int>>& keptIds) {
    EXPECT_EQ(kept.log.messages, every.log.messages);
    EXPECT_TRUE(kept.counts.lines == every.counts.lines && kept.counts.epochs == every.counts.epochs &&
                kept.counts.discarded == every.counts.discarded);
    ASSERT_EQ(kept.table.bySatellite.size(), every.table.bySatellite.size());
    for (const auto& [satNo, records] : every.table.bySatellite) {
        const std::vector<SatEpochRecord>& keptRecords = kept.table.bySatellite.at(satNo);
        ASSERT_EQ(keptRecords.size(), records.size()) << satNo;
        const std::vector<int>& wanted = keptIds.at(systemOf(satNo));
        for (std::size_t i = 0; i < records.size(); ++i) {
            const SatEpochRecord& whole = records[i];
            const SatEpochRecord& part = keptRecords[i];
            EXPECT_TRUE(part.epochMjd == whole.epochMjd && part.epochFlag == whole.epochFlag &&
                        part.systemLetter == whole.systemLetter);
            std::vector<int> expected, stored;
            for (const SatObservation& o : whole.observations) {
                if (std::find(wanted.begin(), wanted.end(), o.obsId) != wanted.end()) expected.push_back(o.obsId);
            }
            for (const SatObservation& o : part.observations) {
                stored.push_back(o.obsId);
                const SatObservation* same = whole.find(o.obsId);
                ASSERT_NE(same, nullptr);
                EXPECT_TRUE(o.value == same->value && o.lossOfLock == same->lossOfLock &&
                            o.signalStrength == same->signalStrength);
            }
            EXPECT_EQ(stored, expected) << satNo << " " << i;
        }
    }
    for (const auto& [system, selection] : every.table.tecSelection) {
        const TecObsSelection& other = kept.table.tecSelection.at(system);
        EXPECT_TRUE(other.firstCode == selection.firstCode && other.secondCode == selection.secondCode &&
                    other.firstPhase == selection.firstPhase && other.secondPhase == selection.secondPhase &&
                    other.firstStrength == selection.firstStrength && other.secondStrength == selection.secondStrength)
            << system;
        EXPECT_EQ(other.occurrences, selection.occurrences);
    }
}

}  // namespace

TEST(ObsReader, KeepingTheTecObservablesStoresThoseAloneAndChangesNothingElse) {
    // RINEX 2 chooses from the header: GPS takes C1 before P1, GLONASS P1 before C1; the
    // other code, D1 and the second band's strength are left out.
    const std::vector<std::string> types = {"L1", "L2", "C1", "P1", "P2", "S1", "S2", "D1"};
    const std::vector<double> values = {110000000.123, 85000000.456, 21000000.5, 21000001.25,
                                        21000003.75,   45.25,        38.5,       -1234.5};
    std::string r2 = rinex2Header(types);
    for (int epoch = 0; epoch < 3; ++epoch) {
        r2 += rinex2Epoch(0, epoch, 0.0, 0, {"G01", "R05", "G07"});
        for (int sat = 0; sat < 3; ++sat) r2 += rinex2Data(values);
    }
    const ObsRead every2 = obsText(r2);
    const ObsRead kept2 = obsText(r2, ObsKeep::kTecOnly);
    expectKeptOnly(every2, kept2,
                   {{kGps, ids({"L1P", "L2P", "C1C", "C2P", "S1P"})},
                    {kGlonass, ids({"L1P", "L2P", "C1P", "C2P", "S1P"})}});
    EXPECT_EQ(every2.record(1, 0).observations.size(), 8u);
    EXPECT_EQ(kept2.record(1, 0).observations.size(), 5u);

    // RINEX 3 chooses by the data: every candidate's four and the strength of its first band
    // are kept, S2W and D1C are not; a line that stops early keeps the kept ones it reaches.
    std::string r3 = rinex3Header({"G    9 C1C L1C C2W L2W C5Q L5Q S1C S2W D1C"});
    const std::vector<double> gps = {20000000.123, 105000000.456, 20000003.5, 82000000.25, 20000004.5,
                                     78000000.75,  45.5,          38.25,      -2345.5};
    for (int epoch = 0; epoch < 3; ++epoch) {
        r3 += rinex3Epoch(0, epoch, 0.0, 0, 3) + rinex3Sat("G01", gps) + rinex3Sat("G02", gps) +
              rinex3Sat("G03", {20000000.123, 105000000.456, 20000003.5});
    }
    const ObsRead every3 = obsText(r3);
    const ObsRead kept3 = obsText(r3, ObsKeep::kTecOnly);
    expectKeptOnly(every3, kept3, {{kGps, ids({"C1C", "L1C", "C2W", "L2W", "C5Q", "L5Q", "S1C"})}});
    EXPECT_EQ(kept3.record(1, 0).observations.size(), 7u);
    EXPECT_EQ(kept3.record(3, 0).observations.size(), 3u);
    EXPECT_EQ(kept3.table.tecSelection.at(kGps).candidates.size(), every3.table.tecSelection.at(kGps).candidates.size());
}

TEST(ObsReaderRinex3, ByEpochOnlyWhileThePositionIsUnknown) {
    std::string body;
    for (int epoch = 0; epoch < 120; ++epoch) {
        body += rinex3Epoch(0, epoch / 2, epoch % 2 * 30.0, 0, 2) + rinex3Sat("G01", kGpsValues) + rinex3Sat("I02", {});
    }
    const std::vector<std::string> types = {"G    5 C1C L1C C2W L2W S1C", "I    1 C5A"};
    EXPECT_TRUE(obsText(rinex3Header(types) + body).table.byEpoch.empty());
    const ObsRead unknown = obsText(rinex3Header(types, 0.0, 0.0, 6378137.0) + body);
    EXPECT_FALSE(unknown.table.positionKnown);
    ASSERT_EQ(unknown.table.byEpoch.size(), 100u);
    EXPECT_DOUBLE_EQ(unknown.table.byEpoch.rbegin()->first, MjdFromCivil(2024, 1, 10, 0, 49, 30.0));
    for (const auto& [mjd, records] : unknown.table.byEpoch) EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(unknown.records(1), 120u);
    // The records of both maps share their observations.
    EXPECT_EQ(unknown.table.byEpoch.begin()->second[0].observations.data(), unknown.record(1, 0).observations.data());
}

TEST(ObsReaderRinex3, BadLinesAreReportedWithTheirLineNumbers) {
    const long h = 13;                                                                       // header lines
    const std::string text = rinex3Header(kGpsTypes) + "G01  20000000.123\n" + "\n" +        // h+1: no epoch line, h+2
                             "> 2024 01 10 00 00  0.0000000  7  1\n" +                       // h+3: flag 7
                             "> 2024 01 10 00 00100.0000000  0  1\n" +                       // h+4: column 19 used
                             "> 2024 01    00 00  0.0000000  0  1\n" +                       // h+5: blank day
                             rinex3Epoch(0, 0, 0.0, 4, 2) + "COMMENT LINE\nANOTHER ONE\n" +  // h+6..h+8: flag 4
                             rinex3Epoch(0, 0, 0.0, 0, 2) + "G02  20000000.12x\n" + rinex3Sat("G03", kGpsValues) +
                             std::string(1600, ' ') + "\n" +                                // h+12: too long
                             rinex3Epoch(0, 0, 30.0, 0, 1) + rinex3Sat("G03", kGpsValues);  // h+13, h+14
    const ObsRead read = obsText(text);
    for (long line : {h + 1, h + 12}) {
        EXPECT_TRUE(read.logHas(strfmt("\r\nError! Bad epoch at line: %ld", line))) << line;
    }
    // The flag-4 event's records are no error.
    for (long line : {h + 7, h + 8}) EXPECT_FALSE(read.logHas(strfmt("line: %ld", line))) << line;
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! Invalid epoch flag 7 @ line %ld ", h + 3)));
    for (long line : {h + 4, h + 5}) {
        EXPECT_TRUE(read.logHas(strfmt("\r\nError! Bad time format at epoch @line: %ld", line))) << line;
    }
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! unreadable observation value @line# %ld", h + 10)));
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! OBS_readR3: length of line exceeding 1500 chars @line# %ld", h + 12)));
    // Discarded: h+1 to h+5, the flag-4 epoch line and its two records, h+12.
    EXPECT_TRUE(read.logHas(strfmt("Rinex obs read (%ld lines, 2 epochs, 9 lines discarded)", h + 14)));
    EXPECT_EQ(read.records({2, 3}), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(read.record(2, 0).observations[0].value, 0.0);  // its unreadable value counts as absent
}

TEST(ObsReaderRinex3, HeaderProblemsEndOrShapeTheRead) {
    const ObsRead missing("/nonexistent/file.20o");
    EXPECT_EQ(missing.log.messages, "\r\nCan't open observation input file /nonexistent/file.20o");
    EXPECT_EQ(missing.table.readStatus, -2);

    std::string text = rinex3Header(kGpsTypes);
    eraseHeaderLine(text, "END OF HEADER");
    const ObsRead incomplete = obsText(text);
    EXPECT_EQ(incomplete.log.messages, "\r\nError! incomplete header... end of file..");
    EXPECT_EQ(incomplete.table.readStatus, -1);

    // No system with the four observables: nothing is read.
    const ObsRead noTec =
        obsText(rinex3Header({"G    2 C1C L1C", "R    3 C1C L1C C2C"}) + rinex3Epoch(0, 0, 0.0, 0, 0));
    EXPECT_EQ(noTec.log.messages,
              "\r\nInfo GPS - Not enough preselect observables for TEC.\r\nInfo Glonass - Not enough preselect "
              "observables for TEC.\r\nInfo! No GNSS system(s) have observables for TEC derivation: exiting..file "
              "read..");
    EXPECT_EQ(noTec.counts.epochs, 0);
    EXPECT_EQ(noTec.table.readStatus, kObsNoTecObservables);
}

TEST(ObsReader, FloodsOfBadLinesLeaveAShortLog) {
    // About 2 MB of lines of one fault after a header (or in place of one): the first 20
    // messages as always, then one count line; the log stays a few kilobytes.
    const std::string blanks = std::string(70, ' ') + "\n";
    const std::string garbage = "x%&!garbage that is no epoch line\n";
    const std::string badFlag = " 24  1 10  0  0  0.0000000  9  1G01\n";
    const std::string badR3 = "> 2024 01 10 00 00  0.0000000  x  1\n";
    struct Case {
        std::string header, line;
        long firstLine;  // of the repeated lines
        std::string firstMessage, kind;
    };
    const std::string r2 = rinex2Header(kTypes), r3 = rinex3Header(kGpsTypes);
    const std::vector<Case> cases = {
        {"", blanks, 1, "\r\nError! Unidentified label: ><, in header at line 1", "Error! in header at line"},
        {r2, garbage, 12, "\r\nError! Bad epoch line.. @Obs.data at line# 12\r\n", "Error! Bad epoch line.."},
        {r2, badFlag, 12, "\r\nError! Invalid epoch flag 9 @ line 12 ", "Error! Invalid epoch flag"},
        {r3, garbage, 14, "\r\nError! Bad epoch at line: 14", "Error! Bad epoch at line:"},
        {r3, badR3, 14, "\r\nError! Invalid epoch flag -1 @ line 14 ", "Error! Invalid epoch flag"},
    };
    for (const Case& c : cases) {
        const long repeats = 2'000'000 / static_cast<long>(c.line.size());
        std::string text = c.header;
        for (long i = 0; i < repeats; ++i) text += c.line;
        TempDir dir;
        const std::string path = dir.write("flood.obs", text);
        const ObsRead read(path);
        EXPECT_LT(read.log.messages.size(), 4000u) << c.firstMessage;
        EXPECT_TRUE(read.logHas(c.firstMessage)) << read.log.messages;
        const std::string last = strfmt("%ld", c.firstLine + MessageLimiter::kShownPerKind - 1);
        EXPECT_TRUE(read.logHas(" " + last)) << c.firstMessage;  // the 20th is shown, with its line number
        EXPECT_FALSE(read.logHas(strfmt(" %ld", c.firstLine + MessageLimiter::kShownPerKind))) << c.firstMessage;
        EXPECT_TRUE(read.logHas(strfmt("\r\nNote! %ld more such messages in %s were not shown: %s",
                                       repeats - MessageLimiter::kShownPerKind, path.c_str(), c.kind.c_str())))
            << read.log.messages;
    }
    // Random bytes: a few kinds of message, each kept short.
    std::mt19937 random(15);
    std::string bytes(2'000'000, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    const ObsRead noise = obsText(bytes);
    EXPECT_LT(noise.log.messages.size(), 8000u);
    EXPECT_TRUE(noise.logHas("more such messages in")) << noise.log.messages;
}

}  // namespace velarix
