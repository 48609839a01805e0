#include "gui_support.h"

#include <QApplication>
#include <QTest>
#include <filesystem>

void ensureQtApplication() {
    if (QApplication::instance() != nullptr) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

ProgramSetup testSetup(const TempDir& folder) {
    ProgramSetup setup;
    setup.programDir = std::filesystem::path(VELARIX_BIN).parent_path().string() + "/";
    setup.settingsFile = folder.path() + "Velarix.ini";
    return setup;
}

std::string copySampleDay(const TempDir& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(VELARIX_SOURCE_DIR "/examples")) {
        if (entry.path().filename() == "SOURCES") continue;
        std::filesystem::copy_file(entry.path(), folder.path() + entry.path().filename().string());
    }
    return folder.path() + "bjfs0010.20o";
}

bool waitUntil(const std::function<bool()>& done, int timeout_ms) { return QTest::qWaitFor(done, timeout_ms); }
