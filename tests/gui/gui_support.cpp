#include "gui_support.h"

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

namespace velarix {

namespace {

// One Qt application for the test program, made before the first test and deleted after
// the last one (deleting it at the program's exit, after Qt's own globals, would crash).
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[9] = "test_gui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

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

}  // namespace velarix
