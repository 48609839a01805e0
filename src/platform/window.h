#pragma once
// The main window as the run driver sees it: status lines, the message pane, message
// boxes, the beep, the close request, and the integers that the window thread sets and
// the execute thread polls. Front ends (the console, a desktop window) implement it.
// Every member may be called from any thread, and from several at once (the execute
// thread and, in a batch that runs days side by side, its workers): an implementation
// serialises its own calls.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace velarix {

enum class StatusLine { Input, Type, Count, Hint, Progress, Timing, Title };
constexpr int kStatusLineCount = 7;

// Colours are 0x00BBGGRR, as the drawing code uses them.
constexpr std::uint32_t rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

// Shared between the option panel (window thread) and the run driver (execute thread).
struct PanelHandshake {
    std::atomic<int> armed{0};       // 1 while the panel may be edited
    std::atomic<int> changed{0};     // 1 output option changed, 2 scope changed
    std::atomic<int> startState{0};  // non-zero: start pressed; 3 while the driver handles it
};

class MainWindow {
public:
    virtual ~MainWindow() = default;

    virtual void setStatus(StatusLine line, const std::string& text) = 0;
    virtual std::string statusText(StatusLine line) const = 0;
    virtual void setStatusBackground(StatusLine, std::uint32_t /*colour*/) {}
    virtual void setPaneBackground(std::uint32_t /*colour*/) {}
    // Text appended to the message log since the previous refresh.
    virtual void showPaneText(const std::string& newText) = 0;
    virtual void messageBox(const std::string& title, const std::string& text) = 0;
    virtual void beep() = 0;
    virtual void clearPlotArea() {}
    virtual void setStatusBoxEnabled(bool) {}
    // Whether a person may be watching: the waits that give one time to read are skipped,
    // and the polls made quick, when nobody is.
    virtual bool watched() const { return true; }
    // Progress of a batch: `done` of `total` files handled.
    virtual void showProgress(int /*done*/, int /*total*/) {}
    // The products and plots written for the day just processed.
    virtual void showDayProducts(const std::vector<std::string>& /*paths*/) {}

    // Asks the window to close; the event loop ends and the execute thread is told to
    // stop through `closing`.
    virtual void requestClose() { closing.store(true); }

    // A path chosen by the user while the driver is idle. The window stores it, then
    // sets fileChoiceState: 1 chosen in a dialog, 3 dialog cancelled, other non-zero
    // values a path given otherwise.
    void offerPath(const std::string& path, int state) {
        {
            std::lock_guard<std::mutex> lock(pathMutex_);
            chosenPath_ = path;
        }
        fileChoiceState.store(state);
    }
    std::string chosenPath() const {
        std::lock_guard<std::mutex> lock(pathMutex_);
        return chosenPath_;
    }

    PanelHandshake panel;
    std::atomic<int> fileChoiceState{0};
    std::atomic<bool> closing{false};
    // 1 while the driver waits for the next input (idle wait).
    std::atomic<int> idle{0};
    // Set by a stop control: the batch ends after the file in work and the driver goes on
    // as after a complete batch. The driver clears it when a batch starts.
    std::atomic<bool> stopRequested{false};

private:
    mutable std::mutex pathMutex_;
    std::string chosenPath_;
};

}  // namespace velarix
