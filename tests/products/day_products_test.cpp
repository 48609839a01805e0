// The text products on small synthetic days: the CMN thinning and time column, the
// thresholds and failure paths of WriteDayProducts, the station lines, the CESAR-Dat mask
// and the bias summary's signs.
#include "products/day_products.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "gnss/bias/two_sigma.h"
#include "gnss/checks/vtec_samples.h"
#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "platform/safe_output.h"
#include "platform/text.h"
#include "products/bias_summary_file.h"
#include "products/cesar_dat_file.h"
#include "products/cmn_file.h"
#include "products/two_sigma_file.h"
#include "stations/igs_stations.h"
#include "stations/lisn_sites.h"
#include "test_support.h"

namespace velarix {

namespace {

constexpr double kDay = 58849.0;  // 2020-01-01

double at(double seconds) { return kDay + seconds / 86400.0; }

TecRecord record(double seconds, double elevation_deg = 45.0) {
    TecRecord r;
    r.epochMjd = at(seconds);
    r.azimuth_deg = 123.456;
    r.elevation_deg = elevation_deg;
    r.ippLatitude_deg = 40.125;
    r.ippLongitude_deg = 116.5;
    r.slantTec = 20.0;
    r.verticalTec = 10.0;
    return r;
}

void addRecords(TecSeries& series, double first_s, double last_s, double step_s, double elevation_deg = 45.0) {
    for (double s = first_s; s <= last_s; s += step_s) series[at(s)] = record(s, elevation_deg);
}

DayJob syntheticDay(const std::string& folder, int satellites = 0) {
    DayJob job;
    job.context.reset(folder + "bjfs0010.20o");
    job.context.inputPath = folder + "bjfs0010.20o";
    job.context.stationCode = "bjfs";
    job.context.year = 2020;
    job.context.month = job.context.dayOfMonth = job.context.dayOfYear = 1;
    job.context.latitudeDeg = 39.60858;
    job.context.longitudeDeg = 115.89249;
    job.context.altitude = 87.5;
    job.kinds.rinexObs = 1;
    job.dataInterval_s = 30.0;
    job.dayStartMjd = kDay;
    for (int prn = 1; prn <= satellites; ++prn) addRecords(job.tec[prn], 0.0, 600.0, 30.0);
    return job;
}

// The data lines of one satellite in a CMN file: its epoch (seconds from the day's 00:00)
// and time column (hours).
std::vector<std::pair<double, double>> cmnTimes(const std::string& path, int satNo) {
    std::vector<std::pair<double, double>> times;
    const std::string text = readWholeFile(path);
    std::size_t line = 0;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        double mjd = 0.0, hours = 0.0;
        int sat = 0;
        if (++line > kCmnHeaderLines && std::sscanf(text.c_str() + start, "%lf\t%lf\t%d", &mjd, &hours, &sat) == 3 &&
            sat == satNo)
            times.emplace_back((mjd - kDay) * 86400.0, hours);
    }
    return times;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return {names.begin(), names.end()};
}

struct ThinningCase {
    const char* what;
    double interval_s;
    std::vector<double> records_s;  // epochs in seconds from the day's 00:00
    // written lines: epoch (s from 00:00) and the time column as seconds
    std::vector<std::pair<double, double>> lines;
};

// The MJD column holds 1e-6 day (0.0864 s), the time column 1e-6 h.
void expectTimes(const std::vector<std::pair<double, double>>& written,
                 const std::vector<std::pair<double, double>>& expected) {
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_NEAR(written[i].first, expected[i].first, 0.05) << i;
        EXPECT_NEAR(written[i].second, expected[i].second / 3600.0, 6e-7) << i;
    }
}

std::vector<double> everySecond(double first, double last) {
    std::vector<double> v;
    for (double s = first; s <= last; s += 1.0) v.push_back(s);
    return v;
}

}  // namespace

