#pragma once
// Keeps a reader's messages of one kind to a fixed number per file. A damaged or hostile
// file would otherwise put one message in the log for each of its lines: megabytes of
// messages from a file of blank lines or garbage. Messages past the limit are counted,
// and finish() appends one line per kind with the count of those not shown.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velarix {

class RunLog;

class MessageLimiter {
public:
    static constexpr long kShownPerKind = 20;

    // `file` names the file in the count lines.
    MessageLimiter(RunLog& log, std::string file) : log_(log), file_(std::move(file)) {}
    // Appends the count lines still due.
    ~MessageLimiter() { finish(); }
    MessageLimiter(const MessageLimiter&) = delete;
    MessageLimiter& operator=(const MessageLimiter&) = delete;

    // Counts a message of `kind` and tells whether it is among the first kShownPerKind of
    // its kind, i.e. whether the caller appends it. `kind` is the message's fixed text (a
    // printf format will do); its words up to the first field or line number name the kind
    // in the count line.
    [[nodiscard]] bool admit(std::string_view kind);
    // Appends `text` to the log when a message of `kind` is admitted.
    void append(std::string_view kind, std::string_view text);
    // For each kind with messages left out, one line
    // "\r\nNote! N more such messages in FILE were not shown: KIND", in the order the kinds
    // first came. The counts start again from zero.
    void finish();

private:
    struct Kind {
        std::string text;
        long seen = 0;
    };

    RunLog& log_;
    std::string file_;
    std::vector<Kind> kinds_;  // few per reader: a linear search is the quickest
};

}  // namespace velarix
