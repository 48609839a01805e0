#pragma once
// Numbers appended to a text exactly as one printf conversion ("% 9.3lf", "%02d",
// "% 5.0ld") writes them, without going through vsnprintf. The products hold hundreds of
// thousands of numbers per day, and parsing a format string per line was most of the
// time a day took.
//
// Fixed-point digits come from std::to_chars(value, fixed, precision), which rounds the
// exact binary value of the double correctly (a tie on the exact value goes to even), as
// glibc's printf does: the digits are the same for every double, halfway cases included.
//
// The conversion is parsed when the program is compiled: a malformed one is a compile
// error, and at run time only the number is formatted.
#include <cstddef>
#include <string>

namespace velarix {

class PrintfConversion {
public:
    // "%[flags][width][.precision][l]f" or "%[flags][width][.precision][l]d"; flags are
    // any of "-+ 0". Width and precision are at most 99.
    consteval PrintfConversion(const char* text) {  // NOLINT: implicit, as a format string
        std::size_t i = 0;
        if (text[i++] != '%') invalid();
        for (;; ++i) {
            if (text[i] == '-') {
                leftAlign = true;
            } else if (text[i] == '+') {
                plusSign = true;
            } else if (text[i] == ' ') {
                blankSign = true;
            } else if (text[i] == '0') {
                zeroPad = true;
            } else {
                break;
            }
        }
        width = number(text, i);
        if (text[i] == '.') {
            ++i;
            precision = number(text, i);
        }
        if (text[i] == 'l') ++i;
        if (text[i] == 'f') {
            fixed = true;
            if (precision < 0) precision = 6;
        } else if (text[i] != 'd') {
            invalid();
        }
        if (text[i + 1] != '\0') invalid();
    }

    bool leftAlign = false;
    bool plusSign = false;
    bool blankSign = false;
    bool zeroPad = false;
    bool fixed = false;  // f; otherwise d
    int width = 0;
    int precision = -1;  // -1: none given (d only)

private:
    static consteval int number(const char* text, std::size_t& i) {
        int value = 0;
        for (; text[i] >= '0' && text[i] <= '9'; ++i) {
            value = value * 10 + (text[i] - '0');
            if (value > 99) invalid();
        }
        return value;
    }
    // Not constant: calling it makes the constant evaluation, and so the build, fail.
    static void invalid() {}
};

// `value` written by an "f" conversion. The value's type decides the conversion, so give
// a double to "f" and an integer to "d" as printf requires.
void AppendNumber(std::string& text, PrintfConversion conversion, double value);
// `value` written by a "d" conversion.
void AppendNumber(std::string& text, PrintfConversion conversion, long value);
inline void AppendNumber(std::string& text, PrintfConversion conversion, int value) {
    AppendNumber(text, conversion, static_cast<long>(value));
}

}  // namespace velarix
