#include "stations/lisn_sites.h"

#include <gtest/gtest.h>

#include "platform/run_log.h"
#include "test_support.h"

namespace {

const std::string kShippedTable = std::string(VELARIX_SOURCE_DIR) + "/data/LISN_Site_Def.txt";

std::string field(const std::string& value, const std::string& label) {
    return value + std::string(49 - value.size(), ' ') + "\t" + label + "\r\n";
}

std::string record(const std::string& name, const std::string& coordinates, const std::string& flags = "1 0 1 0 0 0 0 0 0 1") {
    return "1End\r\n\"" + name + "\"\r\n" + coordinates + "\r\n" + field("Novatel", "Receiver type") +
           field("GSV4004", "format") + field("10", "sampling rate") + field("01 32", "PRNs to be BIAS adjusted") +
           field("ancnnov nvd", "prefix & sufix used in station") + field("ancn", "name of sub-directory") +
           field("anc", "3-letter prefix for NOVATEL rx") + flags + "\r\n";
}

const std::string kTwoSites = record("ANCON, PERU", "-11.776 -77.150 0.050") + record("TACNA, PERU", "-18.01 -70.25 0.567");

std::size_t positionOf(const std::string& text, const std::string& part) {
    const std::size_t at = text.find(part);
    EXPECT_NE(at, std::string::npos) << "missing: " << part;
    return at;
}

}  // namespace

TEST(LisnSites, ParsesEveryFieldOfARecord) {
    LisnSiteTable table;
    ASSERT_EQ(parseLisnSites(kTwoSites, table), 2);
    const LisnSite& ancon = table.at("ANCON, PERU");
    EXPECT_EQ(ancon.city, "ANCON");
    EXPECT_EQ(ancon.country, "PERU");
    EXPECT_DOUBLE_EQ(ancon.latitude_deg, -11.776);
    EXPECT_DOUBLE_EQ(ancon.longitude_deg, -77.150);
    EXPECT_DOUBLE_EQ(ancon.altitude_km, 0.050);
    EXPECT_EQ(ancon.receiverType, "Novatel");
    EXPECT_EQ(ancon.dataFormat, "GSV4004");
    EXPECT_DOUBLE_EQ(ancon.samplingRate_s, 10.0);
    EXPECT_EQ(ancon.firstBiasPrn, 1);
    EXPECT_EQ(ancon.lastBiasPrn, 32);
    EXPECT_EQ(ancon.filePrefix, "ancnnov");
    EXPECT_EQ(ancon.fileSuffix, "nvd");
    EXPECT_EQ(ancon.subDirectory, "ancn");
    EXPECT_EQ(ancon.novatelPrefix, "anc");
    EXPECT_EQ(ancon.flags, (std::array<int, 10>{1, 0, 1, 0, 0, 0, 0, 0, 0, 1}));

    // A repeated site keeps its first record; an existing entry is not replaced.
    const std::string repeat = record("ANCON, PERU", "1 2 0.1");
    EXPECT_EQ(parseLisnSites(repeat, table), 1);
    EXPECT_DOUBLE_EQ(table.at("ANCON, PERU").latitude_deg, -11.776);
    LisnSiteTable fresh;
    ASSERT_EQ(parseLisnSites(kTwoSites + repeat, fresh), 2);
    EXPECT_DOUBLE_EQ(fresh.at("ANCON, PERU").latitude_deg, -11.776);
}

TEST(LisnSites, MalformedRecordsAreRejectedWithTheirLine) {
    const struct {
        std::string text;
        const char* line;
    } cases[] = {
        {kTwoSites + "1End\r\n\"NO COORDINATES\"\r\n" + field("Novatel", "Receiver type"), "@line# 23"},
        {record("A, B", "-11.7 -77.1") , "@line# 3"},
        {record("A, B", "-95 -77.1 0.1"), "@line# 3"},
        {record("A, B", "-11.7 -77.1 0.1", "1 0 2 0 0 0 0 0 0 1"), "@line# 11"},
        {record("A, B", "1 2 3") + field("x", "unknown label"), "@line# 12"},
        {"\"TEXT BEFORE\"\r\n" + kTwoSites, "@line# 1"},
        {"1End\r\n\"A, B\"\r\n1 2 0\r\n" + field("33 01", "PRNs to be BIAS adjusted"), "@line# 4"},
        {"1End\r\n\"A, B\"\r\n1 2 0\r\n" + field("0", "sampling rate"), "@line# 4"},
    };
    for (const auto& c : cases) {
        LisnSiteTable table;
        std::string error;
        EXPECT_EQ(parseLisnSites(c.text, table, &error), -1) << c.line;
        EXPECT_NE(error.find(c.line), std::string::npos) << error;
        EXPECT_TRUE(table.empty());
    }
    LisnSiteTable table;
    EXPECT_EQ(parseLisnSites("", table), 0);
    EXPECT_EQ(parseLisnSites("\r\n\r\n", table), 0);
}

