#include "platform/message_limiter.h"

#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"

namespace velarix {

namespace {

// "\r\nError! Bad epoch line.. @Obs.data at line# %ld\r\n" -> "Error! Bad epoch line..":
// the words before the first field, line number or line end.
std::string_view kindName(std::string_view kind) {
    while (!kind.empty() && (kind.front() == '\r' || kind.front() == '\n')) kind.remove_prefix(1);
    return trim(kind.substr(0, kind.find_first_of("%@\r\n")));
}

}  // namespace

bool MessageLimiter::admit(std::string_view kind) {
    for (Kind& known : kinds_) {
        if (known.text == kind) return ++known.seen <= kShownPerKind;
    }
    kinds_.push_back({std::string(kind), 1});
    return true;
}

void MessageLimiter::append(std::string_view kind, std::string_view text) {
    if (admit(kind)) log_.append(text);
}

void MessageLimiter::finish() {
    for (const Kind& kind : kinds_) {
        if (kind.seen <= kShownPerKind) continue;
        const std::string_view name = kindName(kind.text);
        log_.append(strfmt("\r\nNote! %ld more such messages in %s were not shown: %.*s", kind.seen - kShownPerKind,
                           file_.c_str(), static_cast<int>(name.size()), name.data()));
    }
    kinds_.clear();
}

}  // namespace velarix
