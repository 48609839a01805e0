#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "control/banner.h"
#include "control/run_driver.h"
#include "gui/option_panel.h"
#include "gui/plot_view.h"
#include "ui/settings.h"

namespace velarix {

namespace {

// 0x00BBGGRR, as the driver gives colours.
QColor fromBgr(unsigned colour) { return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

const char* const kStatusCaptions[kStatusLineCount] = {"File:", "Type:", "Found:", "Hint:", "Progress:", "Time:", ""};

}  // namespace

GuiWindow::GuiWindow(ProgramSetup setup, std::function<void(Session&)> adjustSession, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)), adjustSession_(std::move(adjustSession)) {
    panelOptions_ = setup_.options;
    if (!setup_.line.positionals.empty()) {
        lastFolder_ = QFileInfo(QString::fromStdString(setup_.line.positionals.front())).absolutePath();
    }
    setWindowTitle("Velarix");
    setAcceptDrops(true);
    buildWidgets();
    connectBridge();
    panel_->setOptions(setup_.options);
    connect(this, &GuiWindow::driverFinished, this, &GuiWindow::onDriverFinished, Qt::QueuedConnection);
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &GuiWindow::refreshControls);
    poll->start(100);
    refreshControls();
}

GuiWindow::~GuiWindow() {
    stopDriver();
    handleInterrupts(nullptr);
}

void GuiWindow::buildWidgets() {
    panel_ = new OptionPanel;
    auto* panelScroll = new QScrollArea;
    panelScroll->setWidget(panel_);
    panelScroll->setWidgetResizable(true);
    panelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelScroll->setMinimumWidth(panel_->sizeHint().width() + 24);
    panelScroll->setMaximumWidth(panel_->sizeHint().width() + 60);

    auto* statusBox = new QGroupBox("Status");
    auto* form = new QFormLayout(statusBox);
    for (int i = 0; i < kStatusLineCount; ++i) {
        auto* label = new QLabel;
        label->setObjectName(QString("status%1").arg(i));
        // Long paths are cut at the window's edge rather than widening it; the tooltip
        // holds the whole text.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setAutoFillBackground(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        status_[i] = label;
    }
    QLabel* title = status_[static_cast<int>(StatusLine::Title)];
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    title->setFont(titleFont);
    form->addRow(title);
    for (StatusLine line : {StatusLine::Input, StatusLine::Type, StatusLine::Count, StatusLine::Hint}) {
        form->addRow(kStatusCaptions[static_cast<int>(line)], status_[static_cast<int>(line)]);
    }
    progress_ = new QProgressBar;
    progress_->setObjectName("progress");
    progress_->setFormat("%v of %m files");
    progress_->setRange(0, 1);
    progress_->setValue(0);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progress_, 3);
    progressRow->addWidget(status_[static_cast<int>(StatusLine::Progress)], 2);
    form->addRow(kStatusCaptions[static_cast<int>(StatusLine::Progress)], progressRow);
    form->addRow(kStatusCaptions[static_cast<int>(StatusLine::Timing)], status_[static_cast<int>(StatusLine::Timing)]);

    pane_ = new QPlainTextEdit;
    pane_->setObjectName("pane");
    pane_->setReadOnly(true);
    pane_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A year's batch logs a great deal: the pane keeps the latest lines, Log_file.txt all.
    pane_->setMaximumBlockCount(200000);
    pane_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pane_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        std::unique_ptr<QMenu> menu(pane_->createStandardContextMenu());
        menu->addSeparator();
        menu->addAction("Open a file...", this, &GuiWindow::chooseFile);
        menu->exec(pane_->mapToGlobal(at));
    });

    plots_ = new PlotView;
    plots_->setObjectName("plots");
    connect(plots_, &PlotView::openRequested, this, [this](const QString& path) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
            statusBar()->showMessage("No image viewer could open " + path, 8000);
        }
    });

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(pane_);
    splitter->addWidget(plots_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);

    auto* right = new QVBoxLayout;
    right->addWidget(statusBox);
    right->addWidget(splitter, 1);
    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(panelScroll);
    layout->addLayout(right, 1);
    setCentralWidget(central);

    QMenu* file = menuBar()->addMenu("&File");
    QAction* open = file->addAction("&Open...", this, &GuiWindow::chooseFile);
    open->setShortcut(QKeySequence::Open);
    file->addAction("&Save settings", this, &GuiWindow::saveOptions);
    file->addSeparator();
    QAction* quit = file->addAction("&Quit", this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    menuBar()->addMenu("&Help")->addAction("&About Velarix", this, &GuiWindow::showAbout);
    statusBar();

    connect(panel_, &OptionPanel::optionsChanged, this, &GuiWindow::onOptionsChanged);
    connect(panel_, &OptionPanel::saveClicked, this, &GuiWindow::saveOptions);
    connect(panel_, &OptionPanel::startClicked, this, [this] {
        if (bridge_.panel.armed.load() == 1) bridge_.panel.startState.store(1);
    });
    connect(panel_, &OptionPanel::stopClicked, this, [this] {
        bridge_.stopRequested.store(true);
        statusBar()->showMessage("Stopping after the file in work...", 8000);
        refreshControls();
    });
}

