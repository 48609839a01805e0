// The TEC derivation of the receiver table: the code pair chosen once per table, and on
// the example day the same records as the RINEX path, scaled only by the fixed factor.
#include "gnss/tec/receiver_raw_analyse.h"

#include <gtest/gtest.h>

#include "decompress/plain_copy.h"
#include "gnss/bias/dcb_table.h"
#include "gnss/day_reading.h"
#include "gnss/tec/raw_analyse.h"
#include "gnss/tec/tec_frequencies.h"
#include "rinex/obs_read2.h"
#include "rinex/obs_reader.h"
#include "rinex/satellite_id.h"
#include "test_support.h"

namespace velarix {

namespace {

const std::string kExamples = std::string(VELARIX_SOURCE_DIR) + "/examples/";

// `records` records of one satellite with the observables named in `present` (any of
// "P1 P2 C1 C2 L1 L2"), the others 0.
ReceiverObsTable tableWith(const std::string& present, int records = 10) {
    ReceiverObsTable table;
    for (int i = 0; i < records; ++i) {
        ReceiverObsRecord r;
        r.epochMjd = 58849.0 + i * 30.0 / 86400.0;
        r.prn = 5;
        const auto has = [&present](const char* type) { return present.find(type) != std::string::npos; };
        r.p1 = has("P1") ? 2.1e7 : 0.0;
        r.p2 = has("P2") ? 2.1e7 + 5.0 : 0.0;
        r.c1 = has("C1") ? 2.1e7 + 1.0 : 0.0;
        r.c2 = has("C2") ? 2.1e7 + 6.0 : 0.0;
        r.l1 = has("L1") ? 1.1e8 : 0.0;
        r.l2 = has("L2") ? 8.6e7 : 0.0;
        table.add(r);
    }
    return table;
}

}  // namespace

TEST(ReceiverCodePair, ChosenFromTheObservablesOfMostRecords) {
    struct Case {
        const char* present;
        const char* receiver;
        ReceiverCodePair pair;
    };
    const Case cases[] = {
        {"P1 P2 C1 L1 L2", "", ReceiverCodePair::kP1P2},
        {"C1 P2 L1 L2", "", ReceiverCodePair::kC1P2},
        {"C1 C2 L1 L2", "", ReceiverCodePair::kC1C2},
        {"P1 C2 L1 L2", "", ReceiverCodePair::kNone},
        {"P1 P2 C1 L1", "", ReceiverCodePair::kNone},
        {"P1 P2 C1 L1 L2", "NOV GSV4004B", ReceiverCodePair::kC1P2},
    };
    for (const Case& c : cases) {
        ReceiverObsTable table = tableWith(c.present);
        table.recording.receiverType = c.receiver;
        EXPECT_EQ(ChooseReceiverCodePair(table), c.pair) << c.present << " " << c.receiver;
    }
    // P1 in exactly half of the records is not "most": C1 stands in.
    ReceiverObsTable half = tableWith("P1 P2 C1 L1 L2", 5);
    const ReceiverObsTable withC1 = tableWith("C1 P2 L1 L2", 5);
    for (const ReceiverObsRecord& r : withC1.byPrn.at(5)) half.add(r);
    EXPECT_EQ(ChooseReceiverCodePair(half), ReceiverCodePair::kC1P2);
}

TEST(RawAnalyseReceiver, FailuresAreReportedWithTheirMessages) {
    DayJob job;
    job.receiverObs = tableWith("C1 L1 L2", 60);
    RunLog log;
    EXPECT_EQ(RawAnalyseReceiver(job, log), ReceiverTecResult::kNoObservables);
    EXPECT_EQ(log.messages, "\r\nError! @RAW analyse: one or more of Required observable(s) P1/C1,P2,L1,L2 missing!");
    job.receiverObs = tableWith("C1 P2 L1 L2", 40);  // fewer than 50 epochs
    log.messages.clear();
    EXPECT_EQ(RawAnalyseReceiver(job, log), ReceiverTecResult::kNoInterval);
    EXPECT_EQ(log.messages, "\r\nError! @raw-analyse2 - interval invalid\r\n");
    EXPECT_TRUE(job.tec.empty());
}

TEST(RawAnalyseReceiver, TheExampleDayGivesTheRinexPathsRecordsScaledByTheFixedFactor) {
    DayJob rinex;
    RunLog log;
    PlainCopy p1c1(kExamples + "P1C12001.DCB.Z");
    ASSERT_TRUE(p1c1.ok());
    DayFiles files;
    files.observationPaths = {kExamples + "bjfs0010.20o"};
    files.navigationPaths = {kExamples + "brdc0010.20n"};
    files.p1c1Path = p1c1.path();
    ASSERT_EQ(ReadDayFiles(rinex, files, log), DayReadResult::kRead) << log.messages;
    ASSERT_EQ(RawAnalyse(rinex, log), TecPassResult::kDone);

    DayJob receiver;
    receiver.ephemerides = rinex.ephemerides;
    receiver.dcb = rinex.dcb;
    receiver.station = rinex.station;
    ASSERT_EQ(OBS_read2(files.observationPaths.front(), receiver.receiverObs, log).endCode, kObsRead2Done);
    // A number outside GPS 1-32 is named and left out.
    ReceiverObsRecord foreign = receiver.receiverObs.byPrn.at(5).front();
    foreign.prn = 40;
    receiver.receiverObs.add(foreign);
    RunLog receiverLog;
    ASSERT_EQ(RawAnalyseReceiver(receiver, receiverLog), ReceiverTecResult::kDone);
    EXPECT_TRUE(contains(receiverLog.messages, "\r\nFollowing PRN# is out of range for calculation.. prn = 40"));
    EXPECT_TRUE(contains(receiverLog.messages, "\r\nINFO: @RAW analyse: Data interval = 30.00 Secs\r\n"));
    EXPECT_EQ(receiver.dataInterval_s, 30.0);

    // The same satellites and epochs (the RINEX path has GLONASS too), the same geometry
    // and the same code pair with the P1-C1 correction; TEC differs by 2.852 over the
    // factor of the carriers' frequencies only.
    const double scale = kTecuPerNsP1P2 / TecPerNanosecond(CarrierFrequency_Hz(kGps, 1), CarrierFrequency_Hz(kGps, 2));
    std::size_t compared = 0;
    for (const auto& [satNo, series] : rinex.tec) {
        if (!isGpsPrn(satNo)) continue;
        const TecSeries& mine = receiver.tec.at(satNo);
        ASSERT_EQ(mine.size(), series.size()) << satNo;
        for (const auto& [epoch, r] : series) {
            const TecRecord& m = mine.at(epoch);
            ASSERT_EQ(m.elevation_deg, r.elevation_deg);
            // P1-C1 corrected C1 in both: a bias left out would move the code TEC by TECU.
            ASSERT_NEAR(m.codeTec, r.codeTec * scale, 1e-6 * std::abs(r.codeTec) + 1e-9);
            ASSERT_EQ(m.signal1, r.signal1);
            ++compared;
        }
    }
    EXPECT_GT(compared, 25000u);
    EXPECT_EQ(receiver.tec.count(40), 0u);
    EXPECT_NE(rinex.dcb.p1c1[5], 0.0);
}

}  // namespace velarix
