#pragma once
// The lines of a navigation file as the readers take them: cut to 90 characters,
// numbered from 1, and with one line that can be given back when it turns out to begin
// the next record.
#include <string>
#include <string_view>

#include "platform/line_reader.h"

namespace velarix {

class NavLines {
public:
    static constexpr std::size_t kLineLimit = 90;

    explicit NavLines(const std::string& path) : reader_(path) {}

    bool isOpen() const { return reader_.isOpen(); }
    InputFileStatus openStatus() const { return reader_.openStatus(); }
    // The next line, valid until the following call; false at the end of the file.
    bool next(std::string_view& line);
    // Gives the line last returned by next() once more (one line back at most).
    void unread();
    // Number of the line last returned.
    int lineNumber() const { return lineNumber_; }

private:
    LineReader reader_;
    std::string_view last_;
    std::string givenBack_;
    bool hasGivenBack_ = false;
    bool canUnread_ = false;
    int lineNumber_ = 0;
};

}  // namespace velarix
