// Observation files of RINEX 3.03 to 4.0x, and the records a valid file may hold that are
// no error: events without a time, their special records, a blank SYS / PHASE SHIFT record.
#include <gtest/gtest.h>

#include "geodesy/time.h"
#include "obs_test_text.h"

namespace velarix {

namespace {

const std::vector<std::string> kGpsTypes = {"G    4 C1C L1C C2W L2W"};
const std::vector<double> kGpsValues = {20000000.123, 105000000.456, 20000003.5, 82000000.25};

// `header` with `lines` put in before its END OF HEADER line.
std::string withHeaderLines(std::string header, const std::string& lines) {
    const std::size_t end = header.find("END OF HEADER");
    return header.insert(header.rfind('\n', end) + 1, lines);
}

// An event line without a time: flag in column 32, record count in columns 33-35.
std::string rinex3Event(int flag, int count) { return strfmt(">%30s%d%3d\n", "", flag, count); }
std::string rinex2Event(int flag, int count) { return strfmt("%28s%d%3d\n", "", flag, count); }

bool hasError(const ObsRead& read) {
    return read.logHas("Error") || read.logHas("unsupported") || read.logHas("Bad ") || read.logHas("Invalid");
}

}  // namespace

TEST(ObsReaderVersions, Rinex303To4ReadWithoutAWordAndEventsWithoutTimeAreNoErrors) {
    for (const char* version : {"3.03", "3.04", "3.05", "4.00", "4.01", "4.02"}) {
        // RINEX 4 header records, and a phase-shift record left blank.
        const std::string header = withHeaderLines(
            rinex3Header(kGpsTypes, 4362689.8809, 2026647.9686, 4174234.2239, version),
            headerLine("", "SYS / PHASE SHIFT") + headerLine("10.5281/zenodo.0000000", "DOI") +
                headerLine("CC BY 4.0", "LICENSE OF USE") + headerLine("https://example.org/site", "STATION INFORMATION"));
        const std::string data =
            rinex3Epoch(0, 0, 0.0, 0, 1) + rinex3Sat("G01", kGpsValues) +
            rinex3Event(4, 2) + headerLine("an operator's note", "COMMENT") + headerLine("BELE", "MARKER NAME") +
            rinex3Event(5, 0) +
            rinex3Event(3, 1) + headerLine("BELE", "MARKER NAME") +
            rinex3Epoch(0, 0, 30.0, 0, 1) + rinex3Sat("G01", kGpsValues);
        const ObsRead read = obsText(header + data);
        EXPECT_FALSE(hasError(read)) << version << read.log.messages;
        EXPECT_EQ(read.table.readStatus, 0) << version;
        EXPECT_EQ(read.counts.epochs, 2) << version;
        EXPECT_EQ(read.records(1), 2u) << version;
        EXPECT_DOUBLE_EQ(read.record(1, 1).epochMjd, MjdFromCivil(2024, 1, 10, 0, 0, 30.0)) << version;
    }
    // An event that announces more records than it has: the next epoch is still read.
    const ObsRead shortEvent = obsText(rinex3Header(kGpsTypes) + rinex3Event(4, 3) +
                                       headerLine("one note only", "COMMENT") + rinex3Epoch(0, 0, 0.0, 0, 1) +
                                       rinex3Sat("G01", kGpsValues));
    EXPECT_EQ(shortEvent.counts.epochs, 1);
    // A version not known to read as these do is still named; so is a record of a label
    // nobody defined, and a continuation line without its first line.
    for (const char* version : {"3.33", "3.06", "5.00"}) {
        EXPECT_TRUE(obsText(rinex3Header(kGpsTypes, 1, 2, 3, version)).logHas("Unknown or unsupported RINEX version"))
            << version;
    }
    Rinex3ObsHeader header;
    const auto parse = [&header](const std::string& line) {
        return header.parseLine(std::string_view(line).substr(0, line.size() - 1)).message;
    };
    EXPECT_EQ(parse(headerLine("", "NO SUCH LABEL")), "Unidentified label: >NO SUCH LABEL<");
    EXPECT_EQ(parse(headerLine("      G01", "SYS / PHASE SHIFT")), "SYS / PHASE SHIFT: unexpected continuation line");
}

TEST(ObsReaderVersions, Rinex2EventsWithoutTimeAndTheirRecordsAreNoErrors) {
    const std::vector<std::string> types = {"L1", "L2", "C1", "P2"};
    const std::vector<double> values = {110000000.123, 85000000.456, 21000000.5, 21000003.75};
    const std::string text = rinex2Header(types) + rinex2Epoch(0, 0, 0.0, 0, {"G01"}) + rinex2Data(values) +
                             rinex2Event(5, 0) + rinex2Event(3, 2) + headerLine("BELE", "MARKER NAME") +
                             headerLine("BELE 41606M001", "MARKER NUMBER") + rinex2Event(2, 0) +
                             rinex2Epoch(0, 0, 30.0, 0, {"G01"}) + rinex2Data(values);
    const ObsRead read = obsText(text);
    EXPECT_FALSE(hasError(read)) << read.log.messages;
    EXPECT_EQ(read.counts.epochs, 2);
    EXPECT_EQ(read.records(1), 2u);
    // A line without time that is no event still is one.
    const ObsRead noTime = obsText(rinex2Header(types) + strfmt("%28s%d%3d\n", "", 0, 1) +
                                   rinex2Epoch(0, 0, 0.0, 0, {"G01"}) + rinex2Data(values));
    EXPECT_TRUE(noTime.logHas("Error! there is no epoch time")) << noTime.log.messages;
}

}  // namespace velarix
