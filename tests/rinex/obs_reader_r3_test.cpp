#include <gtest/gtest.h>

#include "gnss/time.h"
#include "platform/text.h"
#include "obs_test_text.h"
#include "rinex/satellite_id.h"

namespace {

const std::vector<std::string> kGpsTypes = {"G    5 C1C L1C C2W L2W S1C"};
const std::vector<double> kGpsValues = {20000000.123, 105000000.456, 20000003.5, 82000000.25, 45.5};

}  // namespace

TEST(ObsReaderRinex3, ReadsEpochsAndStoresGpsAndIrnssOnly) {
    const std::vector<std::string> types = {"G    5 C1C L1C C2W L2W S1C", "R    4 C1C L1C C2C L2C",
                                            "I    4 C5A L5A C9A L9A", "J    4 C1C L1C C2L L2L"};
    std::string text = rinex3Header(types) + rinex3Epoch(0, 0, 0.0, 0, 8);
    text += rinex3Sat("G05", kGpsValues);
    text += rinex3Sat("R12", {1.0, 2.0, 3.0, 4.0});
    text += rinex3Sat("I05", {1.0, 2.0, 3.0, 4.0});
    text += rinex3Sat("J01", {1.0, 2.0, 3.0, 4.0});  // counted for QZSS, never stored
    text += rinex3Sat("G33", kGpsValues);              // out of range: a raw 33 must not become GPS 33
    text += rinex3Sat("I08", {1.0, 2.0, 3.0, 4.0});    // out of range: would collide with GPS 8
    text += rinex3Sat("G  ", kGpsValues);              // no number
    text += rinex3Sat("   ", kGpsValues);              // no identifier
    text += rinex3Epoch(0, 0, 30.0, 0, 1) + rinex3Sat("G05", kGpsValues);
    const ObsRead read(text);
    EXPECT_EQ(read.table.readStatus, 0);
    EXPECT_EQ(read.log.messages,
              "\r\n ... end of file..\r\nRinex obs read (27 lines, 2 epochs, 2 lines discarded)\r\n ..DONE.."
              "\r\nList of available Observables for GPS\r\nC1C, C2W, L1C, L2W,  Count: 3, r# 0\r\n"
              "\r\nList of available Observables for Glonass\r\nC1C, C2C, L1C, L2C,  Count: 1, r# 0\r\n"
              "\r\nList of available Observables for QZSS\r\nC1C, C2L, L1C, L2L,  Count: 1, r# 0\r\n"
              "\r\nList of available Observables for IRNSS\r\nC9A, C5A, L9A, L5A,  Count: 2, r# 0\r\n");
    ASSERT_EQ(read.table.bySatellite.size(), 2u);
    ASSERT_EQ(read.records(5), 2u);
    ASSERT_EQ(read.records(605), 1u);
    const SatEpochRecord& g05 = read.table.bySatellite.at(5)[1];
    EXPECT_DOUBLE_EQ(g05.epochMjd, MjdFromCivil(2024, 1, 10, 0, 0, 30.0));
    EXPECT_EQ(g05.systemLetter, 'G');
    EXPECT_EQ(g05.systemCode, kGps);
    EXPECT_EQ(g05.epochFlag, 0);
    ASSERT_EQ(g05.observations.size(), 5u);
    EXPECT_EQ(g05.observations[3].obsId, obsCodeId("L2W"));
    EXPECT_DOUBLE_EQ(g05.value(obsCodeId("L2W")), 82000000.25);
    EXPECT_DOUBLE_EQ(g05.value(obsCodeId("C1C")), 20000000.123);
    EXPECT_EQ(g05.value(obsCodeId("L5Q")), 0.0);
    EXPECT_EQ(read.table.bySatellite.at(605)[0].systemLetter, 'I');
    EXPECT_EQ(read.counts.epochs, 2);
    EXPECT_EQ(read.counts.lines, 27);
    EXPECT_DOUBLE_EQ(read.counts.firstEpochMjd, MjdFromCivil(2024, 1, 10, 0, 0, 0.0));
    EXPECT_TRUE(read.table.byEpoch.empty());  // the header gives the position
    EXPECT_TRUE(read.table.positionKnown);
    EXPECT_NEAR(read.table.latitude_deg, 41.1402, 0.0001);
    EXPECT_NEAR(read.table.longitude_deg, 24.9168, 0.0001);
    // Occurrences count every satellite line with a value, stored or not.
    EXPECT_EQ(read.table.tecSelection.at(kGps).occurrences.at(obsCodeId("S1C")), 3);
    EXPECT_EQ(read.table.tecSelection.at(kIrnss).firstBand, 9);
}

