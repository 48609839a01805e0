#pragma once
// For the window tests: a program set-up that reads no settings file of the user's, the
// sample day copied into a fresh folder, and waiting for the driver's signals. The test
// program's Qt application (offscreen unless QT_QPA_PLATFORM says otherwise) is made
// before the first test.
#include <QString>
#include <functional>
#include <string>

#include "control/program_setup.h"
#include "test_support.h"

namespace velarix {

// Velarix.ini in `folder`; the program folder of velarix (station list beside it).
ProgramSetup testSetup(const TempDir& folder);

// examples/ copied into `folder`; returns the observation file's path.
std::string copySampleDay(const TempDir& folder);

// Lets queued signals through until `done` holds or `timeout_ms` passed.
bool waitUntil(const std::function<bool()>& done, int timeout_ms = 20000);

}  // namespace velarix
