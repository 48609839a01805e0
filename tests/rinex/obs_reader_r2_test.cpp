#include <gtest/gtest.h>

#include "gnss/time.h"
#include "obs_test_text.h"
#include "platform/text.h"
#include "rinex/satellite_id.h"

namespace {

// L1 L2 C1 P1 P2: one data line per satellite.
const std::vector<std::string> kTypes = {"L1", "L2", "C1", "P1", "P2"};
const std::vector<double> kAll = {110000000.123, 85000000.456, 21000000.5, 21000001.25, 21000003.75};

constexpr long kHeaderLines = 11;

}  // namespace

TEST(ObsReaderRinex2, HeaderObservablesDecideWhetherTheFileIsRead) {
    // C1, C2, L1 and L2 only: read, with a warning.
    const ObsRead codes(rinex2Header({"C1", "C2", "L1", "L2"}) + rinex2Epoch(0, 0, 0.0, 0, {"G01"}) +
                        rinex2Data({21000000.5, 21000003.5, 110000000.123, 85000000.456}));
    EXPECT_TRUE(startsWith(codes.log.messages,
                           "\r\nWarning! @OBS_read: Both P1 & P2 observables absent in RinexVer2\r\nUsing C1,C2, "
                           "L1,L2 for deriving TEC.\r\nRinex obs read (13 lines, 1 epochs, 0 lines discarded)"));
    EXPECT_EQ(codes.records(1), 1u);
    const TecObsSelection& gps = codes.table.tecSelection.at(kGps);
    EXPECT_EQ(gps.firstCodeName, "C1C");
    EXPECT_EQ(gps.secondCodeName, "C2C");

    // C1, L1 and L2 only: refused before the data.
    const ObsRead refused(rinex2Header({"C1", "L1", "L2"}) + rinex2Epoch(0, 0, 0.0, 0, {"G01"}) +
                          rinex2Data({21000000.5, 110000000.123, 85000000.456}));
    EXPECT_EQ(refused.log.messages,
              "\r\nError! @OBS_read: one or more of Required observable(s) P1/C1,P2,L1,L2 missing! in RinexVer2");
    EXPECT_TRUE(refused.table.bySatellite.empty());
    EXPECT_EQ(refused.table.readStatus, 0);
}

TEST(ObsReaderRinex2, EachSatelliteNeedsTheObservablesForTec) {
    std::string text = rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, {"G01", "G02", "G03", "G04"});
    text += rinex2Data(kAll);
    text += rinex2Data({110000000.123, 0.0, 21000000.5, 21000001.25, 21000003.75});  // no L2
    text += rinex2Data({110000000.123, 85000000.456, 21000000.5, 0.0, 21000003.75});  // C1 for P1
    text += rinex2Data({110000000.123, 85000000.456, 21000000.5, 21000001.25, 0.0});  // no P2
    const ObsRead read(text);
    EXPECT_EQ(read.records(1), 1u);
    EXPECT_EQ(read.records(2), 0u);
    EXPECT_EQ(read.records(3), 1u);
    EXPECT_EQ(read.records(4), 0u);
    EXPECT_TRUE(read.logHas("Rinex obs read (16 lines, 1 epochs, 2 lines discarded)"));
    const SatEpochRecord& g01 = read.table.bySatellite.at(1)[0];
    ASSERT_EQ(g01.observations.size(), 5u);
    EXPECT_EQ(g01.observations[3].obsId, obsCodeId("C1P"));  // P1
    EXPECT_DOUBLE_EQ(g01.value(obsCodeId("C1P")), 21000001.25);
    EXPECT_DOUBLE_EQ(g01.value(obsCodeId("L2P")), 85000000.456);
    // Both C1 and P1: C1 (C1C, key 1) comes before P1 (C1P, key 2).
    const TecObsSelection& gps = read.table.tecSelection.at(kGps);
    EXPECT_EQ(gps.firstCodeName, "C1C");
    EXPECT_EQ(gps.secondCodeName, "C2P");
    EXPECT_EQ(obsCodeText(gps.firstPhase), "L1P");
    EXPECT_EQ(obsCodeText(gps.secondPhase), "L2P");
}

TEST(ObsReaderRinex2, RealFileWithC1AndP1) {
    const ObsRead read(readWholeFile(std::string(VELARIX_TEST_DATA) + "/obs_bjfs_excerpt.20o"), "bjfs0010.20o");
    EXPECT_EQ(read.log.messages, "\r\nRinex obs read (56 lines, 2 epochs, 1 lines discarded)\r\n ..DONE..");
    EXPECT_EQ(read.table.tecSelection.at(kGps).firstCodeName, "C1C");
    // G02 has no L2 at 00:19:00: not stored for that epoch.
    EXPECT_EQ(read.records(2), 1u);
    EXPECT_EQ(read.records(5), 2u);
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(5)[1].epochMjd, MjdFromCivil(2020, 1, 1, 0, 19, 0.0));
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(5)[0].value(obsCodeId("L1P")), 113986897.215);
    EXPECT_EQ(read.table.bySatellite.at(5)[0].observations[0].signalStrength, 8);
    EXPECT_NEAR(read.table.longitude_deg, 115.892, 0.001);
    ASSERT_EQ(read.header.obsTypes.count(kGps), 1u);
    EXPECT_EQ(read.header.obsTypes.count(kGlonass), 0u);  // no GLONASS satellite in these epochs
}

