#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <thread>

#include "gui/option_panel.h"
#include "gui/plot_view.h"
#include "gui_support.h"
#include "ui/settings.h"

namespace velarix {

namespace {

bool paneHas(const GuiWindow& window, const QString& text) { return window.pane()->toPlainText().contains(text); }

QMessageBox* findBox(const GuiWindow& window, const QString& title) {
    for (QMessageBox* box : window.findChildren<QMessageBox*>()) {
        if (box->windowTitle() == title) return box;
    }
    return nullptr;
}

void drop(GuiWindow& window, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
}

// Writes window grabs at the two screen sizes when VELARIX_GUI_SCREENSHOTS names a folder.
void saveScreenshots(GuiWindow& window) {
    const QString folder = qEnvironmentVariable("VELARIX_GUI_SCREENSHOTS");
    if (folder.isEmpty()) return;
    for (const QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
        window.resize(size);
        QTest::qWait(300);
        window.grab().save(QString("%1/velarix-gui-%2x%3.png").arg(folder).arg(size.width()).arg(size.height()));
    }
}

TEST(GuiWindow, RunStartedFromThePanelFillsThePaneAndThePlotView) {
    TempDir folder;
    const std::string day = copySampleDay(folder);
    ProgramSetup setup = testSetup(folder);
    setup.options.imageWord = kTec24HourImage | kTecPrnImages | kBiasedUnbiasedPlot;
    GuiWindow window(setup);
    window.resize(1280, 800);
    window.show();

    // No file given: the driver asks for one and waits.
    ASSERT_TRUE(waitUntil([&] { return findBox(window, "Input Required...") != nullptr; }));
    findBox(window, "Input Required...")->accept();
    ASSERT_TRUE(waitUntil([&] { return window.bridge().idle.load() == 1; }));
    EXPECT_FALSE(window.optionPanel()->startButton()->isEnabled());

    window.openPath(QString::fromStdString(day), true);
    QPushButton* start = window.optionPanel()->startButton();
    ASSERT_TRUE(waitUntil([&] { return start->isEnabled(); }));
    EXPECT_EQ(window.statusLine(StatusLine::Count), "Total file(s) found#  1");
    EXPECT_TRUE(paneHas(window, "The file chosen by you was"));
    // A scope change while waiting for start repeats the search; an output change is
    // taken into the run.
    OptionPanel* panel = window.optionPanel();
    panel->findChild<QRadioButton*>("scopeMonth")->click();
    ASSERT_TRUE(waitUntil([&] { return window.statusLine(StatusLine::Count) == "Total file(s) found# 01"; }));
    panel->findChild<QRadioButton*>("scopeDay")->click();
    const auto changeTaken = [&] { return window.bridge().panel.changed.load() == 0 && start->isEnabled(); };
    ASSERT_TRUE(waitUntil(changeTaken));
    panel->findChild<QCheckBox*>("fileDat")->click();
    EXPECT_EQ(window.bridge().panel.changed.load(), 1);
    ASSERT_TRUE(waitUntil(changeTaken));
    QTest::mouseClick(start, Qt::LeftButton);

    ASSERT_TRUE(waitUntil([&] { return paneHas(window, "Task complete"); }, 60000));
    ASSERT_TRUE(waitUntil([&] { return window.bridge().idle.load() == 1; }));
    EXPECT_TRUE(paneHas(window, "Velarix .. Ver 3.03"));
    EXPECT_EQ(window.statusLine(StatusLine::Title), "TASK COMPLETE.. !!");
    const QProgressBar* progress = window.findChild<QProgressBar*>("progress");
    EXPECT_EQ(progress->value(), 1);
    EXPECT_EQ(progress->maximum(), 1);

    // The day's plots, and only plots, are listed; the first is drawn.
    const QStringList plots = window.plotView()->plots();
    ASSERT_GE(plots.size(), 3);
    for (const QString& plot : plots) {
        EXPECT_TRUE(plot.endsWith(".png")) << plot.toStdString();
        EXPECT_TRUE(QFileInfo::exists(plot)) << plot.toStdString();
    }
    EXPECT_FALSE(window.plotView()->imageView()->image().isNull());
    EXPECT_TRUE(window.driverRunning());
    EXPECT_FALSE(QDir(QString::fromStdString(folder.path())).entryList({"*.dat"}).isEmpty());

    saveScreenshots(window);
    window.close();
    ASSERT_TRUE(waitUntil([&] { return !window.driverRunning(); }));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.exitStatus(), 0);
}

TEST(GuiWindow, OptionsRoundTripThroughTheSettingsFile) {
    TempDir folder;
    GuiWindow window(testSetup(folder));  // not shown: no driver runs
    OptionPanel* panel = window.optionPanel();
    panel->findChild<QRadioButton*>("scopeMonth")->click();
    panel->findChild<QCheckBox*>("allStations")->click();
    panel->findChild<QCheckBox*>("fileCmn")->setChecked(false);
    panel->findChild<QCheckBox*>("fileDat")->setChecked(true);
    panel->findChild<QCheckBox*>("imagePrn")->setChecked(true);
    panel->findChild<QCheckBox*>("imageHires")->setChecked(true);
    panel->findChild<QCheckBox*>("skipExisting")->setChecked(true);
    panel->findChild<QCheckBox*>("separateTarget")->setChecked(true);
    panel->findChild<QLineEdit*>("targetDir")->setText("/data/products");
    panel->findChild<QLineEdit*>("archiveRoots")->setText("/archive/one; /archive/two");
    panel->findChild<QComboBox*>("calibration")->setCurrentText("model");
    panel->findChild<QComboBox*>("mapping")->setCurrentText("mslm");
    panel->findChild<QSpinBox*>("jobs")->setValue(3);
    QTest::mouseClick(panel->saveButton(), Qt::LeftButton);

    RunOptions loaded;
    EXPECT_EQ(loadSettings(folder.path() + "Velarix.ini", loaded),
              SettingsChange::kScope);  // the saved scope is applied
    EXPECT_EQ(loaded.scopeWord, kThisMonth | kAllStations);
    EXPECT_EQ(loaded.fileWord, kStdFile | kBiasFile | kDatFile);
    EXPECT_EQ(loaded.imageWord, kTec24HourImage | kTecPrnImages | kHighResolution);  // the skip switch is not kept
    EXPECT_TRUE(loaded.separateTarget);
    EXPECT_EQ(loaded.targetDir, "/data/products");
    EXPECT_EQ(loaded.s4ArchiveRoots, (std::vector<std::string>{"/archive/one", "/archive/two"}));
    EXPECT_EQ(loaded.calibration, Calibration::kModel);
    EXPECT_EQ(loaded.mapping, IonoMapping::kMslm);
    EXPECT_EQ(loaded.jobs, 3);

    // A new window starts with what was saved.
    ProgramSetup again = testSetup(folder);
    again.options = loaded;
    GuiWindow second(again);
    const RunOptions shown = second.optionPanel()->options();
    EXPECT_EQ(shown.scopeWord, loaded.scopeWord);
    EXPECT_EQ(shown.fileWord, loaded.fileWord);
    EXPECT_EQ(shown.imageWord, loaded.imageWord);
    EXPECT_EQ(shown.targetDir, loaded.targetDir);
    EXPECT_EQ(shown.s4ArchiveRoots, loaded.s4ArchiveRoots);
    EXPECT_EQ(shown.calibration, Calibration::kModel);
    EXPECT_EQ(shown.mapping, IonoMapping::kMslm);
    EXPECT_EQ(shown.jobs, 3);
    EXPECT_TRUE(second.optionPanel()->findChild<QRadioButton*>("scopeMonth")->isChecked());

    // A settings path that is a folder is refused with a message, not written through.
    ProgramSetup broken = testSetup(folder);
    broken.settingsFile = folder.path();
    GuiWindow third(broken);
    QTest::mouseClick(third.optionPanel()->saveButton(), Qt::LeftButton);
    EXPECT_NE(findBox(third, "Settings not saved"), nullptr);
}

TEST(GuiWindow, StopEndsAMonthBatchAfterTheCurrentDay) {
    TempDir folder;
    const std::string header = "     2.11           OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE\n";
    for (const char* name : {"bjfs0010.20o", "bjfs0020.20o", "bjfs0030.20o"}) folder.write(name, header);
    ProgramSetup setup = testSetup(folder);
    setup.options.selectScope(kThisMonth);
    setup.options.jobs = 1;  // the days one after another, through the replaced pipeline
    std::atomic<int> calls{0};
    std::atomic<bool> release{false};
    GuiWindow window(setup, [&](Session& session) {
        session.pipelines.rinex = [&](Session&, int, int) {
            ++calls;
            for (int i = 0; i < 2000 && !release.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        };
    });
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.bridge().idle.load() == 1; }));
    window.openPath(QString::fromStdString(folder.path() + "bjfs0010.20o"));
    QPushButton* start = window.optionPanel()->startButton();
    ASSERT_TRUE(waitUntil([&] { return start->isEnabled(); }));
    QTest::mouseClick(start, Qt::LeftButton);

    ASSERT_TRUE(waitUntil([&] { return calls.load() == 1; }));
    QPushButton* stop = window.optionPanel()->stopButton();
    ASSERT_TRUE(waitUntil([&] { return stop->isEnabled(); }));
    EXPECT_FALSE(window.optionPanel()->saveButton()->isEnabled());  // options locked while running
    QTest::mouseClick(stop, Qt::LeftButton);
    release.store(true);

    ASSERT_TRUE(waitUntil([&] { return paneHas(window, "Stopped after 1 of 3 files"); }));
    ASSERT_TRUE(waitUntil([&] { return window.bridge().idle.load() == 1; }));
    EXPECT_EQ(calls.load(), 1);
    EXPECT_FALSE(paneHas(window, "Task complete"));
    EXPECT_EQ(window.statusLine(StatusLine::Title), "STOPPED.. !!");
    EXPECT_TRUE(window.isVisible());

    // The next batch runs whole: the stop was for one batch only.
    window.openPath(QString::fromStdString(folder.path() + "bjfs0020.20o"));
    ASSERT_TRUE(waitUntil([&] { return start->isEnabled(); }));
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return paneHas(window, "Task complete"); }));
    EXPECT_EQ(calls.load(), 4);
}

