#include "download/lftp_client.h"

#include <array>

#include "platform/strfmt.h"

namespace velarix {

namespace {

bool has(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

template <size_t N>
bool hasAny(std::string_view text, const std::array<std::string_view, N>& parts) {
    for (std::string_view part : parts) {
        if (has(text, part)) return true;
    }
    return false;
}

// lftp's texts for the conditions (lftp 4.x).
constexpr std::array<std::string_view, 3> kMissing = {"Access failed: 550", "Access failed: 404", "Access failed: 410"};
constexpr std::array<std::string_view, 10> kLost = {"Fatal error",
                                                    "max-retries exceeded",
                                                    "Not connected",
                                                    "Connection refused",
                                                    "Login failed",
                                                    "Connection reset",
                                                    "Timeout",
                                                    "Name or service not known",
                                                    "Temporary failure in name resolution",
                                                    "No address associated"};

std::string promptLine(int number) { return strfmt("velarix-prompt %d", number); }

}  // namespace

ClientReply classifyReply(std::string_view reply) {
    if (reply.empty()) return ClientReply::kDone;
    if (has(reply, "lcd:") || (reply.find(": No such file or directory") != std::string_view::npos &&
                               reply.find("Access failed") == std::string_view::npos)) {
        return ClientReply::kNoLocalFolder;
    }
    if (hasAny(reply, kMissing)) return ClientReply::kNoRemoteFile;
    if (hasAny(reply, kLost)) return ClientReply::kLostSession;
    return ClientReply::kRefused;
}

bool quoteForClient(std::string_view text, std::string& quoted) {
    quoted.assign(1, '"');
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return true;
}

ClientStart LftpClient::start(const std::string& program) {
    switch (console_.start({program, "--norc"})) {
        case SessionStart::kStarted:
            return ClientStart::kStarted;
        case SessionStart::kNoProgram:
            return ClientStart::kNoClient;
        case SessionStart::kNotStarted:
            break;
    }
    return ClientStart::kNotStarted;
}

ClientReply LftpClient::run(const std::string& line, std::string& reply, const std::function<bool()>& progress) {
    const std::size_t from = console_.outputSize();
    const std::string prompt = promptLine(++prompts_);
    reply.clear();
    if (!console_.writeLine(line) || !console_.writeLine("echo " + prompt)) return ClientReply::kClientEnded;
    const std::string ending = prompt + "\n";
    const bool answered = console_.waitFor(
        from, [&ending](std::string_view text) { return text.find(ending) != std::string_view::npos; }, answerBound_,
        progress);
    const std::string text = console_.output().substr(from);
    reply = text.substr(0, text.find(ending));
    if (!answered && console_.outputEnded()) return ClientReply::kClientEnded;
    if (!answered) {
        hung_ = true;
        return ClientReply::kNoAnswer;
    }
    return classifyReply(reply);
}

void LftpClient::finish() {
    console_.writeLine("close");
    console_.writeLine("exit");
    console_.stop(std::chrono::milliseconds(hung_ ? 0 : 2000));
}

}  // namespace velarix
