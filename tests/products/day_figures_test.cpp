// The day's figures on small synthetic days: axes, breaks of the lines, pages, and the
// cases where nothing is drawn.
#include <gtest/gtest.h>

#include <filesystem>

#include "figure_day.h"
#include "products/bias_figure_plot.h"
#include "products/plot_texts.h"
#include "products/prn_pages_plot.h"
#include "products/tec24h_plot.h"
#include "rinex/satellite_id.h"
#include "stations/igs_stations.h"
#include "test_support.h"

namespace velarix {

namespace fs = std::filesystem;

namespace {

DayJob emptyDay() {
    DayJob job;
    job.dayStartMjd = kFigureDay;
    return job;
}

// Satellite 1 over the whole day with the given vertical TEC, every 5 minutes.
void addWholeDay(DayJob& job, int satNo, double verticalTec) { addPass(job, satNo, 0.0, 288, 300.0, verticalTec); }

// Lines of satellite `satNo` that join samples more than `minutes` apart.
int bridges(const std::vector<Tec24hSegment>& segments, int satNo, double minutes) {
    int count = 0;
    for (const Tec24hSegment& s : segments) count += s.satNo == satNo && (s.toMjd - s.fromMjd) * 1440.0 > minutes;
    return count;
}

PagePath pagesIn(const std::string& stem) {
    return [stem](int page) { return stem + "page" + std::to_string(page) + ".png"; };
}

}  // namespace

TEST(Tec24hPlot, TecAxisFromTheWellFilledBinsOverTheWholeValidRange) {
    const struct {
        const char* what;
        std::vector<double> tec;  // one satellite over the day for each value
        double low, high, step;
    } cases[] = {
        {"all below 30: the axis still reaches 40", {3.0, 12.0, 28.0}, 0.0, 40.0, 5.0},
        {"nothing well filled", {}, -10.0, 40.0, 5.0},
        {"a busy day", {10.0, 95.0}, 10.0, 100.0, 10.0},
        // Valid values down to -50 TECU lie below the first bin of the histogram; values
        // past 490 TECU beyond the last. Neither may be counted outside it.
        {"down to -40", {-40.0, 20.0}, -40.0, 40.0, 10.0},
        {"far out of range", {-60.0, 600.0, 1e12, 20.0}, 20.0, 40.0, 5.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DayJob job = emptyDay();
        for (std::size_t i = 0; i < c.tec.size(); ++i) addWholeDay(job, static_cast<int>(i) + 1, c.tec[i]);
        const Tec24hScales scales = SurveyTec24h(job);
        EXPECT_EQ(scales.tecLow, c.low);
        EXPECT_EQ(scales.tecHigh, c.high);
        EXPECT_EQ(scales.tecStep, c.step);
    }
}

TEST(Tec24hPlot, LatitudeRangeFromTheSamplesDrawnInTowardsTheStation) {
    const struct {
        const char* what;
        double station, lowest, highest;  // station -999: unknown
        double min, max;
    } cases[] = {
        {"station at 10, pierce points -20 to 30", 10.0, -20.0, 30.0, 4.0, 16.0},
        {"within 8 degrees", 10.0, 3.0, 17.0, 3.0, 17.0},
        {"south of the equator", -35.0, -40.0, -30.0, -40.0, -30.0},
        {"south, station unknown", -999.0, -40.0, -30.0, -40.0, -30.0},
        {"north, station unknown", -999.0, 30.0, 50.0, 30.0, 50.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DayJob job = emptyDay();
        job.context.latitudeDeg = c.station;
        addPass(job, 1, 1.0, 200, 30.0);
        job.tec[1].begin()->second.ippLatitude_deg = c.lowest;
        job.tec[1].rbegin()->second.ippLatitude_deg = c.highest;
        // Invalid or low records do not count.
        std::next(job.tec[1].begin())->second.ippLatitude_deg = c.lowest - 50;
        std::next(job.tec[1].begin())->second.valid = 0;
        std::prev(job.tec[1].end(), 2)->second.ippLatitude_deg = c.highest + 50;
        std::prev(job.tec[1].end(), 2)->second.elevation_deg = 14.9;
        for (auto it = std::next(job.tec[1].begin(), 2); it != std::prev(job.tec[1].end(), 2); ++it)
            it->second.ippLatitude_deg = (c.lowest + c.highest) / 2;
        const Tec24hScales scales = SurveyTec24h(job);
        EXPECT_EQ(scales.latitudeMin_deg, c.min);
        EXPECT_EQ(scales.latitudeMax_deg, c.max);
    }
}

TEST(Tec24hPlot, LinesBreakAtGapsOfMoreThanTwelveMinutes) {
    DayJob job = emptyDay();
    // Satellite 1: a 13-minute gap; satellite 2: a 10-minute one; satellite 3: exactly 12.
    for (const auto& [satNo, gap_min] : {std::pair{1, 13.0}, {2, 10.0}, {3, 12.0}}) {
        addPass(job, satNo, 1.0, 120, 30.0);
        addPass(job, satNo, 2.0 - 0.5 / 60 + gap_min / 60, 120, 30.0);
    }
    addWholeDay(job, 4, 20.0);
    const std::vector<Tec24hSegment> segments = Tec24hSegments(job, SurveyTec24h(job));
    EXPECT_EQ(bridges(segments, 1, 1.0), 0);
    EXPECT_EQ(bridges(segments, 2, 1.0), 1);
    EXPECT_EQ(bridges(segments, 3, 1.0), 1);
    // The day's first sample, at 00:00:00, lies before the window.
    EXPECT_EQ(bridges(segments, 4, 1.0), 286);
    EXPECT_EQ(segments.size(), 119u + 119u + 239u + 239u + 286u);

    // A line is drawn only when both of its ends lie on the TEC axis (20 to 40 here).
    std::next(job.tec[4].begin())->second.verticalTec = 45.0;
    EXPECT_EQ(bridges(Tec24hSegments(job, SurveyTec24h(job)), 4, 1.0), 285);
}

TEST(Tec24hPlot, DataOverlappingTheDayByLessThanThreeHoursGiveNoImage) {
    TempDir dir;
    const std::string path = dir.path() + "day.png";
    DayJob job = emptyDay();
    addPass(job, 1, 21.0, 240, 30.0);  // 21:00 to 23:00
    RunLog two;
    EXPECT_EQ(PlotTec24h(job, path, false, two), PlotStatus::kNothingToDraw);
    addPass(job, 2, 22.0, 600, 30.0);  // 22:00 to 03:00 of the next day
    RunLog log;
    EXPECT_EQ(PlotTec24h(job, path, false, log), PlotStatus::kNothingToDraw);
    EXPECT_EQ(log.messages, "\r\nPlotting 24Hr TEC: \r\nData time isn't inside the date of file! aborting plot!..");
    EXPECT_FALSE(fs::exists(path));

    // Four hours of the day: drawn. A folder under the name: reported, not replaced.
    addPass(job, 1, 19.0, 240, 30.0);
    fs::create_directory(path);
    RunLog failed;
    EXPECT_EQ(PlotTec24h(job, path, false, failed), PlotStatus::kSaveFailed);
    EXPECT_EQ(failed.messages, "\r\nPlotting 24Hr TEC: \r\nError! Can't save file... " + path);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(runCommand("ls -A '" + dir.path() + "'").output, "day.png\n");
}

TEST(PrnPages, SatellitesWithMoreThanThirtyEpochsPanelsBrokenAtTwoHourGaps) {
    DayJob job = emptyDay();
    addPass(job, 1, 1.0, 30, 30.0);  // 30 epochs: left out
    addPass(job, 2, 1.0, 31, 30.0);
    // Two hours between two kept epochs: one line; two hours and a minute: two.
    addPass(job, 3, 1.0, 120, 30.0);
    addPass(job, 3, 2.0 - 0.5 / 60 + 2.0, 120, 30.0);
    addPass(job, 4, 1.0, 120, 30.0);
    addPass(job, 4, 2.0 - 0.5 / 60 + 2.0 + 1.0 / 60, 120, 30.0);
    // Records below 15 degrees or invalid ones neither widen the TEC axis nor join the curve.
    addPass(job, 5, 6.0, 120, 30.0, 33.0);
    addPass(job, 5, 7.0, 10, 30.0, 250.0, 14.9);
    job.tec[5].begin()->second.verticalTec = -80.0;
    job.tec[5].begin()->second.valid = 0;
    // A short first piece (30 minutes, then a 3-hour gap) is left out, and so is a
    // 44-minute last one; a 46-minute one stays.
    addPass(job, 6, 0.0, 60, 30.0, 90.0);
    addPass(job, 6, 3.5, 240, 30.0, 20.0);
    addPass(job, 6, 10.0, 88, 30.0, 50.0);
    addPass(job, 7, 3.5, 240, 30.0, 20.0);
    addPass(job, 7, 10.0, 92, 30.0, 50.0);
    // 06:30 to 18:30 in whole hours is 6 to 19: in steps of 2 hours, 6 to 20.
    addPass(job, 8, 6.5, 1441, 30.0);

    const std::vector<PrnPanel> panels = PrnPanels(job, false);
    ASSERT_EQ(panels.size(), 7u);
    EXPECT_EQ(panels[0].satNo, 2);
    EXPECT_EQ(panels[1].tec.size(), 1u);
    EXPECT_EQ(panels[2].tec.size(), 2u);
    const PrnPanel& five = panels[3];
    EXPECT_EQ(five.tec.size(), 1u);
    EXPECT_EQ(five.tec.front().size(), 119u);
    EXPECT_EQ(five.elevation.front().size(), 130u);
    EXPECT_EQ(five.tecLow, 30.0);
    EXPECT_EQ(five.tecHigh, 50.0);  // at least two steps of 10
    EXPECT_EQ(five.hourLow, 6.0);
    EXPECT_EQ(five.hourHigh, 7.0);
    const PrnPanel& six = panels[4];
    ASSERT_EQ(six.tec.size(), 1u);
    EXPECT_EQ(six.tec.front().front().value, 20.0);
    EXPECT_EQ(six.tecHigh, 40.0);
    EXPECT_EQ(six.hourLow, 3.0);
    EXPECT_EQ(six.hourHigh, 6.0);
    EXPECT_EQ(panels[5].tec.size(), 2u);
    EXPECT_EQ(panels[5].hourHigh, 11.0);
    EXPECT_EQ(panels[6].hourStep, 2.0);
    EXPECT_EQ(panels[6].hourHigh, 20.0);

    // The day window: the whole day on every panel.
    for (const PrnPanel& p : PrnPanels(job, true)) {
        EXPECT_EQ(p.hourLow, 0.0);
        EXPECT_EQ(p.hourHigh, 24.0);
        EXPECT_EQ(p.hourStep, 2.0);
    }
}

TEST(PrnPages, EverySatelliteOfEverySystemOnAsManyPagesAsItNeeds) {
    TempDir dir;
    DayJob job = emptyDay();
    for (int prn = 1; prn <= 9; ++prn) addPass(job, prn, prn, 60, 30.0);
    RunLog log;
    ASSERT_EQ(PlotPrnPages(job, pagesIn(dir.path()), false, false, log), PlotStatus::kSaved) << log.messages;
    EXPECT_EQ(log.messages, "\r\nPlotting the PRNs: \r\nPlot saved... " + dir.path() + "page1.png\r\nPlot saved... " +
                                dir.path() + "page2.png\r\nPRN Plots  ...done!");
    EXPECT_FALSE(fs::exists(dir.path() + "page3.png"));

    // 40 satellites of GPS, SBAS, GLONASS, Galileo, BeiDou and IRNSS (from RINEX 2 files
    // the table holds GLONASS as 200+, Galileo as 300+, SBAS as 100+): five pages.
    DayJob many = emptyDay();
    const std::vector<int> satellites{1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  32,  120, 123, 126,
                                      201, 202, 203, 204, 205, 206, 207, 224, 301, 302, 303, 304, 305, 336,
                                      401, 402, 403, 460, 601, 602, 603, 604, 605, 606, 607, 614};
    ASSERT_EQ(satellites.size(), 40u);
    for (std::size_t i = 0; i < satellites.size(); ++i) addPass(many, satellites[i], i * 0.5, 60, 30.0);
    const std::vector<PrnPanel> panels = PrnPanels(many, false);
    ASSERT_EQ(panels.size(), 40u);
    for (std::size_t i = 0; i < panels.size(); ++i) EXPECT_EQ(panels[i].satNo, satellites[i]);
    EXPECT_EQ(satelliteLabel(panels[15].satNo), "R02");
    EXPECT_EQ(satelliteLabel(panels[39].satNo), "I14");

    TempDir pages;
    const std::string stem = figurePath(pages.path(), "systems-");
    RunLog manyLog;
    ASSERT_EQ(PlotPrnPages(many, pagesIn(stem), false, false, manyLog), PlotStatus::kSaved) << manyLog.messages;
    for (int page = 1; page <= 5; ++page)
        EXPECT_TRUE(fs::is_regular_file(stem + "page" + std::to_string(page) + ".png"));
    EXPECT_FALSE(fs::exists(stem + "page6.png"));

    // A page that cannot be saved is reported; the next is still saved.
    fs::create_directory(pages.path() + "page2.png");
    RunLog failed;
    EXPECT_EQ(PlotPrnPages(many, pagesIn(pages.path()), false, false, failed), PlotStatus::kSaveFailed);
    EXPECT_TRUE(contains(failed.messages, "\r\nPlot saved... " + pages.path() +
                                              "page1.png\r\nError! Can't save file... " + pages.path() +
                                              "page2.png\r\nPlot saved... " + pages.path() + "page3.png"))
        << failed.messages;

    RunLog none;
    EXPECT_EQ(PlotPrnPages(emptyDay(), pagesIn(pages.path()), false, false, none), PlotStatus::kNothingToDraw);
    EXPECT_EQ(none.messages, "\r\nPlotting the PRNs: \r\nError! unexpected no. of pages at Image creation...\r\n");
}

TEST(BiasFigure, NoFigureWhenTheBiasStageEndedBeforeItGatheredTheCurves) {
    TempDir dir;
    const std::string path = dir.path() + "wbias.png";
    DayJob job = emptyDay();
    job.bias.figures.biasedTec[1] = {{1.0, 10.0}, {1.1, 11.0}};
    for (bool biasedOnly : {false, true}) {
        if (biasedOnly) job.bias.figures.biasedTec.clear();
        RunLog log;
        EXPECT_EQ(DrawBiasFigure(job, path, false, log), PlotStatus::kNothingToDraw);
        EXPECT_EQ(log.messages,
                  "\r\nInfo! No bias figure: the bias estimation ended before it gathered the calibrated TEC");
        EXPECT_FALSE(fs::exists(path));
    }
    // Both curves, one value each and no S4: a figure still.
    job.bias.figures.biasedTec[1] = {{1.0, 10.0}};
    job.bias.figures.removedTec[1] = {{1.0, 10.0}};
    RunLog log;
    EXPECT_EQ(DrawBiasFigure(job, path, false, log), PlotStatus::kSaved);
    EXPECT_TRUE(fs::is_regular_file(path));
}

TEST(PlotTexts, TheStationOrFileEachFigureNames) {
    DayJob job = emptyDay();
    job.context.inputPath = "/data/in/ab/unkn0010.20o";
    EXPECT_EQ(Tec24hStationTitle(job), "Unknown File: unkn0010.20o");
    EXPECT_EQ(PrnPageStationTitle(job), "File: unkn0010.20o");
    EXPECT_EQ(BiasStationTitle(job), "File: unkn0010.20o");
    job.context.stationCode = "unkn";
    EXPECT_EQ(BiasStationTitle(job), "Station: unkn - File: unkn0010.20o");
    job.s4.lisnSiteMatch = 1;
    job.s4.lisnSite.siteName = "ANCON, PERU";
    EXPECT_EQ(Tec24hStationTitle(job), "ANCON, PERU ");
    job.kinds.novatel = 1;
    EXPECT_EQ(Tec24hStationTitle(job), "Unknown(Novatel) File: unkn0010.20o");
    EXPECT_EQ(BiasStationTitle(job), "Novatel file: unkn0010.20o");
    const StationInfo station{"ABCD", "Town", "Land", "", 0.0, 0.0, 0.0};
    job.context.station = &station;
    EXPECT_EQ(Tec24hStationTitle(job), "ABCD - Town,Land ");
    EXPECT_EQ(PrnPageStationTitle(job), "ABCD - Town,Land ");
    EXPECT_EQ(BiasStationTitle(job), "Station: unkn - Town,Land");

    job.dayStartMjd = 58849.0 + 365;  // 2020 is a leap year
    EXPECT_EQ(Tec24hDateTitle(job), "Date: 2020-12-31, DoY: 366  (Elev Mask 15 deg)");
    EXPECT_EQ(BiasDateTitle(job), "Date: 2020/12/31 (DoY: 366)");
    EXPECT_EQ(S4SourceTitle(job), "");
    job.bias.figures.s4Source = kS4File;
    job.s4.filePath = "/archive/s4/ancn001.s4";
    EXPECT_EQ(S4SourceTitle(job), "S4 from file ancn001.s4");
    job.bias.figures.s4Source = kS4Scinda;
    EXPECT_EQ(S4SourceTitle(job), "S4 data from scinda-format");
}

}  // namespace velarix
