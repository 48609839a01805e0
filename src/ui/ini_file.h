#pragma once
// A settings file of bracketed sections and key=value lines. Sections and keys keep
// the order in which they were first met or added, so a saved file reads naturally.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velarix {

// Why a settings file was or was not read or written.
enum class IniStatus {
    kOk,
    kMissing,          // no file of that name
    kNotRegularFile,   // a directory, FIFO, device, socket (or, for writing, a symbolic link)
    kTooLarge,         // more than kMaxIniBytes: no settings file is that long
    kUnreadable,
    kLineBreak,        // a name or value holds a CR or LF: written, it would make other keys
    kNotSettingsFile,  // an existing file without any of the settings sections
    kNotWritten,
};
const char* iniStatusText(IniStatus status);

constexpr std::size_t kMaxIniBytes = 64 * 1024;

class IniFile {
public:
    // Reads `path`; anything but kOk leaves the object empty.
    [[nodiscard]] IniStatus load(const std::string& path);
    // Writes the whole file through a temporary file that replaces it only when complete.
    [[nodiscard]] IniStatus save(const std::string& path) const;

    bool hasSection(const std::string& section) const { return find(section) != nullptr; }
    std::optional<std::string> get(const std::string& section, const std::string& key) const;
    void set(const std::string& section, const std::string& key, const std::string& value);
    void remove(const std::string& section, const std::string& key);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    Section* find(const std::string& section);
    const Section* find(const std::string& section) const;
    void parse(std::string_view text);

    std::vector<Section> sections_;
};

}  // namespace velarix
