// The calibration and mapping choices of the job: the defaults keep the products of the
// sample day byte for byte as they were before the choices came in.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <sstream>
#include <string>

#include "control/receiver_dcb.h"
#include "test_support.h"

namespace velarix {

namespace {

// Name, size and CRC-32 of a product; the .Bias file without its first line, which names
// the file itself.
std::string crcLine(const std::string& folder, const std::string& name) {
    std::string content = readWholeFile(folder + name);
    if (name.ends_with(".Bias")) content.erase(0, content.find('\n') + 1);
    const unsigned long crc =
        crc32(0L, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size()));
    char line[160];
    std::snprintf(line, sizeof line, "%s %zu %08lx", name.c_str(), content.size(), crc);
    return line;
}

void expectReferenceProducts(const std::string& options) {
    TempDir out;
    const std::string examples = std::string(VELARIX_SOURCE_DIR) + "/examples/";
    const ToolRun run = runTools("products '" + examples + "bjfs0010.20o' '" + examples + "brdc0010.20n' '" +
                                     examples + "P1P22001_ALL.DCB.Z' '" + examples + "P1C12001.DCB.Z' --images none " +
                                     "--out '" + out.path() + "' " + options,
                                 "2>/dev/null");
    ASSERT_EQ(run.exitCode, 0) << options;
    std::ifstream reference(std::string(VELARIX_TEST_DATA) + "/products/bjfs_2020_001_floor_products.crc32");
    int files = 0;
    for (std::string line; std::getline(reference, line); ++files) {
        EXPECT_EQ(crcLine(out.path(), line.substr(0, line.find(' '))), line) << options;
    }
    EXPECT_EQ(files, 4);
}

}  // namespace

TEST(CalibrationChoice, FloorWithTheThinShellKeepsTheProductsByteForByte) {
    expectReferenceProducts("");
    expectReferenceProducts("--calibration floor --mapping thin-shell");
    // A word the tools do not know, or a missing one, is a usage error.
    TempDir out;
    const std::string examples = std::string(VELARIX_SOURCE_DIR) + "/examples/";
    const std::string files = "'" + examples + "bjfs0010.20o' '" + examples + "brdc0010.20n' ";
    EXPECT_EQ(runTools("tec " + files + "--calibration spreads").exitCode, 2);
    EXPECT_EQ(runTools("products " + files + "--mapping 450km").exitCode, 2);
    EXPECT_EQ(runTools("tec " + files + "--mapping").exitCode, 2);
}

// Where the dcb choice finds the station's DCB: the DCB table's receiver rows first, then
// the station rows of the day's CODE map beside the data (its name in any case).
TEST(CalibrationChoice, ReceiverDcbFromTheTableElseFromTheDaysMap) {
    std::string ionex = readWholeFile(std::string(VELARIX_TEST_DATA) + "/gnss/ionex_two_maps.20i");
    ionex.insert(ionex.find("                                                            END OF HEADER"),
                 "   G  BJFS 21601M001         -14.396     0.048              STATION / BIAS / RMS\n");
    TempDir data;
    data.write("CODG0010.20I", ionex);
    data.write("codg0020.20i", ionex);  // another day's map: not read
    DayJob job;
    job.context.stationCode = "bjfs";
    job.context.year = 2020;
    job.context.dayOfYear = 1;
    RunLog log;
    std::optional<ReceiverDcb> found = FindReceiverDcb(job, data.path(), log);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->value_ns, -14.396);
    EXPECT_EQ(found->source, "the station DCBs in the header of " + data.path() + "CODG0010.20I");

    job.dcb.receiverP1p2 = {{"BJFS00CHN", -14.2}};
    found = FindReceiverDcb(job, data.path(), log);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->value_ns, -14.2);
    EXPECT_EQ(found->source, "the receiver rows of the DCB files read (BJFS00CHN)");

    job.dcb.receiverP1p2.clear();
    job.context.dayOfYear = 3;  // no map of that day
    EXPECT_FALSE(FindReceiverDcb(job, data.path(), log).has_value());
    job.context.dayOfYear = 2;
    job.context.stationCode = "algo";  // not listed
    EXPECT_FALSE(FindReceiverDcb(job, data.path(), log).has_value());
    EXPECT_EQ(log.messages, "");
}

}  // namespace velarix
