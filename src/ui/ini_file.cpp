#include "ui/ini_file.h"

#include <fstream>

#include "platform/text.h"

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

bool IniFile::load(const std::string& path) {
    sections_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        const std::string_view text = trim(line);
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
    return true;
}

bool IniFile::save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    bool first = true;
    for (const Section& s : sections_) {
        if (!first) out << "\n";
        first = false;
        out << "[" << s.name << "]\n";
        for (const auto& [key, value] : s.entries) out << key << "=" << value << "\n";
    }
    return static_cast<bool>(out.flush());
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