TEST(ObsReaderRinex2, LinesBetweenEpochsAreClassified) {
    const std::string comment = headerLine("a comment", "COMMENT");
    std::string text = rinex2Header(kTypes);
    text += comment + comment;                                                     // 12, 13
    text += rinex2Epoch(0, 0, 0.0, 4, {"G01", "G02", "G03"}).substr(0, 32) + "\n";  // 14: flag 4
    text += comment;                                                               // 15: read with it
    text += headerLine("NEWMARK", "MARKER NAME");                                  // 16: sub-header
    text += comment;                                                               // 17: a fourth note
    text += "x24  1 10  0  0  0.0000000  0  1G01\n";                               // 18
    text += " 24  1 10  0  0x 0.0000000  0  1G01\n";                               // 19
    text += std::string(26, ' ') + "  0  1G01\n";                                  // 20
    text += " 24 13 10  0  0  0.0000000  0  1G01\n";                               // 21
    text += " 24  1 10  0  0  0.0000000  8  1G01\n";                               // 22
    text += "x\n";                                                                 // 23
    text += rinex2Epoch(0, 0, 30.0, 3, {"G01"}).substr(0, 32) + "\n";              // 24: flag 3
    text += rinex2Epoch(0, 1, 0.0, 0, {"G01"}) + rinex2Data(kAll);                  // 25, 26
    const ObsRead read(text);
    EXPECT_EQ(read.log.messages,
              "\r\nNote! comment in rinexdata @line# 12"
              "\r\nNote! comment in rinexdata @line# 13"
              "\r\nInfo! header/comment at line# 15\r\n"
              "\r\nNote! sub-header in rinexdata @line# 16"
              "\r\nError! Bad epoch line.. @Obs.data at line# 18\r\n"
              "\r\nError! invalid time format @line# 19"
              "\r\nError! there is no epoch time @line# 20"
              "\r\nError! bad format in epoch time @line# 21"
              "\r\nError! Invalid epoch flag 8 @ line 22 "
              "\r\nRinex obs read (26 lines, 1 epochs, 7 lines discarded)\r\n ..DONE..");
    EXPECT_EQ(read.records(1), 1u);
}

TEST(ObsReaderRinex2, SatelliteListsAndTheirLimits) {
    std::vector<std::string> fourteen;
    for (int prn = 1; prn <= 14; ++prn) fourteen.push_back(strfmt("G%02d", prn));
    std::vector<std::string> fiftyOne;
    for (int prn = 1; prn <= 51; ++prn) fiftyOne.push_back(strfmt("R%02d", prn % 24 + 1));
    std::string text = rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, fourteen);  // 12, 13
    for (int i = 0; i < 14; ++i) text += rinex2Data(kAll);                          // 14..27
    text += rinex2Epoch(0, 0, 30.0, 0, fiftyOne);                                   // 28..32
    for (int i = 0; i < 51; ++i) text += rinex2Data(kAll);                          // 33..83
    text += rinex2Epoch(0, 1, 0.0, 0, {"G01"}) + rinex2Data(kAll);                   // 84, 85
    const ObsRead read(text);
    EXPECT_EQ(read.log.messages,
              "\r\nError! No. of satellites at epoch line are greater than limit! Obs@line# 28"
              "\r\nRinex obs read (85 lines, 2 epochs, 56 lines discarded)\r\n ..DONE..");
    EXPECT_EQ(read.records(14), 1u);
    EXPECT_EQ(read.records(1), 2u);
    EXPECT_EQ(read.records(201), 0u);

    // The file ends inside the satellite list of an epoch.
    std::string list = rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, fourteen);
    list.erase(list.rfind('\n', list.rfind("G13")) + 1);  // the continuation line is gone
    const ObsRead cut(list);
    EXPECT_EQ(cut.table.readStatus, 2);
    EXPECT_TRUE(startsWith(cut.log.messages, "\r\nError ..unexpected eof, at prns obs @line# 12"));

    // The file ends inside the data of an epoch: what was read stays.
    const ObsRead shortData(rinex2Header(kTypes) + rinex2Epoch(0, 0, 0.0, 0, {"G01", "G02"}) + rinex2Data(kAll));
    EXPECT_EQ(shortData.table.readStatus, 0);
    EXPECT_TRUE(startsWith(shortData.log.messages, "\r\nINFO! unexpected end of file, @data read"));
    EXPECT_EQ(shortData.records(1), 1u);
    EXPECT_EQ(shortData.counts.epochs, 1);
}

