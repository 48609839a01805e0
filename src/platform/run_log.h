#pragma once
// The program's one logging facility: the message log, the error log, the message pane
// and the two log files. A RunLog belongs to one thread at a time: the run's log to the
// execute thread, and each day of a batch run side by side has one of its own (without a
// pane) that joins the run's log in input order.
#include <string>
#include <string_view>

namespace velarix {

class MainWindow;

class RunLog {
public:
    explicit RunLog(MainWindow* pane = nullptr) : pane_(pane) {}

    void setPane(MainWindow* pane) { pane_ = pane; }

    void append(std::string_view text) { messages.append(text); }
    void appendError(std::string_view text) { errors.append(text); }
    // Shows on the pane what was appended since the previous refresh.
    void refresh();
    // Appends and refreshes.
    void say(std::string_view text) {
        append(text);
        refresh();
    }

    // Appends `messages` to <directory>Log_file.txt and empties it; when the file cannot
    // be opened, reports that in `messages` and keeps the text for the next flush. A log
    // path that is a symbolic link, or not a regular file, counts as one that cannot be
    // opened; old content is never truncated.
    // Then appends `errors` (when longer than 2 characters) to Log_errors.txt and
    // empties it when that succeeded. Returns false when the message log could not be
    // written.
    [[nodiscard]] bool flush(const std::string& directory);

    std::string messages;
    std::string errors;

private:
    MainWindow* pane_;
    size_t shown_ = 0;  // characters of `messages` already on the pane
};

}  // namespace velarix
