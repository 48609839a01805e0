#include "control/pipelines.h"

Pipelines defaultPipelines() { return {processRinex, processNovatel, processScinda, processIsm, runCommandFile}; }

// The RINEX job (decompression, readers, TEC, biases, products) is the next stage of
// this program's construction; until it lands the day is reported as not processed.
void processRinex(Session& session, int /*pipelineOption*/, int compression) {
    session.log.say("\r\nInfo! The RINEX job is not built yet: " + session.currentInputPath + " (compression " +
                    std::to_string(compression) + ") was not processed.\r\n");
}

namespace {
void reportUnsupported(Session& session, const char* format) {
    session.log.say(std::string("\r\nError! ") + format + " recordings are not supported by this program: " +
                    session.currentInputPath + "\r\n");
    ++session.failedJobs;
}
}  // namespace

void processNovatel(Session& session, int, int) { reportUnsupported(session, "NovAtel"); }
void processScinda(Session& session, int, int) { reportUnsupported(session, "SCINDA"); }
void processIsm(Session& session, int, int) { reportUnsupported(session, "ISM"); }

int runCommandFile(Session& session) {
    session.log.say("\r\nError! Command files are not supported yet: " + session.currentInputPath + "\r\n");
    return -1;
}
