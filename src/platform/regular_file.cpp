#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/strfmt.h"

namespace velarix {

InputFileStatus openRegularFile(const std::string& path, int& fd) {
    fd = -1;
    // Without O_NONBLOCK the open of a FIFO would wait for a writer; the type is known
    // only once the file is open, so the check itself cannot block.
    int opened = -1;
    do {
        opened = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (opened < 0 && errno == EINTR);
    if (opened < 0) {
        // A socket (or an unreadable directory) cannot be opened at all, yet is no file.
        struct stat status {};
        const bool other = ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
        return other ? InputFileStatus::kNotRegularFile : InputFileStatus::kCannotOpen;
    }
    struct stat status {};
    if (::fstat(opened, &status) != 0) {
        ::close(opened);
        return InputFileStatus::kCannotOpen;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(opened);
        return InputFileStatus::kNotRegularFile;
    }
    const int flags = ::fcntl(opened, F_GETFL);
    if (flags < 0 || ::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(opened);
        return InputFileStatus::kCannotOpen;
    }
    fd = opened;
    return InputFileStatus::kOpened;
}

InputFileStatus readRegularFile(const std::string& path, std::string& text, std::size_t maxBytes) {
    text.clear();
    int fd = -1;
    const InputFileStatus status = openRegularFile(path, fd);
    if (status != InputFileStatus::kOpened) return status;
    char buffer[1 << 16];
    while (text.size() < maxBytes) {
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, maxBytes - text.size()));
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            text.clear();
            ::close(fd);
            return InputFileStatus::kCannotOpen;
        }
    }
    ::close(fd);
    return InputFileStatus::kOpened;
}

std::string inputFileError(const char* kind, const std::string& path, InputFileStatus status) {
    if (status == InputFileStatus::kOpened) return {};
    return strfmt("\r\nError! %s file %s: %s", kind, path.c_str(),
                  status == InputFileStatus::kNotRegularFile ? "not a regular file" : "cannot open");
}

}  // namespace velarix
