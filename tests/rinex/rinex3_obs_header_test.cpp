#include "rinex/rinex3_obs_header.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "gnss/time.h"
#include "obs_test_text.h"
#include "rinex/satellite_id.h"

namespace {

// Parses the header part of a file; returns the statuses of the lines that failed.
std::vector<HeaderStatus> parseHeader(Rinex3ObsHeader& header, const std::string& text) {
    std::vector<HeaderStatus> failures;
    std::istringstream in(text);
    std::string line;
    while (!header.endOfHeader && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        HeaderStatus status = header.parseLine(line);
        if (!status.ok()) failures.push_back(status);
    }
    return failures;
}

std::string fixture(const char* name) { return readWholeFile(std::string(VELARIX_TEST_DATA) + "/" + name); }

HeaderStatus parseOne(Rinex3ObsHeader& header, std::string_view content, std::string_view label) {
    std::string line = headerLine(content, label);
    line.pop_back();
    return header.parseLine(line);
}

}  // namespace

TEST(ObsHeader, ReadsARealRinex3Header) {
    Rinex3ObsHeader header;
    EXPECT_TRUE(parseHeader(header, fixture("obs_duth_r302.22o")).empty());
    EXPECT_TRUE(header.endOfHeader);
    EXPECT_DOUBLE_EQ(header.version, 3.02);
    EXPECT_EQ(header.satelliteSystemCode, kMixed);
    EXPECT_EQ(header.markerName, "DUTH");
    EXPECT_EQ(header.markerNumber, "12621M001");
    EXPECT_EQ(header.receiverType, "LEICA GRX1200GGPRO");
    EXPECT_EQ(header.antennaType, "LEIAT504GG      LEIS");
    EXPECT_DOUBLE_EQ(header.approxPosition_m[0], 4362689.8809);
    EXPECT_DOUBLE_EQ(header.approxPosition_m[2], 4174234.2239);
    EXPECT_DOUBLE_EQ(header.antennaDeltaHen_m[0], 0.1830);
    EXPECT_DOUBLE_EQ(header.interval_s, 30.0);
    EXPECT_DOUBLE_EQ(header.firstObsMjd, MjdFromCivil(2022, 3, 4, 0, 0, 0.0));
    EXPECT_DOUBLE_EQ(header.lastObsMjd, MjdFromCivil(2022, 3, 4, 23, 59, 30.0));
    EXPECT_EQ(header.firstObsTimeSystem, "GPS");
    ASSERT_EQ(header.obsTypes.size(), 2u);
    const std::vector<HeaderObsType>& gps = header.obsTypes.at(kGps);
    ASSERT_EQ(gps.size(), 8u);
    EXPECT_EQ(gps[4].code, "C2W");
    EXPECT_EQ(gps[4].id, obsCodeId("C2W"));
    EXPECT_EQ(header.obsTypes.at(kGlonass)[6].code, "D2P");
    ASSERT_EQ(header.phaseShifts.size(), 4u);
    EXPECT_EQ(header.phaseShifts[0].code, "L2S");
    EXPECT_DOUBLE_EQ(header.phaseShifts[0].correction_cycles, -0.25);
    EXPECT_EQ(header.phaseShifts[3].systemCode, kGalileo);
    EXPECT_EQ(header.glonassFrequencyNumbers.size(), 22u);  // three lines, one continuation
    EXPECT_EQ(header.glonassFrequencyNumbers.at(202), -4);
    EXPECT_EQ(header.comments.size(), 9u);
    EXPECT_EQ(header.signalStrengthUnit, "DBHZ");
    const std::uint32_t seen = kBitVersion | kBitRunBy | kBitComment | kBitMarkerName | kBitMarkerNumber |
                               kBitObserver | kBitReceiver | kBitAntennaType | kBitApproxPosition |
                               kBitAntennaDeltaHen | kBitObsTypes | kBitWavelengthOrStrength | kBitInterval |
                               kBitFirstObs | kBitLastObs | kBitClockOffsetApplied | kBitPhaseShift |
                               kBitGlonassSlots;
    EXPECT_EQ(header.validBits & seen, seen);
    EXPECT_EQ(header.validBits & kBitMarkerType, 0u);  // DUTH has none: the check must fail
    const HeaderStatus check = header.checkValidity();
    EXPECT_EQ(check.kind, HeaderStatus::kMessage);
    EXPECT_EQ(check.message, "Incomplete or invalid header");
}

