#include "decompress/decompress_crx.h"

#include <gtest/gtest.h>

#include "platform/strfmt.h"
#include "test_support.h"

namespace {

std::string headerLine(const std::string& content, const std::string& label) {
    return strfmt("%-60s%s\n", content.c_str(), label.c_str());
}

std::string crx1Header(const std::string& typesLine = "     2    C1    L1") {
    return headerLine("1.0                 COMPACT RINEX FORMAT", "CRINEX VERS   / TYPE") +
           headerLine("RNX2CRX ver.4.0.8                       08-Apr-21 06:56", "CRINEX PROG / DATE") +
           headerLine("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE") +
           headerLine(typesLine, "# / TYPES OF OBSERV") + headerLine("", "END OF HEADER");
}

std::string crx3Header() {
    return headerLine("3.0                 COMPACT RINEX FORMAT", "CRINEX VERS   / TYPE") +
           headerLine("RNX2CRX ver.4.0.8                       08-Apr-21 06:56", "CRINEX PROG / DATE") +
           headerLine("     3.04           OBSERVATION DATA    M", "RINEX VERSION / TYPE") +
           headerLine("G    2 C1C L1C", "SYS / # / OBS TYPES") + headerLine("E    1 C1X", "SYS / # / OBS TYPES") +
           headerLine("", "END OF HEADER");
}

// The header lines as written back (from the RINEX version line on, trailing blanks off).
std::string rinexHeader(const std::string& crx) {
    std::string text;
    size_t at = 0;
    for (int line = 0; at < crx.size(); ++line) {
        const size_t end = crx.find('\n', at);
        const std::string row = crx.substr(at, end - at);
        if (line >= 2) text += row.substr(0, row.find_last_not_of(' ') + 1) + "\n";
        at = end + 1;
        if (row.find("END OF HEADER") != std::string::npos) break;
    }
    return text;
}

struct CrxRun {
    int result;
    std::string message;
    std::string output;
};

CrxRun decode(const std::string& compact) {
    TempDir dir;
    const std::string input = dir.write("in.crx", compact);
    CrxRun run{0, "unchanged", ""};
    run.result = DecompressCrx(input, dir.path() + "out.rnx", run.message);
    run.output = readWholeFile(dir.path() + "out.rnx");
    return run;
}

// Two GPS satellites, types C1 and L1: an initialized epoch and a differenced one.
const std::string kTwoEpochs =
    "&20  1  1  0  0  0.0000000  0  2G01G02\n"
    "\n"
    "3&20000000000 3&105000000000  9 8\n"
    "3&21000000000 3&-110000000000 \n"
    "                3\n"
    "\n"
    "1500 2500 &&&7\n"
    "-1500 0\n";

const std::string kTwoEpochsData =
    " 20  1  1  0  0  0.0000000  0  2G01G02                              \n"
    "  20000000.000 9 105000000.000 8\n"
    "  21000000.000  -110000000.000  \n"
    " 20  1  1  0  0 30.0000000  0  2G01G02                              \n"
    "  20000001.500   105000002.500 7\n"
    "  20999998.500  -110000000.000  \n";

const std::string kSkipRecord2 =
    "                            4  1\n"
    "  *** Some epochs are skipped by CRX2RNX ***                COMMENT\n";

}  // namespace