TEST(ObsReaderRinex3, EpochEdgeCases) {
    std::string text = rinex3Header(kGpsTypes);
    text += rinex3Epoch(0, 59, 60.0, 0, 1) + rinex3Sat("G01", kGpsValues);  // a leap second
    text += rinex3Epoch(23, 59, 60.0, 0, 1, 10) + rinex3Sat("G01", kGpsValues);
    text += rinex3Epoch(1, 0, 0.0, 0, 3) + rinex3Sat("G02", kGpsValues);  // two satellites short
    text += rinex3Epoch(1, 0, 30.0, 0, 2) + rinex3Sat("G02", kGpsValues) + "G03  20000000.123\n";
    const ObsRead read(text);
    ASSERT_EQ(read.records(1), 2u);
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(1)[0].epochMjd, MjdFromCivil(2024, 1, 10, 1, 0, 0.0));
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(1)[1].epochMjd, MjdFromCivil(2024, 1, 11, 0, 0, 0.0));
    // The epoch that announced three satellites ends at the next epoch line, which is read.
    ASSERT_EQ(read.records(2), 2u);
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(2)[1].epochMjd, MjdFromCivil(2024, 1, 10, 1, 0, 30.0));
    EXPECT_EQ(read.counts.epochs, 4);
    EXPECT_EQ(read.counts.discarded, 0);
    // A line that stops after its last value is padded: the absent ones are stored as 0.
    const SatEpochRecord& g03 = read.table.bySatellite.at(3)[0];
    ASSERT_EQ(g03.observations.size(), 5u);
    EXPECT_DOUBLE_EQ(g03.observations[0].value, 20000000.123);
    EXPECT_EQ(g03.observations[0].lossOfLock, 0);
    EXPECT_EQ(g03.observations[0].signalStrength, 0);
    for (size_t i = 1; i < 5; ++i) EXPECT_EQ(g03.observations[i].value, 0.0);
    EXPECT_EQ(g03.observations[4].obsId, obsCodeId("S1C"));
}

TEST(ObsReaderRinex3, LossOfLockAndSignalStrengthIndicators) {
    std::string text = rinex3Header(kGpsTypes) + rinex3Epoch(0, 0, 0.0, 0, 1);
    text += "G07  20000000.12317 105000000.456 6\n";
    const ObsRead read(text);
    const SatEpochRecord& g07 = read.table.bySatellite.at(7)[0];
    EXPECT_EQ(g07.observations[0].lossOfLock, 1);
    EXPECT_EQ(g07.observations[0].signalStrength, 7);
    EXPECT_EQ(g07.observations[1].lossOfLock, 0);
    EXPECT_EQ(g07.observations[1].signalStrength, 6);
}

TEST(ObsReaderRinex3, ByEpochOnlyWhileThePositionIsUnknown) {
    std::string body;
    for (int minute = 0; minute < 60; ++minute) {
        for (double second : {0.0, 30.0}) {
            body += rinex3Epoch(0, minute, second, 0, 2) + rinex3Sat("G01", kGpsValues) + rinex3Sat("I02", {});
        }
    }
    const ObsRead known(rinex3Header({"G    5 C1C L1C C2W L2W S1C", "I    1 C5A"}) + body);
    EXPECT_TRUE(known.table.byEpoch.empty());
    EXPECT_EQ(known.records(1), 120u);

    const ObsRead unknown(rinex3Header({"G    5 C1C L1C C2W L2W S1C", "I    1 C5A"}, 0.0, 0.0, 6378137.0) + body);
    EXPECT_FALSE(unknown.table.positionKnown);
    EXPECT_EQ(unknown.table.latitude_deg, 0.0);
    ASSERT_EQ(unknown.table.byEpoch.size(), 100u);
    EXPECT_DOUBLE_EQ(unknown.table.byEpoch.begin()->first, MjdFromCivil(2024, 1, 10, 0, 0, 0.0));
    EXPECT_DOUBLE_EQ(unknown.table.byEpoch.rbegin()->first, MjdFromCivil(2024, 1, 10, 0, 49, 30.0));
    for (const auto& [mjd, records] : unknown.table.byEpoch) EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(unknown.records(1), 120u);
    EXPECT_EQ(unknown.counts.epochs, 120);
    // The records of both maps share their observations.
    EXPECT_EQ(unknown.table.byEpoch.begin()->second[0].observations.data(),
              unknown.table.bySatellite.at(1)[0].observations.data());
}