void GuiWindow::connectBridge() {
    connect(&bridge_, &WindowBridge::statusChanged, this, [this](int line, const QString& text) {
        status_[line]->setText(text);
        status_[line]->setToolTip(text);
        if (line == static_cast<int>(StatusLine::Progress) && text.isEmpty()) progress_->setValue(0);
        if (line == static_cast<int>(StatusLine::Input) && !text.isEmpty()) setWindowTitle("Velarix - " + text);
    });
    connect(&bridge_, &WindowBridge::statusBackgroundChanged, this, [this](int line, unsigned colour) {
        QPalette palette = status_[line]->palette();
        palette.setColor(QPalette::Window, fromBgr(colour));
        status_[line]->setPalette(palette);
    });
    connect(&bridge_, &WindowBridge::paneBackgroundChanged, this, [this](unsigned colour) {
        QPalette palette = pane_->palette();
        palette.setColor(QPalette::Base, fromBgr(colour));
        pane_->setPalette(palette);
    });
    connect(&bridge_, &WindowBridge::paneTextAdded, this, &GuiWindow::appendPane);
    connect(&bridge_, &WindowBridge::messageBoxRequested, this, &GuiWindow::showInformation);
    connect(&bridge_, &WindowBridge::beepRequested, this, [] { QApplication::beep(); });
    connect(&bridge_, &WindowBridge::plotAreaCleared, plots_, &PlotView::clear);
    connect(&bridge_, &WindowBridge::progressChanged, this, [this](int done, int total) {
        progress_->setRange(0, total);
        progress_->setValue(done);
    });
    connect(&bridge_, &WindowBridge::dayProductsWritten, plots_, &PlotView::showProducts);
}

QString GuiWindow::statusLine(StatusLine line) const { return status_[static_cast<int>(line)]->text(); }

void GuiWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The driver starts once the window is shown, with the command line's path.
    if (!started_) {
        started_ = true;
        startDriver(setup_.line.positionals);
    }
}

void GuiWindow::startDriver(const std::vector<std::string>& arguments) {
    bridge_.resetHandshake();
    auto session = std::make_unique<Session>(bridge_);
    configureSession(*session, setup_);
    session->arguments = arguments;
    session->readPanelOptions = [this] {
        std::lock_guard<std::mutex> lock(optionsMutex_);
        return panelOptions_;
    };
    if (adjustSession_) adjustSession_(*session);
    // The signal handler moves to the new session before the old one goes.
    handleInterrupts(session.get());
    session_ = std::move(session);
    worker_ = std::thread([this] {
        executeThread(*session_);
        emit driverFinished();
    });
    refreshControls();
}

void GuiWindow::stopDriver() {
    if (!worker_.joinable()) return;
    bridge_.closing.store(true);
    worker_.join();
    exitStatus_ = session_->exitStatus;
}