TEST(ObsHeader, ReadsARealRinex2Header) {
    Rinex3ObsHeader header;
    EXPECT_TRUE(parseHeader(header, fixture("obs_bjfs_excerpt.20o")).empty());
    EXPECT_DOUBLE_EQ(header.version, 2.11);
    EXPECT_EQ(header.satelliteSystemCode, kGps);
    EXPECT_EQ(header.rinex2ObsTypes, (std::vector<std::string>{"L1", "L2", "C1", "P1", "P2", "S1", "S2"}));
    EXPECT_TRUE(header.obsTypes.empty());
    EXPECT_EQ(header.wavelengthFactorL1, 1);
    EXPECT_EQ(header.leapSeconds, 18);
    EXPECT_TRUE(header.checkValidity().ok());
}

TEST(ObsHeader, ContinuationLinesExtendTheirRecord) {
    Rinex3ObsHeader header;
    const std::string text =
        headerLine("     3.02           OBSERVATION DATA    M", "RINEX VERSION / TYPE") +
        headerLine("E   20 C1C C5Q C6C C7Q C8Q D1C D5Q D6C D7Q D8Q L1C L5Q L6C", "SYS / # / OBS TYPES") +
        headerLine("       L7Q L8Q S1C S5Q S6C S7Q S8Q", "SYS / # / OBS TYPES") +
        headerLine("G    2 C1C L1C", "SYS / # / OBS TYPES") +
        headerLine("G  100   2 C1C L1C", "SYS / SCALE FACTOR") + headerLine("R   10  1 C1C", "SYS / SCALE FACTOR") +
        headerLine("G L2X -0.25000 12 G01 G02 G03 G04 G05 G06 G07 G08 G09 G10", "SYS / PHASE SHIFT") +
        headerLine("                  G11 G12", "SYS / PHASE SHIFT") +
        headerLine("   G01  2880  2870", "PRN / # OF OBS") + headerLine("           5", "PRN / # OF OBS") +
        headerLine(" C1C  -71.940 C1P  -71.940 C2C  -71.940 C2P  -71.940", "GLONASS COD/PHS/BIS") +
        headerLine("     1     1     2   G01   G05", "WAVELENGTH FACT L1/2");
    EXPECT_TRUE(parseHeader(header, text).empty());
    ASSERT_EQ(header.obsTypes.at(kGalileo).size(), 20u);
    EXPECT_EQ(header.obsTypes.at(kGalileo)[19].code, "S8Q");
    EXPECT_EQ(header.obsTypes.at(kGps).size(), 2u);
    ASSERT_EQ(header.scaleFactors.size(), 2u);
    EXPECT_EQ(header.scaleFactors[0].factor, 100);
    EXPECT_EQ(header.scaleFactors[0].codes, (std::vector<std::string>{"C1C", "L1C"}));
    EXPECT_EQ(header.scaleFactors[1].systemCode, kGlonass);
    EXPECT_EQ(header.scaleFactors[1].codes, (std::vector<std::string>{"C1C"}));  // one column early
    ASSERT_EQ(header.phaseShifts.size(), 1u);
    EXPECT_EQ(header.phaseShifts[0].satellites.size(), 12u);
    EXPECT_EQ(header.prnObservationCounts.at(1), (std::vector<long>{2880, 2870, 5}));
    EXPECT_DOUBLE_EQ(header.glonassCodePhaseBiases_m.at("C2P"), -71.94);
    // The first WAVELENGTH FACT line gives the defaults, whatever else it lists.
    EXPECT_EQ(header.wavelengthFactorL1, 1);
    EXPECT_TRUE(header.satelliteWavelengthFactors.empty());

    Rinex3ObsHeader rinex2;
    const std::string text2 =
        headerLine("     2.10           Observation         G (GPS)", "RINEX VERSION / TYPE") +
        headerLine("    10    L1    L2    C1    P1    P2    D1    D2    S1    S2", "# / TYPES OF OBSERV") +
        headerLine("          C2", "# / TYPES OF OBSERV") + headerLine("     1     1", "WAVELENGTH FACT L1/2") +
        headerLine("     2     2     2   G 1   G05", "WAVELENGTH FACT L1/2");
    EXPECT_TRUE(parseHeader(rinex2, text2).empty());
    EXPECT_EQ(rinex2.rinex2ObsTypes.size(), 10u);
    EXPECT_EQ(rinex2.rinex2ObsTypes[9], "C2");
    EXPECT_EQ(rinex2.satelliteWavelengthFactors.at(1), (std::array<int, 2>{2, 2}));
    EXPECT_EQ(rinex2.satelliteWavelengthFactors.at(5), (std::array<int, 2>{2, 2}));
}