TEST(DecompressCrx, HeaderErrorsEndWithResultOne) {
    const CrxRun plain = decode(headerLine("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE"));
    EXPECT_EQ(plain.result, 1);
    EXPECT_EQ(plain.message,
              "ERROR : The file format is not Compact RINEX or the version of the format is not valid."
              "\t\t\t\t\t\t\t\r\nThis software can deal with only ver.1.0-2.0.\r\n");

    std::string wrongRinex = crx1Header();
    wrongRinex.replace(wrongRinex.find("2.11"), 4, "4.01");
    const CrxRun rinex4 = decode(wrongRinex);
    EXPECT_EQ(rinex4.result, 1);
    EXPECT_EQ(rinex4.message,
              "ERROR : The format version of the original RINEX file is not valid.\r\nThis software "
              "\t\t\t\t\t\t   can deal with only (compressed) RINEX format ver.2.x or 3.x\r\n");

    const CrxRun manyTypes = decode(crx1Header("   101    C1    L1"));
    EXPECT_EQ(manyTypes.result, 1);
    EXPECT_EQ(manyTypes.message,
              "ERROR at line 4. : Number of data types exceed MAXTYPE(100):\r\n start>   101    C1    "
              "L1                                          # / TYPES OF OBSERV<end\r\n");

    const std::string header = crx1Header();
    const CrxRun cut = decode(header.substr(0, header.find("END OF HEADER") - 60));
    EXPECT_EQ(cut.result, 1);
    EXPECT_EQ(cut.message,
              "ERROR : The file seems to be trancated in the middle.\r\nThe conversion is interrupted "
              "\t\t\t\t\t\t   after reading the line 4 :\r\nstart>     2    C1    L1                    "
              "                      # / TYPES OF OBSERV<end\r\n");

    std::string message;
    EXPECT_EQ(DecompressCrx("/nonexistent/x.crx", "/tmp/never-written.rnx", message), 4);
    EXPECT_EQ(message, "ERROR : can't open /nonexistent/x.crx\r\n");
}

TEST(DecompressCrx, Rinex2EpochsTextDifferencesArcsAndFlags) {
    const CrxRun run = decode(crx1Header() + kTwoEpochs);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.message, "unchanged");
    EXPECT_EQ(run.output, rinexHeader(crx1Header()) + kTwoEpochsData);
}

TEST(DecompressCrx, ValuesClockAndRangeLimits) {
    // Third-order arc over four epochs; a clock arc; zero and small values.
    const std::string compact = crx1Header("     1    C1") +
                                "&20  1  1  0  0  0.0000000  0  1G05\n"
                                "2&-123456789\n"
                                "3&0\n"
                                "                3\n"
                                "0\n"
                                "-250\n"
                                "              1 &\n"
                                "-9876543210\n"
                                "-1000\n";
    const CrxRun run = decode(compact);
    EXPECT_EQ(run.result, 0) << run.message;
    EXPECT_EQ(run.output, rinexHeader(crx1Header("     1    C1")) +
                              " 20  1  1  0  0  0.0000000  0  1G05                                  -.123456789\n"
                              "          .000  \n"
                              " 20  1  1  0  0 30.0000000  0  1G05                                  -.123456789\n"
                              "         -.250  \n"
                              " 20  1  1  0  1  0.0000000  0  1G05                                 -9.999999999\n"
                              "        -1.500  \n");

    // The largest F14.3 value fits; one unit more does not.
    const std::string edge = crx1Header("     1    C1") + "&20  1  1  0  0  0.0000000  0  1G05\n\n0&9999999999999\n";
    EXPECT_EQ(decode(edge).result, 0);
    const CrxRun over =
        decode(crx1Header("     1    C1") + "&20  1  1  0  0  0.0000000  0  1G05\n\n0&10000000000000\n");
    EXPECT_EQ(over.result, 1);
    EXPECT_EQ(over.message, "ERROR at line 8. : Data record becomes out of range allowed in the RINEX format.\n");
    const CrxRun low = decode(crx1Header("     1    C1") + "&20  1  1  0  0  0.0000000  0  1G05\n\n0&-1000000000000\n");
    EXPECT_EQ(low.result, 1);

    const CrxRun clock =
        decode(crx1Header("     1    C1") + "&20  1  1  0  0  0.0000000  0  1G05\n1&100000000000\n0&1\n");
    EXPECT_EQ(clock.result, 17);
    EXPECT_EQ(clock.message, "ERROR at line 7. : Clock offset becomes out of range allowed in the RINEX format.\n");
}

