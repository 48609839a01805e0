#include "download/download.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "decompress/expand.h"
#include "download/fetched_files.h"
#include "download/lftp_client.h"
#include "geodesy/time.h"
#include "platform/cleanup_registry.h"
#include "platform/dir_search.h"
#include "platform/strfmt.h"

namespace velarix {

namespace {

constexpr int kReconnectAttempts = 4;

double utcNowMjd() {
    const std::time_t now = std::time(nullptr);
    return 40587.0 + static_cast<double>(now) / 86400.0;  // 1970-01-01 is MJD 40587
}

std::string withSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The client: a name with a '/' as given; else the program folder's copy when there is
// one, else the name for a PATH lookup.
std::string clientProgram(const std::string& client, const std::string& programDir) {
    if (client.find('/') != std::string::npos || programDir.empty()) return client;
    const std::string local = withSlash(programDir) + client;
    return ::access(local.c_str(), X_OK) == 0 ? local : client;
}

std::string clientName(const std::string& client) {
    const size_t slash = client.rfind('/');
    return slash == std::string::npos ? client : client.substr(slash + 1);
}

// One file to fetch: its address and the name it takes in the data folder.
struct Fetch {
    std::string url;
    std::string localName;
};

enum class FetchResult { kFetched, kNotOnArchive, kZeroSize, kNotPlaced, kGiveUp };

// One download call: the client session and what it fetched.
class DownloadRun {
public:
    DownloadRun(const ArchiveSettings& settings, const std::string& dataDirectory, MainWindow* window, RunLog& log,
                int reconnectPauseSeconds)
        : settings_(settings),
          dataDirectory_(withSlash(dataDirectory)),
          window_(window),
          log_(log),
          reconnectPauseSeconds_(reconnectPauseSeconds),
          client_(std::chrono::seconds(2 * settings.timeoutSeconds + 5)) {}

    // Starts the client and sets it up in the data folder; false (reported) when that
    // failed, with `unreachable` telling whether trying again later is pointless.
    bool open(const std::string& program, bool& unreachable);
    FetchResult fetch(const Fetch& item);
    void close() {
        client_.finish();
        if (window_ != nullptr) window_->setStatus(StatusLine::Progress, "");
    }

    const std::vector<std::string>& fetched() const { return fetched_; }
    bool gaveUp() const { return gaveUp_; }

private:
    ClientReply command(const std::string& line, const std::function<bool()>& progress = {});
    FetchResult tryOnce(const Fetch& item, const std::string& temporary);
    void reportNoAnswer();
    void reportEnded();

