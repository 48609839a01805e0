#include "gui/window_bridge.h"

#include "platform/text.h"

namespace velarix {

QString paneString(const std::string& text) { return QString::fromStdString(withLineFeeds(text)); }

void WindowBridge::setStatus(StatusLine line, const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_[static_cast<size_t>(line)] = text;
    }
    emit statusChanged(static_cast<int>(line), paneString(std::string(trim(text))));
}

std::string WindowBridge::statusText(StatusLine line) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_[static_cast<size_t>(line)];
}

void WindowBridge::setStatusBackground(StatusLine line, std::uint32_t colour) {
    emit statusBackgroundChanged(static_cast<int>(line), colour);
}

void WindowBridge::setPaneBackground(std::uint32_t colour) { emit paneBackgroundChanged(colour); }

void WindowBridge::showPaneText(const std::string& newText) {
    if (!newText.empty()) emit paneTextAdded(paneString(newText));
}

void WindowBridge::messageBox(const std::string& title, const std::string& text) {
    emit messageBoxRequested(paneString(std::string(trim(title))), paneString(text));
}

void WindowBridge::beep() { emit beepRequested(); }
void WindowBridge::clearPlotArea() { emit plotAreaCleared(); }
void WindowBridge::showProgress(int done, int total) { emit progressChanged(done, total); }

void WindowBridge::showDayProducts(const std::vector<std::string>& paths) {
    QStringList list;
    for (const std::string& path : paths) list << QString::fromStdString(path);
    emit dayProductsWritten(list);
}

void WindowBridge::resetHandshake() {
    panel.armed.store(0);
    panel.changed.store(0);
    panel.startState.store(0);
    fileChoiceState.store(0);
    idle.store(0);
    stopRequested.store(false);
    closing.store(false);
}

}  // namespace velarix
