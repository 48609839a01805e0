#pragma once
// A settings file of bracketed sections and key=value lines. Sections and keys keep
// the order in which they were first met or added, so a saved file reads naturally.
#include <optional>
#include <string>
#include <utility>
#include <vector>

class IniFile {
public:
    // Reads `path`; false when it cannot be opened (the object is then empty).
    bool load(const std::string& path);
    // Writes the whole file; false when it cannot be written.
    bool save(const std::string& path) const;

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

    std::vector<Section> sections_;
};
