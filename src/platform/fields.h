#pragma once
// Field splitting and number parsing for the text files the program reads. Numbers are
// read with std::from_chars so that the result never depends on the process locale.
#include <string_view>
#include <vector>

namespace velarix {

// Fields separated by runs of blanks or TABs; empty fields are not returned.
std::vector<std::string_view> splitBlanks(std::string_view line);

// Fields separated by single TAB characters; empty fields are kept.
std::vector<std::string_view> splitTabs(std::string_view line);

// The whole of `text` (surrounding blanks allowed) must be one decimal number.
bool parseNumber(std::string_view text, double& value);
bool parseInteger(std::string_view text, int& value);

// `line` without a trailing "\r" (files written on Windows keep CR LF line ends).
std::string_view withoutCr(std::string_view line);

}  // namespace velarix