void GuiWindow::onDriverFinished() {
    if (!worker_.joinable()) return;
    worker_.join();
    exitStatus_ = session_->exitStatus;
    if (closeWhenDriverEnds_ || session_->runMode != kInteractive || session_->interruptSignal.load() != 0) {
        closeWhenDriverEnds_ = true;
        close();
        return;
    }
    status_[static_cast<int>(StatusLine::Hint)]->setText("Open or drop a file to start again");
    refreshControls();
}

void GuiWindow::closeEvent(QCloseEvent* event) {
    if (worker_.joinable()) {
        // The driver ends after the file in work and writes its logs; the window closes
        // when it has ended.
        closeWhenDriverEnds_ = true;
        bridge_.closing.store(true);
        statusBar()->showMessage("Closing after the file in work...");
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void GuiWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* open = menu.addAction("Open a file...", this, &GuiWindow::chooseFile);
    open->setEnabled(!worker_.joinable() || bridge_.idle.load() == 1);
    menu.addAction("About Velarix", this, &GuiWindow::showAbout);
    menu.exec(event->globalPos());
}

void GuiWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) event->acceptProposedAction();
}

void GuiWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    openPath(urls.front().toLocalFile());
}

void GuiWindow::openPath(const QString& path, bool fromDialog) {
    lastFolder_ = QFileInfo(path).absolutePath();
    if (!worker_.joinable()) {
        startDriver({path.toStdString()});
    } else if (bridge_.idle.load() == 1 && bridge_.fileChoiceState.load() == 0) {
        bridge_.offerPath(path.toStdString(), fromDialog ? 1 : 2);
    } else {
        statusBar()->showMessage("A run is in work: stop it or let it end before opening another file", 8000);
    }
}

void GuiWindow::chooseFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, "Open an observation file", lastFolder_,
        "Observation files (*.??o *.??d *.??o.Z *.??d.Z *.??o.gz *.??d.gz *.rnx *.crx *.rnx.gz *.crx.gz);;"
        "Command files (*.txt);;All files (*)");
    if (!path.isEmpty()) {
        openPath(path, true);
    } else if (worker_.joinable() && bridge_.idle.load() == 1) {
        bridge_.offerPath("", 3);
    }
}

void GuiWindow::onOptionsChanged(int changeKind) {
    {
        std::lock_guard<std::mutex> lock(optionsMutex_);
        panelOptions_ = panel_->options();
    }
    // While the driver waits for start it repeats its search when the scope changed.
    if (bridge_.panel.armed.load() == 1 && bridge_.panel.changed.load() < changeKind) {
        bridge_.panel.changed.store(changeKind);
    }
}

void GuiWindow::saveOptions() {
    std::string reason;
    if (saveSettings(setup_.settingsFile, panel_->options(), &reason)) {
        statusBar()->showMessage("Settings saved in " + QString::fromStdString(setup_.settingsFile), 8000);
    } else {
        showInformation("Settings not saved",
                        QString::fromStdString(setup_.settingsFile + ": " + (reason.empty() ? "not written" : reason)));
    }
}

void GuiWindow::refreshControls() {
    const bool alive = worker_.joinable();
    const bool armed = alive && bridge_.panel.armed.load() == 1;
    const bool idle = alive && bridge_.idle.load() == 1;
    const bool running = alive && !armed && !idle && bridge_.panel.startState.load() == 3;
    panel_->startButton()->setEnabled(armed && bridge_.panel.startState.load() == 0);
    panel_->stopButton()->setEnabled(running && !bridge_.stopRequested.load());
    panel_->setOptionsEditable(!running);
}

void GuiWindow::appendPane(const QString& text) {
    // The pane follows the end unless the user scrolled up to read.
    QScrollBar* bar = pane_->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum() - 2;
    QTextCursor cursor(pane_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (atEnd) bar->setValue(bar->maximum());
}

void GuiWindow::showInformation(const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    box->raise();
}

void GuiWindow::showAbout() { showInformation("About Velarix", paneString(startupBanner())); }

}  // namespace velarix
