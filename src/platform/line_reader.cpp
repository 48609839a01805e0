#include "platform/line_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/prefault.h"

namespace velarix {

LineReader::LineReader(const std::string& path) {
    openStatus_ = openRegularFile(path, fd_);
    if (fd_ < 0) return;
    struct stat status {};
    const auto size = ::fstat(fd_, &status) == 0 && status.st_size > 0 ? static_cast<std::size_t>(status.st_size) : 0;
    capacity_ = std::clamp(size + 2, kMinCapacity, kMaxCapacity);
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    PrefaultPages(buffer_.get(), capacity_);
}

LineReader::LineReader(int ownedFd) : fd_(ownedFd) {
    if (fd_ < 0) return;
    openStatus_ = InputFileStatus::kOpened;
    capacity_ = kMaxCapacity;
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
}

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool LineReader::refill() {
    if (atEnd_ || fd_ < 0) return false;
    if (begin_ > 0) {
        startHeld_ = false;
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    while (end_ < capacity_) {
        const ssize_t got = ::read(fd_, buffer_.get() + end_, capacity_ - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        atEnd_ = true;  // end of file, or an error that ends it
        return false;
    }
    return true;
}

bool LineReader::rewindToStart() {
    if (!startHeld_) return false;
    begin_ = 0;
    skipping_ = false;
    return true;
}

void LineReader::readToEnd() {
    begin_ = end_;
    while (refill()) begin_ = end_;
}

void LineReader::skipRestOfLine() {
    for (;;) {
        const char* start = buffer_.get() + begin_;
        const void* newline = std::memchr(start, '\n', end_ - begin_);
        if (newline != nullptr) {
            begin_ += static_cast<const char*>(newline) - start + 1;
            return;
        }
        begin_ = end_;
        if (!refill()) return;
    }
}

bool LineReader::next(std::size_t limit, std::string_view& line, bool& cut) {
    cut = false;
    if (fd_ < 0) return false;
    if (limit > capacity_ - 2) limit = capacity_ - 2;
    if (skipping_) {
        skipping_ = false;
        skipRestOfLine();
    }
    for (;;) {
        const char* start = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        const void* newline = std::memchr(start, '\n', available);
        if (newline != nullptr || (atEnd_ && available > 0)) {
            std::size_t length = newline != nullptr ? static_cast<const char*>(newline) - start : available;
            begin_ += newline != nullptr ? length + 1 : length;
            if (length > 0 && start[length - 1] == '\r') --length;
            if (length > limit) {
                length = limit;
                cut = true;
            }
            line = std::string_view(start, length);
            return true;
        }
        // No line end within reach: a line longer than the limit (even with a CR) is cut now.
        if (available >= limit + 2) {
            line = std::string_view(start, limit);
            cut = true;
            begin_ += limit;
            skipping_ = true;
            return true;
        }
        if (!refill() && end_ == begin_) return false;
    }
}

}  // namespace velarix
