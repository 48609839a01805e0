#pragma once
// A compressed input decoded straight into a reader, without an expanded copy: each
// decoder of the chain that the name calls for (see expand.h; ".crx.gz" is gzip, then
// Compact RINEX) runs on a thread of its own, joined to the next by a pipe, the last pipe
// read through lines(). A decoder always reads its input to the end, even when the one
// after it stopped early, so that the chain ends with the result and text that
// expandFile gives for the same input. The threads block the signals the program
// handles (a write into a closed pipe fails with EPIPE instead) and every descriptor is
// closed on exec, so a download started meanwhile holds no end of a pipe.
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "decompress/expand.h"
#include "platform/line_reader.h"

namespace velarix {

class DecodeStream {
public:
    // Starts the decoders of `path`, a name that isExpandable().
    explicit DecodeStream(const std::string& path);
    // An unfinished stream is abandoned: the reader's end is closed, the decoders stop at
    // their next read or write and are joined.
    ~DecodeStream();
    DecodeStream(const DecodeStream&) = delete;
    DecodeStream& operator=(const DecodeStream&) = delete;

    // The plain text as it is decoded; not open when no pipe or thread could be made.
    LineReader& lines() { return *lines_; }

    // Reads what the reader left, waits for the decoders and gives expandFile's result and
    // the decoder's text (see expandSucceeded). Call once, after the read.
    [[nodiscard]] DecodeStatus finish(std::string& message);

private:
    struct Stage {
        DecodeStep step;
        std::string inputName;
        std::string outputName;
        int inputFd = -1;  // the pipe from the stage before; -1 for the first, which opens the file
        int outputFd = -1;
        DecodeStatus result = DecodeStatus::kOk;
        std::string message;
        std::thread thread;
    };

    void run(Stage& stage);
    void abandon();

    std::vector<std::unique_ptr<Stage>> stages_;
    std::unique_ptr<LineReader> lines_;
    std::atomic<bool> abandoned_{false};
    std::string setupError_;  // why the stream could not be started
};

}  // namespace velarix