TEST(ObsReaderRinex2, TimesAndIdentifiers) {
    std::string text = rinex2Header(kTypes);
    text += rinex2Epoch(0, 0, 60.0, 0, {"G01"}) + rinex2Data(kAll);
    text += rinex2Epoch(0, 1, 60.5, 0, {"G01"}) + rinex2Data(kAll);
    text += rinex2Epoch(0, 3, 0.0, 0, {"G33", "123", "J01", "   ", "R24", "E05", "G 7"});
    for (int i = 0; i < 7; ++i) text += rinex2Data(kAll);
    const ObsRead read(text);
    ASSERT_EQ(read.records(1), 2u);
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(1)[0].epochMjd, MjdFromCivil(2024, 1, 10, 0, 1, 0.0));
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(1)[1].epochMjd, MjdFromCivil(2024, 1, 10, 0, 2, 0.5));
    // Numbers outside their system's range are not stored; GLONASS and Galileo are.
    EXPECT_EQ(read.records(33), 0u);
    EXPECT_EQ(read.records(123), 0u);
    EXPECT_EQ(read.records(501), 0u);
    EXPECT_EQ(read.records(0), 0u);
    EXPECT_EQ(read.records(224), 1u);
    EXPECT_EQ(read.records(305), 1u);
    EXPECT_EQ(read.records(7), 1u);
    EXPECT_EQ(read.table.bySatellite.size(), 4u);
    EXPECT_EQ(read.counts.discarded, 0);
    // The per-system lists exist after the data, for the systems that occurred.
    EXPECT_EQ(read.header.obsTypes.size(), 3u);
    EXPECT_EQ(read.header.obsTypes.at(kGalileo)[2].code, "C1A");
    const SatEpochRecord& r24 = read.table.bySatellite.at(224)[0];
    EXPECT_EQ(r24.systemLetter, 'R');
    EXPECT_EQ(r24.observations[3].obsId, obsCodeId("C1P"));
    EXPECT_EQ(read.table.tecSelection.at(kGlonass).firstCodeName, "C1P");
    EXPECT_EQ(read.table.tecSelection.at(kGps).firstCodeName, "C1C");
}

TEST(ObsReaderRinex2, LongLines) {
    std::string text = rinex2Header(kTypes);
    std::string epoch = rinex2Epoch(0, 0, 0.0, 0, {"G01"});
    epoch.insert(epoch.size() - 1, std::string(50, ' '));  // blanks past column 80
    text += epoch;
    std::string data = rinex2Data(kAll);
    data.insert(data.size() - 1, "   xxxxxxxxxxxxx");  // 96 characters
    text += data;
    std::vector<std::string> thirteen;
    for (int prn = 1; prn <= 13; ++prn) thirteen.push_back(strfmt("G%02d", prn));
    std::string epoch2 = rinex2Epoch(0, 0, 30.0, 0, thirteen);
    epoch2.insert(epoch2.size() - 1, std::string(48, ' ') + "x");  // a continuation of 84 characters
    text += epoch2;
    for (int i = 0; i < 13; ++i) text += rinex2Data(kAll);
    const ObsRead read(text);
    EXPECT_EQ(read.log.messages,
              "\r\nError! OBS_readR3: length of line exceeding 90 chars @line# 13"
              "\r\nInvalid line size... at data lineR3"
              "\r\nInvalid line size at epoch header continuation @line# 15"
              "\r\nRinex obs read (28 lines, 2 epochs, 0 lines discarded)\r\n ..DONE..");
    EXPECT_EQ(read.records(1), 2u);
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(1)[0].value(obsCodeId("C2P")), 21000003.75);
    EXPECT_EQ(read.records(13), 1u);
}

TEST(ObsReaderRinex2, ByEpochWhileThePositionIsUnknown) {
    std::string text = rinex2Header(kTypes, 0.0, 0.0, 0.0);
    for (int minute = 0; minute < 55; ++minute) {
        text += rinex2Epoch(0, minute, 0.0, 0, {"G01"}) + rinex2Data(kAll);
        text += rinex2Epoch(0, minute, 30.0, 0, {"G01"}) + rinex2Data(kAll);
    }
    const ObsRead read(text);
    EXPECT_FALSE(read.table.positionKnown);
    EXPECT_EQ(read.records(1), 110u);
    ASSERT_EQ(read.table.byEpoch.size(), 100u);
    EXPECT_DOUBLE_EQ(read.table.byEpoch.rbegin()->first, MjdFromCivil(2024, 1, 10, 0, 49, 30.0));
}
