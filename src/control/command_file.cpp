#include "control/command_file.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "geodesy/time.h"
#include "platform/fields.h"  // parseInteger
#include "platform/regular_file.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"
#include "platform/text.h"

namespace velarix {

namespace {

namespace fs = std::filesystem;

struct KeyWord {
    std::string_view word;
    CommandFileKey key;
    const char* missingText;  // the validation's line when the key is missing
};

constexpr std::array<KeyWord, 9> kKeyWords{{
    {"Data_Path", kKeyDataPath, "\r\nInvalid file - no Data_Path"},
    {"OutPut_path", kKeyOutputPath, "\r\nInvalid file - no OutPut_Path"},
    {"Read_All_inDir", kKeyReadAllInDir, "\r\nInvalid file - not mentioned whether all files or not"},
    {"year", kKeyYear, "\r\nInvalid file - no year given"},
    {"Day_of_Year", kKeyDayOfYear, "\r\nInvalid file - no Doy: Day of Year given"},
    {"Nav_filename", kKeyNavigationFiles, "\r\nInvalid file - no input Navigation file given"},
    {"input_Filenames", kKeyInputFiles, "\r\nInvalid file - no input files given"},
    {"Use_Sat_DCB", kKeyUseSatDcb, "\r\nInvalid file - no input: Use_Sat_DCB ?"},
    {"Use_Rx_bias", kKeyUseRxBias, "\r\nInvalid file - no input: Use_Rx_bias ?"},
}};

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2100;

const KeyWord* keyWordOf(std::string_view word) {
    for (const KeyWord& key : kKeyWords) {
        if (equalsNoCase(key.word, word)) return &key;
    }
    return nullptr;
}

// The words of the file, and the rest of a word's line for the folder keys.
class Words {
public:
    explicit Words(std::string_view text) : text_(text) {}

    // The next word, across line ends; false at the end of the text.
    bool next(std::string_view& word) {
        skipSpace();
        if (at_ >= text_.size()) return false;
        const std::size_t begin = at_;
        while (at_ < text_.size() && !isSpace(text_[at_])) ++at_;
        word = text_.substr(begin, at_ - begin);
        return true;
    }

    // The next word without taking it; "" at the end of the text.
    std::string_view peek() {
        const std::size_t at = at_;
        const long line = line_;
        std::string_view word;
        if (!next(word)) word = {};
        at_ = at;
        line_ = line;
        return word;
    }

    // The rest of the current line, without blanks around it (and without the CR of a
    // line written on Windows).
    std::string_view restOfLine() {
        const std::size_t begin = at_;
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
        return trim(text_.substr(begin, at_ - begin));
    }

    // The next non-blank line, whole.
    std::string_view nextLine() {
        skipSpace();
        return restOfLine();
    }

    long line() const { return line_; }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

