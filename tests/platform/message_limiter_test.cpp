#include "platform/message_limiter.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "test_support.h"

namespace velarix {

namespace {

constexpr const char* kBadLine = "\r\nError! Bad line @line# %ld";
constexpr const char* kBadFlag = "\r\nError! Invalid epoch flag %d @ line %ld ";

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

TEST(MessageLimiter, ShowsTheFirstOfEachKindThenCountsTheRest) {
    RunLog log;
    {
        MessageLimiter messages(log, "/data/file.20o");
        for (long line = 1; line <= 50; ++line) messages.append(kBadLine, strfmt(kBadLine, line));
        for (long line = 1; line <= 21; ++line) {
            if (messages.admit(kBadFlag)) log.append(strfmt(kBadFlag, 9, line));
        }
        messages.append("\r\nInfo! once", "\r\nInfo! once");
    }  // the count lines come when the limiter goes
    // The first 20 of each kind as they were, in file order.
    EXPECT_EQ(occurrences(log.messages, "Error! Bad line @line#"), 20u);
    EXPECT_TRUE(contains(log.messages, "\r\nError! Bad line @line# 20\r\n"));
    EXPECT_FALSE(contains(log.messages, "@line# 21"));
    EXPECT_EQ(occurrences(log.messages, "Invalid epoch flag 9 @"), 20u);
    EXPECT_TRUE(contains(log.messages, "\r\nInfo! once"));
    // One count line per kind that overflowed, named by its fixed words.
    const std::string tail = log.messages.substr(log.messages.find("\r\nNote!"));
    EXPECT_EQ(tail,
              "\r\nNote! 30 more such messages in /data/file.20o were not shown: Error! Bad line"
              "\r\nNote! 1 more such messages in /data/file.20o were not shown: Error! Invalid epoch flag");
}

TEST(MessageLimiter, FinishAppendsOnceAndCountsAgainAfterwards) {
    RunLog log;
    MessageLimiter messages(log, "f");
    for (int i = 0; i < 20; ++i) messages.append(kBadLine, "x");
    messages.finish();
    EXPECT_FALSE(contains(log.messages, "Note!"));  // exactly the limit: nothing left out
    for (int i = 0; i < 25; ++i) messages.append(kBadLine, "y");
    messages.finish();
    messages.finish();
    EXPECT_EQ(occurrences(log.messages, "y"), 20u);
    EXPECT_EQ(occurrences(log.messages, "\r\nNote! 5 more such messages in f were not shown"), 1u);
}

}  // namespace velarix
