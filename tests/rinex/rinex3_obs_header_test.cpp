// The observation header, parsed line by line.
#include "rinex/rinex3_obs_header.h"

#include <gtest/gtest.h>

#include <sstream>

#include "obs_test_text.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// Parses the header part of a text; returns the messages of the lines that failed.
std::vector<std::string> parseHeader(Rinex3ObsHeader& header, const std::string& text) {
    std::vector<std::string> failures;
    std::istringstream in(text);
    for (std::string line; !header.endOfHeader && std::getline(in, line);) {
        if (const HeaderStatus status = header.parseLine(line.substr(0, line.find('\r'))); !status.ok()) {
            failures.push_back(status.message);
        }
    }
    return failures;
}

std::string parseOne(Rinex3ObsHeader& header, std::string_view content, std::string_view label) {
    const std::string line = headerLine(content, label);
    return header.parseLine(line.substr(0, line.size() - 1)).message;
}

}  // namespace

// The real headers of tests/data are read by the reader tests; these are the multi-line labels.
TEST(ObsHeader, ContinuationLinesExtendTheirRecord) {
    const std::string rinex3 =
        headerLine("     3.02           OBSERVATION DATA    M", "RINEX VERSION / TYPE") +
        headerLine("E   20 C1C C5Q C6C C7Q C8Q D1C D5Q D6C D7Q D8Q L1C L5Q L6C", "SYS / # / OBS TYPES") +
        headerLine("       L7Q L8Q S1C S5Q S6C S7Q S8Q", "SYS / # / OBS TYPES") +
        headerLine("R   10  1 C1C", "SYS / SCALE FACTOR") +
        headerLine("G L2X -0.25000 12 G01 G02 G03 G04 G05 G06 G07 G08 G09 G10", "SYS / PHASE SHIFT") +
        headerLine("                  G11 G12", "SYS / PHASE SHIFT");
    Rinex3ObsHeader r3;
    EXPECT_TRUE(parseHeader(r3, rinex3).empty());
    EXPECT_EQ(r3.obsTypes.at(kGalileo).at(19).code, "S8Q");
    EXPECT_EQ(r3.scaleFactors.at(0).codes, (std::vector<std::string>{"C1C"}));  // one column early
    EXPECT_EQ(r3.phaseShifts.at(0).satellites.size(), 12u);
    const std::string rinex2 =
        headerLine("     2.10           Observation         G (GPS)", "RINEX VERSION / TYPE") +
        headerLine("    10    L1    L2    C1    P1    P2    D1    D2    S1    S2", "# / TYPES OF OBSERV") +
        headerLine("          C2", "# / TYPES OF OBSERV");
    Rinex3ObsHeader r2;
    EXPECT_TRUE(parseHeader(r2, rinex2).empty());
    EXPECT_EQ(r2.rinex2ObsTypes.at(9), "C2");
}

TEST(ObsHeader, BadLinesRaiseTheirMessages) {
    // A wrong file type, an unknown label and a RINEX 2 record in a RINEX 3 header are pinned by
    // the defective real files (obs_reader_real_test.cpp).
    Rinex3ObsHeader header;
    EXPECT_EQ(parseOne(header, "     2.10           Observation         G (GPS)", "RINEX VERSION / TYPE"), "");
    EXPECT_EQ(parseOne(header, "G    2 C1C L1C", "SYS / # / OBS TYPES"),
              "RINEX 3 record in RINEX 2 file: SYS / # / OBS TYPES");
    EXPECT_EQ(parseOne(header, "     1     1", "WAVELENGTH FACT L1/2"), "");
    EXPECT_EQ(parseOne(header, "     2     2     8   G01   G02   G03   G04   G05   G06   G07", "WAVELENGTH FACT L1/2"),
              "Invalid number of Sats for WAVELENGTH FACT L1/2");
    EXPECT_NE(parseOne(header, "  -740289.8540 -5457071.7398  3207x45.6036", "APPROX POSITION XYZ"), "");
    EXPECT_EQ(header.validBits & kBitApproxPosition, 0u);
    // A line without room for a label is an error without a message.
    EXPECT_EQ(header.parseLine("     2.10           Observation         G (GPS)").kind, HeaderStatus::kPlain);

    Rinex3ObsHeader r3;
    EXPECT_EQ(parseOne(r3, "     3.02           OBSERVATION DATA    G", "RINEX VERSION / TYPE"), "");
    EXPECT_EQ(parseOne(r3, "       C1C L1C", "SYS / # / OBS TYPES"),
              "SYS / # / OBS TYPES: unexpected continuation line");
    // A phase shift continues only right after a shift line that lists satellites.
    const char* const noContinuation = "SYS / PHASE SHIFT: unexpected continuation line";
    EXPECT_EQ(parseOne(r3, "G L1C  0.00000", "SYS / PHASE SHIFT"), "");
    EXPECT_EQ(parseOne(r3, "                  G11 G12", "SYS / PHASE SHIFT"), noContinuation);
    EXPECT_EQ(parseOne(r3, "G L2X -0.25000 01 G01", "SYS / PHASE SHIFT"), "");
    EXPECT_EQ(parseOne(r3, "TEST", "MARKER NAME"), "");
    EXPECT_EQ(parseOne(r3, "                  G11 G12", "SYS / PHASE SHIFT"), noContinuation);
    EXPECT_EQ(parseOne(r3, "", "END OF HEADR"), "Unidentified label: >END OF HEADR<");
    EXPECT_FALSE(r3.endOfHeader);
}

TEST(ObsHeader, ValidityCheckByVersion) {
    const auto check = [](const char* version, const char* without) {
        Rinex3ObsHeader header;
        std::string text = rinex3Header({"G    4 C1C L1C C2W L2W", "R    2 C1C L1C"}, 1.0, 2.0, 3.0, version);
        eraseHeaderLine(text, without);
        parseHeader(header, text);
        return std::make_pair(header.checkValidity().message, header);
    };
    // 3.01 to 4.0x without SYS / PHASE SHIFT pass: an empty entry per system is added.
    for (const char* version : {"3.02", "3.04", "4.01"}) {
        const auto [message, header] = check(version, "SYS / PHASE SHIFT");
        EXPECT_EQ(message, "") << version;
        ASSERT_EQ(header.phaseShifts.size(), 2u) << version;
        EXPECT_EQ(header.phaseShifts[1].systemCode, kGlonass);
        EXPECT_TRUE(header.phaseShifts[1].code.empty());
    }
    EXPECT_EQ(check("5.00", "SYS / PHASE SHIFT").first, "Unknown or unsupported RINEX version");
    // 3.00 needs no marker type; 3.01 does; RINEX 2 needs a position.
    EXPECT_EQ(check("3.00", "MARKER TYPE").first, "");
    EXPECT_EQ(check("3.01", "MARKER TYPE").first, "Incomplete or invalid header");
    std::string text = rinex2Header({"L1", "L2", "C1", "P2"});
    eraseHeaderLine(text, "APPROX POSITION XYZ");
    Rinex3ObsHeader noPosition;
    parseHeader(noPosition, text);
    EXPECT_EQ(noPosition.checkValidity().message, "Incomplete or invalid header");
}

}  // namespace velarix
