#include "control/s4_config.h"

namespace velarix {

S4Config s4ConfigOf(const Session& session) {
    return S4Config{session.programDir, session.options.s4ArchiveRoots};
}

}  // namespace velarix
