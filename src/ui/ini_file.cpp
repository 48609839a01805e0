#include "ui/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/safe_output.h"
#include "platform/text.h"

namespace velarix {

// Section and key names match without regard to case, as profile files always have.
IniFile::Section* IniFile::find(const std::string& section) {
    for (Section& s : sections_) {
        if (equalsNoCase(s.name, section)) return &s;
    }
    return nullptr;
}

const IniFile::Section* IniFile::find(const std::string& section) const {
    for (const Section& s : sections_) {
        if (equalsNoCase(s.name, section)) return &s;
    }
    return nullptr;
}

const char* iniStatusText(IniStatus status) {
    switch (status) {
        case IniStatus::kOk: return "ok";
        case IniStatus::kMissing: return "no such file";
        case IniStatus::kNotRegularFile: return "not a regular file";
        case IniStatus::kTooLarge: return "too large for a settings file";
        case IniStatus::kUnreadable: return "cannot be read";
        case IniStatus::kLineBreak: return "a value holds a line break";
        case IniStatus::kNotSettingsFile: return "not a settings file (none of its sections)";
        case IniStatus::kNotWritten: return "cannot be written";
    }
    return "unknown settings status";
}

IniStatus IniFile::load(const std::string& path) {
    sections_.clear();
    // Checked before opening: a device is not even opened, a FIFO never waited on.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return errno == ENOENT ? IniStatus::kMissing : IniStatus::kUnreadable;
    if (!S_ISREG(status.st_mode)) return IniStatus::kNotRegularFile;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return IniStatus::kUnreadable;
    std::string text;
    IniStatus result = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? IniStatus::kOk : IniStatus::kNotRegularFile;
    char buffer[8192];
    while (result == IniStatus::kOk) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno != EINTR) result = IniStatus::kUnreadable;
            continue;
        }
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > kMaxIniBytes) result = IniStatus::kTooLarge;
    }
    close(fd);
    if (result == IniStatus::kOk) parse(text);
    return result;
}

void IniFile::parse(std::string_view whole) {
    Section* current = nullptr;
    while (!whole.empty()) {
        const size_t end = whole.find('\n');
        const std::string_view text = trim(whole.substr(0, end));
        whole.remove_prefix(end == std::string_view::npos ? whole.size() : end + 1);
        if (text.empty() || text.front() == ';' || text.front() == '#') continue;
        if (text.front() == '[') {
            const size_t close = text.find(']');
            const std::string name(trim(text.substr(1, close == std::string_view::npos ? text.size() - 1 : close - 1)));
            current = find(name);
            if (current == nullptr) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        const size_t equals = text.find('=');
        if (current == nullptr || equals == std::string_view::npos) continue;
        const std::string key(trim(text.substr(0, equals)));
        const std::string value(trim(text.substr(equals + 1)));
        bool replaced = false;
        for (auto& entry : current->entries) {
            if (equalsNoCase(entry.first, key)) {
                entry.second = value;
                replaced = true;
            }
        }
        if (!replaced) current->entries.emplace_back(key, value);
    }
}

IniStatus IniFile::save(const std::string& path) const {
    const auto breaksLine = [](const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; };
    std::string text;
    for (const Section& s : sections_) {
        if (breaksLine(s.name)) return IniStatus::kLineBreak;
        if (!text.empty()) text += "\n";
        text += "[" + s.name + "]\n";
        for (const auto& [key, value] : s.entries) {
            if (breaksLine(key) || breaksLine(value)) return IniStatus::kLineBreak;
            text += key + "=" + value + "\n";
        }
    }
    switch (writeFileAtomically(path, text, ReplacePolicy::kReplaceRegularFile)) {
        case OutputStatus::kOk: return IniStatus::kOk;
        case OutputStatus::kNotRegularFile: return IniStatus::kNotRegularFile;
        default: return IniStatus::kNotWritten;
    }
}

std::optional<std::string> IniFile::get(const std::string& section, const std::string& key) const {
    const Section* s = find(section);
    if (s == nullptr) return std::nullopt;
    for (const auto& [k, v] : s->entries) {
        if (equalsNoCase(k, key)) return v;
    }
    return std::nullopt;
}

void IniFile::set(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = find(section);
    if (s == nullptr) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& entry : s->entries) {
        if (equalsNoCase(entry.first, key)) {
            entry.second = value;
            return;
        }
    }
    s->entries.emplace_back(key, value);
}

void IniFile::remove(const std::string& section, const std::string& key) {
    Section* s = find(section);
    if (s == nullptr) return;
    std::erase_if(s->entries, [&](const auto& entry) { return equalsNoCase(entry.first, key); });
}

}  // namespace velarix
