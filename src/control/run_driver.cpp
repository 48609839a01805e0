#include "control/run_driver.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "control/banner.h"
#include "control/classify.h"
#include "control/day_batch.h"
#include "control/pipelines.h"
#include "geodesy/time.h"
#include "platform/dir_search.h"
#include "platform/paths.h"
#include "platform/strfmt.h"
#include "platform/text.h"
#include "products/product_names.h"

namespace velarix {

CommandLineInput readCommandLine(const std::vector<std::string>& arguments) {
    CommandLineInput input;
    std::vector<std::string> paths = arguments;
    if (paths.size() >= 2 && paths.back() == "auto") {
        input.autoMode = true;
        paths.pop_back();
    }
    if (paths.empty()) return input;
    input.pathCount = static_cast<int>(paths.size());
    std::string path = paths.front();
    for (size_t i = 1; i < paths.size(); ++i) path += " " + paths[i];
    // A Windows-style argument may quote the path alone ("x.20o" auto) or the whole text
    // ("x.20o auto"); either way the path comes out without quotes.
    auto unquote = [](std::string& text) {
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    };
    unquote(path);
    if (endsWith(path, " auto")) {
        input.autoMode = true;
        path.erase(path.size() - 5);
    }
    unquote(path);
    input.path = path;
    return input;
}

namespace {

// What the driver does after an input has been handled.
enum class Next { IdleWait, EndThread };

// The pipelines that run as a batch, with their texts.
enum class BatchKind { Rinex, Scinda, ScindaPrc, Ism };

constexpr std::uint32_t kHintBusy = rgb(255, 100, 100);
constexpr std::uint32_t kHintIdle = rgb(230, 230, 250);
constexpr std::uint32_t kInvalidPane = rgb(255, 230, 230);
constexpr std::uint32_t kInputHint = rgb(200, 150, 255);
constexpr std::uint32_t kInputNormal = rgb(245, 245, 255);

class RunDriver {
public:
    explicit RunDriver(Session& session) : s_(session), log_(session.log), window_(session.window) {}

    void run();

private:
    Next inputCycle(const std::string& path);
    Next commandFileBranch();
    Next dispatch();
    Next invalidFileType(bool lisnDat, bool endThread);
    Next runBatch(BatchKind kind, const std::string& typeText, int flags);
    bool prepareBatch(BatchKind kind, const std::string& typeText, bool firstTime, int& fileCount);
    bool waitForStart(BatchKind kind, const std::string& typeText, int& fileCount);
    void runBatchLoop(BatchKind kind, int flags, int fileCount);
    void runDaysSideBySide(const std::vector<std::string>& files, const std::string& dataDir, int threads,
                           const char* progressFormat);
    void showProgress(const char* progressFormat, int done, int count);
    bool skipExisting(const std::string& path, RunLog& log) const;
    void runPipeline(BatchKind kind, int flags);
    Next complete();
    Next interruptedEnd();
    Next closeInAutoMode(const char* title);
    std::optional<std::string> idleWait(bool withMessageBox);

    void clearStatusLines();
    void readOptions();
    void loadStationCatalogue();
    bool flushLogs(const std::string& directory);
    std::string logDirectory() const;
    bool closing() const { return window_.closing.load(); }
    bool interrupted() const { return s_.interruptSignal.load() != 0; }