TEST(ObsHeader, BadLinesRaiseTheirMessages) {
    Rinex3ObsHeader header;
    HeaderStatus status = parseOne(header, "     2.10           Dbservation         G (GPS)", "RINEX VERSION / TYPE");
    EXPECT_EQ(status.message, "This is not a RINEX Obs file.");
    EXPECT_EQ(header.validBits & kBitVersion, 0u);

    EXPECT_TRUE(parseOne(header, "     2.10           Observation         G (GPS)", "RINEX VERSION / TYPE").ok());
    status = parseOne(header, "G    2 C1C L1C", "SYS / # / OBS TYPES");
    EXPECT_EQ(status.message, "RINEX 3 record in RINEX 2 file: SYS / # / OBS TYPES");
    status = parseOne(header, "stuff", "RINEX VERSION /     TYPE");
    EXPECT_EQ(status.message, "Unidentified label: >RINEX VERSION /<");
    EXPECT_TRUE(parseOne(header, "     1     1", "WAVELENGTH FACT L1/2").ok());
    status = parseOne(header, "     2     2     8   G01   G02   G03   G04   G05   G06   G07", "WAVELENGTH FACT L1/2");
    EXPECT_EQ(status.message, "Invalid number of Sats for WAVELENGTH FACT L1/2");
    status = parseOne(header, "  -740289.8540 -5457071.7398  3207x45.6036", "APPROX POSITION XYZ");
    EXPECT_EQ(status.kind, HeaderStatus::kMessage);
    EXPECT_EQ(header.validBits & kBitApproxPosition, 0u);

    // A line without room for a label is an error without a message.
    status = header.parseLine("     2.10           Observation         G (GPS)");
    EXPECT_EQ(status.kind, HeaderStatus::kPlain);
    EXPECT_TRUE(status.message.empty());

    Rinex3ObsHeader r3;
    EXPECT_TRUE(parseOne(r3, "     3.02           OBSERVATION DATA    G", "RINEX VERSION / TYPE").ok());
    EXPECT_EQ(parseOne(r3, "     7    L1    L2", "# / TYPES OF OBSERV").message,
              "RINEX 2 record in RINEX 3 file: # / TYPES OF OBSERV");
    EXPECT_EQ(parseOne(r3, "       C1C L1C", "SYS / # / OBS TYPES").message,
              "SYS / # / OBS TYPES: unexpected continuation line");
    EXPECT_EQ(parseOne(r3, "                  G11 G12", "SYS / PHASE SHIFT").message,
              "SYS / PHASE SHIFT: unexpected continuation line");
    EXPECT_TRUE(parseOne(r3, "G L1C  0.00000", "SYS / PHASE SHIFT").ok());  // no satellites
    EXPECT_EQ(parseOne(r3, "                  G11 G12", "SYS / PHASE SHIFT").message,
              "SYS / PHASE SHIFT: unexpected continuation line");
    EXPECT_TRUE(parseOne(r3, "G L2X -0.25000 01 G01", "SYS / PHASE SHIFT").ok());
    EXPECT_TRUE(parseOne(r3, "TEST", "MARKER NAME").ok());
    EXPECT_EQ(parseOne(r3, "                  G11 G12", "SYS / PHASE SHIFT").message,  // not after a shift line
              "SYS / PHASE SHIFT: unexpected continuation line");
    EXPECT_EQ(parseOne(r3, "", "END OF HEADR").message, "Unidentified label: >END OF HEADR<");
    EXPECT_FALSE(r3.endOfHeader);
    EXPECT_TRUE(parseOne(r3, "", "END OF HEADER").ok());
    EXPECT_TRUE(r3.endOfHeader);
}