TEST(LisnSites, ShippedTableHoldsFortyNineSaneSitesAndIsTheEmbeddedOne) {
    const std::string text = readWholeFile(kShippedTable);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(kLisnSiteTable), kLisnSiteTableSize), text);

    LisnSiteTable table;
    std::string error;
    ASSERT_EQ(parseLisnSites(text, table, &error), 49) << error;
    for (const auto& [name, site] : table) {
        EXPECT_FALSE(site.city.empty()) << name;
        EXPECT_FALSE(site.country.empty()) << name;
        EXPECT_GT(site.latitude_deg, -60.0) << name;
        EXPECT_LT(site.latitude_deg, 60.0) << name;
        EXPECT_GT(site.longitude_deg, -100.0) << name;
        EXPECT_LT(site.longitude_deg, 10.0) << name;
        EXPECT_GE(site.altitude_km, 0.0) << name;
        EXPECT_LT(site.altitude_km, 4.5) << name;
        EXPECT_GT(site.samplingRate_s, 0.0) << name;
        EXPECT_EQ(site.subDirectory.size(), 4u) << name;
        EXPECT_EQ(site.novatelPrefix.size(), 3u) << name;
    }
    const LisnSite& jicamarca = table.at("JICAMARCA, PERU");
    EXPECT_NEAR(jicamarca.latitude_deg, -11.95, 0.01);
    EXPECT_NEAR(jicamarca.longitude_deg, -76.87, 0.01);
    for (const char* site : {"Puerto MALDONADO, PERU", "EL LEONCITO, ARGENTINA", "S. J. CAMPOS, BRAZIL", "Framingham, USA",
                             "St. Clements, CANADA", "LEICA TEST, USA", "VILLEGAS, ARGENTINA"}) {
        EXPECT_EQ(table.count(site), 1u) << site;
    }
    // Every record line ends in CR LF.
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ASSERT_GT(at, 0u);
        ASSERT_EQ(text[at - 1], '\r') << "at byte " << at;
    }
}

TEST(LisnSites, EmbeddedTableIsUsedSilently) {
    TempDir programDir;
    RunLog log;
    LisnSiteTable table;
    EXPECT_EQ(loadLisnSites(programDir.path(), table, log), 0);
    EXPECT_EQ(table.size(), 49u);
    EXPECT_TRUE(log.messages.empty()) << log.messages;
}

TEST(LisnSites, FallsBackToTheTextFileAndReportsEachStep) {
    const std::string notFound = "\r\nError! InMain.. Could Not Locate Resource LISN details..\r\n";
    const std::string looking = "\r\nLooking for alternate txt file in the path..";
    const std::string cannotRead = "\r\nError! Could not read LISN station details file... \r\n";
    const std::string aborted = "\r\nProgram aborted!";

    TempDir programDir;
    {
        RunLog log;
        LisnSiteTable table;
        table["KEEP, ME"].siteName = "KEEP, ME";
        EXPECT_EQ(loadLisnSites(programDir.path(), "", table, log), -1);
        EXPECT_EQ(log.messages, notFound + looking + cannotRead + aborted);
        EXPECT_EQ(table.size(), 1u);  // a failed load leaves the table as it was
    }
    programDir.write("LISN_Site_Def.txt", kTwoSites);
    {
        RunLog log;
        LisnSiteTable table;
        EXPECT_EQ(loadLisnSites(programDir.path(), "", table, log), 0);
        EXPECT_EQ(log.messages, notFound + looking);
        EXPECT_EQ(table.size(), 2u);
    }
    {
        // An embedded table that does not parse is reported with its bad line.
        RunLog log;
        LisnSiteTable table;
        EXPECT_EQ(loadLisnSites(programDir.path(), "1End\r\nrubbish line\r\n", table, log), 0);
        EXPECT_LT(positionOf(log.messages, notFound), positionOf(log.messages, "@line# 2"));
        EXPECT_LT(positionOf(log.messages, "@line# 2"), positionOf(log.messages, looking));
        EXPECT_EQ(table.size(), 2u);
    }
    programDir.write("LISN_Site_Def.txt", record("A, B", "1 2"));
    {
        RunLog log;
        LisnSiteTable table;
        EXPECT_EQ(loadLisnSites(programDir.path(), "", table, log), -1);
        const std::size_t fileError = positionOf(log.messages, "LISN_Site_Def.txt @line# 3");
        EXPECT_LT(positionOf(log.messages, looking), fileError);
        EXPECT_LT(fileError, positionOf(log.messages, cannotRead));
        EXPECT_TRUE(table.empty());
    }
}