TEST(CmnFile, ThinsToTheSlotGridAndCountsHoursFromTheDaysStart) {
    const ThinningCase cases[] = {
        {"1 s records with a 30 s interval: one line per 30 s, on the grid", 30.0, everySecond(0.0, 125.0),
         {{0, 0}, {30, 30}, {60, 60}, {90, 90}, {120, 120}}},
        {"after a gap the grid resumes on the slot within a quarter step of the record", 30.0,
         {0, 30, 60, 607, 637, 1020},
         {{0, 0}, {30, 30}, {60, 60}, {607, 600}, {637, 637}, {1020, 1027}}},
        {"records of the day before are negative, the day's first epochs are not", 30.0, {-30, 0, 30},
         {{-30, -30}, {0, 0}, {30, 30}}},
        {"records of the next day are 24 h and more, the day's last ones are not", 30.0,
         {86340, 86369.5, 86399.5, 86430},
         {{86340, 86340}, {86369.5, 86370}, {86399.5, 86399.5}, {86430, 86429.5}}},
    };
    for (const ThinningCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        DayJob job = syntheticDay(dir.path());
        job.dataInterval_s = c.interval_s;
        for (double s : c.records_s) job.tec[7][at(s)] = record(s);
        RunLog log;
        const std::string path = dir.path() + "day.Cmn";
        ASSERT_EQ(WriteCmnFile(job, path, log), ProductResult::kWritten);
        expectTimes(cmnTimes(path, 7), c.lines);
    }
    // Records not valid are never written and do not move the slot (here the one of
    // 00:00:30, taken by the record of 00:00:20); without a data interval every valid
    // record is written.
    TempDir dir;
    DayJob job = syntheticDay(dir.path());
    for (double s : {0.0, 10.0, 20.0, 30.0}) job.tec[9][at(s)] = record(s);
    job.tec[9][at(30.0)].valid = 0;
    RunLog log;
    ASSERT_EQ(WriteCmnFile(job, dir.path() + "a.Cmn", log), ProductResult::kWritten);
    expectTimes(cmnTimes(dir.path() + "a.Cmn", 9), {{0, 0}, {20, 30}});
    job.dataInterval_s = -1.0;
    ASSERT_EQ(WriteCmnFile(job, dir.path() + "b.Cmn", log), ProductResult::kWritten);
    EXPECT_EQ(cmnTimes(dir.path() + "b.Cmn", 9).size(), 3u);
}

TEST(CmnFile, StationLinesDataLineFormatAndTheGimcheckReader) {
    TempDir dir;
    DayJob job = syntheticDay(dir.path());
    job.tec[5][at(0)] = record(0);
    job.tec[5][at(0)].s4 = 0.25;
    job.tec[5][at(30)] = record(30, 12.5);
    job.tec[607][at(60)] = record(60);
    RunLog log;
    const std::string path = dir.path() + "day.Cmn";
    ASSERT_EQ(WriteCmnFile(job, path, log), ProductResult::kWritten);
    EXPECT_EQ(log.messages, "Writing CMN-O/P file... \t" + path + "\r\n");
    EXPECT_EQ(readWholeFile(path),
              "Unknown_station,\t\"" + job.context.inputPath + "\"\r\n"
              "39.60858\t115.89249\t87.50000\r\n"
              "MJdatet\t\t Time\t\t PRN\t Az\t Ele\t Lat\t Lon\t Stec\t Vtec\t S4\r\n"
              "58849.000000\t0.000000\t 5\t123.46\t45.00\t40.125\t116.500\t20.00\t10.00\t0.250\r\n"
              "58849.000347\t0.008333\t 5\t123.46\t12.50\t40.125\t116.500\t20.00\t10.00\t-99.000\r\n"
              "58849.000694\t0.016667\t607\t123.46\t45.00\t40.125\t116.500\t20.00\t10.00\t-99.000\r\n");

    // What gimcheck reads back: every line a record; epochs, elevations, pierce points.
    std::vector<VtecSample> samples;
    ASSERT_EQ(ReadVtecSamples(path, samples, log), VtecReadResult::kRead) << log.messages;
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_TRUE(samples[1].elevation_deg == 12.5 && samples[2].ippLatitude_deg == 40.125 &&
                samples[2].ippLongitude_deg == 116.5 && samples[2].verticalTec_TECU == 10.0);
    EXPECT_NEAR(samples[2].epochMjd, at(60), 1e-6);
    // A file of another layout, and a bad row.
    RunLog bad;
    const std::string table = dir.write("x.cmn", "a\r\nb\r\nMJD\tsatellite\r\n1\t2\r\n");
    EXPECT_EQ(ReadVtecSamples(table, samples, bad), VtecReadResult::kNoSamples);
    EXPECT_TRUE(contains(bad.messages, "Error! CMN file has no column names' line (MJdatet, Time, PRN...) on its third "
                                       "line @line# 3: " + table)) << bad.messages;
    std::string text = readWholeFile(path);
    text.insert(text.find("58849.000347"), "58849.5\tx\r\n");
    ASSERT_EQ(ReadCmnFile(dir.write("row.Cmn", text), samples, bad), VtecReadResult::kRead);
    EXPECT_EQ(samples.size(), 3u);
    EXPECT_TRUE(contains(bad.messages, "Warning! CMN file row not readable, skipped @line# 5: ")) << bad.messages;

    // The station line: the IGS catalogue's code and country, else the LISN site's name.
    StationInfo bjfs{"BJFS", "Beijing", "China", "IGS", 115.9, 39.6, 87.5};
    job.context.station = &bjfs;
    ASSERT_EQ(WriteCmnFile(job, path, log), ProductResult::kWritten);
    EXPECT_EQ(readWholeFile(path).substr(0, 13), "BJFS,\tChina\r\n");
    job.context.station = nullptr;
    job.s4.lisnSiteMatch = 1;
    job.s4.lisnSite.siteName = "LA PAZ, BOLIVIA";
    ASSERT_EQ(WriteCmnFile(job, path, log), ProductResult::kWritten);
    EXPECT_EQ(readWholeFile(path).substr(0, 19), "\"LA PAZ, BOLIVIA\"\r\n");
    job.kinds.novatel = 1;  // never for NovAtel recordings
    ASSERT_EQ(WriteCmnFile(job, path, log), ProductResult::kWritten);
    EXPECT_EQ(readWholeFile(path).substr(0, 18), "Unknown_station,\t\"");
}

