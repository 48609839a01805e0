#pragma once
// What the S4 stage needs of a run: where the program's data files lie and the archive
// folders to search for LISN S4 files.
#include "control/session.h"
#include "gnss/s4/s4_stage.h"

namespace velarix {

S4Config s4ConfigOf(const Session& session);

}  // namespace velarix
