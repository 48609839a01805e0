#pragma once
// The run driver's main window as the desktop window implements it. The driver calls
// these functions on its own thread; each one becomes a signal that Qt queues to the
// widgets on the window thread, so no widget is touched from the driver's thread.
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <mutex>

#include "platform/window.h"

namespace velarix {

class WindowBridge : public QObject, public MainWindow {
    Q_OBJECT
public:
    void setStatus(StatusLine line, const std::string& text) override;
    std::string statusText(StatusLine line) const override;
    void setStatusBackground(StatusLine line, std::uint32_t colour) override;
    void setPaneBackground(std::uint32_t colour) override;
    void showPaneText(const std::string& newText) override;
    void messageBox(const std::string& title, const std::string& text) override;
    void beep() override;
    void clearPlotArea() override;
    void showProgress(int done, int total) override;
    void showDayProducts(const std::vector<std::string>& paths) override;

    // Clears what a previous session left in the shared integers, before a new driver
    // thread starts.
    void resetHandshake();

signals:
    void statusChanged(int line, const QString& text);
    void statusBackgroundChanged(int line, unsigned colour);
    void paneBackgroundChanged(unsigned colour);
    void paneTextAdded(const QString& text);
    void messageBoxRequested(const QString& title, const QString& text);
    void beepRequested();
    void plotAreaCleared();
    void progressChanged(int done, int total);
    void dayProductsWritten(const QStringList& paths);

private:
    mutable std::mutex mutex_;
    std::array<std::string, kStatusLineCount> lines_;
};

// "\r\n" of the log's texts as the widgets show them: one line end.
QString paneString(const std::string& text);

}  // namespace velarix
