#pragma once
// The desktop main window: the option panel, the status lines, a progress bar with the
// remaining time, the scrolling message pane and the plots of the day. The run driver
// works on its own thread behind a WindowBridge; the window only shows what the bridge
// signals and sets the shared integers (start, stop, the chosen file, option changes).
//
// When the driver ends its thread on its own in the interactive mode (an input it
// refused), the window stays open with the driver's message in view, and the next file
// opened or dropped starts a new driver thread. In the auto and command-file modes, and
// after an interrupting signal, the window closes when the driver ends.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "gui/window_bridge.h"
#include "control/program_setup.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace velarix {

class OptionPanel;
class PlotView;

class GuiWindow : public QMainWindow {
    Q_OBJECT
public:
    // `adjustSession` is called on every new session before its driver starts (tests
    // put their own pipelines and waits there).
    explicit GuiWindow(ProgramSetup setup, std::function<void(Session&)> adjustSession = {},
                       QWidget* parent = nullptr);
    ~GuiWindow() override;

    // The exit status of the program: that of the last driver run.
    int exitStatus() const { return exitStatus_; }
    // Hands `path` to the driver waiting for input, or starts a new driver when the last
    // one has ended. `fromDialog` marks a path chosen in the file dialog.
    void openPath(const QString& path, bool fromDialog = false);
    bool driverRunning() const { return worker_.joinable(); }

    OptionPanel* optionPanel() const { return panel_; }
    PlotView* plotView() const { return plots_; }
    QPlainTextEdit* pane() const { return pane_; }
    QString statusLine(StatusLine line) const;
    WindowBridge& bridge() { return bridge_; }

signals:
    void driverFinished();
    // The window has closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildWidgets();
    void connectBridge();
    void startDriver(const std::vector<std::string>& arguments);
    void onDriverFinished();
    void stopDriver();
    void chooseFile();
    void saveOptions();
    void onOptionsChanged(int changeKind);
    void refreshControls();
    void appendPane(const QString& text);
    void showInformation(const QString& title, const QString& text);
    void showAbout();

    ProgramSetup setup_;
    std::function<void(Session&)> adjustSession_;
    WindowBridge bridge_;
    std::unique_ptr<Session> session_;
    std::thread worker_;
    int exitStatus_ = 0;
    bool closeWhenDriverEnds_ = false;
    bool started_ = false;
    QString lastFolder_;  // where the file dialog opens

    mutable std::mutex optionsMutex_;
    RunOptions panelOptions_;  // read by the driver's thread through readPanelOptions

    OptionPanel* panel_ = nullptr;
    QLabel* status_[kStatusLineCount] = {};
    QProgressBar* progress_ = nullptr;
    QPlainTextEdit* pane_ = nullptr;
    PlotView* plots_ = nullptr;
};

}  // namespace velarix
