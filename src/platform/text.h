#pragma once
// Small text helpers shared by the readers and the driver.
#include <string>
#include <string_view>

namespace velarix {

std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
bool endsWith(std::string_view text, std::string_view suffix);
bool endsWithNoCase(std::string_view text, std::string_view suffix);
bool startsWith(std::string_view text, std::string_view prefix);
std::string_view trim(std::string_view text);
// The program's texts carry Windows line breaks (CR LF); this gives plain LF ones.
std::string withLineFeeds(std::string_view text);
// Without trailing blanks (spaces and tabs).
std::string_view trimRight(std::string_view text);

}  // namespace velarix
