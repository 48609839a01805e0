#pragma once
// lftp driven through a console session, one script line at a time. After each command
// the client is asked to echo a numbered prompt line; the text before it is the
// command's reply, which is sorted into the conditions the download acts on.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "download/console_session.h"

namespace velarix {

// What a command's reply says.
enum class ClientReply {
    kDone,           // no complaint
    kNoLocalFolder,  // lcd: the local folder does not exist
    kNoRemoteFile,   // the archive has no such file or folder (FTP 550, HTTP 404)
    kLostSession,    // connection refused, dropped or timed out, login refused
    kNoAnswer,       // the client printed nothing, not even its prompt, for too long
    kClientEnded,    // the client ended (a signal, a crash) before its prompt
    kRefused,        // anything else the client complained about
};

// The reply of one command (the client's text up to its prompt line).
ClientReply classifyReply(std::string_view reply);

// `text` in double quotes for an lftp command line, with '"' and '\' escaped. Names
// holding a line break, NUL or other control character cannot be written on one script
// line: those give false.
[[nodiscard]] bool quoteForClient(std::string_view text, std::string& quoted);

enum class ClientStart { kStarted, kNoClient, kNotStarted };

class LftpClient {
public:
    // `answerBound`: how long the client may stay silent before it counts as hung.
    explicit LftpClient(std::chrono::milliseconds answerBound) : answerBound_(answerBound) {}

    // Starts `program` without reading any rc file of the user's.
    [[nodiscard]] ClientStart start(const std::string& program);
    // Runs one script line and waits for its prompt. `progress` is called while waiting
    // and returns true when the transfer moved (a sign of life besides the output).
    ClientReply run(const std::string& line, std::string& reply, const std::function<bool()>& progress = {});
    // "close", "exit", then the session's end; a hung client is ended by signal.
    void finish();

private:
    CRedir console_;
    std::chrono::milliseconds answerBound_;
    int prompts_ = 0;
    bool hung_ = false;  // a command went unanswered: the session is not waited for
};

}  // namespace velarix