    void skipSpace() {
        while (at_ < text_.size() && isSpace(text_[at_])) {
            if (text_[at_] == '\n') ++line_;
            ++at_;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    long line_ = 1;
};

class Reader {
public:
    Reader(std::string_view text, CommandFile& file, RunLog& log) : words_(text), file_(file), log_(log) {
        baseFolder_ = fs::path(file.path).parent_path();
    }

    void run() {
        std::string_view word;
        while (words_.next(word)) {
            if (const KeyWord* key = keyWordOf(word)) readValue(*key);
        }
        checkDate();
    }

private:
    std::string where() const { return strfmt(" @line# %ld in ", words_.line()) + file_.path; }

    void readValue(const KeyWord& key) {
        switch (key.key) {
            case kKeyDataPath: folder(key, file_.dataPath, "\r\nInvalid Data Path - please enter valid/create directory at "
                                                           "Data_Path in \"input\" file"); break;
            case kKeyOutputPath: folder(key, file_.outputPath, "\r\nInvalid Output Path - please enter valid/create "
                                                               "directory at OutPut_path in \"input\" file"); break;
            case kKeyReadAllInDir: yesNo(key, file_.readAllInDir); break;
            case kKeyYear: number(key, file_.year); break;
            case kKeyDayOfYear: number(key, file_.dayOfYear); break;
            case kKeyNavigationFiles: names(key, file_.navigationFiles); break;
            case kKeyInputFiles: names(key, file_.inputFiles); break;
            case kKeyUseSatDcb: yesNo(key, file_.useSatDcb); break;
            case kKeyUseRxBias: yesNo(key, file_.useRxBias); break;
        }
    }

    // The rest of the key's line; when it is empty, the next line unless that begins with
    // a key of its own.
    void folder(const KeyWord& key, std::string& into, const char* invalidText) {
        file_.keys &= ~key.key;
        std::string_view value = words_.restOfLine();
        if (value.empty()) {
            const std::string_view following = words_.peek();
            if (!following.empty() && keyWordOf(following) == nullptr) value = words_.nextLine();
        }
        if (value.empty()) {
            log_.append("\r\nError! no folder given for " + std::string(key.word) + where());
            return;
        }
        fs::path folder(std::string{value});
        if (folder.is_relative()) folder = baseFolder_ / folder;
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            log_.append(invalidText);
            log_.append(": " + folder.string());
            return;
        }
        into = folder.lexically_normal().string();
        if (into.back() != '/') into += '/';
        file_.keys |= key.key;
    }

    void yesNo(const KeyWord& key, bool& setting) {
        file_.keys |= key.key;
        const std::string_view word = words_.peek();
        if (!word.empty() && keyWordOf(word) == nullptr) {
            std::string_view taken;
            (void)words_.next(taken);
            if (equalsNoCase(taken, "Yes")) {
                setting = true;
                return;
            }
            if (equalsNoCase(taken, "No")) {
                setting = false;
                return;
            }
        }
        log_.append(strfmt("\r\nWarning! %s takes Yes or No, not \"%s\": kept %s", std::string(key.word).c_str(),
                           std::string(word).c_str(), setting ? "Yes" : "No") +
                    where());
    }

    void number(const KeyWord& key, int& into) {
        file_.keys &= ~key.key;
        const std::string_view word = words_.peek();
        int value = 0;
        if (word.empty() || keyWordOf(word) != nullptr || !parseInteger(word, value)) {
            log_.append("\r\nError! " + std::string(key.word) + " takes a whole number, not \"" + std::string(word) +
                        "\"" + where());
            return;
        }
        std::string_view taken;
        (void)words_.next(taken);
        into = value;
        file_.keys |= key.key;
    }

    void names(const KeyWord& key, std::vector<std::string>& into) {
        file_.keys &= ~key.key;
        into.clear();
        bool closed = false;
        for (std::string_view word = words_.peek(); !word.empty(); word = words_.peek()) {
            if (keyWordOf(word) != nullptr) break;  // a forgotten "end": the next key is no file
            std::string_view taken;
            (void)words_.next(taken);
            if (equalsNoCase(taken, "end")) {
                closed = true;
                break;
            }
            into.emplace_back(taken);
        }
        if (!closed) {
            log_.append("\r\nWarning! the list of " + std::string(key.word) + " is not closed by the word end" + where());
        }
        if (into.empty()) {
            log_.append("\r\nError! no file named after " + std::string(key.word) + where());
            return;
        }
        file_.keys |= key.key;
    }

    // Two-digit years as in RINEX names; a day of year must lie in its year.
    void checkDate() {
        if ((file_.keys & kKeyYear) != 0) {
            if (file_.year >= 0 && file_.year < 100) file_.year += file_.year < 80 ? 2000 : 1900;
            if (file_.year < kFirstYear || file_.year > kLastYear) {
                log_.append(strfmt("\r\nError! year %d is out of range (%d-%d) in ", file_.year, kFirstYear, kLastYear) +
                            file_.path);
                file_.keys &= ~kKeyYear;
            }
        }
        if ((file_.keys & kKeyDayOfYear) == 0) return;
        const int lastDay = (file_.keys & kKeyYear) != 0 ? DayOfYear(file_.year, 12, 31) : 366;
        if (file_.dayOfYear < 1 || file_.dayOfYear > lastDay) {
            log_.append(strfmt("\r\nError! Day_of_Year %d is not a day of the year (1-%d) in ", file_.dayOfYear, lastDay) +
                        file_.path);
            file_.keys &= ~kKeyDayOfYear;
        }
    }

    Words words_;
    CommandFile& file_;
    RunLog& log_;
    fs::path baseFolder_;
};

}  // namespace

bool ReadCommandFile(const std::string& path, CommandFile& file, RunLog& log) {
    file = CommandFile{};
    file.path = path;
    std::string text;
    const InputFileStatus status = readRegularFile(path, text, kMaxCommandFileBytes + 1);
    if (status != InputFileStatus::kOpened) {
        log.say(inputFileError("command", path, status));
        return false;
    }
    if (text.size() > kMaxCommandFileBytes) {
        log.say("\r\nError! command file " + path + " is larger than 1 MiB: not a command file");
        return false;
    }
    Reader(text, file, log).run();
    log.refresh();
    return true;
}

bool ValidateCommandFile(const CommandFile& file, RunLog& log) {
    if (file.keys == kAllCommandKeys) return true;
    log.append("\r\nErrors in input text file, please correct it..");
    for (const KeyWord& key : kKeyWords) {
        if ((file.keys & key.key) == 0) log.append(key.missingText);
    }
    log.refresh();
    return false;
}

}  // namespace velarix