TEST(ObsReaderRinex3, BadLinesAreReportedWithTheirLineNumbers) {
    const std::string header = rinex3Header(kGpsTypes);
    const long h = 13;  // header lines
    std::string text = header;
    text += "G01  20000000.123\n";                                             // h+1: no epoch line
    text += "\n";                                                               // h+2: empty
    text += "> 2024 01 10 00 00  0.0000000  7  1\n";                           // h+3: flag 7
    text += "> 2024 01 10 00 00100.0000000  0  1\n";                           // h+4: column 19 used
    text += "> 2024 13 10 00 00  0.0000000  0  1\n";                           // h+5: month 13
    text += ">                              0  1\n";                           // h+6: no time
    text += "> 2024 01    00 00  0.0000000  0  1\n";                           // h+7: blank day
    text += rinex3Epoch(0, 0, 0.0, 4, 2) + "COMMENT LINE\nANOTHER ONE\n";      // h+8..h+10: flag 4
    text += rinex3Epoch(0, 0, 0.0, 0, 2) + "G02  20000000.12x\n" + rinex3Sat("G03", kGpsValues);  // h+11..13
    text += std::string(1600, ' ') + "\n";                                     // h+14: too long
    text += rinex3Epoch(0, 0, 30.0, 0, 1) + rinex3Sat("G03", kGpsValues);    // h+15, h+16
    const ObsRead read(text);
    const auto at = [h](long offset) { return h + offset; };
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! Bad epoch at line: %ld", at(1))));
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! Invalid epoch flag 7 @ line %ld ", at(3))));
    for (long offset : {4, 5, 6, 7}) {
        EXPECT_TRUE(read.logHas(strfmt("\r\nError! Bad time format at epoch @line: %ld", at(offset)))) << offset;
    }
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! Bad epoch at line: %ld", at(9))));
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! Bad epoch at line: %ld", at(10))));
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! unreadable observation value @line# %ld", at(12))));
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! OBS_readR3: length of line exceeding 1500 chars @line# %ld", at(14))));
    EXPECT_TRUE(read.logHas(strfmt("\r\nError! Bad epoch at line: %ld", at(14))));
    // Discarded: h+1, h+2, h+3..h+7, the flag-4 epoch line and its two records, h+14.
    EXPECT_TRUE(read.logHas(strfmt("Rinex obs read (%ld lines, 2 epochs, 11 lines discarded)", at(16))));
    EXPECT_EQ(read.records(2), 1u);  // its unreadable value counts as absent
    EXPECT_EQ(read.table.bySatellite.at(2)[0].observations[0].value, 0.0);
    EXPECT_EQ(read.records(3), 2u);
}

