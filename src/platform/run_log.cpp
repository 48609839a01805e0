#include "platform/run_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/window.h"

namespace velarix {

void RunLog::refresh() {
    if (shown_ > messages.size()) shown_ = 0;
    if (pane_ != nullptr && shown_ < messages.size()) pane_->showPaneText(messages.substr(shown_));
    shown_ = messages.size();
}

namespace {
// The logs are journals that several runs add to, so they are appended to with O_APPEND
// rather than rewritten through a temporary file: an interrupted write can only leave a
// partial last entry after the intact old content, and two runs on one folder never lose
// each other's text. O_NOFOLLOW and the regular-file checks keep the log from being
// redirected through a symbolic link or into a FIFO or device (lstat first: a device is
// not even opened); O_NONBLOCK keeps the open of a FIFO that appeared meanwhile from
// waiting for a reader.
bool appendToFile(const std::string& path, const std::string& text) {
    struct stat found {};
    if (lstat(path.c_str(), &found) == 0 ? !S_ISREG(found.st_mode) : errno != ENOENT) return false;
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat status {};
    bool written = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    for (size_t done = 0; written && done < text.size();) {
        const ssize_t got = write(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        written = got > 0;
        if (written) done += static_cast<size_t>(got);
    }
    return close(fd) == 0 && written;
}
}  // namespace

bool RunLog::flush(const std::string& directory) {
    const std::string logPath = directory + "Log_file.txt";
    bool ok = true;
    refresh();
    if (appendToFile(logPath, messages)) {
        messages.clear();
        shown_ = 0;
    } else {
        ok = false;
        append("* Unable to write LOG file... " + logPath + "\r\n");
        refresh();
    }
    if (errors.size() > 2 && appendToFile(directory + "Log_errors.txt", errors)) errors.clear();
    return ok;
}

}  // namespace velarix
