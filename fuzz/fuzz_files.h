#pragma once
// Files of the fuzz targets: one input and one output path per process, under
// $TMPDIR (or /tmp), removed when the process ends.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class FuzzFiles {
public:
    explicit FuzzFiles(const char* name) {
        const char* tmp = std::getenv("TMPDIR");
        const std::string stem = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/fuzz_" + name + "_" +
                                 std::to_string(static_cast<long>(getpid()));
        input_ = stem + ".in";
        output_ = stem + ".out";
    }
    ~FuzzFiles() {
        std::remove(input_.c_str());
        std::remove(output_.c_str());
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
    std::string input_;
    std::string output_;
};