TEST(ObsHeader, ValidityCheckByVersion) {
    const auto checked = [](const char* version) {
        Rinex3ObsHeader header;
        std::string text = rinex3Header({"G    4 C1C L1C C2W L2W", "R    2 C1C L1C"}, 1.0, 2.0, 3.0, version);
        eraseHeaderLine(text, "SYS / PHASE SHIFT");
        parseHeader(header, text);
        return std::make_pair(header.checkValidity(), header);
    };
    // 3.02 without SYS / PHASE SHIFT passes: an empty entry per system is added.
    auto [status302, header302] = checked("3.02");
    EXPECT_TRUE(status302.ok()) << status302.message;
    ASSERT_EQ(header302.phaseShifts.size(), 2u);
    EXPECT_EQ(header302.phaseShifts[1].systemCode, kGlonass);
    EXPECT_TRUE(header302.phaseShifts[1].code.empty());
    EXPECT_NE(header302.validBits & kBitPhaseShift, 0u);
    EXPECT_TRUE(checked("3.01").first.ok());
    EXPECT_TRUE(checked("3.00").first.ok());
    for (const char* version : {"3.03", "3.04", "3.05", "4.00", "3.10"}) {
        EXPECT_EQ(checked(version).first.message, "Unknown or unsupported RINEX version") << version;
    }
    // 3.00 needs no marker type; 3.01 does.
    const auto withoutMarkerType = [](const char* version) {
        Rinex3ObsHeader header;
        std::string text = rinex3Header({"G    4 C1C L1C C2W L2W"}, 1.0, 2.0, 3.0, version);
        eraseHeaderLine(text, "MARKER TYPE");
        parseHeader(header, text);
        return header.checkValidity();
    };
    EXPECT_TRUE(withoutMarkerType("3.00").ok());
    EXPECT_EQ(withoutMarkerType("3.01").message, "Incomplete or invalid header");

    Rinex3ObsHeader rinex2;
    std::string text = rinex2Header({"L1", "L2", "C1", "P2"});
    parseHeader(rinex2, text);
    EXPECT_TRUE(rinex2.checkValidity().ok());
    EXPECT_TRUE(rinex2.phaseShifts.empty());
    Rinex3ObsHeader noPosition;
    eraseHeaderLine(text, "APPROX POSITION XYZ");
    parseHeader(noPosition, text);
    EXPECT_EQ(noPosition.checkValidity().message, "Incomplete or invalid header");

    EXPECT_EQ(requiredHeaderBits(2.11), 0x1207CBu);
    EXPECT_EQ(requiredHeaderBits(3.0), 0x1205CBu);
    EXPECT_EQ(requiredHeaderBits(3.005), 0x1205CBu);
    EXPECT_EQ(requiredHeaderBits(3.05), 0x41205ABu);
}

TEST(ObsHeader, ResetForgetsEverything) {
    Rinex3ObsHeader header;
    parseHeader(header, fixture("obs_duth_r302.22o"));
    ASSERT_TRUE(header.endOfHeader);
    header.reset();
    EXPECT_FALSE(header.endOfHeader);
    EXPECT_EQ(header.validBits, 0u);
    EXPECT_TRUE(header.obsTypes.empty());
    EXPECT_TRUE(header.comments.empty());
    EXPECT_EQ(header.version, 0.0);
    // Continuation state goes too: a continuation line right after a reset is refused.
    EXPECT_TRUE(parseOne(header, "     3.02           OBSERVATION DATA    G", "RINEX VERSION / TYPE").ok());
    EXPECT_FALSE(parseOne(header, "       C1C L1C", "SYS / # / OBS TYPES").ok());
}