TEST(CesarDat, EverySatelliteHasItsPrnLineAndOnlyRecordsAbove20DegreesFollow) {
    TempDir dir;
    DayJob job = syntheticDay(dir.path());
    job.context.longitudeDeg = 284.0;  // 76 W: local time is UT - 5.0667 h
    job.tec[3][at(3600)] = record(3600, 19.99);
    job.tec[3][at(3630)] = record(3630, 20.0);
    job.tec[3][at(3660)] = record(3660, 75.0);
    job.tec[3][at(3660)].valid = 0;
    job.tec[3][at(45296)] = record(45296, 30.0);  // 12:34:56
    addRecords(job.tec[12], 0.0, 60.0, 30.0, 10.0);  // never above 20 degrees
    RunLog log;
    const std::string path = dir.path() + "bjfs20001.dat";
    ASSERT_EQ(WriteCesarDat(job, path, log), ProductResult::kWritten);
    EXPECT_EQ(log.messages, "\r\nWriting output (CESAR-Dat) file: " + path + "\r\n");
    EXPECT_EQ(readWholeFile(path),
              "          bjfs,        unknown\r\n"
              "      39.6086     284.0000       0.0875\r\n"
              "Novatel   \r\n"
              "1dRINEX   \r\n"
              " 2020    1    1\r\n"
              "PRN       3      4\r\n"
              "    2 7306   1   0  30   10.000   19.942   20.000   40.125  116.500   20.000\r\n"
              "    4 7306  12  34  56   10.000    7.516   30.000   40.125  116.500   20.000\r\n"
              "PRN      12      3\r\n");

    // The IGS catalogue's station; the LISN site's name, receiver and format.
    StationInfo bjfs{"BJFS", "Beijing", "China", "IGS", 115.9, 39.6, 87.5};
    job.context.station = &bjfs;
    ASSERT_EQ(WriteCesarDat(job, path, log), ProductResult::kWritten);
    EXPECT_TRUE(startsWith(readWholeFile(path), "          BJFS,          China\r\n      39.6086     284.0000"));
    job.context.station = nullptr;
    job.s4.lisnSiteMatch = 1;
    job.s4.lisnSite.siteName = "LA PAZ, BOLIVIA";
    job.s4.lisnSite.receiverType = "Novatel GSV4004B";
    job.s4.lisnSite.dataFormat = "GSV4004";
    ASSERT_EQ(WriteCesarDat(job, path, log), ProductResult::kWritten);
    const std::string lisn = readWholeFile(path);
    EXPECT_EQ(lisn.substr(0, 19), "\"LA PAZ, BOLIVIA\"\r\n");
    EXPECT_TRUE(contains(lisn, "\r\nNovatel GS\r\n   GSV4004\r\n 2020")) << lisn;

    // Nothing to write; a file that cannot be created.
    DayJob empty = syntheticDay(dir.path());
    EXPECT_EQ(WriteCesarDat(empty, dir.path() + "none.dat", log), ProductResult::kNoData);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "none.dat"));
    RunLog failLog;
    EXPECT_EQ(WriteCesarDat(job, dir.path() + "no/such/folder.dat", failLog), ProductResult::kNotCreated);
    EXPECT_EQ(failLog.messages, "\r\nError! Unable to write the file... " + dir.path() + "no/such/folder.dat\r\n");
}

