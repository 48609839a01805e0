#include "control/run_timer.h"

#include "platform/strfmt.h"

namespace velarix {

DurationParts splitDuration(std::int64_t micros) {
    if (micros < 0) micros = 0;
    DurationParts p{};
    p.microseconds = micros % 1000;
    micros /= 1000;
    p.milliseconds = micros % 1000;
    micros /= 1000;
    p.seconds = micros % 60;
    micros /= 60;
    p.minutes = micros % 60;
    micros /= 60;
    p.hours = micros % 24;
    p.days = micros / 24;
    return p;
}

namespace {
int i(std::int64_t v) { return static_cast<int>(v); }
}  // namespace

std::string elapsedText(std::int64_t micros) {
    const DurationParts p = splitDuration(micros);
    if (p.days > 0) return strfmt("%01d days %01d Hrs %01d mins", i(p.days), i(p.hours), i(p.minutes));
    if (p.hours > 0) return strfmt("%01d Hrs %01d mins", i(p.hours), i(p.minutes));
    if (p.minutes > 0) return strfmt("%01d mins %01d Sec", i(p.minutes), i(p.seconds));
    return strfmt("%01d Sec(s) %01d.%03d mSec(s)", i(p.seconds), i(p.milliseconds), i(p.microseconds));
}

std::string remainingText(std::int64_t micros) {
    const DurationParts p = splitDuration(micros);
    if (p.days > 0) return strfmt("%01d day(s) %01d Hrs", i(p.days), i(p.hours));
    return elapsedText(micros);
}

std::string executionTimeText(std::int64_t micros) {
    const DurationParts p = splitDuration(micros);
    if (p.days > 0) {
        return strfmt("--> Execution time %01d day(s) %01d hrs %01d min %01d Sec %01d.%03d mSec", i(p.days),
                      i(p.hours), i(p.minutes), i(p.seconds), i(p.milliseconds), i(p.microseconds));
    }
    if (p.hours > 0) {
        return strfmt("--> Execution time %01d hrs %01d min %01d Sec %01d.%03d mSec", i(p.hours), i(p.minutes),
                      i(p.seconds), i(p.milliseconds), i(p.microseconds));
    }
    if (p.minutes > 0) {
        return strfmt("--> Execution time %01d min %01d Sec %01d.%03d mSec", i(p.minutes), i(p.seconds),
                      i(p.milliseconds), i(p.microseconds));
    }
    return strfmt("--> Execution time %01d Sec(s) %01d.%03d mSec(s)", i(p.seconds), i(p.milliseconds),
                  i(p.microseconds));
}

std::string RemainingEstimate::next(std::int64_t elapsedNow_us, std::int64_t countdown) {
    const std::int64_t sinceLast = elapsedNow_us - lastElapsed_us_;
    std::string text;
    if (sinceLast > 199999) {
        estimate_us_ = countdown * sinceLast;
        text = remainingText(estimate_us_);
    } else if (estimate_us_ == 0) {
        text = "estimating...";
        estimate_us_ = sinceLast;
    } else {
        text = remainingText(estimate_us_);
    }
    lastElapsed_us_ = elapsedNow_us;
    return text;
}

}  // namespace velarix
