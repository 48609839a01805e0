// The text products of two real station-days (BJFS 2020-001, CAT2 2016-001), written
// into a temporary folder and read back line by line with their formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "gnss/checks/gim_check.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "products/day_products.h"
#include "products/two_sigma_file.h"
#include "stations/igs_stations.h"
#include "real_day.h"
#include "test_support.h"

namespace velarix {

namespace {

constexpr double kSecond_day = 1.0 / 86400.0;

// The lines of a product whose every line ends in CR LF (the last one too, unless
// `lastLineEnds` is false). A bare LF fails the test.
std::vector<std::string> crlfLines(const std::string& text, bool lastLineEnds = true) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        EXPECT_TRUE(end > start && text[end - 1] == '\r') << "a bare LF after line " << lines.size() + 1;
        lines.push_back(text.substr(start, end - start - 1));
    }
    EXPECT_EQ(start == text.size(), lastLineEnds) << "the last line";
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

struct Written {
    TempDir dir;
    ProductNames names;
};

// Every text product of `day` into a fresh folder.
void writeAll(const RealDay& day, Written& out) {
    DayProductRequest request;
    request.targetDir = out.dir.path();
    request.cesarDat = true;
    RunLog log;
    ASSERT_EQ(WriteDayProducts(day.job, request, {}, log), ProductResult::kWritten) << log.messages;
    out.names = DayProductNames(day.job, request);
}

// The ".Cmn" file: the header, then per line the values read back through its format;
// each line must be exactly what the format makes of them.
struct CmnLine {
    double mjd, hours;
    int satNo;
    double azimuth, elevation, latitude, longitude, slant, vertical, s4;
};

std::vector<CmnLine> readCmn(const std::vector<std::string>& lines) {
    std::vector<CmnLine> read;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        CmnLine c{};
        const int n = std::sscanf(lines[i].c_str(), "%lf\t%lf\t%d\t%lf\t%lf\t%lf\t%lf\t%lf\t%lf\t%lf", &c.mjd, &c.hours,
                                  &c.satNo, &c.azimuth, &c.elevation, &c.latitude, &c.longitude, &c.slant, &c.vertical,
                                  &c.s4);
        EXPECT_EQ(n, 10) << "line " << i + 1 << ": " << lines[i];
        EXPECT_EQ(strfmt("%5.6lf\t%2.6lf\t%2d\t%2.2lf\t%2.2lf\t%2.3lf\t%2.3lf\t%2.2lf\t%2.2lf\t%1.3lf", c.mjd, c.hours,
                         c.satNo, c.azimuth, c.elevation, c.latitude, c.longitude, c.slant, c.vertical, c.s4),
                  lines[i]);
        read.push_back(c);
    }
    return read;
}

int validRecords(const TecSeries& series, double minElevation_deg = -90.0) {
    int n = 0;
    for (const auto& [t, r] : series) n += r.valid == 1 && r.elevation_deg >= minElevation_deg;
    return n;
}