TEST(DecompressCrx, Rinex2ContinuationLinesEveryTwelveSatellites) {
    for (const int count : {12, 13, 24, 25, 36, 37}) {
        std::string list;
        for (int prn = 1; prn <= count; ++prn) list += strfmt("G%02d", prn);
        std::string compact =
            crx1Header("     1    C1") + strfmt("&20  1  1  0  0  0.0000000  0%3d", count) + list + "\n\n";
        for (int prn = 1; prn <= count; ++prn) compact += strfmt("0&%d000\n", prn);
        const CrxRun run = decode(compact);
        ASSERT_EQ(run.result, 0) << count;
        const std::string data = run.output.substr(rinexHeader(crx1Header("     1    C1")).size());
        std::string expected = strfmt(" 20  1  1  0  0  0.0000000  0%3d", count) + list.substr(0, 36) + "\n";
        for (int first = 12; first < count; first += 12) {
            expected += std::string(32, ' ') + list.substr(3 * first, 36) + "\n";
        }
        EXPECT_EQ(data.substr(0, expected.size()), expected) << count;
        EXPECT_EQ(data.substr(expected.size(), 17), "         1.000  \n") << count;
    }
}

TEST(DecompressCrx, Rinex3LayoutClockAndBlankFields) {
    const std::string compact = crx3Header() +
                                "> 2024 01 10 00 00  0.0000000  0  2      G01E11\n"
                                "3&2000\n"
                                "3&20000000000   1 5\n"
                                "\n"
                                "  2024 01 10 00 00 30.0000000  0  2      G01E11\n"
                                "2\n"
                                "100 3&105000000000 &5&6\n"
                                "0&21000000000  7\n";
    const CrxRun run = decode(compact);
    EXPECT_EQ(run.result, 0) << run.message;
    EXPECT_EQ(run.output, rinexHeader(crx3Header()) +
                              "> 2024 01 10 00 00  0.0000000  0  2        .000000002000\n"
                              "G01  20000000.000 1" +
                              std::string(15, ' ') + "5\n" + "E11" + std::string(16, ' ') + "\n" +
                              "> 2024 01 10 00 00 30.0000000  0  2        .000000002002\n"
                              "G01  20000000.100 5 105000000.000 6\n"
                              "E11  21000000.000 7\n");
}

TEST(DecompressCrx, TruncatedDataEndsWithTheSkipRecordAndResult21) {
    const std::string compact = crx1Header() + kTwoEpochs;
    const CrxRun run = decode(compact.substr(0, compact.size() - 8));  // the last data line is cut
    EXPECT_EQ(run.result, 21);
    EXPECT_EQ(run.message, ".....next epoch not found before EOF.\r\nSome epochs are skipped by CRX2RNX\r\n");
    const std::string firstEpoch = kTwoEpochsData.substr(0, kTwoEpochsData.find(" 20  1  1  0  0 30"));
    EXPECT_EQ(run.output, rinexHeader(crx1Header()) + firstEpoch + kSkipRecord2);

    const CrxRun afterEpochLine = decode(crx1Header() + "&20  1  1  0  0  0.0000000  0  2G01G02\n");
    EXPECT_EQ(afterEpochLine.result, 21);
    EXPECT_EQ(afterEpochLine.output, rinexHeader(crx1Header()) + kSkipRecord2);
}