TEST(ObsReaderRinex3, HeaderProblemsEndOrShapeTheRead) {
    // Missing file.
    ObsTable table;
    Rinex3ObsHeader header;
    RunLog log;
    OBS_readR3("/nonexistent/file.20o", table, header, log);
    EXPECT_EQ(log.messages, "\r\nCan't open observation input file /nonexistent/file.20o");
    EXPECT_EQ(table.readStatus, -2);

    // The file ends inside the header.
    std::string text = rinex3Header(kGpsTypes);
    eraseHeaderLine(text, "END OF HEADER");
    const ObsRead incomplete(text);
    EXPECT_EQ(incomplete.log.messages, "\r\nError! incomplete header... end of file..");
    EXPECT_EQ(incomplete.table.readStatus, -1);

    // Header lines of a bad length and bad labels are reported and reading goes on.
    std::string odd = rinex3Header(kGpsTypes);
    odd.insert(0, "short line\n" + headerLine("", "NO SUCH LABEL") + "\n");
    odd += rinex3Epoch(0, 0, 0.0, 0, 1) + rinex3Sat("G01", kGpsValues);
    const ObsRead oddRead(odd);
    EXPECT_TRUE(startsWith(oddRead.log.messages,
                           "\r\nError! invalid header line length.. \r\nError! in header at line 1"
                           "\r\nError! Unidentified label: >NO SUCH LABEL<, in header at line 2\r\n ..."));
    EXPECT_EQ(oddRead.records(1), 1u);

    // No system with the four observables: nothing is read.
    const ObsRead noTec(rinex3Header({"G    2 C1C L1C", "R    3 C1C L1C C2C"}) + rinex3Epoch(0, 0, 0.0, 0, 0));
    EXPECT_EQ(noTec.log.messages,
              "\r\nInfo GPS - Not enough preselect observables for TEC.\r\nInfo Glonass - Not enough preselect "
              "observables for TEC.\r\nInfo! No GNSS system(s) have observables for TEC derivation: exiting..file "
              "read..");
    EXPECT_EQ(noTec.counts.epochs, 0);

    // A 3.02 header without marker type: reported, then read.
    std::string noMarkerType = rinex3Header(kGpsTypes);
    eraseHeaderLine(noMarkerType, "MARKER TYPE");
    const ObsRead partial(noMarkerType + rinex3Epoch(0, 0, 0.0, 0, 1) + rinex3Sat("G01", kGpsValues));
    EXPECT_TRUE(startsWith(partial.log.messages,
                           "\r\nInfo! some information missing in header...\r\nIncomplete or invalid header\r\n"));
    EXPECT_EQ(partial.records(1), 1u);
}

TEST(ObsReaderRinex3, NewerVersionsAreReadDespiteTheVersionCheck) {
    const std::string text = rinex3Header(kGpsTypes, 1.0, 2.0, 3.0, "3.05") + rinex3Epoch(0, 0, 0.0, 0, 1) +
                             rinex3Sat("G01", kGpsValues);
    const ObsRead read(text);
    EXPECT_TRUE(startsWith(read.log.messages, "\r\nUnknown or unsupported RINEX version\r\n ..."));
    EXPECT_EQ(read.records(1), 1u);
    EXPECT_EQ(read.table.tecSelection.at(kGps).firstCodeName, "C1C");

    const ObsRead esbc(readWholeFile(std::string(VELARIX_TEST_DATA) + "/obs_esbc_r305_excerpt.rnx"));
    EXPECT_EQ(esbc.table.readStatus, 0);
    EXPECT_TRUE(esbc.logHas("\r\nUnknown or unsupported RINEX version"));
    EXPECT_TRUE(esbc.logHas("Rinex obs read (143 lines, 2 epochs, 0 lines discarded)"));
    EXPECT_EQ(esbc.table.bySatellite.size(), 12u);  // GPS satellites, 12 at each epoch
    for (const auto& [satNo, records] : esbc.table.bySatellite) EXPECT_EQ(records.size(), 2u);
    const TecObsSelection& gps = esbc.table.tecSelection.at(kGps);
    EXPECT_EQ(gps.firstCodeName, "C1C");
    EXPECT_EQ(gps.secondCodeName, "C2W");
    EXPECT_EQ(obsCodeText(gps.firstPhase), "L1C");
    EXPECT_EQ(obsCodeText(gps.secondPhase), "L2W");
}

TEST(ObsReaderRinex3, CarriageReturnsAndMissingLastLineEnd) {
    std::string text = rinex3Header(kGpsTypes) + rinex3Epoch(0, 0, 0.0, 0, 1) + rinex3Sat("G01", kGpsValues);
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    crlf.pop_back();
    crlf.pop_back();  // no line end after the last line
    const ObsRead read(crlf);
    EXPECT_EQ(read.table.readStatus, 0);
    ASSERT_EQ(read.records(1), 1u);
    EXPECT_DOUBLE_EQ(read.table.bySatellite.at(1)[0].observations[4].value, 45.5);
    EXPECT_TRUE(read.logHas("Rinex obs read (15 lines, 1 epochs, 0 lines discarded)"));
}
