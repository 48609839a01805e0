#include "stations/lisn_sites.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

std::string field(const std::string& value, const std::string& label) {
    return value + std::string(49 - value.size(), ' ') + "\t" + label + "\r\n";
}

std::string record(const std::string& name, const std::string& coordinates,
                   const std::string& flags = "1 0 1 0 0 0 0 0 0 1") {
    return "1End\r\n\"" + name + "\"\r\n" + coordinates + "\r\n" + field("Novatel", "Receiver type") +
           field("GSV4004", "format") + field("10", "sampling rate") + field("01 32", "PRNs to be BIAS adjusted") +
           field("ancnnov nvd", "prefix & sufix used in station") + field("ancn", "name of sub-directory") +
           field("anc", "3-letter prefix for NOVATEL rx") + flags + "\r\n";
}

const std::string kTwoSites =
    record("ANCON, PERU", "-11.776 -77.150 0.050") + record("TACNA, PERU", "-18.01 -70.25 0.567");

}  // namespace

TEST(LisnSites, ParsesEveryFieldAndKeepsTheFirstRecordOfASite) {
    LisnSiteTable table;
    ASSERT_EQ(parseLisnSites(kTwoSites + record("ANCON, PERU", "1 2 0.1"), table), 2);
    const LisnSite& a = table.at("ANCON, PERU");
    EXPECT_EQ(strfmt("%s|%s|%s|%s|%s|%s|%s|%s|%.3f %.3f %.3f|%g|%d-%d", a.city.c_str(), a.country.c_str(),
                     a.receiverType.c_str(), a.dataFormat.c_str(), a.filePrefix.c_str(), a.fileSuffix.c_str(),
                     a.subDirectory.c_str(), a.novatelPrefix.c_str(), a.latitude_deg, a.longitude_deg, a.altitude_km,
                     a.samplingRate_s, a.firstBiasPrn, a.lastBiasPrn),
              "ANCON|PERU|Novatel|GSV4004|ancnnov|nvd|ancn|anc|-11.776 -77.150 0.050|10|1-32");
    EXPECT_EQ(a.flags, (std::array<int, 10>{1, 0, 1, 0, 0, 0, 0, 0, 0, 1}));
    // An entry already in the table is not replaced.
    EXPECT_EQ(parseLisnSites(record("ANCON, PERU", "1 2 0.1"), table), 1);
    EXPECT_DOUBLE_EQ(table.at("ANCON, PERU").latitude_deg, -11.776);
}

TEST(LisnSites, MalformedRecordsAreRejectedWithTheirLine) {
    const std::pair<std::string, const char*> cases[] = {
        {kTwoSites + "1End\r\n\"NO COORDINATES\"\r\n" + field("Novatel", "Receiver type"), "@line# 23"},
        {record("A, B", "-11.7 -77.1"), "@line# 3"},
        {record("A, B", "-11.7 -77.1 0.1", "1 0 2 0 0 0 0 0 0 1"), "@line# 11"},
        {record("A, B", "1 2 3") + field("x", "unknown label"), "@line# 12"},
        {"\"TEXT BEFORE\"\r\n" + kTwoSites, "@line# 1"},
        {"1End\r\n\"A, B\"\r\n1 2 0\r\n" + field("33 01", "PRNs to be BIAS adjusted"), "@line# 4"},
    };
    for (const auto& [text, line] : cases) {
        LisnSiteTable table;
        std::string error;
        EXPECT_EQ(parseLisnSites(text, table, &error), -1) << line;
        EXPECT_TRUE(contains(error, line)) << error;
        EXPECT_TRUE(table.empty());
    }
}

TEST(LisnSites, ShippedTableIsEmbeddedWithFortyNineSaneSites) {
    const std::string text = readWholeFile(VELARIX_SOURCE_DIR "/data/LISN_Site_Def.txt");
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(kLisnSiteTable), kLisnSiteTableSize), text);
    TempDir programDir;
    RunLog log;
    LisnSiteTable table;
    ASSERT_TRUE(loadLisnSites(programDir.path(), table, log));
    EXPECT_TRUE(log.messages.empty()) << log.messages;  // the embedded table is used silently
    EXPECT_EQ(table.size(), 49u);
    for (const auto& [name, s] : table) {  // all in the Americas and West Africa
        EXPECT_TRUE(std::abs(s.latitude_deg) < 60 && s.longitude_deg > -100 && s.longitude_deg < 10) << name;
    }
    EXPECT_NEAR(table.at("JICAMARCA, PERU").latitude_deg, -11.95, 0.01);
    EXPECT_NEAR(table.at("JICAMARCA, PERU").longitude_deg, -76.87, 0.01);
    for (const char* site : {"Puerto MALDONADO, PERU", "S. J. CAMPOS, BRAZIL", "Framingham, USA", "LEICA TEST, USA"}) {
        EXPECT_EQ(table.count(site), 1u) << site;
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));  // CR LF
}

TEST(LisnSites, FallsBackToTheTextFileAndReportsEachStep) {
    const std::string notFound = "\r\nError! InMain.. Could Not Locate Resource LISN details..\r\n";
    const std::string looking = "\r\nLooking for alternate txt file in the path..";
    TempDir programDir;
    RunLog failed;
    LisnSiteTable table;
    table["KEEP, ME"].siteName = "KEEP, ME";
    EXPECT_FALSE(loadLisnSites(programDir.path(), "", table, failed));
    EXPECT_EQ(failed.messages,
              notFound + looking + "\r\nError! Could not read LISN station details file... \r\n\r\nProgram aborted!");
    EXPECT_EQ(table.size(), 1u);  // a failed load leaves the table as it was
    programDir.write("LISN_Site_Def.txt", record("A, B", "1 2"));
    EXPECT_FALSE(loadLisnSites(programDir.path(), "", table, failed));
    EXPECT_TRUE(contains(failed.messages, "LISN_Site_Def.txt @line# 3")) << failed.messages;  // the bad file's line

    // An embedded table that does not parse is reported with its bad line; the file is read.
    programDir.write("LISN_Site_Def.txt", kTwoSites);
    RunLog log;
    EXPECT_TRUE(loadLisnSites(programDir.path(), "1End\r\nrubbish line\r\n", table, log));
    EXPECT_EQ(table.size(), 2u);
    EXPECT_TRUE(log.messages.starts_with(notFound + "\r\nError! embedded LISN site table @line# 2") &&
                log.messages.ends_with(looking))
        << log.messages;

    // A file of more than a megabyte is no site table: refused without being read whole.
    std::string huge;
    while (huge.size() <= (1u << 20)) huge += kTwoSites;
    const std::string hugePath = programDir.write("LISN_Site_Def.txt", huge);
    RunLog refused;
    EXPECT_FALSE(loadLisnSites(programDir.path(), "", table, refused));
    EXPECT_TRUE(contains(refused.messages, "\r\nError! " + hugePath + " is larger than 1048576 bytes: no site table"))
        << refused.messages;
}

}  // namespace velarix
