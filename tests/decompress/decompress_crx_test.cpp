#include "decompress/decompress_crx.h"

#include <gtest/gtest.h>

#include <regex>

#include "codec_support.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

std::string headerLine(const std::string& content, const std::string& label) {
    return strfmt("%-60s%s\n", content.c_str(), label.c_str());
}

std::string crxHeader(const std::string& crxVersion, const std::string& rinexLines) {
    return headerLine(crxVersion + "                 COMPACT RINEX FORMAT", "CRINEX VERS   / TYPE") +
           headerLine("RNX2CRX ver.4.0.8                       08-Apr-21 06:56", "CRINEX PROG / DATE") + rinexLines +
           headerLine("", "END OF HEADER");
}

std::string crx1Header(const std::string& typesLine = "     2    C1    L1") {
    return crxHeader("1.0", headerLine("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE") +
                                headerLine(typesLine, "# / TYPES OF OBSERV"));
}

std::string crx3Header() {
    return crxHeader("3.0", headerLine("     3.04           OBSERVATION DATA    M", "RINEX VERSION / TYPE") +
                                headerLine("G    2 C1C L1C", "SYS / # / OBS TYPES") +
                                headerLine("E    1 C1X", "SYS / # / OBS TYPES"));
}

// The header as written back: from the RINEX version line on (no line here has trailing blanks).
std::string rinexHeader(const std::string& crx) { return crx.substr(crx.find('\n', crx.find('\n') + 1) + 1); }

Decoded decode(const std::string& compact) { return decodeBytes(DecompressCrx, compact); }

// Two GPS satellites, types C1 and L1: an initialized epoch and a differenced one.
const std::string kTwoEpochs =
    "&20  1  1  0  0  0.0000000  0  2G01G02\n\n3&20000000000 3&105000000000  9 8\n3&21000000000 3&-110000000000 \n"
    "                3\n\n1500 2500 &&&7\n-1500 0\n";
const std::string kFirstEpochData =
    " 20  1  1  0  0  0.0000000  0  2G01G02                              \n"
    "  20000000.000 9 105000000.000 8\n  21000000.000  -110000000.000  \n";
const std::string kTwoEpochsData = kFirstEpochData +
                                   " 20  1  1  0  0 30.0000000  0  2G01G02                              \n"
                                   "  20000001.500   105000002.500 7\n  20999998.500  -110000000.000  \n";
const std::string kSkipRecord2 =
    "                            4  1\n  *** Some epochs are skipped by CRX2RNX ***                COMMENT\n";

// An initialized epoch line of one satellite.
const std::string kOneC1Epoch = "&20  1  1  0  0  0.0000000  0  1G05\n";

}  // namespace

TEST(DecompressCrx, HeaderErrorsEndWithResultOne) {
    std::string rinex4 = crx1Header();
    rinex4.replace(rinex4.find("2.11"), 4, "4.01");
    const std::string header = crx1Header();
    const std::pair<std::string, std::string> cases[] = {
        {headerLine("     2.11           OBSERVATION DATA    G (GPS)", "RINEX VERSION / TYPE"),
         "ERROR : The file format is not Compact RINEX or the version of the format is not valid."
         "\t\t\t\t\t\t\t\r\nThis software can deal with only ver.1.0-2.0.\r\n"},
        {rinex4,
         "ERROR : The format version of the original RINEX file is not valid.\r\nThis software "
         "\t\t\t\t\t\t   can deal with only (compressed) RINEX format ver.2.x or 3.x\r\n"},
        {crx1Header("   101    C1    L1"),
         "ERROR at line 4. : Number of data types exceed MAXTYPE(100):\r\n start>   101    C1    "
         "L1                                          # / TYPES OF OBSERV<end\r\n"},
        {header.substr(0, header.find("END OF HEADER") - 60),
         "ERROR : The file seems to be trancated in the middle.\r\nThe conversion is interrupted "
         "\t\t\t\t\t\t   after reading the line 4 :\r\nstart>     2    C1    L1                    "
         "                      # / TYPES OF OBSERV<end\r\n"},
    };
    for (const auto& [compact, message] : cases) {
        const Decoded run = decode(compact);
        EXPECT_EQ(run.code, 1) << message;
        EXPECT_EQ(run.message, message);
    }
    std::string message;
    EXPECT_EQ(DecompressCrx("/nonexistent/x.crx", "/tmp/never-written.rnx", message), DecodeStatus::kCrxCannotOpen);
    EXPECT_EQ(message, "ERROR : can't open /nonexistent/x.crx\r\n");
}