void checkCmn(const RealDay& day, const std::string& path) {
    const DayJob& job = day.job;
    const std::vector<std::string> lines = crlfLines(readWholeFile(path));
    ASSERT_GT(lines.size(), 3u);
    const StationInfo& station = *job.context.station;
    EXPECT_EQ(lines[0], station.code + ",\t" + station.country);
    EXPECT_EQ(lines[1], strfmt("%1.5lf\t%1.5lf\t%1.5lf", job.context.latitudeDeg, job.context.longitudeDeg,
                               job.context.altitude));
    EXPECT_EQ(lines[2], "MJdatet\t\t Time\t\t PRN\t Az\t Ele\t Lat\t Lon\t Stec\t Vtec\t S4");

    const double interval_day = job.dataInterval_s * kSecond_day;
    std::map<int, std::vector<CmnLine>> bySatellite;
    double firstHours = 99.0, lastHours = -99.0;
    int withS4 = 0;
    for (const CmnLine& c : readCmn(lines)) {
        bySatellite[c.satNo].push_back(c);
        ASSERT_EQ(job.tec.count(c.satNo), 1u) << c.satNo;
        const TecSeries& series = job.tec.at(c.satNo);
        const auto at = series.lower_bound(c.mjd - 1e-6);
        ASSERT_TRUE(at != series.end() && std::fabs(at->first - c.mjd) < 1e-6) << c.satNo << " " << c.mjd;
        const TecRecord& r = at->second;
        EXPECT_EQ(r.valid, 1);
        EXPECT_NEAR(c.vertical, r.verticalTec, 0.0051);
        EXPECT_NEAR(c.slant, r.slantTec, 0.0051);
        EXPECT_NEAR(c.elevation, r.elevation_deg, 0.0051);
        EXPECT_EQ(c.s4, r.s4 > 0.0 ? std::round(r.s4 * 1000.0) / 1000.0 : -99.0);
        withS4 += c.s4 != -99.0;
        // The time column is the slot's, within half an interval of the record.
        EXPECT_NEAR(c.hours, (c.mjd - job.dayStartMjd) * 24.0, 0.5 * job.dataInterval_s / 3600.0 + 1e-6);
        firstHours = std::min(firstHours, c.hours);
        lastHours = std::max(lastHours, c.hours);
    }
    // Both ends of the day: the first epoch at 00:00:00 is hour 0, not -24.
    EXPECT_EQ(firstHours, 0.0);
    EXPECT_NEAR(lastHours, 24.0 - job.dataInterval_s / 3600.0, 1e-6);
    EXPECT_GT(withS4, 0);
    // Thinning: one line per satellite and data interval; at 30 s every valid record.
    for (const auto& [satNo, series] : job.tec) {
        const std::vector<CmnLine>& written = bySatellite[satNo];
        EXPECT_EQ(static_cast<int>(written.size()), validRecords(series)) << satNo;
        for (std::size_t i = 1; i < written.size(); ++i)
            ASSERT_GT(written[i].mjd - written[i - 1].mjd, interval_day * 0.99) << satNo;
    }
}

void checkCesarDat(const RealDay& day, const std::string& path) {
    const DayJob& job = day.job;
    const std::vector<std::string> lines = crlfLines(readWholeFile(path));
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[0], strfmt("%14.14s, %14.14s", job.context.station->code.c_str(),
                               job.context.station->country.c_str()));
    EXPECT_EQ(lines[1], strfmt("% 13.4lf% 13.4lf% 13.4lf", job.context.latitudeDeg, job.context.longitudeDeg,
                               job.context.altitude / 1000.0));
    EXPECT_EQ(lines[2] + lines[3], "Novatel   1dRINEX   ");
    EXPECT_EQ(lines[4], strfmt("% 5.0d% 5.0d% 5.0d", job.context.year, job.context.month, job.context.dayOfMonth));

    double longitude = job.context.longitudeDeg;
    if (longitude > 180.0) longitude -= 360.0;
    const long dayNumber = static_cast<long>(job.dayStartMjd) - 51544 + 1;
    std::map<int, int> dataLines;
    const TecSeries* series = nullptr;
    int satNo = 0;
    for (std::size_t i = 5; i < lines.size(); ++i) {
        long epochs = 0;
        if (std::sscanf(lines[i].c_str(), "PRN %d%ld", &satNo, &epochs) == 2) {
            EXPECT_EQ(lines[i], strfmt("PRN % 7.0d% 7.0ld", satNo, epochs));
            ASSERT_EQ(job.tec.count(satNo), 1u);
            series = &job.tec.at(satNo);
            EXPECT_EQ(epochs, static_cast<long>(series->size()));
            dataLines[satNo] = 0;
            continue;
        }
        ASSERT_NE(series, nullptr) << "data before the first PRN line";
        long sequence = 0, dayNo = 0;
        int hour = 0, minute = 0;
        double v[7];
        ASSERT_EQ(std::sscanf(lines[i].c_str(), "%ld%ld%d%d%lf%lf%lf%lf%lf%lf%lf", &sequence, &dayNo, &hour, &minute,
                              &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]),
                  11)
            << lines[i];
        EXPECT_EQ(lines[i], strfmt("% 5.0ld% 5.0ld% 4d% 4d% 4.0lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf% 9.3lf", sequence,
                                   dayNo, hour, minute, v[0], v[1], v[2], v[3], v[4], v[5], v[6]));
        ASSERT_TRUE(sequence >= 1 && sequence <= static_cast<long>(series->size()));
        const auto& [t, r] = *std::next(series->begin(), sequence - 1);
        ++dataLines[satNo];
        EXPECT_TRUE(r.valid == 1 && r.elevation_deg >= 20.0) << lines[i];  // the 20-degree mask
        EXPECT_EQ(dayNo, dayNumber);
        EXPECT_NEAR(hour * 3600.0 + minute * 60.0 + v[0], (t - job.dayStartMjd) * 86400.0, 0.5);
        EXPECT_NEAR(v[1], r.verticalTec, 0.0006);
        const double localOff_h = std::fmod(v[2] - (t - job.dayStartMjd) * 24.0 - longitude / 15.0 + 48.0, 24.0);
        EXPECT_NEAR(std::min(localOff_h, 24.0 - localOff_h), 0.0, 1e-3);
        EXPECT_NEAR(v[3], r.elevation_deg, 0.0006);
        EXPECT_NEAR(v[6], r.slantTec, 0.0006);
    }
    EXPECT_EQ(dataLines.size(), job.tec.size());
    for (const auto& [sat, count] : dataLines) EXPECT_EQ(count, validRecords(job.tec.at(sat), 20.0)) << sat;
}

