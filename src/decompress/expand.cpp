#include "decompress/expand.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "decompress/decompress_crx.h"
#include "decompress/decompress_gz.h"
#include "decompress/decompress_z.h"
#include "decompress/file_io.h"
#include "platform/safe_output.h"
#include "platform/strfmt.h"
#include "platform/text.h"

namespace velarix {

namespace {

using Step = DecodeStep;

// Drops one ".gz" or ".Z" suffix; false when there is none.
bool dropArchiveSuffix(std::string& name, Step& step) {
    if (endsWithNoCase(name, ".gz")) {
        name.resize(name.size() - 3);
        step = Step::Gzip;
        return true;
    }
    if (endsWithNoCase(name, ".z")) {
        name.resize(name.size() - 2);
        step = Step::UnixCompress;
        return true;
    }
    return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Turns a Compact RINEX name into the observation name; false for other names.
bool toObservationName(std::string& name) {
    const size_t n = name.size();
    if (endsWithNoCase(name, ".crx")) {
        name.replace(n - 3, 3, name[n - 3] == 'C' ? "RNX" : "rnx");
        return true;
    }
    if (n >= 4 && name[n - 4] == '.' && isDigit(name[n - 3]) && isDigit(name[n - 2]) &&
        (name[n - 1] == 'd' || name[n - 1] == 'D')) {
        name[n - 1] = name[n - 1] == 'd' ? 'o' : 'O';
        return true;
    }
    return false;
}

std::vector<Step> stepsFor(const std::string& path, std::string& plainName) {
    std::vector<Step> steps;
    plainName = path;
    Step step;
    while (dropArchiveSuffix(plainName, step)) steps.push_back(step);
    if (toObservationName(plainName)) steps.push_back(Step::CompactRinex);
    return steps;
}

DecodeStatus copyFile(const std::string& input, const std::string& output, std::string& message) {
    long long size = 0;
    InputFileStatus opened = InputFileStatus::kCannotOpen;
    FilePtr in = openInputFile(input, size, &opened);
    if (!in) {
        message = opened == InputFileStatus::kNotRegularFile ? "Not a regular file" : "Cannot open file";
        return DecodeStatus::kCannotOpen;
    }
    FilePtr out = openOutputFile(output);
    if (!out) {
        message = "Cannot write file";
        return DecodeStatus::kCannotWrite;
    }
    std::vector<char> buffer(1 << 18);
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) {
        if (!writeBytes(out.get(), buffer.data(), got)) {
            message = "Write error!";
            return DecodeStatus::kWriteFailed;
        }
    }
    if (std::ferror(in.get())) {
        message = "Cannot read file";
        return DecodeStatus::kCannotOpen;
    }
    if (!closeOutputFile(out)) {
        message = "Write error!";
        return DecodeStatus::kWriteFailed;
    }
    return DecodeStatus::kOk;
}

}  // namespace

std::vector<DecodeStep> decodeSteps(const std::string& path, std::string& plainName) {
    return stepsFor(path, plainName);
}

DecodeStatus runDecodeStep(DecodeStep step, const DecoderInput& input, const DecoderOutput& output, std::string& message) {
    switch (step) {
        case Step::Gzip:
            return DecompressGz(input, output, message);
        case Step::UnixCompress:
            return DecompressZ(input, output, message);
        case Step::CompactRinex:
            return DecompressCrx(input, output, message);
    }
    return DecodeStatus::kCannotOpen;
}

std::string expandedName(const std::string& path) {
    std::string plainName;
    stepsFor(path, plainName);
    return plainName;
}

bool isExpandable(const std::string& path) {
    std::string plainName;
    return !stepsFor(path, plainName).empty();
}

DecodeStatus expandFile(const std::string& input, const std::string& output, std::string& message,
                        ReplacePolicy policy, Durability durability) {
    std::error_code error;
    if (std::filesystem::equivalent(input, output, error)) {
        message = "Cannot write file: the output is the input";
        return DecodeStatus::kCannotWrite;
    }
    // Decoded into a temporary file that takes the output's name only when complete: a
    // failed or interrupted decode leaves the output as it was.
    AtomicOutput out;
    if (const OutputStatus opened = out.open(output, policy, durability); opened != OutputStatus::kOk) {
        message = strfmt("Cannot write file: %s: %s", output.c_str(), outputStatusText(opened));
        return DecodeStatus::kCannotWrite;
    }
    std::string plainName;
    const std::vector<Step> steps = stepsFor(input, plainName);
    DecodeStatus result = DecodeStatus::kOk;
    if (steps.empty()) {
        result = copyFile(input, out.temporaryPath(), message);
    } else {
        std::string source = input;
        std::vector<std::unique_ptr<ScratchFile>> scratch;
        for (size_t i = 0; i < steps.size() && expandSucceeded(result); ++i) {
            std::string target = out.temporaryPath();
            if (i + 1 < steps.size()) {
                scratch.push_back(std::make_unique<ScratchFile>());
                if (scratch.back()->createBeside(output) != OutputStatus::kOk) {
                    message = "Cannot write file";
                    result = DecodeStatus::kCannotWrite;
                    break;
                }
                target = scratch.back()->path();
            }
            result = runDecodeStep(steps[i], DecoderInput(source), DecoderOutput(target), message);
            source = target;
        }
        // The decoders name the file they write; the user knows it by its final name.
        for (size_t at = 0; (at = message.find(out.temporaryPath(), at)) != std::string::npos;) {
            message.replace(at, out.temporaryPath().size(), output);
            at += output.size();
        }
    }
    if (!expandSucceeded(result)) return result;
    if (const OutputStatus committed = out.commit(); committed != OutputStatus::kOk) {
        message = strfmt("Cannot write file: %s: %s", output.c_str(), outputStatusText(committed));
        return committed == OutputStatus::kWriteFailed ? DecodeStatus::kWriteFailed : DecodeStatus::kCannotWrite;
    }
    return result;
}

}  // namespace velarix
