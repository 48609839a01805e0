#include "control/run_driver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

// A main window that records what the driver shows and never presses start by itself,
// with a session whose waits and RINEX pipeline calls are recorded instead of run.
struct Harness : MainWindow {
    explicit Harness(std::vector<std::string> args, int scope = 0) {
        session.programDir = programDir.path();
        session.arguments = std::move(args);
        if (scope != 0) session.options.selectScope(scope);
        session.options.jobs = 1;  // the serial loop; days side by side have their own tests
        session.sleepMs = [this](int ms) {
            sleeps.push_back(ms);
            if (onSleep) onSleep();
        };
        session.pipelines.rinex = [this](Session& s, int, int compression) {
            ranRinex.push_back(s.currentInputPath);
            compressions.push_back(compression);
            if (onRinex) onRinex(s);
        };
    }
    void setStatus(StatusLine, const std::string& text) override { history.push_back(text); }
    std::string statusText(StatusLine) const override { return {}; }  // the driver reads no status back
    void showPaneText(const std::string& text) override { pane += text; }
    void messageBox(const std::string& title, const std::string&) override { boxes.push_back(title); }
    void beep() override { ++beeps; }
    bool watched() const override { return watching; }
    void showProgress(int done, int total) override { progress.emplace_back(done, total); }
    void showDayProducts(const std::vector<std::string>& paths) override { shownProducts.push_back(paths); }
    void requestClose() override {
        ++closeRequests;
        MainWindow::requestClose();
    }
    bool showed(const std::string& text) const { return std::count(history.begin(), history.end(), text) > 0; }

    std::vector<std::string> history, ranRinex, boxes;
    std::string pane;
    std::vector<int> sleeps, compressions;
    std::vector<std::pair<int, int>> progress;
    std::vector<std::vector<std::string>> shownProducts;
    int beeps = 0, closeRequests = 0;
    bool watching = true;
    std::function<void()> onSleep;
    std::function<void(Session&)> onRinex;
    TempDir programDir;
    Session session{*this};
};

const std::string kObs = "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n";

// Four days of BJFS (three of them in January) and one of another station.
void writeMonthFolder(const TempDir& data) {
    for (const char* name : {"bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o", "bjfs0320.20o", "abcd0010.20o"}) {
        data.write(name, kObs);
    }
}

}  // namespace

TEST(CommandLine, QuotesAutoAndSeveralPaths) {
    for (const auto& arguments :
         {std::vector<std::string>{"\"/d/a b/x.20o\" auto"}, {"\"/d/a b/x.20o auto\""}, {"/d/a b/x.20o", "auto"}}) {
        const CommandLineInput in = readCommandLine(arguments);
        EXPECT_TRUE(in.path == "/d/a b/x.20o" && in.autoMode && in.pathCount == 1) << arguments[0];
    }
    EXPECT_EQ(readCommandLine({"/d/x.20o", "/d/y.20o"}).pathCount, 2);
    EXPECT_FALSE(readCommandLine({"/d/automatic.20o"}).autoMode);
}

TEST(RunDriver, AutoMonthRunFindsTheStationsDaysRunsThemAndLogsEverything) {
    TempDir data;
    writeMonthFolder(data);
    Harness h({data.path() + "bjfs0010.20o", "auto"}, kThisMonth);
    h.onRinex = [](Session& s) { s.log.say("\r\nday done " + s.currentInputPath); };
    executeThread(h.session);

    EXPECT_TRUE(h.showed("Total file(s):  3, 1 Day File(s):  1"));
    EXPECT_EQ(h.ranRinex, (std::vector<std::string>{data.path() + "bjfs0010.20o", data.path() + "bjfs0020.20o",
                                                     data.path() + "bjfs0310.20o"}));
    EXPECT_EQ(h.compressions[0], 0);
    // Nobody pressed start: auto mode goes on after 101 checks of 50 ms, closes 1.5 s
    // after the last title.
    EXPECT_EQ(std::count(h.sleeps.begin(), h.sleeps.end(), 50), 101);
    EXPECT_EQ(h.sleeps.back(), 1500);
    EXPECT_EQ(h.history.back(), "TASK COMPLETE.. Aborting now!!");
    EXPECT_TRUE(h.showed("---->> Rinex files completed 3 of 3"));
    EXPECT_EQ(h.closeRequests, 1);
    EXPECT_EQ(h.session.exitStatus, kExitCompleted);

    const std::string log = readWholeFile(data.path() + "Log_file.txt");
    EXPECT_TRUE(log.starts_with("Velarix .. Ver 3.03\r\nCompiled on .. ")) << log;
    EXPECT_TRUE(contains(log, "day done " + data.path() + "bjfs0310.20o"));
    EXPECT_TRUE(contains(log, "\r\nTask complete.... \r\n"));
    EXPECT_EQ(log, h.pane);  // the pane saw exactly what the log holds

    // All stations widen the month; the day scope runs the input once.
    Harness all({data.path() + "bjfs0010.20o", "auto"}, kThisMonth);
    all.session.options.scopeWord |= kAllStations;
    all.session.readPanelOptions = [&] { return all.session.options; };
    executeThread(all.session);
    EXPECT_EQ(all.ranRinex.size(), 4u);
    EXPECT_TRUE(all.showed("Total file(s):  4, 1 Day File(s):  1"));
    Harness day({data.path() + "bjfs0010.20o", "auto"});
    executeThread(day.session);
    EXPECT_EQ(day.ranRinex, std::vector<std::string>{data.path() + "bjfs0010.20o"});
}