// The ".Std" file keeps the LF line ends it always had.
void checkTwoSigma(const std::string& path) {
    const std::string text = readWholeFile(path);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 240u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        double hour = 0.0, smoothed = 0.0, average = 0.0, spread = 0.0;
        const double centre = (i + 0.5) * 0.1;
        if (std::sscanf(lines[i].c_str(), "%lf \t%lf \t%lf \t%lf", &hour, &smoothed, &average, &spread) == 4) {
            EXPECT_EQ(lines[i], strfmt("%2.3f \t%2.2f \t%2.2f \t%2.2f", hour, smoothed, average, spread));
        } else {
            EXPECT_EQ(lines[i], strfmt("%2.3f \t- \t- \t%2.2f", centre, 0.0));
            hour = centre;
        }
        EXPECT_NEAR(hour, centre, 1e-9);
    }
}

void checkBiasSummary(const RealDay& day, const std::string& path) {
    const BiasResults& b = day.job.bias;
    const std::vector<std::string> lines = crlfLines(readWholeFile(path), false);
    ASSERT_EQ(lines.size(), 39u);
    EXPECT_EQ(lines[0], "Summary of biases applied in TEC units for... " + path);
    EXPECT_EQ(lines[1], "Desired TEC = calc.TEC + Rx_bias + PRN_bias(Sat.bias + interchannel bias)");
    EXPECT_EQ(lines[2] + "|" + lines[3], "|PRN\tSatBias\tiChnBias\tTotal");
    for (int prn = 1; prn <= 32; ++prn) {
        int p = 0;
        double sat = 0.0, ichn = 0.0, total = 0.0;
        ASSERT_EQ(std::sscanf(lines[3 + prn].c_str(), "%d\t%lf\t%lf\t%lf", &p, &sat, &ichn, &total), 4);
        EXPECT_EQ(lines[3 + prn], strfmt("%d\t%3.1lf\t%3.1lf\t%3.1lf", p, sat, ichn, total));
        EXPECT_EQ(p, prn);
        EXPECT_NEAR(sat, -b.satBias[prn], 0.051);
    }
    EXPECT_EQ(lines[36], "");
    EXPECT_EQ(lines[37], strfmt("RxBias (TEC units) stage1= %2.1lf stage2= %2.1lf Total= %2.1lf", b.rxBiasStage1,
                                b.rxBiasStage2, b.rxBiasTotal));
    EXPECT_EQ(lines[38], strfmt("Averages Min. TEC = %1.1lf and Max. TEC = %1.1lf", b.minTecAverage, b.maxTecAverage));
}

