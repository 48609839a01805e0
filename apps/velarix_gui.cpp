// velarix-gui: the desktop window of Velarix.
//
//   velarix-gui [OPTIONS] [PATH [auto]]
//
// The options are those of `velarix`. A file is opened from the File menu, the window's
// right-click menu or by dropping it on the window; the run starts with the Start button
// (with "auto" by itself) and the plots of the day appear in the window.
#include <QApplication>
#include <cstdio>
#include <string>

#include "control/program_setup.h"
#include "gui/main_window.h"
#include "platform/memory_reuse.h"
#include "platform/paths.h"

using namespace velarix;

int main(int argc, char** argv) {
    (void)KeepFreedMemoryForReuse();  // a speed setting only: without it the days run as well
    QApplication app(argc, argv);  // takes Qt's own options (-platform ...) out of argv
    ProgramSetup setup;
    std::string messages;
    const SetupStatus status = prepareProgram(argc, argv, programDirectory(), setup, messages);
    std::fputs(messages.c_str(), status == SetupStatus::kShowText ? stdout : stderr);
    if (status != SetupStatus::kRun) return status == SetupStatus::kShowText ? 0 : kExitUsage;

    GuiWindow window(setup);
    QObject::connect(&window, &GuiWindow::closed, &app, &QApplication::quit);
    window.resize(1280, 800);
    window.show();
    app.exec();
    return window.exitStatus();
}