TEST(RunDriver, DaysSideBySideShowEachDaysProductsInInputOrder) {
    TempDir data;
    writeMonthFolder(data);
    Harness h({data.path() + "bjfs0010.20o", "auto"}, kThisMonth);
    h.session.options.jobs = 2;
    h.session.readPanelOptions = [&] { return h.session.options; };
    h.session.pipelines.rinexDay = [](const std::string& path, const DayEnvironment&, DayJob&, RunLog&,
                                      std::vector<std::string>* written) {
        written->push_back(path + ".Cmn");
        written->push_back(path + ".png");
        return true;
    };
    executeThread(h.session);

    ASSERT_EQ(h.shownProducts.size(), 3u);
    const char* days[] = {"bjfs0010.20o", "bjfs0020.20o", "bjfs0310.20o"};
    for (int i = 0; i < 3; ++i) {
        const std::string path = data.path() + days[i];
        EXPECT_EQ(h.shownProducts[i], (std::vector<std::string>{path + ".Cmn", path + ".png"}));
    }
    EXPECT_TRUE(h.ranRinex.empty());  // the serial entry was not used
}

TEST(RunDriver, NobodyWatchingNoPauseAndQuickPolls) {
    // A script runs the program (neither standard input nor output a terminal): the
    // 100 ms after the search and the 1.5 s before closing are skipped, and the start
    // polls last 1 ms.
    TempDir data;
    writeMonthFolder(data);
    Harness h({data.path() + "bjfs0010.20o", "auto"}, kThisMonth);
    h.watching = false;
    executeThread(h.session);
    EXPECT_EQ(h.ranRinex.size(), 3u);
    EXPECT_EQ(h.sleeps, std::vector<int>(101, 1));
    EXPECT_EQ(h.history.back(), "TASK COMPLETE.. Aborting now!!");
    EXPECT_EQ(h.closeRequests, 1);

    Harness refused({data.write("notes.abc", "text"), "auto"});
    refused.watching = false;
    executeThread(refused.session);
    EXPECT_TRUE(refused.sleeps.empty());
}

