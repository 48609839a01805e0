// The bias stage on two real station-days. BJFS (2020-01-01): CODE lists a receiver P1-P2
// bias of -14.2 ns for the station and its maps -14.4 ns for the day. CAT2 (2016-01-01):
// C1 with the P1-C1 correction; no published receiver bias.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "decompress/plain_copy.h"
#include "gnss/bias_estimation.h"
#include "gnss/day_reading.h"
#include "gnss/raw_analyse.h"
#include "test_support.h"

namespace {

struct CalibratedDay {
    CalibratedDay(const std::string& set, const std::string& obs, const std::string& nav, const std::string& p1c1,
                  const std::string& all)
        : p1c1Copy(set + p1c1), allCopy(set + all) {
        DayFiles files;
        files.observationPath = set + obs;
        files.navigationPaths = {set + nav};
        files.p1c1Path = p1c1Copy.path();
        files.p1p2AllPath = allCopy.path();
        if (ReadDayFiles(job, files, log) == kDayRead && RawAnalyse(job, log) == 0) result = EstimateBiases(job, log);
    }
    PlainCopy p1c1Copy, allCopy;
    DayJob job;
    RunLog log;
    int result = -99;
};

}  // namespace

TEST(EstimateBiasesReal, BjfsReceiverBiasAgreesWithCodeAndCat2IsCalibrated) {
    const std::string shared = sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data";
    CalibratedDay bjfs(shared + "set1_bjfs_2020_001/", "bjfs0010.20o", "brdc0010.20n", "P1C12001.DCB.Z",
                       "P1P22001_ALL.DCB.Z");
    ASSERT_EQ(bjfs.result, kBiasesApplied) << bjfs.log.messages;
    const BiasResults& b = bjfs.job.bias;
    EXPECT_NEAR(b.rxBiasStage1 / kTecuPerNsP1P2, -14.7, 0.5);
    // The night minimum of the curve (about 3 TECU here) is brought to 2.
    EXPECT_NEAR(b.rxBiasStage2, -1.1, 0.3);
    EXPECT_NEAR(b.minTecAverage, 2.0, 0.3);
    EXPECT_NEAR(b.maxTecAverage, 6.5, 1.0);
    EXPECT_NEAR(b.satBias[1], -kTecuPerNsP1P2 * bjfs.job.dcb.p1p2[1], 1e-12);
    EXPECT_EQ(b.satBias[4], 0.0);  // not in the file
    for (int prn = 1; prn <= 32; ++prn) EXPECT_LT(std::abs(b.interchannelBias[prn]), 5.0) << prn;
    const std::string summary = biasSummaryText(bjfs.job);
    EXPECT_EQ(summary.rfind("\r\nStation Lat 39.609, Lon 115.892, Alt 88.240\r\n", 0), 0u) << summary;
    EXPECT_TRUE(contains(summary, "\r\n\r\nRxBias (TEC units) stage1= -42.0 stage2= -1.1 Total= -43.1"))
        << summary;
    EXPECT_EQ(b.twoSigmaText.substr(0, 6), "0.050 ");
    EXPECT_EQ(b.figures.removedTec.size(), 30u);

    CalibratedDay cat2(shared + "set3_cat2_2016_001/", "cat20010.16o", "cat20010.16n", "P1C11601.DCB.Z",
                       "P1P21601_ALL.DCB.Z");
    ASSERT_EQ(cat2.result, kBiasesApplied) << cat2.log.messages;
    EXPECT_NEAR(cat2.job.bias.rxBiasStage1, 97.7, 1.0);
    EXPECT_NEAR(cat2.job.bias.minTecAverage, 2.0, 0.3);
    EXPECT_TRUE(contains(biasSummaryText(cat2.job), "\r\nStation Lat 33.312, Lon -118.334, Alt 477.960"));
}