    Session& s_;
    RunLog& log_;
    MainWindow& window_;
    std::vector<std::string> batch_;  // files of the batch, for the pipelines other than RINEX
    std::string searchText_;          // pattern, TAB and date of the SCINDA and ISM searches
    int batchDone_ = 0;               // files of the batch in work that have been handled
    int batchSize_ = 0;
};

void RunDriver::clearStatusLines() {
    for (StatusLine line : {StatusLine::Input, StatusLine::Type, StatusLine::Count, StatusLine::Hint,
                            StatusLine::Progress, StatusLine::Timing, StatusLine::Title}) {
        window_.setStatus(line, "");
    }
}

void RunDriver::readOptions() {
    if (s_.readPanelOptions) s_.options = s_.readPanelOptions();
}

void RunDriver::loadStationCatalogue() {
    std::string errorText;
    const IgsReadResult result = loadIgsStations(s_.programDir, s_.stations, &errorText);
    if (result == IgsReadResult::kCannotOpen) {
        log_.say("\r\nCan't open IGS Station list file");
    } else if (result != IgsReadResult::kRead) {
        log_.append("\r\nError exception IGS_stations.txt file");
        log_.append(
            "\r\nMake sure there are tabs betweens values in following format: STAT city country longitude "
            "latitude altitude AgencyName");
        if (!errorText.empty()) log_.append("\r\n" + errorText);
        log_.say("\r\nAnd run program again");
    }
}

// The data folder when it can be written, else the program's own folder.
std::string RunDriver::logDirectory() const {
    const std::string& data = s_.job.context.dataDirectory;
    return isDirectoryWritable(data) ? data : writableProgramDirectory(s_.programDir);
}

// Tries `directory`, then the program's own folder, then the user's folder; false when
// the message log could be written in none of them.
bool RunDriver::flushLogs(const std::string& directory) {
    std::vector<std::string> tried;
    for (int place = 0; place < 3; ++place) {
        const std::string candidate = place == 0   ? directory
                                      : place == 1 ? writableProgramDirectory(s_.programDir)
                                                   : userProgramDirectory();
        if (candidate.empty() || std::find(tried.begin(), tried.end(), candidate) != tried.end()) continue;
        if (log_.flush(candidate)) return true;
        tried.push_back(candidate);
    }
    return false;
}

void RunDriver::run() {
    log_.messages = startupBanner();
    clearStatusLines();
    log_.refresh();

    std::optional<std::string> next;
    bool firstIdleWithBox = true;
    if (!s_.arguments.empty()) {
        const CommandLineInput input = readCommandLine(s_.arguments);
        if (input.autoMode) s_.runMode = kAuto;
        if (input.pathCount > 1) {
            log_.append(strfmt("\r\nINFO! You have entered %d files, ", input.pathCount));
            log_.append(input.path);
            log_.say(
                "\r\nProgram needs modification for multiple inputs...\r\nPlease use single file as input, next "
                "time!\r\n");
            s_.exitStatus = kExitRefused;
            firstIdleWithBox = false;
        } else {
            log_.say("\r\nEntered/input file is  " + input.path);
            next = input.path;
        }
    }
    if (!next) {
        next = idleWait(firstIdleWithBox);
    }
    while (next) {
        if (inputCycle(*next) == Next::EndThread) break;
        next = idleWait(false);
    }
    // A branch that wrote the log already (the command files) leaves nothing to add.
    const bool logWritten = log_.messages.empty() && log_.errors.size() <= 2 ? true : flushLogs(logDirectory());
    if (const int signal = s_.interruptSignal.load(); signal != 0) {
        s_.exitStatus = exitStatusForSignal(signal);
    } else if (!logWritten) {
        s_.exitStatus = kExitLogNotWritten;
    }
    if (!closing()) window_.requestClose();
}

Next RunDriver::inputCycle(const std::string& givenPath) {
    // Products and logs are written beside the input, so its folder must be known.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(givenPath, error);
    const std::string path = error || givenPath.empty() ? givenPath : absolute.lexically_normal().string();
    s_.currentInputPath = path;
    window_.setStatus(StatusLine::Input, strfmt("Input file: %s", path.c_str()));
    s_.job.beginFile(path);
    s_.exitStatus = kExitCompleted;
    s_.failedJobs = 0;

    if (endsWith(path, ".txt")) {
        s_.runMode = kCommandFile;
        return commandFileBranch();
    }
    const InputFileInfo info = classify(path);
    setInputKindFlags(s_.job.kinds, info);
    if (info.kind == kInvalidName) {
        log_.say("\r\n Invalid input file, please check the selected filename");
        s_.exitStatus = kExitRefused;
        s_.pause(100);
        return Next::EndThread;
    }
    if (info.kind == kDateOutOfRange) {
        log_.say(
            "\r\n The dates on the filename are not valid  OR the PC date is not correct \r\n Please check file "
            "name  or correct PC time and try again");
        s_.exitStatus = kExitRefused;
        s_.pause(100);
        return Next::EndThread;
    }
    const PathCheck pathCheck = s_.search.checkPath(path);
    if (pathCheck == PathCheck::kNoDirectory) {
        log_.say("\r\nInvalid path, select file again!");
        s_.exitStatus = kExitRefused;
    } else if (pathCheck != PathCheck::kFound) {
        log_.say("\r\nInvalid file, select file again!");
        s_.exitStatus = kExitRefused;
        return Next::IdleWait;
    }
    s_.search.search(1, 0, 0, 0, 1);
    s_.pause(100);
    return dispatch();
}

Next RunDriver::commandFileBranch() {
    readOptions();
    s_.pause(20);
    window_.panel.armed.store(0);
    window_.panel.changed.store(0);
    s_.pause(50);
    window_.setStatusBoxEnabled(false);
    clearStatusLines();
    loadStationCatalogue();
    if (s_.pipelines.commandFile && !s_.pipelines.commandFile(s_)) {
        s_.exitStatus = kExitRefused;
    } else {
        if (s_.failedJobs > 0) s_.exitStatus = kExitFailed;
        window_.setStatus(StatusLine::Title, "TASK COMPLETE.. Aborting now!!");
    }
    flushLogs(writableProgramDirectory(s_.programDir));
    s_.pause(2000);
    window_.requestClose();
    return Next::EndThread;
}

Next RunDriver::dispatch() {
    const InputKindFlags& k = s_.job.kinds;
    if (k.rinexObs || k.hatanaka) {
        std::string type = "Rinex";
        int compression = 0;
        if (k.hatanaka && k.compressedZ) {
            type += " (Hatanaka+.Z)";
            compression = 3;
        } else if (k.hatanaka) {
            type += " (Hatanaka)";
            compression = 2;
        } else if (k.compressedZ) {
            type += " (.Z Compressed)";
            compression = 1;
        }
        return runBatch(BatchKind::Rinex, type, compression);
    }
    if (k.novatel) {
        window_.setStatus(StatusLine::Type, "Type: Novatel format");
        window_.setStatus(StatusLine::Count, "Search: not configured yet!");
        // NovAtel waits for start on its own: every 100 ms, ignoring option changes.
        window_.panel.startState.store(0);
        window_.panel.armed.store(1);
        for (int checks = 0; window_.panel.startState.load() == 0 && !closing(); ++checks) {
            if (s_.runMode == kAuto && checks > 50) break;
            s_.poll(100);
        }
        if (closing()) return Next::EndThread;
        window_.panel.startState.store(3);
        window_.panel.armed.store(0);
        s_.timer.start();
        s_.pipelines.novatel(s_, s_.options.pipelineOption, k.compressedZ ? 1 : 0);
        return complete();
    }
    const std::string compressed = k.compressedZ ? " (.Z Compressed)" : "";
    if (k.scinda) return runBatch(BatchKind::Scinda, "Scinda" + compressed, k.compressedZ ? 1 : 0);
    if (k.scindaPrc) return runBatch(BatchKind::ScindaPrc, "ScindaPRC " + compressed, 2 | (k.compressedZ ? 1 : 0));
    if (k.lisnDat && !k.lisn) return invalidFileType(true, true);
    if ((k.inWorkA || k.inWorkB) && !k.lisn) {
        log_.say("\r\nINFO! still working on this format.. needs modification!\r\n");
        return s_.runMode == kAuto ? invalidFileType(false, false) : Next::IdleWait;
    }
    if (!k.ism && !k.lisn) {
        log_.say(
            "\r\nInvalid file type OR wrong file extension\r\nElse program needs modification for this "
            "data.....contact Zavo!\r\n");
        s_.exitStatus = kExitRefused;
        return closeInAutoMode("AUTO mode.. Aborting now!!");
    }
    if (k.ism && !k.lisn) return runBatch(BatchKind::Ism, "", 0);
    return invalidFileType(false, true);
}

// The LISN and LISN/Dat rows: the file is refused with an explanation.
Next RunDriver::invalidFileType(bool lisnDat, bool endThread) {
    s_.exitStatus = kExitRefused;
    if (endThread) {
        window_.setStatus(StatusLine::Input, "Error! invalid file, info text below!");
        log_.append("\r\nError! This filename entered doesn't complain to RINEX/Novatel format.");
        log_.append("\r\nHence cannot proceed further..");
        log_.append("\r\n\r\nPlease verify it is Rinex observation file and filname convention!");
        log_.append("\r\nand run again");
        log_.append(lisnDat ? "\r\n\r\nIf you are trying to run this on LISN/Dat files .."
                            : "\r\n\r\nIf you are trying to run this on LISN files ..");
        log_.append("\r\nContact Zavo for program modification!");
        log_.refresh();
        window_.setPaneBackground(kInvalidPane);
    }
    const Next next = closeInAutoMode("AUTO mode.. Aborting now!!");
    return next == Next::EndThread || endThread ? Next::EndThread : Next::IdleWait;
}

bool RunDriver::prepareBatch(BatchKind kind, const std::string& typeText, bool firstTime, int& fileCount) {
    if (firstTime) {
        if (kind == BatchKind::Rinex) loadStationCatalogue();
        readOptions();
    }
    window_.setStatus(StatusLine::Hint, "Please wait, fetching file(s)");
    window_.setStatusBackground(StatusLine::Hint, kHintBusy);
    window_.panel.armed.store(0);
    window_.panel.changed.store(0);

    const RunOptions& o = s_.options;
    const int scope = o.processScope();
    if (kind == BatchKind::Rinex) {
        fileCount = s_.search.search(scope & kThisDayOnly ? 1 : 0, scope & kThisMonth ? 1 : 0,
                                     scope & kThisYear ? 1 : 0, scope & kThisDirectory ? 1 : 0,
                                     o.allStations() ? 0 : 1);
        const int dayFiles = s_.search.countOneDayFiles();
        window_.setStatus(StatusLine::Type, strfmt("Type: %s", typeText.c_str()));
        if (fileCount == dayFiles) {
            window_.setStatus(StatusLine::Count,
                              strfmt(firstTime ? "Total file(s) found# %2d" : "Total file(s) found# %02d", fileCount));
        } else {
            window_.setStatus(StatusLine::Count,
                              strfmt(firstTime ? "Total file(s): %2d, 1 Day File(s): %2d"
                                               : "Total file(s): %02d, 1 Day File(s): %02d",
                                     fileCount, dayFiles));
        }
    } else {
        const CurrentFileContext& c = s_.job.context;
        const InputFileInfo info = classify(s_.currentInputPath);
        const SearchDate date{c.dataDirectory, info.year, info.month, info.day, info.stationCode};
        if (kind == BatchKind::Scinda) {
            fileCount = s_.search.searchScinda(scope, date, searchText_, batch_, s_.job.kinds);
        } else if (kind == BatchKind::ScindaPrc) {
            fileCount = s_.search.searchScindaPrc(scope, date, searchText_, batch_, s_.job.kinds);
        } else {
            fileCount = s_.search.searchIsm(scope, date, searchText_, batch_, s_.job.kinds);
        }
        const size_t tab = searchText_.find('\t');
        const std::string pattern = searchText_.substr(0, tab);
        const std::string rest = tab == std::string::npos ? "" : searchText_.substr(tab + 1);
        window_.setStatus(StatusLine::Type, strfmt("Type: %s, %s", typeText.c_str(), rest.c_str()));
        window_.setStatus(StatusLine::Count, strfmt("Search: %s, Files found # %02d", pattern.c_str(), fileCount));
    }
    window_.setStatus(StatusLine::Hint, "Close/Restart to change file(s) to process");
    window_.setStatusBackground(StatusLine::Hint, kHintIdle);
    window_.panel.startState.store(0);
    window_.panel.armed.store(1);
    return true;
}

// Waits for start, repeating the search when the scope changes. False when the window
// is closing.
bool RunDriver::waitForStart(BatchKind kind, const std::string& typeText, int& fileCount) {
    PanelHandshake& panel = window_.panel;
    for (int checks = 0; panel.startState.load() == 0; ++checks) {
        if (closing()) return false;
        if (s_.runMode == kAuto && checks >= 101) break;
        s_.poll(50);
        const int changed = panel.changed.load();
        if (changed != 0) {
            panel.startState.store(3);
            panel.armed.store(0);
            // Every change is read, so that the run writes what the panel shows; a scope
            // change also repeats the search.
            readOptions();
            if (changed == 2) prepareBatch(kind, typeText, false, fileCount);
            panel.changed.store(0);
            panel.armed.store(1);
            panel.startState.store(0);
        }
    }
    return !closing();
}

Next RunDriver::runBatch(BatchKind kind, const std::string& typeText, int flags) {
    int fileCount = 0;
    prepareBatch(kind, typeText, true, fileCount);
    batchDone_ = 0;
    batchSize_ = s_.options.scopeWord == kThisDayOnly ? 1 : fileCount;
    if (!waitForStart(kind, typeText, fileCount)) return interrupted() ? interruptedEnd() : Next::EndThread;

    window_.panel.startState.store(3);
    window_.panel.armed.store(0);
    window_.setStatusBoxEnabled(false);
    window_.stopRequested.store(false);
    clearStatusLines();
    s_.remaining.reset();
    s_.timer.start();

    if (s_.options.scopeWord == kThisDayOnly) {
        batchSize_ = 1;
        runPipeline(kind, flags);
        batchDone_ = 1;
        window_.showProgress(1, 1);
    } else {
        runBatchLoop(kind, flags, fileCount);
    }
    return complete();
}

void RunDriver::runPipeline(BatchKind kind, int flags) {
    const int option = s_.options.pipelineOption;
    switch (kind) {
        case BatchKind::Rinex: s_.pipelines.rinex(s_, option, flags); break;
        case BatchKind::Scinda:
        case BatchKind::ScindaPrc: s_.pipelines.scinda(s_, option, flags); break;
        case BatchKind::Ism: s_.pipelines.ism(s_, option, 0); break;
    }
}

// With "Skip existing CMN files": true when the day's ".Cmn" product already exists.
// The ".Cmn" product of the day named by `path`; "" when the name gives no day.
std::string dayCmnPath(const std::string& path, const RunOptions& options) {
    const InputFileInfo info = classify(path);
    if (info.year < 0 || info.dayOfYear < 0 || info.stationCode.empty()) return {};
    ProductNameFields fields;
    fields.stationCode = info.stationCode;
    fields.year = info.year;
    fields.dayOfYear = info.dayOfYear;
    MonthDayFromDayOfYear(info.year, info.dayOfYear, fields.month, fields.dayOfMonth);
    fields.inputPath = path;
    fields.dataFolder = info.directory;
    fields.targetDir = options.separateTarget ? options.targetDir : std::string();
    return NameProducts(fields).cmn;
}

bool RunDriver::skipExisting(const std::string& path, RunLog& log) const {
    if (!s_.options.skipExistingCmn()) return false;
    const std::string cmn = dayCmnPath(path, s_.options);
    if (cmn.empty() || !fileExists(cmn)) return false;
    log.say("\r\nFound CMN... " + fileNameOf(cmn));
    return true;
}

void RunDriver::runBatchLoop(BatchKind kind, int flags, int fileCount) {
    const std::vector<std::string> files = kind == BatchKind::Rinex ? s_.search.results() : batch_;
    const std::string dataDir = s_.job.context.dataDirectory;
    const bool rinexOrIsm = kind == BatchKind::Rinex || kind == BatchKind::Ism;
    if (rinexOrIsm) s_.search.listExistingProducts(dataDir);

    const int count = static_cast<int>(files.size());
    (void)fileCount;
    batchSize_ = count;
    const char* progressFormat = kind == BatchKind::Rinex ? "---->> Rinex files completed %d of %d"
                                 : kind == BatchKind::Ism ? "---->> ISM files completed %d of %d"
                                                          : "---->> Scinda files/days completed %d of %d";
    const int threads = std::min(s_.options.dayThreads(), count);
    if (kind == BatchKind::Rinex && threads > 1 && s_.pipelines.rinexDay) {
        runDaysSideBySide(files, dataDir, threads, progressFormat);
        return;
    }
    for (int i = 0; i < count && !closing() && !window_.stopRequested.load(); ++i) {
        if (rinexOrIsm && i % 10 == 0 && count > 16 && i < count - 5) flushLogs(dataDir);
        if (rinexOrIsm && skipExisting(files[static_cast<size_t>(i)], log_)) {
            batchDone_ = i + 1;
            continue;
        }
        s_.currentInputPath = files[static_cast<size_t>(i)];
        runPipeline(kind, flags);
        batchDone_ = i + 1;
        showProgress(progressFormat, i + 1, count);
    }
}

// `done` of `count` files finished: the progress and timing lines.
void RunDriver::showProgress(const char* progressFormat, int done, int count) {
    window_.setStatus(StatusLine::Progress, strfmt(progressFormat, done, count));
    window_.showProgress(done, count);
    const auto elapsed_us = static_cast<std::int64_t>(s_.timer.update());
    const std::string remaining = s_.remaining.next(elapsed_us, count - done + 1);
    window_.setStatus(StatusLine::Timing, "Time elapsed: " + elapsedText(elapsed_us) + ", Remaining: " + remaining);
}

// The RINEX days of the batch on `threads` workers, each with its own job and log. The
// days come back here in input order, where their logs join the run's log and the log
// checkpoints fall as in the serial loop, so that log, products and exit status are the
// same; progress counts the days finished. The workers leave the window to this thread.
void RunDriver::runDaysSideBySide(const std::vector<std::string>& files, const std::string& dataDir, int threads,
                                  const char* progressFormat) {
    const int count = static_cast<int>(files.size());
    DayBatchPlan plan;
    plan.count = files.size();
    plan.threads = threads;
    plan.lookahead = static_cast<std::size_t>(std::max(16, 4 * threads));
    plan.stop = [this] { return closing() || window_.stopRequested.load(); };
    // Two files of one station-day (its sessions) write the same products: one after the
    // other, so that the later one finds what the earlier one left, as in the serial loop.
    for (const std::string& path : files) plan.keys.push_back(dayCmnPath(path, s_.options));

    const DayEnvironment environment = sessionDayEnvironment(s_, nullptr);
    // Each entry written by the one worker of its day, read when the day is handed back.
    std::vector<char> skipped(files.size(), 0);
    std::vector<std::vector<std::string>> written(files.size());
    const RunBatchDay runDay = [&](std::size_t i, DayJob& job, RunLog& log) {
        if (skipExisting(files[i], log)) {
            skipped[i] = 1;
            return true;
        }
        return s_.pipelines.rinexDay(files[i], environment, job, log, &written[i]);
    };
    const TakeBatchDay takeDay = [&](std::size_t index, DayOutcome& day) {
        const int i = static_cast<int>(index);
        if (i % 10 == 0 && count > 16 && i < count - 5) flushLogs(dataDir);
        if (!skipped[index]) s_.currentInputPath = files[index];
        // Only a day that began has its own context; the run's log goes beside the last.
        if (day.context.inputPath == files[index]) s_.job.context = day.context;
        log_.say(day.log.messages);
        log_.appendError(day.log.errors);
        if (!skipped[index]) window_.showDayProducts(written[index]);
        std::vector<std::string>().swap(written[index]);
        if (day.failed) ++s_.failedJobs;
        batchDone_ = i + 1;
    };
    const BatchDaysFinished finished = [&](std::size_t done) {
        showProgress(progressFormat, static_cast<int>(done), count);
    };
    batchDone_ = static_cast<int>(RunDaysInOrder(plan, runDay, takeDay, finished));
}

Next RunDriver::complete() {
    s_.timer.stop();
    const std::string execution = executionTimeText(static_cast<std::int64_t>(s_.timer.elapsed_us()));
    window_.setStatus(StatusLine::Timing, execution);
    log_.append("\r\n");
    log_.append(execution);
    if (interrupted()) return interruptedEnd();
    const bool stopped = window_.stopRequested.exchange(false) && batchDone_ < batchSize_;
    // Stopped by the user: the log says how far the batch went instead of "Task complete".
    log_.append(stopped ? strfmt("\r\nStopped after %d of %d files", batchDone_, batchSize_)
                        : std::string("\r\nTask complete.... "));
    log_.append("\r\n");
    log_.refresh();
    if (s_.failedJobs > 0 && s_.exitStatus == kExitCompleted) s_.exitStatus = kExitFailed;
    window_.setStatus(StatusLine::Title, stopped ? "STOPPED.. !!" : "TASK COMPLETE.. !!");
    window_.beep();
    flushLogs(logDirectory());
    return closeInAutoMode("TASK COMPLETE.. Aborting now!!");
}

// A signal asked the run to stop: the batch ends after the file in work, and the program
// closes in every mode.
Next RunDriver::interruptedEnd() {
    log_.say(strfmt("\r\nInterrupted after %d of %d files\r\n", batchDone_, batchSize_));
    window_.setStatus(StatusLine::Title, "INTERRUPTED.. Aborting now!!");
    flushLogs(logDirectory());
    window_.requestClose();
    return Next::EndThread;
}

// Auto mode shows `title`, closes the program 1.5 s later and ends the thread; the
// interactive mode waits for the next input.
Next RunDriver::closeInAutoMode(const char* title) {
    if (s_.runMode != kAuto) return Next::IdleWait;
    window_.setStatus(StatusLine::Title, title);
    s_.pause(1500);
    window_.requestClose();
    return Next::EndThread;
}

std::optional<std::string> RunDriver::idleWait(bool withMessageBox) {
    window_.panel.armed.store(0);
    if (s_.runMode != kInteractive) return std::nullopt;
    if (withMessageBox) {
        log_.say("\r\n No file was selected or dropped into program");
        window_.messageBox("Input Required... ",
                           "No. file was given as Input\r\n You can open a file with\r\nright click on on screen!!");
    }
    log_.say("\r\nYou can open a file using Right click anywhere on window.. ");
    window_.setStatus(StatusLine::Input, "\r\n---> Right click to open a file.. !! ");
    window_.setStatusBackground(StatusLine::Input, kInputHint);

    window_.fileChoiceState.store(0);
    window_.idle.store(1);
    std::optional<std::string> chosen;
    while (!chosen && !closing()) {
        const int state = window_.fileChoiceState.load();
        if (state == 0) {
            s_.poll(100);
            continue;
        }
        if (state == 3) {
            log_.append("\r\n\r\n\t\t----------\r\nYou didn't choose any file.... ");
            log_.append("\r\nYou can Open file using Right click anywhere on window.. ");
            log_.say("\r\n--- OR you can close the program anytime now!! ---");
            window_.fileChoiceState.store(0);
            continue;
        }
        std::string path = window_.chosenPath();
        if (state == 1) {
            window_.clearPlotArea();
            log_.append("\r\n The file chosen by you was   " + path + "\r\n");
            if (!path.empty() && path.front() == '"') path = path.size() >= 2 ? path.substr(1, path.size() - 2) : "";
            window_.setStatus(StatusLine::Input, path);
            log_.refresh();
        }
        chosen = path;
    }
    window_.idle.store(0);
    if (!chosen) return std::nullopt;
    window_.fileChoiceState.store(2);
    window_.setStatusBackground(StatusLine::Input, kInputNormal);
    return chosen;
}

}  // namespace

void executeThread(Session& session) { RunDriver(session).run(); }

}  // namespace velarix
