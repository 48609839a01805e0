#pragma once
// A scratch folder for the outputs of a benchmark program, removed at exit.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velarix {

struct Scratch {
    std::string dir;  // ending in '/'; empty when it could not be made
    Scratch() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velarix-bench-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) dir = pattern + "/";
    }
    ~Scratch() {
        std::error_code error;
        if (!dir.empty()) std::filesystem::remove_all(dir, error);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
};

inline Scratch& scratch() {
    static Scratch instance;
    return instance;
}

}  // namespace velarix