TEST(GuiWindow, DroppedFileThatIsNotRinexIsRefusedAndTheWindowStays) {
    TempDir folder;
    const std::string day = copySampleDay(folder);
    const std::string notes = folder.write("notes.pdf", "%PDF-1.4\n");
    GuiWindow window(testSetup(folder));
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.bridge().idle.load() == 1; }));

    drop(window, QString::fromStdString(notes));
    ASSERT_TRUE(waitUntil([&] { return paneHas(window, "Invalid input file, please check the selected filename"); }));
    ASSERT_TRUE(waitUntil([&] { return !window.driverRunning(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.exitStatus(), kExitRefused);
    EXPECT_EQ(window.statusLine(StatusLine::Hint), "Open or drop a file to start again");

    // The next file dropped starts the driver again and waits for start.
    drop(window, QString::fromStdString(day));
    ASSERT_TRUE(waitUntil([&] { return window.optionPanel()->startButton()->isEnabled(); }));
    EXPECT_TRUE(window.statusLine(StatusLine::Input).endsWith("bjfs0010.20o"));
    window.close();
    ASSERT_TRUE(waitUntil([&] { return !window.isVisible(); }));
}

TEST(GuiWindow, PaneFollowsTheEndUnlessScrolledUp) {
    TempDir folder;
    GuiWindow window(testSetup(folder));
    window.resize(1280, 800);
    window.show();
    for (int i = 0; i < 200; ++i) window.bridge().showPaneText("\r\nline " + std::to_string(i));
    QScrollBar* bar = window.pane()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(paneHas(window, "line 199"));
    EXPECT_FALSE(window.pane()->toPlainText().contains('\r'));

    bar->setValue(10);
    window.bridge().showPaneText("\r\nmore");
    EXPECT_EQ(bar->value(), 10);
}

}  // namespace

}  // namespace velarix
