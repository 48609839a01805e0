#include "control/pipelines.h"

#include "control/command_file_job.h"
#include "control/rinex_job.h"
#include "platform/dir_search.h"
#include "platform/strfmt.h"

namespace velarix {

Pipelines defaultPipelines() {
    return {processRinex, processNovatel, processScinda, processIsm, runCommandFile, processRinexDay};
}

DayEnvironment sessionDayEnvironment(const Session& session, MainWindow* window) {
    return DayEnvironment{&session.stations, session.options, session.programDir, session.download, window};
}

namespace {

// A day that gave no products: named with its reason in the error log.
void recordFailedDay(RunLog& log, const std::string& path, RinexDayResult result) {
    log.appendError(strfmt("%s .. day not processed (err = %d): %s\r\n", path.c_str(), statusCode(result),
                           rinexDayResultText(result)));
}

}  // namespace

bool processRinexDay(const std::string& path, const DayEnvironment& environment, DayJob& job, RunLog& log,
                     std::vector<std::string>* written) {
    FileSearch search;
    if (search.checkPath(path) != PathCheck::kFound) {
        log.say("\r\nError! No file(s) found.. exited. Choose file again!.");
        recordFailedDay(log, path, RinexDayResult::kNoInput);
        return false;
    }
    DayRequest request;
    request.inputPath = path;
    request.observationFiles = search.countOneDayFiles() > 1 ? search.oneDayFiles() : std::vector<std::string>{path};
    request.dataDirectory = directoryOf(path);
    request.targetDirectory = productFolderFor(environment.options, request.dataDirectory);
    request.workDirectory = request.targetDirectory;

    const RinexDayResult result = RunRinexDay(request, environment, job, log, written);
    if (result != RinexDayResult::kDone) recordFailedDay(log, path, result);
    return result == RinexDayResult::kDone;
}

// The day of `session.currentInputPath`: its files are those of its station and day in
// its folder (its sessions), expanded beside the products. A day that gave no products
// is counted, so that the run ends with its own exit status.
void processRinex(Session& session, int /*pipelineOption*/, int /*compression*/) {
    std::vector<std::string> written;
    if (!processRinexDay(session.currentInputPath, sessionDayEnvironment(session, &session.window), session.job,
                         session.log, &written)) {
        ++session.failedJobs;
    }
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

bool runCommandFile(Session& session) {
    const std::string path = session.currentInputPath;
    CommandFile file;
    if (!ReadCommandFile(path, file, session.log) || !ValidateCommandFile(file, session.log)) {
        session.window.setStatus(StatusLine::Title, "TASK in-COMPLETE.. Aborting now!!");
        return false;
    }
    const RinexDayResult result =
        RunCommandFile(file, sessionDayEnvironment(session, &session.window), session.job, session.log);
    if (result != RinexDayResult::kDone) {
        recordFailedDay(session.log, path, result);
        ++session.failedJobs;
    }
    return true;
}

}  // namespace velarix
