#include "control/run_driver.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

#include "test_support.h"

namespace {

// A window that records what the driver shows and never presses start by itself.
class FakeWindow : public MainWindow {
public:
    void setStatus(StatusLine line, const std::string& text) override {
        lines[static_cast<size_t>(line)] = text;
        history.push_back(text);
    }
    std::string statusText(StatusLine line) const override { return lines[static_cast<size_t>(line)]; }
    void showPaneText(const std::string& text) override { pane += text; }
    void messageBox(const std::string& title, const std::string&) override { boxes.push_back(title); }
    void beep() override { ++beeps; }
    void requestClose() override {
        ++closeRequests;
        MainWindow::requestClose();
    }
    bool showed(const std::string& text) const {
        for (const std::string& shown : history) {
            if (shown == text) return true;
        }
        return false;
    }

    std::array<std::string, kStatusLineCount> lines;
    std::vector<std::string> history;
    std::string pane;
    std::vector<std::string> boxes;
    int beeps = 0;
    int closeRequests = 0;
};

// A session whose waits are recorded instead of slept and whose pipelines are recorded.
struct Harness {
    explicit Harness(std::vector<std::string> args) : session(window) {
        session.programDir = programDir.path();
        session.arguments = std::move(args);
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
    int sleepsOf(int ms) const {
        int n = 0;
        for (int s : sleeps) n += s == ms;
        return n;
    }

    TempDir programDir;
    FakeWindow window;
    Session session;
    std::vector<int> sleeps;
    std::vector<std::string> ranRinex;
    std::vector<int> compressions;
    std::function<void()> onSleep;
    std::function<void(Session&)> onRinex;
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
    CommandLineInput in = readCommandLine({"\"/d/a b/bjfs0010.20o\" auto"});
    EXPECT_EQ(in.path, "/d/a b/bjfs0010.20o");
    EXPECT_TRUE(in.autoMode);
    in = readCommandLine({"/d/bjfs0010.20o", "auto"});
    EXPECT_EQ(in.path, "/d/bjfs0010.20o");
    EXPECT_TRUE(in.autoMode);
    EXPECT_EQ(in.pathCount, 1);
    in = readCommandLine({"/d/x.20o", "/d/y.20o"});
    EXPECT_FALSE(in.autoMode);
    EXPECT_EQ(in.pathCount, 2);
    in = readCommandLine({"/d/automatic.20o"});
    EXPECT_FALSE(in.autoMode);
}

TEST(RunDriver, AutoMonthRunFindsTheStationsDaysRunsThemAndLogsEverything) {
    TempDir data;
    writeMonthFolder(data);
    Harness h({data.path() + "bjfs0010.20o", "auto"});
    h.session.options.selectScope(kThisMonth);
    h.onRinex = [](Session& s) { s.log.say("\r\nday done " + s.currentInputPath); };
    executeThread(h.session);

    EXPECT_TRUE(h.window.showed("Total file(s):  3, 1 Day File(s):  1"));
    ASSERT_EQ(h.ranRinex.size(), 3u);
    EXPECT_EQ(h.ranRinex[0], data.path() + "bjfs0010.20o");
    EXPECT_EQ(h.ranRinex[2], data.path() + "bjfs0310.20o");
    EXPECT_EQ(h.compressions[0], 0);
    // Nobody pressed start: auto mode goes on after 101 checks of 50 ms, closes 1.5 s
    // after the last title.
    EXPECT_EQ(h.sleepsOf(50), 101);
    EXPECT_EQ(h.sleeps.back(), 1500);
    EXPECT_EQ(h.window.lines[static_cast<size_t>(StatusLine::Title)], "TASK COMPLETE.. Aborting now!!");
    EXPECT_TRUE(h.window.showed("---->> Rinex files completed 3 of 3"));
    EXPECT_EQ(h.window.closeRequests, 1);
    EXPECT_EQ(h.session.exitStatus, kExitCompleted);

    const std::string log = readWholeFile(data.path() + "Log_file.txt");
    EXPECT_EQ(log.rfind("Velarix .. Ver 3.03\r\nCompiled on .. ", 0), 0u);
    EXPECT_NE(log.find("day done " + data.path() + "bjfs0310.20o"), std::string::npos);
    EXPECT_EQ(log.find("bjfs0320"), std::string::npos);  // day 32 is in February
    EXPECT_NE(log.find("\r\nTask complete.... \r\n"), std::string::npos);
    EXPECT_EQ(log, h.window.pane);  // the pane saw exactly what the log holds
}

TEST(RunDriver, AllStationsWidensTheSearchAndDayScopeRunsTheInputOnce) {
    TempDir data;
    writeMonthFolder(data);
    Harness month({data.path() + "bjfs0010.20o", "auto"});
    month.session.options.selectScope(kThisMonth);
    month.session.options.scopeWord |= kAllStations;
    month.session.readPanelOptions = [&] { return month.session.options; };
    executeThread(month.session);
    EXPECT_EQ(month.ranRinex.size(), 4u);
    EXPECT_TRUE(month.window.showed("Total file(s):  4, 1 Day File(s):  1"));

    Harness day({data.path() + "bjfs0010.20o", "auto"});
    executeThread(day.session);
    ASSERT_EQ(day.ranRinex.size(), 1u);
    EXPECT_EQ(day.ranRinex[0], data.path() + "bjfs0010.20o");
}

TEST(RunDriver, RefusedInputsEndTheRunWithTheirMessages) {
    TempDir data;
    Harness undated({data.write("xxxx0010.80o", kObs), "auto"});
    executeThread(undated.session);
    EXPECT_NE(undated.window.pane.find("\r\n The dates on the filename are not valid  OR the PC date is not correct "
                                       "\r\n Please check file name  or correct PC time and try again"),
              std::string::npos);
    EXPECT_EQ(undated.session.exitStatus, kExitRefused);
    EXPECT_TRUE(undated.ranRinex.empty());

    Harness invalid({data.write("notes.abc", "text"), "auto"});
    executeThread(invalid.session);
    EXPECT_NE(invalid.window.pane.find("\r\n Invalid input file, please check the selected filename"),
              std::string::npos);
    EXPECT_EQ(invalid.session.exitStatus, kExitRefused);
    EXPECT_NE(readWholeFile(data.path() + "Log_file.txt").find("Invalid input file"), std::string::npos);

    Harness several({data.path() + "a0010.20o", data.path() + "b0010.20o"});
    several.onSleep = [&] { several.window.closing.store(true); };
    executeThread(several.session);
    EXPECT_NE(several.window.pane.find("\r\nINFO! You have entered 2 files, "), std::string::npos);
    EXPECT_NE(several.window.pane.find("Please use single file as input, next time!"), std::string::npos);
    EXPECT_TRUE(several.window.boxes.empty());  // the multiple-input refusal shows no message box
    EXPECT_EQ(several.session.exitStatus, kExitRefused);
}

TEST(RunDriver, LongBatchesFlushTheLogEveryTenthFile) {
    auto flushesDuring = [](int files) {
        TempDir data;
        for (int day = 1; day <= files; ++day) data.write("site" + std::string(day < 10 ? "00" : "0") + std::to_string(day) + "0.20o", kObs);
        Harness h({data.path() + "site0010.20o", "auto"});
        h.session.options.selectScope(kThisYear);
        std::vector<int> flushedBefore;
        size_t lastSize = 0;
        int index = 0;
        h.onRinex = [&](Session& s) {
            s.log.say("\r\nprocessed " + s.currentInputPath);
            std::error_code error;
            const auto size = std::filesystem::file_size(data.path() + "Log_file.txt", error);
            if (!error && size != lastSize) {
                flushedBefore.push_back(index);
                lastSize = size;
            }
            ++index;
        };
        executeThread(h.session);
        return flushedBefore;
    };
    EXPECT_EQ(flushesDuring(17), (std::vector<int>{0, 10}));
    EXPECT_TRUE(flushesDuring(16).empty());
}

TEST(RunDriver, SkipExistingCmnLeavesFinishedDaysAlone) {
    TempDir data;
    data.write("bjfs0010.20o", kObs);
    data.write("bjfs0020.20o", kObs);
    data.write("bjfs001-2020-01-01.Cmn", "done");
    Harness h({data.path() + "bjfs0010.20o", "auto"});
    h.session.options.selectScope(kThisMonth);
    h.session.options.imageWord |= kSkipExistingCmn;
    executeThread(h.session);
    ASSERT_EQ(h.ranRinex.size(), 1u);
    EXPECT_EQ(h.ranRinex[0], data.path() + "bjfs0020.20o");
    EXPECT_NE(h.window.pane.find("\r\nFound CMN... bjfs001-2020-01-01.Cmn"), std::string::npos);
}

TEST(RunDriver, InteractiveRunWaitsForStartThenForTheNextFile) {
    TempDir data;
    const std::string first = data.write("bjfs0010.20o.gz", "compressed");
    const std::string second = data.write("bjfs0020.20d", "compact");
    Harness h({first});
    int polls = 0;
    bool cancelled = false;
    h.onSleep = [&] {
        ++polls;
        if (h.window.panel.armed.load() == 1 && polls >= 30) h.window.panel.startState.store(1);
        if (h.window.idle.load() == 1 && h.window.fileChoiceState.load() == 0) {
            if (!cancelled) {
                h.window.offerPath("", 3);  // the user cancelled the dialog once
                cancelled = true;
            } else if (h.ranRinex.size() == 1) {
                h.window.offerPath(second, 1);
                polls = 0;
            } else {
                h.window.closing.store(true);
            }
        }
    };
    executeThread(h.session);
    ASSERT_EQ(h.ranRinex.size(), 2u);
    EXPECT_EQ(h.compressions, (std::vector<int>{1, 2}));
    EXPECT_NE(h.window.pane.find("You didn't choose any file...."), std::string::npos);
    EXPECT_NE(h.window.pane.find("\r\n The file chosen by you was   " + second), std::string::npos);
    EXPECT_EQ(h.window.beeps, 2);
    EXPECT_TRUE(h.window.showed("TASK COMPLETE.. !!"));
    EXPECT_FALSE(h.window.showed("TASK COMPLETE.. Aborting now!!"));
}

TEST(RunDriver, NoInputShowsTheMessageBoxAndWaits) {
    Harness h({});
    h.onSleep = [&] { h.window.closing.store(true); };
    executeThread(h.session);
    ASSERT_EQ(h.window.boxes.size(), 1u);
    EXPECT_EQ(h.window.boxes[0], "Input Required... ");
    EXPECT_NE(h.window.pane.find("\r\n No file was selected or dropped into program"), std::string::npos);
    // With no data folder the log goes to the program's own folder.
    EXPECT_NE(readWholeFile(h.programDir.path() + "Log_file.txt").find("No file was selected"), std::string::npos);
}
