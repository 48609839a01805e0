#pragma once
// Reads a text file line by line through one large buffer, without a copy or an
// allocation per line. Lines end at LF; a CR before it is dropped, so files with CR LF
// line ends read as any other. A line longer than the caller's limit is cut to the limit,
// the rest of it skipped, and the cut reported, so no line can grow without bound.
// Only a regular file is opened by name (see platform/regular_file.h); a pipe (a decoder's
// output) is read through its descriptor.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/regular_file.h"

namespace velarix {

class LineReader {
public:
    explicit LineReader(const std::string& path);
    // Reads an open descriptor (the read end of a pipe), closed with the reader.
    explicit LineReader(int ownedFd);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why the file is not open (kOpened when it is).
    InputFileStatus openStatus() const { return openStatus_; }

    // The next line, valid until the following call (and still after that call returned
    // false). False at the end of the file (or on a read error, which ends the file for
    // the reader).
    bool next(std::size_t limit, std::string_view& line, bool& cut);

    // Goes back to the first line, for a second reader of the same input; false (nothing
    // changed) once the buffer has let go of the input's start.
    [[nodiscard]] bool rewindToStart();
    // Reads the rest of the input unused, so that a decoder writing into it runs to its end.
    void readToEnd();

private:
    // Reads more of the file behind the unread part; false when nothing more came.
    bool refill();
    // Drops the rest of a cut line.
    void skipRestOfLine();

    // 1 MiB, or less for a smaller file; always room for a line at the longest limit.
    static constexpr std::size_t kMaxCapacity = 1 << 20;
    static constexpr std::size_t kMinCapacity = 4096;

    int fd_ = -1;
    InputFileStatus openStatus_ = InputFileStatus::kCannotOpen;
    std::size_t capacity_ = 0;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;  // first unread character
    std::size_t end_ = 0;    // end of the data in the buffer
    bool atEnd_ = false;     // the file has been read to its end
    bool skipping_ = false;  // the previous line was cut
    bool startHeld_ = true;  // the buffer still begins with the input's first character
};

}  // namespace velarix
