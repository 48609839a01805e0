#include "decompress/decode_stream.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <system_error>

#include "platform/strfmt.h"

namespace velarix {

namespace {

// Fewer wake-ups between decoder and reader; the system may refuse the size.
constexpr int kPipeBytes = 1 << 20;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Reads `fd` to its end unused, unless the stream is abandoned meanwhile.
void drain(int fd, const std::atomic<bool>& abandoned) {
    char buffer[1 << 16];
    while (!abandoned.load()) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) continue;
        if (got < 0 && errno == EINTR) continue;
        return;
    }
}

// Blocks the signals that the program handles, and SIGPIPE, for the threads started while
// it lives (they take the mask of the thread that starts them).
class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&blocked, signal);
        pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t previous_;
};

}  // namespace

DecodeStream::DecodeStream(const std::string& path) {
    std::string plainName;
    const std::vector<DecodeStep> steps = decodeSteps(path, plainName);
    std::string name = path;
    int readerFd = -1;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        auto stage = std::make_unique<Stage>();
        stage->step = steps[i];
        stage->inputName = name;
        stage->inputFd = readerFd;
        readerFd = -1;
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            setupError_ = strfmt("Cannot write file: no pipe: %s", std::strerror(errno));
            closeFd(stage->inputFd);
            break;
        }
        ::fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);
        readerFd = ends[0];
        stage->outputFd = ends[1];
        // The decoders name the file they write in their messages: the chain's next name.
        name = i + 1 == steps.size() ? plainName : name.substr(0, name.rfind('.'));
        stage->outputName = name;
        stages_.push_back(std::move(stage));
    }
    if (setupError_.empty()) {
        const SignalsBlocked blocked;
        for (const auto& stage : stages_) {
            try {
                stage->thread = std::thread(&DecodeStream::run, this, std::ref(*stage));
            } catch (const std::system_error& error) {
                setupError_ = strfmt("Cannot write file: no decoder thread: %s", error.what());
                break;
            }
        }
    }
    lines_ = std::make_unique<LineReader>(readerFd);
    if (!setupError_.empty()) abandon();
}

DecodeStream::~DecodeStream() { abandon(); }

void DecodeStream::run(Stage& stage) {
    stage.result = runDecodeStep(stage.step, DecoderInput(stage.inputName, stage.inputFd),
                                 DecoderOutput(stage.outputName, stage.outputFd), stage.message);
    closeFd(stage.outputFd);  // the next stage sees the end
    if (stage.inputFd >= 0) drain(stage.inputFd, abandoned_);
    closeFd(stage.inputFd);  // an abandoned stage before this one fails its next write
}

void DecodeStream::abandon() {
    abandoned_.store(true);
    lines_ = std::make_unique<LineReader>(-1);  // closes the reader's end
    // The pipe ends of stages never started first, so that no started one waits on them.
    for (const auto& stage : stages_) {
        if (!stage->thread.joinable()) {
            closeFd(stage->inputFd);
            closeFd(stage->outputFd);
        }
    }
    for (const auto& stage : stages_) {
        if (stage->thread.joinable()) stage->thread.join();
    }
}

DecodeStatus DecodeStream::finish(std::string& message) {
    lines_->readToEnd();
    for (const auto& stage : stages_) {
        if (stage->thread.joinable()) stage->thread.join();
    }
    if (!setupError_.empty()) {
        message = setupError_;
        return DecodeStatus::kCannotWrite;
    }
    // As expandFile runs the chain one decoder after the other, on one message: the first
    // failure ends it; a decoder that succeeds without a word leaves the text before.
    DecodeStatus result = DecodeStatus::kOk;
    for (const auto& stage : stages_) {
        result = stage->result;
        if (!stage->message.empty()) message = stage->message;
        if (!expandSucceeded(result)) break;
    }
    return result;
}

}  // namespace velarix
