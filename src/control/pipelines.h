#pragma once
// The processing pipelines that the run driver dispatches to.
#include <string>
#include <vector>

#include "control/rinex_job.h"
#include "control/session.h"

namespace velarix {

// One RINEX day from `session.currentInputPath` to its products. `compression`: 0 plain,
// 1 ".Z" (or gzip), 2 Compact RINEX, 3 Compact RINEX compressed.
void processRinex(Session& session, int pipelineOption, int compression);

// The same day with explicit inputs, as a worker of a parallel batch runs it: its files
// are those of its station and day in the folder of `path`. False when the day gave no
// products (the reason is in `log.errors`). `written` (when given) receives the paths of
// the products and plots written.
[[nodiscard]] bool processRinexDay(const std::string& path, const DayEnvironment& environment, DayJob& job,
                                   RunLog& log, std::vector<std::string>* written = nullptr);

// What the days of the session share; `window` receives the status lines (nullptr: none).
DayEnvironment sessionDayEnvironment(const Session& session, MainWindow* window);

// Receiver formats that this program does not read: each reports that and returns.
void processNovatel(Session& session, int pipelineOption, int compressedZ);
void processScinda(Session& session, int pipelineOption, int flags);
void processIsm(Session& session, int pipelineOption, int flags);

// Runs the command file named by `session.currentInputPath`: true when it ran (a day that
// failed is counted in session.failedJobs), false when it could not be read or lacks keys
// (reported, and "TASK in-COMPLETE.. Aborting now!!" shown on the title line).
[[nodiscard]] bool runCommandFile(Session& session);

}  // namespace velarix
