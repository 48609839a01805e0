// The RINEX copy of the day's receiver table: the example day written through the
// products' writer reads back with the pipeline's reader to the same GPS observations,
// with the header the recording gave.
#include "products/rinex_copy.h"

#include <gtest/gtest.h>

#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "rinex/obs_read2.h"
#include "rinex/obs_reader.h"
#include "test_support.h"

namespace velarix {

TEST(RinexCopy, TheExampleDayReadsBackToTheSameGpsObservations) {
    DayJob job;
    RunLog log;
    ASSERT_EQ(OBS_read2(std::string(VELARIX_SOURCE_DIR) + "/examples/bjfs0010.20o", job.receiverObs, log).endCode,
              kObsRead2Done);
    job.dataInterval_s = 30.0;
    TempDir dir;
    const std::string path = dir.path() + "bjfs0010.20o";
    ASSERT_EQ(WriteRinexCopy(job, path, log), RinexCopyResult::kWritten) << log.messages;
    const std::string text = readWholeFile(path);
    // The types the day holds (no P1 value at all), the input's marker, receiver and deltas.
    EXPECT_TRUE(contains(text, "     6    C1    P2    L1    L2    S1    S2                  # / TYPES OF OBSERV\n"));
    EXPECT_TRUE(contains(text, "BJFS                                                        MARKER NAME\n"));
    EXPECT_TRUE(contains(text, "5310K42306          TRIMBLE NETR9       4.85                REC # / TYPE / VERS\n"));
    EXPECT_TRUE(contains(text, "        0.0465        0.0000        0.0000                  ANTENNA: DELTA H/E/N\n"));
    EXPECT_TRUE(contains(text, " -2148744.6531  4426641.5827  4044656.5218                  APPROX POSITION XYZ\n"));

    ObsTable back;
    Rinex3ObsHeader header;
    const ObsReadCounts counts = OBS_readR3(path, back, header, log);
    EXPECT_EQ(back.readStatus, kObsRead);
    EXPECT_EQ(counts.epochs, 2880);
    EXPECT_EQ(back.bySatellite.size(), job.receiverObs.byPrn.size()) << "GPS only, every satellite";
    const int ids[] = {obsCodeId("C1C"), obsCodeId("C2P"), obsCodeId("L1P"), obsCodeId("L2P"), obsCodeId("S1P"),
                       obsCodeId("S2P")};
    std::size_t compared = 0;
    for (const auto& [prn, records] : job.receiverObs.byPrn) {
        const std::vector<SatEpochRecord>& read = back.bySatellite.at(prn);
        ASSERT_EQ(read.size(), records.size()) << prn;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const ReceiverObsRecord& r = records[i];
            ASSERT_NEAR(read[i].epochMjd, r.epochMjd, 1e-9) << prn;
            const double values[] = {r.c1, r.p2, r.l1, r.l2, r.s1, r.s2};
            for (int k = 0; k < 6; ++k) ASSERT_EQ(read[i].value(ids[k]), values[k]) << prn << " " << i << " " << k;
            ++compared;
        }
    }
    EXPECT_EQ(compared, job.receiverObs.recordCount());

    // A Leica site's copy has the Leica set; a NovAtel recording the NovAtel set.
    job.s4.lisnSiteMatch = 1;
    job.s4.lisnSite.siteName = "PIURA, PERU";
    job.s4.lisnSite.receiverType = "Leica";
    RinexCopyHeader leica = RinexCopyHeaderOf(job);
    EXPECT_EQ(leica.types, LeicaCopyTypes());
    EXPECT_EQ(leica.markerName, "PIURA, PERU");
    EXPECT_EQ(leica.receiverType, "Leica");
    job.kinds.novatel = 1;
    EXPECT_EQ(RinexCopyHeaderOf(job).types, NovatelCopyTypes());
    // The site's receiver text wins over the recording's.
    job.kinds.novatel = 0;
    job.s4.lisnSite.receiverType = "Ashtech";
    EXPECT_EQ(RinexCopyHeaderOf(job).types, AshtechCopyTypes());
}

}  // namespace velarix