void checkDay(const RealDay* day, const char* cmnName, const char* datName) {
    if (day == nullptr) GTEST_SKIP() << "no shared data";
    ASSERT_EQ(day->biasResult, BiasResult::kApplied) << day->log;
    Written out;
    writeAll(*day, out);
    const std::string folder = out.dir.path();
    // The names of the products, in the target folder.
    EXPECT_EQ(out.names.cmn, folder + cmnName);
    EXPECT_EQ(out.names.std2Sigma, folder + std::string(cmnName, 18) + ".Std");
    EXPECT_EQ(out.names.biasSummary, folder + std::string(cmnName, 18) + ".Bias");
    EXPECT_EQ(out.names.cesarDat, folder + datName);
    checkCmn(*day, out.names.cmn);
    checkCesarDat(*day, out.names.cesarDat);
    checkTwoSigma(out.names.std2Sigma);
    checkBiasSummary(*day, out.names.biasSummary);
}

}  // namespace

TEST(RealDayProducts, BjfsEveryLineReadsBackWithItsFormat) {
    checkDay(BjfsDay(), "bjfs001-2020-01-01.Cmn", "bjfs20001.dat");
}

TEST(RealDayProducts, Cat2EveryLineReadsBackWithItsFormat) {
    checkDay(Cat2Day(), "cat2001-2016-01-01.Cmn", "cat216001.dat");
}

// The 2-sigma file against the text the bias stage itself made before the writer took
// it over (tests/data/products/): byte for byte, LF line ends included.
TEST(RealDayProducts, TwoSigmaFileIsTheBiasStagesOldText) {
    const RealDay* day = BjfsDay();
    if (day == nullptr) GTEST_SKIP() << "no shared data";
    const std::string old =
        readWholeFile(std::string(VELARIX_TEST_DATA) + "/products/bjfs_2020_001_two_sigma.txt");
    ASSERT_EQ(std::count(old.begin(), old.end(), '\n'), 240);
    EXPECT_EQ(TwoSigmaFileText(day->job.bias.finalCurve), old);
}

// The ".Bias" file says "Desired TEC = calc.TEC + Rx_bias + PRN_bias": its stage-1
// receiver bias and a satellite's Total, added to the slant TEC before the bias stage,
// give the calibrated slant TEC of the ".Cmn" file. That holds for satellites without
// data gaps, whose one interchannel correction is the one in the file; for the others
// each segment has its own.
TEST(RealDayProducts, BiasFileValuesAddedToTheUncalibratedTecGiveTheCmnFile) {
    for (const RealDay* day : {BjfsDay(), Cat2Day()}) {
        if (day == nullptr) GTEST_SKIP() << "no shared data";
        Written out;
        writeAll(*day, out);
        const std::vector<std::string> bias = crlfLines(readWholeFile(out.names.biasSummary), false);
        ASSERT_EQ(bias.size(), 39u);
        double stage1 = 0.0;
        ASSERT_EQ(std::sscanf(bias[37].c_str(), "RxBias (TEC units) stage1= %lf", &stage1), 1);
        std::map<int, double> total;
        for (int prn = 1; prn <= 32; ++prn) {
            double sat = 0.0, ichn = 0.0;
            ASSERT_EQ(std::sscanf(bias[3 + prn].c_str(), "%*d\t%lf\t%lf\t%lf", &sat, &ichn, &total[prn]), 3);
        }
        int checked = 0, gapped = 0;
        for (const CmnLine& c : readCmn(crlfLines(readWholeFile(out.names.cmn)))) {
            if (c.satNo > 32) continue;
            const auto segments = day->job.bias.segments.find(c.satNo);
            if (segments != day->job.bias.segments.end() && !segments->second.gaps.empty()) {
                ++gapped;
                continue;
            }
            const TecSeries& before = day->uncalibrated.at(c.satNo);
            const auto at = before.lower_bound(c.mjd - 1e-6);
            ASSERT_TRUE(at != before.end() && std::fabs(at->first - c.mjd) < 1e-6);
            // Three roundings: 0.05 each for the file's two values, 0.005 for the CMN's.
            ASSERT_NEAR(at->second.slantTec + stage1 + total[c.satNo], c.slant, 0.106) << c.satNo << " " << c.mjd;
            ++checked;
        }
        EXPECT_GT(checked, 5000);
        std::printf("%s: %d CMN lines of satellites without gaps checked, %d with gaps left out\n",
                    day->folder.c_str(), checked, gapped);
    }
}

