#pragma once
// Files of the fuzz targets: one input and one output path per process, in a folder
// $TMPDIR/velarix-fuzz-<target>-<pid> (or under /tmp) removed when the process ends.
// libFuzzer ends a run that is out of memory or time with _Exit, which skips destructors;
// the folders such runs leave are removed by the next run of the same target.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace velarix {

class FuzzFiles {
public:
    // `inputName` is the input file's name, for readers that look at it ("day.20o").
    explicit FuzzFiles(const char* name, const char* inputName = "input") {
        const char* tmp = std::getenv("TMPDIR");
        const std::filesystem::path base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
        const std::string prefix = std::string("velarix-fuzz-") + name + "-";
        removeFoldersOfEndedRuns(base, prefix);
        folder_ = base / (prefix + std::to_string(static_cast<long>(getpid())));
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
        input_ = (folder_ / inputName).string();
        output_ = (folder_ / "output").string();
    }
    ~FuzzFiles() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    FuzzFiles(const FuzzFiles&) = delete;
    FuzzFiles& operator=(const FuzzFiles&) = delete;

    // Writes the fuzzer's bytes as the input file; false when that fails.
    bool writeInput(const uint8_t* data, size_t size) const {
        std::FILE* file = std::fopen(input_.c_str(), "wb");
        if (file == nullptr) return false;
        const bool written = std::fwrite(data, 1, size, file) == size;
        return std::fclose(file) == 0 && written;
    }
    const std::string& input() const { return input_; }
    const std::string& output() const { return output_; }

private:
    // Removes base/<prefix><pid> for every pid that no longer runs.
    static void removeFoldersOfEndedRuns(const std::filesystem::path& base, const std::string& prefix) {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(base, error), end; !error && entry != end;
             entry.increment(error)) {
            const std::string name = entry->path().filename().string();
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string digits = name.substr(prefix.size());
            if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
                continue;
            const long pid = std::strtol(digits.c_str(), nullptr, 10);
            if (pid == static_cast<long>(getpid())) continue;
            if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
                std::error_code ignored;
                std::filesystem::remove_all(entry->path(), ignored);
            }
        }
    }

    std::filesystem::path folder_;
    std::string input_;
    std::string output_;
};

}  // namespace velarix
