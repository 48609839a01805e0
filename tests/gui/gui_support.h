#pragma once
// The Qt application of the window tests (offscreen unless QT_QPA_PLATFORM says
// otherwise), a program set-up that reads no settings file of the user's, and the sample
// day copied into a fresh folder.
#include <QString>
#include <functional>
#include <string>

#include "control/program_setup.h"
#include "test_support.h"

void ensureQtApplication();

// Velarix.ini in `folder`; the program folder of velarix (station list beside it).
ProgramSetup testSetup(const TempDir& folder);

// examples/ copied into `folder`; returns the observation file's path.
std::string copySampleDay(const TempDir& folder);

// Lets queued signals through until `done` holds or `timeout_ms` passed.
bool waitUntil(const std::function<bool()>& done, int timeout_ms = 20000);