TEST(WriteDayProducts, SatelliteThresholdsNamesAndMessages) {
    struct Case {
        int satellites;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {0, {}},
        {1, {"bjfs001-2020-01-01.Cmn", "bjfs20001.dat"}},
        {3, {"bjfs001-2020-01-01.Cmn", "bjfs20001.dat"}},
        {4,
         {"bjfs001-2020-01-01-wbias.png", "bjfs001-2020-01-01.Bias", "bjfs001-2020-01-01.Cmn",
          "bjfs001-2020-01-01.Std", "bjfs20001.dat"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.satellites);
        TempDir data;
        DayJob job = syntheticDay(data.path(), c.satellites);
        ASSERT_EQ(TwoSigmaItr({1.0, 2.0}, {5.0, 6.0}, kTenthHourBins, job.bias.finalCurve), 2);
        DayProductRequest request;
        request.cesarDat = request.biasImage = true;
        std::string drawn;
        DayProductCallouts callouts;
        callouts.saveBiasFigure = [&drawn](const std::string& png) {
            drawn = png;
            return writeFileAtomically(png, "png", ReplacePolicy::kReplaceRegularFile) == OutputStatus::kOk;
        };
        RunLog log;
        ASSERT_EQ(WriteDayProducts(job, request, callouts, log), ProductResult::kWritten);
        EXPECT_EQ(filesIn(data.path()), c.files);
        const std::string base = data.path() + "bjfs001-2020-01-01";
        if (c.satellites == 4) {
            EXPECT_EQ(drawn, base + "-wbias.png");
            EXPECT_EQ(log.messages, "\r\nBias calc. TEC Plot...\t" + base + "-wbias.png\r\nWriting 2-sigma file... \t" +
                                        base + ".Std\r\nWriting Biases file... \t" + base +
                                        ".Bias\r\n\r\nWriting output (CESAR-Dat) file: " + data.path() +
                                        "bjfs20001.dat\r\nWriting CMN-O/P file... \t" + base + ".Cmn\r\n");
        }
        if (c.satellites == 0) {
            EXPECT_EQ(log.messages, "\r\n");
        }
    }
}

TEST(WriteDayProducts, FailuresAreReportedAndTheOtherProductsStillWritten) {
    TempDir data;
    DayJob job = syntheticDay(data.path(), 5);
    const std::string base = data.path() + "bjfs001-2020-01-01";
    // The CMN name is taken by a folder: no CMN, -1, the rest written; the figure drawer
    // fails; the bias stage formed no curve.
    std::filesystem::create_directory(base + ".Cmn");
    DayProductRequest request;
    request.cesarDat = request.biasImage = true;
    DayProductCallouts callouts;
    callouts.saveBiasFigure = [](const std::string&) { return false; };
    RunLog log;
    EXPECT_EQ(WriteDayProducts(job, request, callouts, log), ProductResult::kNotCreated);
    EXPECT_EQ(log.messages, "\r\n* Unable to write Image file... " + base +
                                "-wbias.png\r\n* No 2-sigma TEC curve for the day, no 2-sigma TEC file... " + base +
                                ".Std\r\nWriting Biases file... \t" + base +
                                ".Bias\r\n\r\nWriting output (CESAR-Dat) file: " + data.path() +
                                "bjfs20001.dat\r\nError! Unable to write CMN-O/P file..." + base + ".Cmn\r\n");
    EXPECT_EQ(filesIn(data.path()),
              (std::vector<std::string>{"bjfs001-2020-01-01.Bias", "bjfs001-2020-01-01.Cmn", "bjfs20001.dat"}));
    EXPECT_TRUE(std::filesystem::is_directory(base + ".Cmn"));

    // Without a drawer the image is reported as not written; an older product of the same
    // name is replaced.
    std::filesystem::remove(base + ".Cmn");
    data.write("bjfs001-2020-01-01.Cmn", "old");
    RunLog second;
    EXPECT_EQ(WriteDayProducts(job, request, {}, second), ProductResult::kWritten);
    EXPECT_TRUE(contains(second.messages, "* Unable to write Image file... " + base + "-wbias.png\r\n"));
    EXPECT_EQ(readWholeFile(base + ".Cmn").substr(0, 16), "Unknown_station,");
}

TEST(WriteDayProducts, NonRinexInputTheCopysSeamAndTheLisnUnknStem) {
    // An ISM recording with a short name and no LISN site, 5 satellites in the receiver table.
    TempDir data;
    DayJob job = syntheticDay(data.path(), 4);
    job.context.inputPath = data.path() + "x.ism";
    job.kinds = InputKindFlags{};
    job.kinds.ism = 1;
    for (int prn = 1; prn <= 5; ++prn) job.receiverObs.add(ReceiverObsRecord{.epochMjd = 58849.0, .prn = prn});
    DayProductRequest request;
    request.twoSigma = request.biasSummary = false;
    std::string copied;
    DayProductCallouts callouts;
    callouts.writeRinexCopy = [&copied](const std::string& path) {
        copied = path;
        return true;
    };
    RunLog log;
    ASSERT_EQ(WriteDayProducts(job, request, callouts, log), ProductResult::kWritten);
    EXPECT_EQ(copied, data.path() + "LISN0010.20o");
    EXPECT_TRUE(startsWith(log.messages, "\r\n\r\nWriting Rinex output... \tWriting CMN-O/P file... \t"));
    EXPECT_EQ(filesIn(data.path()), std::vector<std::string>{"LISN.UNKN.001-2020-01-01.Cmn"});
    // Without a RINEX writer the copy is named as not written; RINEX input or 4 observed
    // satellites never ask for it.
    RunLog noWriter;
    ASSERT_EQ(WriteDayProducts(job, request, {}, noWriter), ProductResult::kWritten);
    EXPECT_TRUE(contains(noWriter.messages, "\r\nNote! Rinex output not written, this program has no RINEX writer "
                                            "yet: " + data.path() + "LISN0010.20o\r\n"));
    job.receiverObs.prns.pop_back();
    copied.clear();
    ASSERT_EQ(WriteDayProducts(job, request, callouts, log), ProductResult::kWritten);
    job.receiverObs.prns.push_back(5);
    job.kinds.rinexObs = 1;
    ASSERT_EQ(WriteDayProducts(job, request, callouts, log), ProductResult::kWritten);
    EXPECT_TRUE(copied.empty());
}

TEST(TwoSigmaFile, CraftedBinsAsTheBiasStageWroteThem) {
    // Bin 0.0-0.1 h: nine values of 10 and an outlier; bin 0.1-0.2 h: 20; bin 0.2-0.3 h: 40.
    std::vector<double> hours(10, 0.05), values(9, 10.0);
    values.push_back(100.0);
    hours.insert(hours.end(), {0.12, 0.18, 0.25, 0.26});
    values.insert(values.end(), {19.0, 21.0, 40.0, 40.0});
    TwoSigmaCurve curve;
    ASSERT_EQ(TwoSigmaItr(hours, values, kTenthHourBins, curve), 3);
    const std::string text = TwoSigmaFileText(curve);
    EXPECT_EQ(text.substr(0, 78),
              "0.050 \t10.00 \t10.00 \t0.00\n0.150 \t22.50 \t20.00 \t1.41\n0.250 \t40.00 \t40.00 \t0.00\n");
    EXPECT_TRUE(contains(text, "\n0.350 \t- \t- \t0.00\n"));
    EXPECT_TRUE(endsWith(text, "\n23.950 \t- \t- \t0.00\n"));
}

TEST(BiasSummaryFile, WritesWhatIsAddedToTheCalculatedTec) {
    BiasResults b;
    b.satBias[1] = 7.74;  // removed from the calculated TEC: the file shows -7.7
    b.interchannelBias[1] = -1.26;
    b.totalBias[1] = 6.48;
    b.satBias[32] = -2.0;
    b.totalBias[32] = -2.0;
    b.rxBiasStage1 = -41.94;
    b.rxBiasStage2 = 1.46;
    b.rxBiasTotal = -40.48;
    b.minTecAverage = 2.04;
    b.maxTecAverage = 14.25;
    const std::string text = BiasSummaryFileText(b, "/out/x.Bias");
    EXPECT_TRUE(startsWith(text,
              "Summary of biases applied in TEC units for... /out/x.Bias\r\n"
              "Desired TEC = calc.TEC + Rx_bias + PRN_bias(Sat.bias + interchannel bias)\r\n"
              "\r\n"
              "PRN\tSatBias\tiChnBias\tTotal\r\n"
              "1\t-7.7\t1.3\t-6.5\r\n"));
    EXPECT_TRUE(contains(text, "\r\n2\t0.0\t0.0\t0.0\r\n"));
    EXPECT_TRUE(contains(text, "\r\n32\t2.0\t0.0\t2.0\r\n\r\nRxBias (TEC units) stage1= -41.9 stage2= 1.5 "
                               "Total= -40.5\r\nAverages Min. TEC = 2.0 and Max. TEC = 14.2"));
    EXPECT_TRUE(endsWith(text, "Max. TEC = 14.2"));  // no line break at the end
}

}  // namespace velarix