TEST(DecompressCrx, ValuesClockAndRangeLimits) {
    // Third-order arc over four epochs; a clock arc; zero and small values.
    const std::string header = crx1Header("     1    C1");
    const Decoded run = decode(header + kOneC1Epoch + "2&-123456789\n3&0\n                3\n0\n-250\n" +
                               "              1 &\n-9876543210\n-1000\n");
    EXPECT_EQ(run.code, 0) << run.message;
    EXPECT_EQ(run.output, rinexHeader(header) +
                              " 20  1  1  0  0  0.0000000  0  1G05                                  -.123456789\n"
                              "          .000  \n"
                              " 20  1  1  0  0 30.0000000  0  1G05                                  -.123456789\n"
                              "         -.250  \n"
                              " 20  1  1  0  1  0.0000000  0  1G05                                 -9.999999999\n"
                              "        -1.500  \n");

    // The largest F14.3 value fits; one unit more, or below the lower bound, does not.
    EXPECT_EQ(decode(header + kOneC1Epoch + "\n0&9999999999999\n").code, 0);
    const Decoded over = decode(header + kOneC1Epoch + "\n0&10000000000000\n");
    EXPECT_EQ(over.code, 1);
    EXPECT_EQ(over.message, "ERROR at line 8. : Data record becomes out of range allowed in the RINEX format.\n");
    EXPECT_EQ(decode(header + kOneC1Epoch + "\n0&-1000000000000\n").code, 1);
    const Decoded clock = decode(header + kOneC1Epoch + "1&100000000000\n0&1\n");
    EXPECT_EQ(clock.code, 17);
    EXPECT_EQ(clock.message, "ERROR at line 7. : Clock offset becomes out of range allowed in the RINEX format.\n");
}

TEST(DecompressCrx, Rinex2EpochsAndTruncatedDataEndingWithTheSkipRecord) {
    const std::string compact = crx1Header() + kTwoEpochs;
    const Decoded run = decode(compact);
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.message, "unchanged");
    EXPECT_EQ(run.output, rinexHeader(crx1Header()) + kTwoEpochsData);

    const Decoded cut = decode(compact.substr(0, compact.size() - 8));  // the last data line is cut
    EXPECT_EQ(cut.code, 21);
    EXPECT_EQ(cut.message,
              "line 12 : skip until an initialized epoch is found......next epoch not found before EOF.\r\n"
              "Some epochs are skipped by CRX2RNX\r\n");
    EXPECT_EQ(cut.output, rinexHeader(crx1Header()) + kFirstEpochData + kSkipRecord2);
    const Decoded afterEpochLine = decode(crx1Header() + "&20  1  1  0  0  0.0000000  0  2G01G02\n");
    EXPECT_EQ(afterEpochLine.code, 21);
    EXPECT_EQ(afterEpochLine.output, rinexHeader(crx1Header()) + kSkipRecord2);
}

