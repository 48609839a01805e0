#include "platform/console_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/run_log.h"
#include "test_support.h"

namespace velarix {

namespace {

template <class Condition>
bool waitFor(Condition condition) {
    for (int i = 0; i < 300 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

}  // namespace

TEST(ConsoleWindow, StartsAtOnceWithoutATerminalReadsPathsWhileIdleAndShowsTheLog) {
    TempDir dir;
    std::FILE* pane = std::fopen((dir.path() + "pane").c_str(), "w");
    std::FILE* status = std::fopen((dir.path() + "status").c_str(), "w");
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ConsoleWindow w(pane, status, fds[0]);
    std::thread loop([&] { w.eventLoop(); });  // as the program's main thread runs it
    w.panel.armed.store(1);
    EXPECT_TRUE(waitFor([&] { return w.panel.startState.load() != 0; }));
    w.idle.store(1);
    EXPECT_EQ(write(fds[1], "\n  /data/bjfs0020.20o  \n", 24), 24);
    EXPECT_TRUE(waitFor([&] { return w.fileChoiceState.load() != 0; }));
    EXPECT_EQ(w.chosenPath(), "/data/bjfs0020.20o");  // blank lines are ignored, blanks trimmed
    w.fileChoiceState.store(0);  // taken by the driver

    RunLog log(&w);
    log.say("\r\nfirst");
    log.say("\r\nsecond");  // only the new text reaches the pane
    w.setStatus(StatusLine::Count, "Total file(s):  3, 1 Day File(s):  1");
    w.setStatus(StatusLine::Title, "");
    close(fds[1]);  // end of input closes the window
    EXPECT_TRUE(waitFor([&] { return w.closing.load(); }));
    w.requestClose();
    loop.join();
    close(fds[0]);
    std::fclose(pane);
    std::fclose(status);
    EXPECT_EQ(readWholeFile(dir.path() + "pane"), "\r\nfirst\r\nsecond");  // not a terminal: bytes as logged
    EXPECT_EQ(readWholeFile(dir.path() + "status"), "[files] Total file(s):  3, 1 Day File(s):  1\n");
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
    EXPECT_TRUE(contains(log.messages, "day three"));
    EXPECT_TRUE(contains(log.messages, "* Unable to write LOG file... " + dir.path() + "missing/Log_file.txt"));
}

}  // namespace velarix
