#include "rinex/nav_lines.h"

namespace velarix {

bool NavLines::next(std::string_view& line) {
    if (hasGivenBack_) {
        hasGivenBack_ = false;
        last_ = givenBack_;
    } else {
        bool cut = false;
        if (!reader_.next(kLineLimit, last_, cut)) {
            canUnread_ = false;
            return false;
        }
    }
    line = last_;
    ++lineNumber_;
    canUnread_ = true;
    return true;
}

void NavLines::unread() {
    if (!canUnread_) return;
    givenBack_ = std::string(last_);
    hasGivenBack_ = true;
    canUnread_ = false;
    --lineNumber_;
}

}  // namespace velarix
