// velarix: slant and vertical TEC, biases and S4 from one GNSS station's RINEX files.
//
//   velarix [OPTIONS] [PATH [auto]]
//
// Runs one day (or the month, year or folder of days around PATH) and writes the
// products beside the data. With "auto" it starts at once and exits when done; without
// it, it waits for Enter on a terminal and then for the next path.
#include <cstdio>
#include <string>
#include <thread>

#include "control/program_setup.h"
#include "control/run_driver.h"
#include "control/session.h"
#include "platform/console_window.h"
#include "platform/memory_reuse.h"
#include "platform/paths.h"

using namespace velarix;

int main(int argc, char** argv) {
    (void)KeepFreedMemoryForReuse();  // a speed setting only: without it the days run as well
    ProgramSetup setup;
    std::string messages;
    const SetupStatus status = prepareProgram(argc, argv, programDirectory(), setup, messages);
    std::fputs(messages.c_str(), status == SetupStatus::kShowText ? stdout : stderr);
    if (status != SetupStatus::kRun) return status == SetupStatus::kShowText ? 0 : kExitUsage;

    ConsoleWindow window;
    Session session(window);
    configureSession(session, setup);
    handleInterrupts(&session);

    std::thread worker(executeThread, std::ref(session));
    window.eventLoop();
    worker.join();
    handleInterrupts(nullptr);
    return session.exitStatus;
}
