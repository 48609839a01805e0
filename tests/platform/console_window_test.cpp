#include "platform/console_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/run_log.h"
#include "test_support.h"

namespace {
std::string contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

// Runs the event loop on its own thread, as the program's main thread does.
struct Console {
    Console() : pane(std::tmpfile()), status(std::tmpfile()) {
        EXPECT_EQ(pipe(fds), 0);
        window = std::make_unique<ConsoleWindow>(pane, status, fds[0]);
        loop = std::thread([this] { window->eventLoop(); });
    }
    ~Console() {
        window->requestClose();
        loop.join();
        close(fds[0]);
        if (fds[1] >= 0) close(fds[1]);
        std::fclose(pane);
        std::fclose(status);
    }
    void type(const std::string& text) { ASSERT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    void endInput() {
        close(fds[1]);
        fds[1] = -1;
    }
    template <class Condition>
    bool waitFor(Condition condition) {
        for (int i = 0; i < 300 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return condition();
    }

    std::FILE* pane;
    std::FILE* status;
    int fds[2]{-1, -1};
    std::unique_ptr<ConsoleWindow> window;
    std::thread loop;
};
}  // namespace

TEST(ConsoleWindow, StartsAtOnceWithoutATerminalAndReadsTheNextPathWhileIdle) {
    Console console;
    ConsoleWindow& w = *console.window;
    w.panel.armed.store(1);
    EXPECT_TRUE(console.waitFor([&] { return w.panel.startState.load() != 0; }));

    w.panel.armed.store(0);
    w.idle.store(1);
    console.type("\n  /data/bjfs0020.20o  \n");
    EXPECT_TRUE(console.waitFor([&] { return w.fileChoiceState.load() != 0; }));
    EXPECT_EQ(w.chosenPath(), "/data/bjfs0020.20o");  // blank lines are ignored, blanks trimmed

    w.fileChoiceState.store(0);
    console.endInput();  // end of input closes the window
    EXPECT_TRUE(console.waitFor([&] { return w.closing.load(); }));
}

TEST(ConsoleWindow, PaneGetsTheLogTextAndStatusLinesTheirOwnStream) {
    Console console;
    ConsoleWindow& w = *console.window;
    RunLog log(&w);
    log.say("\r\nfirst");
    log.append("\r\nsecond");
    log.refresh();
    log.refresh();  // nothing new: nothing printed twice
    w.setStatus(StatusLine::Count, "Total file(s):  3, 1 Day File(s):  1");
    w.setStatus(StatusLine::Title, "");
    EXPECT_EQ(w.statusText(StatusLine::Count), "Total file(s):  3, 1 Day File(s):  1");
    EXPECT_EQ(contents(console.pane), "\r\nfirst\r\nsecond");  // not a terminal: bytes as logged
    EXPECT_EQ(contents(console.status), "[files] Total file(s):  3, 1 Day File(s):  1\n");
}

TEST(RunLog, FlushAppendsToTheLogFilesAndKeepsTextThatCouldNotBeWritten) {
    TempDir dir;
    RunLog log;
    log.append("\r\nday one");
    log.appendError("bad.20o .. can't open file\r\n");
    ASSERT_TRUE(log.flush(dir.path()));
    log.append("\r\nday two");
    log.appendError("\r\n");  // two characters or fewer stay in memory
    ASSERT_TRUE(log.flush(dir.path()));
    EXPECT_EQ(readWholeFile(dir.path() + "Log_file.txt"), "\r\nday one\r\nday two");
    EXPECT_EQ(readWholeFile(dir.path() + "Log_errors.txt"), "bad.20o .. can't open file\r\n");
    EXPECT_TRUE(log.messages.empty());

    log.append("\r\nday three");
    EXPECT_FALSE(log.flush(dir.path() + "missing/"));
    EXPECT_NE(log.messages.find("day three"), std::string::npos);
    EXPECT_NE(log.messages.find("* Unable to write LOG file... " + dir.path() + "missing/Log_file.txt"),
              std::string::npos);
}