TEST(DecompressCrx, DefectiveEpochsAreSkippedUntilAnInitializedEpoch) {
    const std::string next = kTwoEpochs;  // initialized: decodes after the skip
    struct Case {
        const char* name;
        std::string defect;
        std::string message;
        std::string decodedBefore = "";  // epochs written before the defect
    };
    const Case cases[] = {
        {"epoch line", "&20  1  1  0  0  0.0000000  X  2G01G02\n\n",
         "ERROR at line 6 : The epoch line is not valid.\r\nstart>&20  1  1  0  0  0.0000000  X  2G01G02<end\r\n"},
        {"order 6", "&20  1  1  0  0  0.0000000  0  2G01G02\n\n6&1 3&1\n3&1 3&1\n",
         "ERROR at line 8 : exceed maximum order of difference (5)\r\nstart>6&1 3&1<end\r\n"},
        {"clock order 6", "&20  1  1  0  0  0.0000000  0  1G01\n6&5\n3&1 3&1\n",
         "ERROR at line 7 : exceed maximum order of difference (5)\r\nstart>6&5<end\r\n"},
        {"new satellite", "&20  1  1  0  0  0.0000000  0  1G01\n\n5 3&1\n",
         "ERROR at line 8 : New satellite, but data arc is not initialized.\r\nstart>5 3&1<end\r\n"},
        {"blank before", "&20  1  1  0  0  0.0000000  0  1G01\n\n 3&1\n                3\n\n5 7\n",
         "ERROR at line 11 : The data feild in previous epoch is blank, but the arc is not initialized.\r\n"
         "start>5 7<end\r\n",
         " 20  1  1  0  0  0.0000000  0  1G01                                 \n"
         "                          .001  \n"},
        {"101 satellites", "&20  1  1  0  0  0.0000000  0101G01\n\n",
         "ERROR at line 6 : exceed maximum number of satellites(100)\r\nstart >&20  1  1  0  0  0.0000000  "
         "0101G01< end\r\n"},
        {"not a number", "&20  1  1  0  0  0.0000000  0  1G01\n\n3&1x2 3&1\n",
         "ERROR at line 8 : A data field is not a number.\r\nstart>3&1x2 3&1<end\r\n"},
        {"too long", std::string(3000, '1') + "\n",
         "ERROR at line 6 : null character is found in the line or the line is too long (>2048) at line.\r\n"
         "start>" +
             std::string(2047, '1') + "<end\r\n"},
        {"null", std::string("&20  1\0  1\n", 11),
         "ERROR at line 6 : null character is found in the line or the line is too long (>2048) at line.\r\n"
         "start>&20  1<end\r\n"},
    };
    for (const Case& c : cases) {
        const CrxRun run = decode(crx1Header() + c.defect + next);
        EXPECT_EQ(run.result, 2) << c.name;
        EXPECT_EQ(run.message, c.message) << c.name;
        EXPECT_EQ(run.output, rinexHeader(crx1Header()) + c.decodedBefore + kSkipRecord2 + kTwoEpochsData) << c.name;
    }
}

TEST(DecompressCrx, UndeclaredSystemIsSkippedWithoutTouchingTheTables) {
    const std::string compact = crx3Header() + "> 2024 01 10 00 00  0.0000000  0  1      C01\n\n3&1\n" +
                                "> 2024 01 10 00 00 30.0000000  0  1      E11\n\n0&7000\n";
    const CrxRun run = decode(compact);
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(run.message,
              "ERROR at line 7. : A GNSS type not defined in the header is found.\r\n"
              "start>> 2024 01 10 00 00  0.0000000  0  1      C01<end\r\n");
    EXPECT_EQ(run.output, rinexHeader(crx3Header()) + ">                              4  1\n" +
                              "  *** Some epochs are skipped by CRX2RNX ***                COMMENT\n" +
                              "> 2024 01 10 00 00 30.0000000  0  1      \n"  // the first 41 columns
                              "E11         7.000  \n");
}

TEST(DecompressCrx, EventRecordsAreCopiedAndMayRedefineTheTypes) {
    const std::string compact = crx1Header() + kTwoEpochs.substr(0, kTwoEpochs.find("                3\n")) +
                                "&20  1  1  0  0 15.0000000  4  2\n" + headerLine("new types follow", "COMMENT") +
                                headerLine("     1    L1", "# / TYPES OF OBSERV") +
                                "&20  1  1  0  0 30.0000000  0  1G01\n\n3&777 \n";
    const CrxRun run = decode(compact);
    EXPECT_EQ(run.result, 0) << run.message;
    const std::string firstEpoch = kTwoEpochsData.substr(0, kTwoEpochsData.find(" 20  1  1  0  0 30"));
    EXPECT_EQ(run.output, rinexHeader(crx1Header()) + firstEpoch + " 20  1  1  0  0 15.0000000  4  2\n" +
                              "new types follow                                            COMMENT\n" +
                              "     1    L1                                                # / TYPES OF OBSERV\n" +
                              " 20  1  1  0  0 30.0000000  0  1G01                                 \n" +
                              "          .777  \n");
}
