#include "platform/console_window.h"

#include <poll.h>
#include <unistd.h>

#include "platform/text.h"

namespace velarix {

namespace {

const char* const kStatusNames[kStatusLineCount] = {"input", "type", "files", "hint", "progress", "timing", "status"};

}  // namespace

ConsoleWindow::ConsoleWindow(std::FILE* pane, std::FILE* status, int inputFd)
    : pane_(pane),
      status_(status),
      inputFd_(inputFd),
      paneIsTerminal_(isatty(fileno(pane)) != 0),
      statusIsTerminal_(isatty(fileno(status)) != 0),
      inputIsTerminal_(isatty(inputFd) != 0),
      watched_(paneIsTerminal_ || inputIsTerminal_) {}

void ConsoleWindow::breakPaneLine() {
    if (paneAtLineStart_ || !paneIsTerminal_ || !statusIsTerminal_) return;
    std::fputc('\n', pane_);
    std::fflush(pane_);
    paneAtLineStart_ = true;
}

void ConsoleWindow::setStatus(StatusLine line, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto index = static_cast<size_t>(line);
    lines_[index] = text;
    const std::string shown(trim(withLineFeeds(text)));
    if (shown.empty()) return;
    breakPaneLine();
    std::fprintf(status_, "[%s] %s\n", kStatusNames[index], shown.c_str());
    std::fflush(status_);
}

std::string ConsoleWindow::statusText(StatusLine line) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_[static_cast<size_t>(line)];
}

void ConsoleWindow::showPaneText(const std::string& newText) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string text = paneIsTerminal_ ? withLineFeeds(newText) : newText;
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), pane_);
    paneAtLineStart_ = text.back() == '\n';
    std::fflush(pane_);
}

void ConsoleWindow::messageBox(const std::string& title, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    breakPaneLine();
    std::fprintf(status_, "\n=== %s ===\n%s\n===\n", std::string(trim(title)).c_str(), withLineFeeds(text).c_str());
    std::fflush(status_);
}

void ConsoleWindow::beep() {
    if (!statusIsTerminal_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    std::fputc('\a', status_);
    std::fflush(status_);
}

int ConsoleWindow::readLine(int timeout_ms, std::string& line) {
    for (;;) {
        const size_t newline = pending_.find('\n');
        if (newline != std::string::npos) {
            line = std::string(trim(pending_.substr(0, newline)));
            pending_.erase(0, newline + 1);
            return 1;
        }
        pollfd fd{inputFd_, POLLIN, 0};
        const int ready = poll(&fd, 1, timeout_ms);
        if (ready <= 0) return 0;
        char buffer[512];
        const ssize_t got = read(inputFd_, buffer, sizeof buffer);
        if (got <= 0) {
            if (pending_.empty()) return -1;
            line = std::string(trim(pending_));
            pending_.clear();
            return 1;
        }
        pending_.append(buffer, static_cast<size_t>(got));
    }
}

void ConsoleWindow::eventLoop() {
    bool promptedStart = false;
    bool promptedPath = false;
    while (!closing.load()) {
        std::string line;
        if (panel.armed.load() == 1 && panel.startState.load() == 0) {
            if (!inputIsTerminal_) {
                panel.startState.store(1);
                continue;
            }
            if (!promptedStart) {
                std::fprintf(status_, "Press Enter to start processing (Ctrl-C to quit).\n");
                promptedStart = true;
            }
            const int got = readLine(100, line);
            if (got != 0) panel.startState.store(1);
            if (got < 0) inputIsTerminal_ = false;  // no more input: start without asking
            continue;
        }
        promptedStart = false;
        if (idle.load() == 1 && fileChoiceState.load() == 0) {
            if (!promptedPath && inputIsTerminal_) {
                std::fprintf(status_, "Enter the path of the next file (Ctrl-D to quit): ");
                std::fflush(status_);
                promptedPath = true;
            }
            const int got = readLine(100, line);
            if (got < 0) {
                requestClose();
            } else if (got > 0 && !line.empty()) {
                offerPath(line, 2);
                promptedPath = false;
            }
            continue;
        }
        promptedPath = false;
        // Unwatched, start is pressed and the next path taken without delay.
        usleep(watched_ ? 20 * 1000 : 1000);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!paneAtLineStart_ && paneIsTerminal_) std::fputc('\n', pane_);
    std::fflush(pane_);
}

}  // namespace velarix