    const ArchiveSettings& settings_;
    const std::string dataDirectory_;
    MainWindow* window_;
    RunLog& log_;
    const int reconnectPauseSeconds_;
    LftpClient client_;
    std::string openSite_;
    int lostSessions_ = 0;
    bool gaveUp_ = false;
    std::vector<std::string> fetched_;
};

ClientReply DownloadRun::command(const std::string& line, const std::function<bool()>& progress) {
    std::string reply;
    const ClientReply result = client_.run(line, reply, progress);
    // The client's own complaint, for the researcher who reads the log.
    if (!reply.empty()) log_.append("\r\nlftp: " + reply.substr(0, reply.find_last_not_of("\r\n") + 1));
    return result;
}

void DownloadRun::reportNoAnswer() {
    log_.say(strfmt("\r\n-->Error! %s stopped answering for %d secs.. session ended\r\n",
                    clientName(settings_.client).c_str(), 2 * settings_.timeoutSeconds + 5));
    gaveUp_ = true;
}

void DownloadRun::reportEnded() {
    log_.say("\r\n-->Error! " + clientName(settings_.client) + " ended unexpectedly.. session ended\r\n");
    gaveUp_ = true;
}

bool DownloadRun::open(const std::string& program, bool& unreachable) {
    const std::string name = clientName(settings_.client);
    switch (client_.start(program)) {
        case ClientStart::kStarted:
            break;
        case ClientStart::kNoClient:
            log_.append("\r\n-->Error! " + name + " files not found in the program directory or in PATH.. ");
            log_.say("\r\n-->Try download files manually or put " + name + " files in directory and try again!\r\n");
            unreachable = true;
            return false;
        case ClientStart::kNotStarted:
            log_.say("\r\n could not start " + name + "..  process terminated");
            return false;
    }
    std::string folder;
    if (!quoteForClient(dataDirectory_, folder)) {
        log_.say("\r\nError! the data folder's name holds a line break: nothing is downloaded into " + dataDirectory_ +
                 "\r\n");
        client_.finish();
        return false;
    }
    // No retries of the client's own: the lost-session rules below decide.
    for (const std::string& setting :
         {strfmt("set net:timeout %d", settings_.timeoutSeconds), std::string("set net:max-retries 1"),
          std::string("set net:persist-retries 0"),
          std::string("set net:reconnect-interval-base 1"), std::string("set net:reconnect-interval-max 1"), std::string("set ftp:passive-mode on"),
          std::string("set xfer:clobber off"), std::string("set cmd:fail-exit no")}) {
        const ClientReply reply = command(setting);
        if (reply == ClientReply::kNoAnswer || reply == ClientReply::kClientEnded) {
            reply == ClientReply::kNoAnswer ? reportNoAnswer() : reportEnded();
            unreachable = true;
            client_.finish();
            return false;
        }
    }
    const ClientReply lcd = command("lcd " + folder);
    if (lcd == ClientReply::kDone) return true;
    if (lcd == ClientReply::kNoAnswer || lcd == ClientReply::kClientEnded) {
        lcd == ClientReply::kNoAnswer ? reportNoAnswer() : reportEnded();
        unreachable = true;
    } else {
        log_.say("\r\nError! the data folder " + dataDirectory_ + " does not exist\r\n");
        if (window_ != nullptr) {
            window_->messageBox("Here in FTP access",
                                "Invalid parent directory on local PC..\r\nYou have to create one.. ");
        }
    }
    client_.finish();
    return false;
}

FetchResult DownloadRun::tryOnce(const Fetch& item, const std::string& temporary) {
    RemoteFile remote;
    std::string site, folder, name, local;
    if (!splitUrl(item.url, remote) || !quoteForClient(remote.site, site) || !quoteForClient(remote.folder, folder) ||
        !quoteForClient(remote.name, name) || !quoteForClient(fileNameOf(temporary), local)) {
        log_.say("\r\nError! not an ftp, http or https address of a file: " + item.url + "\r\n");
        return FetchResult::kNotOnArchive;
    }
    std::vector<std::pair<std::string, std::function<bool()>>> lines;
    if (remote.site != openSite_) lines.emplace_back("open " + site, nullptr);
    lines.emplace_back("cd " + folder, nullptr);
    // The temporary file's growth is the transfer's progress, and a sign of life.
    off_t size = -1;
    const auto progress = [&]() {
        struct stat st {};
        if (::stat(temporary.c_str(), &st) != 0 || st.st_size == size) return false;
        size = st.st_size;
        if (window_ != nullptr) {
            window_->setStatus(StatusLine::Progress, strfmt("Downloading %s .. %lld kB", remote.name.c_str(),
                                                            static_cast<long long>(size / 1024)));
        }
        return true;
    };
    lines.emplace_back("get " + name + " -o " + local, progress);
    openSite_ = remote.site;
    for (const auto& [line, watch] : lines) {
        const ClientReply reply = command(line, watch);
        if (reply != ClientReply::kDone) openSite_.clear();  // open again for the next file
        switch (reply) {
            case ClientReply::kDone:
                continue;
            case ClientReply::kNoRemoteFile:
                log_.say("\r\nInfo! " + item.url + " does not exist\r\n");
                return FetchResult::kNotOnArchive;
            case ClientReply::kNoAnswer:
                reportNoAnswer();
                return FetchResult::kGiveUp;
            case ClientReply::kClientEnded:
                reportEnded();
                return FetchResult::kGiveUp;
            case ClientReply::kLostSession:
                return FetchResult::kGiveUp;  // the caller reconnects
            case ClientReply::kNoLocalFolder:
            case ClientReply::kRefused:
                log_.refresh();
                return FetchResult::kNotOnArchive;
        }
    }
    return FetchResult::kFetched;
}

FetchResult DownloadRun::fetch(const Fetch& item) {
    const std::string final = dataDirectory_ + item.localName;
    const std::string temporary =
        strfmt("%s.velarix-fetch-%d-%s", dataDirectory_.c_str(), static_cast<int>(::getpid()), item.localName.c_str());
    const int slot = registerTemporaryFile(temporary.c_str());
    const auto removeTemporary = [&] {
        std::error_code ec;
        std::filesystem::remove(temporary, ec);
    };
    const auto forget = [&] {
        removeTemporary();
        releaseTemporaryFile(slot);
    };
    for (;;) {
        removeTemporary();
        const FetchResult result = tryOnce(item, temporary);
        if (result == FetchResult::kGiveUp && !gaveUp_) {
            // Lost session: reconnect after a pause, a bounded number of times.
            if (++lostSessions_ <= kReconnectAttempts) {
                log_.say(strfmt("\r\n-->lost connection.. reconnecting in %d secs.. attempt %d of %d\r\n",
                                reconnectPauseSeconds_, lostSessions_, kReconnectAttempts));
                std::this_thread::sleep_for(std::chrono::seconds(reconnectPauseSeconds_));
                continue;
            }
            log_.append("\r\n-->lost connection.. OR no connection.. ");
            log_.say(
                "\r\n-->Hence could not download the file(s).. try manually or verify connection and try again!\r\n");
            gaveUp_ = true;
        }
        if (result != FetchResult::kFetched) {
            forget();
            return gaveUp_ ? FetchResult::kGiveUp : result;
        }
        break;
    }
    std::error_code ec;
    if (std::filesystem::file_size(temporary, ec) == 0 || ec) {
        forget();
        return FetchResult::kZeroSize;
    }
    if (!placeFetchedFile(temporary, final)) {
        log_.say(strfmt("\r\nError! unable to rename file from %s to %s\r\n", temporary.c_str(), final.c_str()));
        forget();
        return FetchResult::kNotPlaced;
    }
    releaseTemporaryFile(slot);
    log_.say("\r\nDownloaded " + item.url + " to " + final);
    fetched_.push_back(final);
    return FetchResult::kFetched;
}

// True when the data folder has the file under `localName`, or its expanded form.
bool alreadyThere(const std::string& dataDirectory, const std::string& localName) {
    const std::string path = withSlash(dataDirectory) + localName;
    return exists(path) || exists(expandedName(path));
}

}  // namespace

ArchiveDownloader::ArchiveDownloader(ArchiveSettings settings, std::string programDir, MainWindow* window,
                                     std::function<double()> nowMjd)
    : settings_(std::move(settings)),
      programDir_(std::move(programDir)),
      window_(window),
      nowMjd_(nowMjd ? std::move(nowMjd) : std::function<double()>(utcNowMjd)) {}

void ArchiveDownloader::download(const DownloadRequest& request, RunLog& log) {
    std::lock_guard<std::mutex> lock(mutex_);
    DateTime date;
    date.FromMjd(request.dayMjd);
    const TemplateDate fields{date.year, date.month, date.DayOfYear()};
    const std::string key = strfmt("%s|%d|%04d-%02d-%03d", request.dataDirectory.c_str(), request.navigation ? 1 : 0,
                                   date.year, date.month, request.navigation ? date.DayOfYear() : 0);
    if (unreachable_) {
        log.say("\r\nInfo! no download: the archives could not be reached earlier in this run\r\n");
        return;
    }
    if (notOnArchive_.count(key) != 0) {
        log.say("\r\nInfo! no download: the archives did not have these file(s) earlier in this run\r\n");
        return;
    }

    // What to fetch, in order: both DCB kinds, or the navigation file station by station.
    std::vector<Fetch> plan;
    std::vector<std::string> stations;
    if (request.navigation) {
        for (const std::string& station : settings_.navigationStations) {
            const std::string url = fillTemplate(settings_.navigationUrl, fields, station, "");
            plan.push_back({url, url.substr(url.rfind('/') + 1)});
            stations.push_back(fillTemplate(station, fields, "", ""));
        }
    } else {
        DateTime now;
        now.FromMjd(nowMjd_());
        const bool runningMonth = now.year == date.year && now.month == date.month;
        for (const char* kind : {"P1P2", "P1C1"}) {
            const std::string url =
                fillTemplate(runningMonth ? settings_.dcbRunningMonthUrl : settings_.dcbUrl, fields, "", kind);
            // The running month's file has a rolling name: it takes the month's name here.
            const std::string local = runningMonth ? strfmt("%s%02d%02d.DCB", kind, date.year % 100, date.month)
                                                   : url.substr(url.rfind('/') + 1);
            if (alreadyThere(request.dataDirectory, local)) {
                log.say("\r\nInfo! " + local + " is in the data folder already");
                continue;
            }
            plan.push_back({url, local});
        }
    }
    if (plan.empty()) return;

    const int pause =
        request.navigation ? settings_.navigationReconnectPauseSeconds : settings_.dcbReconnectPauseSeconds;
    DownloadRun run(settings_, request.dataDirectory, window_, log, pause);
    bool unreachable = false;
    if (!run.open(clientProgram(settings_.client, programDir_), unreachable)) {
        unreachable_ = unreachable;
        return;
    }
    bool found = false;
    for (size_t i = 0; i < plan.size() && !run.gaveUp(); ++i) {
        if (request.navigation && alreadyThere(request.dataDirectory, plan[i].localName)) {
            log.say("\r\nInfo! " + plan[i].localName + " is in the data folder already");
            found = true;
            break;
        }
        const FetchResult result = run.fetch(plan[i]);
        if (result == FetchResult::kFetched || result == FetchResult::kNotPlaced) {
            found = true;
            if (request.navigation) break;
        }
        if (result == FetchResult::kZeroSize && request.navigation) {
            log.say("\r\nFile size is zero, will try to download again with" +
                    (i + 1 < stations.size() ? " " + stations[i + 1] : std::string(" no other station")));
        } else if (result == FetchResult::kZeroSize) {
            log.say("\r\nFile size is zero: " + plan[i].url);
        }
    }
    if (request.navigation && !found && !run.gaveUp()) {
        std::string list;
        for (const std::string& station : stations) list += (list.empty() ? " " : ", ") + station;
        log.append("\r\nNO pre-defined Nav. files found with" + list);
        log.say("\r\nThis programs needs modification by Zavo....\r\n");
    }
    run.close();
    if (run.gaveUp()) unreachable_ = true;
    if (!found && !run.gaveUp()) notOnArchive_.insert(key);
    expandFetchedArchives(run.fetched(), request.dataDirectory, log);
}

}  // namespace velarix
