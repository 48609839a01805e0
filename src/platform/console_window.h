#pragma once
// The main window on a text console. The message pane is standard output; status lines
// go to standard error; message boxes are titled blocks on standard error. The event
// loop, run on the main thread, plays the part of the window thread: it presses start
// (Enter on a terminal, at once otherwise) and, while the driver is idle, reads the next
// input path from standard input. End of input closes the window.
#include <array>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/window.h"

namespace velarix {

class ConsoleWindow : public MainWindow {
public:
    ConsoleWindow(std::FILE* pane = stdout, std::FILE* status = stderr, int inputFd = 0);

    void setStatus(StatusLine line, const std::string& text) override;
    std::string statusText(StatusLine line) const override;
    void showPaneText(const std::string& newText) override;
    void messageBox(const std::string& title, const std::string& text) override;
    void beep() override;
    // False when neither standard input nor the pane (standard output) is a terminal: a
    // script runs the program.
    bool watched() const override { return watched_; }

    // Runs until the window is asked to close.
    void eventLoop();

private:
    // Reads one line from the input within `timeout_ms`; returns 1 for a line, 0 for
    // nothing yet, -1 at end of input.
    int readLine(int timeout_ms, std::string& line);

    std::FILE* pane_;
    std::FILE* status_;
    int inputFd_;
    bool paneIsTerminal_;
    bool statusIsTerminal_;
    bool inputIsTerminal_;
    const bool watched_;
    // Ends the pane's current line before other text shares the terminal with it.
    void breakPaneLine();

    std::string pending_;  // input read but not yet ended by a newline
    bool paneAtLineStart_ = true;
    mutable std::mutex mutex_;
    std::array<std::string, kStatusLineCount> lines_;
};

}  // namespace velarix
