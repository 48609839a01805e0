#include "control/pipelines.h"

#include "control/command_file_job.h"
#include "control/rinex_job.h"
#include "platform/dir_search.h"
#include "platform/strfmt.h"

Pipelines defaultPipelines() { return {processRinex, processNovatel, processScinda, processIsm, runCommandFile}; }

namespace {

// A day that gave no products: counted, so that the run ends with its own exit status,
// and named with its reason in the error log.
void recordFailedDay(Session& session, const std::string& path, RinexDayResult result) {
    ++session.failedJobs;
    session.log.appendError(strfmt("%s .. day not processed (err = %d): %s\r\n", path.c_str(), static_cast<int>(result),
                                   rinexDayResultText(result)));
}

}  // namespace

// The day of `session.currentInputPath`: its files are those of its station and day in
// its folder (its sessions), expanded beside the products.
void processRinex(Session& session, int /*pipelineOption*/, int /*compression*/) {
    const std::string path = session.currentInputPath;
    FileSearch search;
    if (search.checkPath(path) != 0) {
        session.log.say("\r\nError! No file(s) found.. exited. Choose file again!.");
        recordFailedDay(session, path, kRinexDayNoInput);
        return;
    }
    DayRequest request;
    request.inputPath = path;
    request.observationFiles = search.countOneDayFiles() > 1 ? search.oneDayFiles() : std::vector<std::string>{path};
    request.dataDirectory = directoryOf(path);
    request.targetDirectory = session.productFolder(request.dataDirectory);
    request.workDirectory = request.targetDirectory;

    const DayEnvironment environment{&session.stations, session.options, session.programDir, {}, &session.window};
    std::vector<std::string> written;
    const RinexDayResult result = RunRinexDay(request, environment, session.job, session.log, &written);
    if (result != kRinexDayDone) recordFailedDay(session, path, result);
    session.window.showDayProducts(written);
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
    const std::string path = session.currentInputPath;
    CommandFile file;
    if (!ReadCommandFile(path, file, session.log) || !ValidateCommandFile(file, session.log)) {
        session.window.setStatus(StatusLine::Title, "TASK in-COMPLETE.. Aborting now!!");
        return -1;
    }
    const DayEnvironment environment{&session.stations, session.options, session.programDir, {}, &session.window};
    const RinexDayResult result = RunCommandFile(file, environment, session.job, session.log);
    if (result != kRinexDayDone) recordFailedDay(session, path, result);
    return 0;
}