TEST(DecompressCrx, DefectiveEpochsAreSkippedUntilAnInitializedEpoch) {
    struct Case {
        std::string defect, message, decodedBefore = "";  // decodedBefore: epochs written before the defect
    };
    const Case cases[] = {
        {"&20  1  1  0  0  0.0000000  X  2G01G02\n\n",
         "ERROR at line 6 : The epoch line is not valid.\r\nstart>&20  1  1  0  0  0.0000000  X  2G01G02<end\r\n"},
        {"&20  1  1  0  0  0.0000000  0  2G01G02\n\n6&1 3&1\n3&1 3&1\n",
         "ERROR at line 8 : exceed maximum order of difference (5)\r\nstart>6&1 3&1<end\r\n"},
        {"&20  1  1  0  0  0.0000000  0  1G01\n6&5\n3&1 3&1\n",
         "ERROR at line 7 : exceed maximum order of difference (5)\r\nstart>6&5<end\r\n"},
        {"&20  1  1  0  0  0.0000000  0  1G01\n\n5 3&1\n",
         "ERROR at line 8 : New satellite, but data arc is not initialized.\r\nstart>5 3&1<end\r\n"},
        {"&20  1  1  0  0  0.0000000  0  1G01\n\n 3&1\n                3\n\n5 7\n",
         "ERROR at line 11 : The data feild in previous epoch is blank, but the arc is not initialized.\r\n"
         "start>5 7<end\r\n",
         " 20  1  1  0  0  0.0000000  0  1G01                                 \n"
         "                          .001  \n"},
        {"&20  1  1  0  0  0.0000000  0101G01\n\n",
         "ERROR at line 6 : exceed maximum number of satellites(100)\r\nstart >&20  1  1  0  0  0.0000000  "
         "0101G01< end\r\n"},
        {"&20  1  1  0  0  0.0000000  0  1G01\n\n3&1x2 3&1\n",
         "ERROR at line 8 : A data field is not a number.\r\nstart>3&1x2 3&1<end\r\n"},
        {std::string(3000, '1') + "\n",
         "ERROR at line 6 : null character is found in the line or the line is too long (>2048) at line.\r\n"
         "start>" + std::string(2047, '1') + "<end\r\n"},
        {std::string("&20  1\0  1\n", 11),
         "ERROR at line 6 : null character is found in the line or the line is too long (>2048) at line.\r\n"
         "start>&20  1<end\r\n"},
    };
    // The error's text, then the note of the skip: where it began and where it ended.
    const std::regex skipNote(
        "line [0-9]+ : skip until an initialized epoch is found\\.{6}next epoch found at line [0-9]+\\.\r\n");
    for (const Case& c : cases) {
        const Decoded run = decode(crx1Header() + c.defect + kTwoEpochs);
        EXPECT_EQ(run.code, 2) << c.message;
        EXPECT_TRUE(run.message.starts_with(c.message) &&
                    std::regex_match(run.message.substr(c.message.size()), skipNote))
            << run.message;
        EXPECT_EQ(run.output, rinexHeader(crx1Header()) + c.decodedBefore + kSkipRecord2 + kTwoEpochsData) << c.message;
    }
}

TEST(DecompressCrx, UndeclaredSystemIsSkippedWithoutTouchingTheTables) {
    testing::internal::CaptureStderr();
    const Decoded run = decode(crx3Header() + "> 2024 01 10 00 00  0.0000000  0  1      C01\n\n3&1\n" +
                              "> 2024 01 10 00 00 30.0000000  0  1      E11\n\n0&7000\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the note is in the message, for the log
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.message,
              "ERROR at line 7. : A GNSS type not defined in the header is found.\r\n"
              "start>> 2024 01 10 00 00  0.0000000  0  1      C01<end\r\n"
              "line 7 : skip until an initialized epoch is found......next epoch found at line 10.\r\n");
    EXPECT_EQ(run.output, rinexHeader(crx3Header()) + ">                              4  1\n" +
                              "  *** Some epochs are skipped by CRX2RNX ***                COMMENT\n" +
                              "> 2024 01 10 00 00 30.0000000  0  1      \n"  // the first 41 columns
                              "E11         7.000  \n");
}

TEST(DecompressCrx, EventRecordsAreCopiedAndMayRedefineTheTypes) {
    const std::string event = "&20  1  1  0  0 15.0000000  4  2\n" + headerLine("new types follow", "COMMENT") +
                              headerLine("     1    L1", "# / TYPES OF OBSERV");
    const Decoded run = decode(crx1Header() + kTwoEpochs.substr(0, kTwoEpochs.find("                3\n")) + event +
                               "&20  1  1  0  0 30.0000000  0  1G01\n\n3&777 \n");
    EXPECT_EQ(run.code, 0) << run.message;
    EXPECT_EQ(run.output, rinexHeader(crx1Header()) + kFirstEpochData + " " + event.substr(1) +
                              " 20  1  1  0  0 30.0000000  0  1G01                                 \n"
                              "          .777  \n");
}

}  // namespace velarix