namespace {

// The day line of `velarix-tools gimcheck FILE IONEX`.
DifferenceStats gimcheckDay(const std::string& file, const std::string& ionex) {
    const ToolRun run = runTools("gimcheck '" + file + "' '" + ionex + "'", "2>/dev/null");
    EXPECT_EQ(run.exitCode, 0) << file;
    DifferenceStats all;
    const std::size_t at = run.output.rfind("\nall\t");
    EXPECT_NE(at, std::string::npos) << run.output;
    if (at == std::string::npos) return all;
    EXPECT_EQ(std::sscanf(run.output.c_str() + at, "\nall\t%d\t%lf\t%lf\t%lf", &all.count, &all.mean_TECU,
                          &all.std_TECU, &all.rms_TECU),
              4);
    return all;
}

}  // namespace

// gimcheck reads the ".Cmn" file as it reads the table of `tec --calibrated`: the same
// day gives the same figures against CODE's map.
TEST(RealDayProducts, GimcheckGivesTheSameFiguresForTheCmnFileAndTheTecTable) {
    if (sharedDataDir().empty()) GTEST_SKIP() << "no shared data";
    const std::string map = sharedDataDir() + "set1_bjfs_2020_001/codg0010.20i.Z";
    const RealDay* day = BjfsDay();
    ASSERT_NE(day, nullptr);
    Written out;
    writeAll(*day, out);
    const std::string table = out.dir.path() + "calibrated.tsv";
    const std::string& f = day->folder;
    const ToolRun tec = runTools("tec '" + f + "bjfs0010.20o' '" + f + "brdc0010.20n' '" + f + "P1P22001_ALL.DCB.Z' '" +
                                     f + "P1C12001.DCB.Z' --calibrated",
                                 "2>/dev/null > '" + table + "'");
    ASSERT_EQ(tec.exitCode, 0);
    const DifferenceStats fromTable = gimcheckDay(table, map);
    const DifferenceStats fromCmn = gimcheckDay(out.names.cmn, map);
    EXPECT_GT(fromTable.count, 14000);
    EXPECT_NEAR(fromCmn.count, fromTable.count, fromTable.count / 1000);  // elevations at 0.01 deg on the mask
    EXPECT_NEAR(fromCmn.mean_TECU, fromTable.mean_TECU, 0.01);
    EXPECT_NEAR(fromCmn.std_TECU, fromTable.std_TECU, 0.01);
    EXPECT_NEAR(fromCmn.rms_TECU, fromTable.rms_TECU, 0.01);
    std::printf("gimcheck (count, mean, std, RMS): table %d %.3f %.3f %.3f, CMN %d %.3f %.3f %.3f\n", fromTable.count,
                fromTable.mean_TECU, fromTable.std_TECU, fromTable.rms_TECU, fromCmn.count, fromCmn.mean_TECU,
                fromCmn.std_TECU, fromCmn.rms_TECU);
}

}  // namespace velarix