TEST(RunDriver, AStopRequestEndsTheBatchAfterTheFileInWork) {
    TempDir data;
    writeMonthFolder(data);
    Harness h({data.path() + "bjfs0010.20o", "auto"}, kThisMonth);
    h.stopRequested.store(true);  // left from before the batch: not a stop of this one
    h.onRinex = [&h](Session&) {
        if (h.ranRinex.size() == 2) h.stopRequested.store(true);
    };
    executeThread(h.session);
    EXPECT_EQ(h.ranRinex.size(), 2u);
    EXPECT_EQ(h.progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
    EXPECT_TRUE(contains(h.pane, "\r\nStopped after 2 of 3 files"));
    EXPECT_FALSE(contains(h.pane, "Task complete"));
    EXPECT_TRUE(h.showed("STOPPED.. !!"));
    EXPECT_FALSE(h.stopRequested.load());  // the next batch runs whole
    EXPECT_EQ(h.session.exitStatus, kExitCompleted);
    EXPECT_TRUE(contains(readWholeFile(data.path() + "Log_file.txt"), "Stopped after 2 of 3 files"));
}

TEST(RunDriver, RefusedInputsEndTheRunWithTheirMessages) {
    TempDir data;
    Harness undated({data.write("xxxx0010.80o", kObs), "auto"});
    executeThread(undated.session);
    EXPECT_TRUE(contains(undated.pane,
                         "\r\n The dates on the filename are not valid  OR the PC date is not correct "
                         "\r\n Please check file name  or correct PC time and try again"));
    EXPECT_EQ(undated.session.exitStatus, kExitRefused);
    EXPECT_TRUE(undated.ranRinex.empty());

    Harness invalid({data.write("notes.abc", "text"), "auto"});
    executeThread(invalid.session);
    EXPECT_TRUE(contains(invalid.pane, "\r\n Invalid input file, please check the selected filename"));
    EXPECT_EQ(invalid.session.exitStatus, kExitRefused);
    EXPECT_TRUE(contains(readWholeFile(data.path() + "Log_file.txt"), "Invalid input file"));

    Harness several({data.path() + "a0010.20o", data.path() + "b0010.20o"});
    several.onSleep = [&] { several.closing.store(true); };
    executeThread(several.session);
    EXPECT_TRUE(contains(several.pane, "\r\nINFO! You have entered 2 files, ") &&
                contains(several.pane, "Please use single file as input, next time!"));
    EXPECT_TRUE(several.boxes.empty());  // this refusal shows no message box
    EXPECT_EQ(several.session.exitStatus, kExitRefused);

    // No input: a message box, and the log goes to the program's own folder.
    Harness none({});
    none.onSleep = [&] { none.closing.store(true); };
    executeThread(none.session);
    EXPECT_EQ(none.boxes, std::vector<std::string>{"Input Required... "});
    EXPECT_TRUE(contains(readWholeFile(none.programDir.path() + "Log_file.txt"),
                         "\r\n No file was selected or dropped into program"));
}

TEST(RunDriver, LongBatchesFlushTheLogEveryTenthFileAndSkipFinishedDays) {
    // Indices of the files before which Log_file.txt had grown.
    const auto flushesDuring = [](int files) {
        TempDir data;
        for (int day = 1; day <= files; ++day) data.write(strfmt("site%03d0.20o", day), kObs);
        Harness h({data.path() + "site0010.20o", "auto"}, kThisYear);
        std::vector<int> grewBefore;
        std::size_t lastSize = 0;
        h.onRinex = [&](Session& s) {
            s.log.say("\r\nprocessed " + s.currentInputPath);
            const std::size_t size = readWholeFile(data.path() + "Log_file.txt").size();
            if (size != lastSize) grewBefore.push_back(static_cast<int>(h.ranRinex.size()) - 1);
            lastSize = size;
        };
        executeThread(h.session);
        return grewBefore;
    };
    EXPECT_EQ(flushesDuring(17), (std::vector<int>{0, 10}));
    EXPECT_TRUE(flushesDuring(16).empty());

    TempDir data;
    writeMonthFolder(data);
    data.write("bjfs001-2020-01-01.Cmn", "done");
    Harness h({data.path() + "bjfs0010.20o", "auto"}, kThisMonth);
    h.session.options.imageWord |= kSkipExistingCmn;
    executeThread(h.session);
    EXPECT_EQ(h.ranRinex, (std::vector<std::string>{data.path() + "bjfs0020.20o", data.path() + "bjfs0310.20o"}));
    EXPECT_TRUE(contains(h.pane, "\r\nFound CMN... bjfs001-2020-01-01.Cmn"));
}

TEST(RunDriver, InteractiveRunWaitsForStartThenForTheNextFile) {
    TempDir data;
    const std::string first = data.write("bjfs0010.20o.gz", "compressed");
    const std::string second = data.write("bjfs0020.20d", "compact");
    Harness h({first});
    // Start is pressed after 30 polls; when idle the user first cancels the dialog, then
    // chooses the second file, then closes the window.
    std::vector<std::pair<std::string, int>> choices = {{"", 3}, {second, 1}};
    int polls = 0;
    h.onSleep = [&] {
        if (h.panel.armed.load() == 1 && ++polls >= 30) h.panel.startState.store(1);
        if (h.idle.load() != 1 || h.fileChoiceState.load() != 0) return;
        if (choices.empty()) return h.closing.store(true);
        h.offerPath(choices.front().first, choices.front().second);
        choices.erase(choices.begin());
        polls = 0;
    };
    executeThread(h.session);
    EXPECT_EQ(h.ranRinex, (std::vector<std::string>{first, second}));
    EXPECT_EQ(h.compressions, (std::vector<int>{1, 2}));
    EXPECT_TRUE(contains(h.pane, "You didn't choose any file...."));
    EXPECT_TRUE(contains(h.pane, "\r\n The file chosen by you was   " + second));
    EXPECT_EQ(h.beeps, 2);
    EXPECT_TRUE(h.showed("TASK COMPLETE.. !!"));
    EXPECT_FALSE(h.showed("TASK COMPLETE.. Aborting now!!"));
}

TEST(RunDriver, ASignalStopsTheRunAfterTheFileInWorkAndDecidesTheExitStatus) {
    TempDir data;
    writeMonthFolder(data);
    // As the signal handler does: the signal is recorded, then the window closes.
    const auto interrupt = [](Harness& h, int signal) {
        h.session.interruptSignal.store(signal);
        h.closing.store(true);
    };
    Harness batch({data.path() + "bjfs0010.20o", "auto"}, kThisMonth);
    batch.onRinex = [&](Session&) {
        if (batch.ranRinex.size() == 2) interrupt(batch, SIGTERM);
    };
    executeThread(batch.session);
    EXPECT_EQ(batch.ranRinex.size(), 2u);
    const std::string log = readWholeFile(data.path() + "Log_file.txt");
    EXPECT_TRUE(contains(log, "\r\nInterrupted after 2 of 3 files\r\n")) << log;
    EXPECT_FALSE(contains(log, "Task complete"));
    EXPECT_EQ(batch.session.exitStatus, 143);
    EXPECT_EQ(std::count(batch.sleeps.begin(), batch.sleeps.end(), 1500), 0);  // no pause before closing

    // Interactive mode ends too, and a signal while waiting for start has run nothing.
    Harness waiting({data.path() + "bjfs0010.20o"}, kThisMonth);
    waiting.onSleep = [&] {
        if (waiting.sleeps.size() == 5) interrupt(waiting, SIGINT);
    };
    executeThread(waiting.session);
    EXPECT_TRUE(waiting.ranRinex.empty());
    EXPECT_TRUE(contains(waiting.pane, "\r\nInterrupted after 0 of 3 files\r\n")) << waiting.pane;
    EXPECT_EQ(waiting.session.exitStatus, 130);
    EXPECT_EQ(waiting.idle.load(), 0);

    Harness day({data.path() + "bjfs0010.20o"});
    day.onSleep = [&] {
        if (day.panel.armed.load() == 1) day.panel.startState.store(1);
    };
    day.onRinex = [&](Session&) { interrupt(day, SIGINT); };
    executeThread(day.session);
    EXPECT_TRUE(contains(day.pane, "\r\nInterrupted after 1 of 1 files\r\n")) << day.pane;
    EXPECT_EQ(day.session.exitStatus, 130);
}

TEST(RunDriver, ALogThatCanBeWrittenNowhereGivesItsOwnExitStatus) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string oldConfig = savedConfig != nullptr ? savedConfig : "";
    TempDir data, config;
    writeMonthFolder(data);
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    // The data folder's log is a link to a file of someone else's, the program folder's a
    // folder, the user folder's a FIFO: the log goes nowhere, and nothing is harmed.
    const std::string precious = data.write("precious.txt", "precious\n");
    std::filesystem::create_symlink(precious, data.path() + "Log_file.txt");
    Harness h({data.path() + "bjfs0010.20o", "auto"});
    std::filesystem::create_directory(h.programDir.path() + "Log_file.txt");
    std::filesystem::create_directories(config.path() + "velarix");
    ASSERT_EQ(mkfifo((config.path() + "velarix/Log_file.txt").c_str(), 0600), 0);
    executeThread(h.session);
    EXPECT_EQ(h.session.exitStatus, kExitLogNotWritten);
    EXPECT_EQ(readWholeFile(precious), "precious\n");
    EXPECT_TRUE(contains(h.pane, "* Unable to write LOG file... " + data.path() + "Log_file.txt\r\n"));
    EXPECT_TRUE(contains(h.pane, "* Unable to write LOG file... " + config.path() + "velarix/Log_file.txt\r\n"));

    // The user's folder takes the log when it can: the run then ends as usual.
    std::filesystem::remove(config.path() + "velarix/Log_file.txt");
    Harness second({data.path() + "bjfs0010.20o", "auto"});
    std::filesystem::create_directory(second.programDir.path() + "Log_file.txt");
    executeThread(second.session);
    EXPECT_EQ(second.session.exitStatus, kExitCompleted);
    EXPECT_TRUE(contains(readWholeFile(config.path() + "velarix/Log_file.txt"), "Task complete"));
    if (savedConfig != nullptr) {
        setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace velarix
