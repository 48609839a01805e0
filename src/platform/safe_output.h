#pragma once
// Writing files so that a crash or a signal never leaves half a file under its final
// name, and nothing that is not a plain file of ours is ever replaced: the text goes to a
// hidden temporary file beside the final one (".<name>.part-XXXXXX") and is moved into
// place only when complete. Temporary and scratch files are registered so that a signal
// that ends the program removes them (see cleanup_registry.h).
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/cleanup_registry.h"

namespace velarix {

enum class OutputStatus { kOk, kNotRegularFile, kExists, kCannotCreate, kWriteFailed };

// "not a regular file", "already exists", ...
const char* outputStatusText(OutputStatus status);

enum class ReplacePolicy {
    kReplaceRegularFile,  // an existing regular file is replaced (its permissions kept)
    kNeverReplace,        // an existing file, even one that appears while writing, is kept
};

enum class Durability {
    kSynced,   // on disk before it takes its final name: a power cut never leaves it empty
    kScratch,  // read back and removed by this process: what a power cut loses is nobody's
};

class AtomicOutput {
public:
    AtomicOutput() = default;
    ~AtomicOutput() { discard(); }
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // Creates the temporary file. Refuses a final path that exists and is not a regular
    // file (a directory, FIFO, device, socket or symbolic link) and, under kNeverReplace,
    // one that exists at all.
    [[nodiscard]] OutputStatus open(const std::string& finalPath, ReplacePolicy policy,
                                    Durability durability = Durability::kSynced);

    // The temporary file's stream (binary, buffered); nullptr before open().
    std::FILE* stream() { return stream_; }
    // Writes through the stream; false (remembered until commit) on a short write.
    bool write(std::string_view text);
    // The temporary file, for writers that open it by name themselves.
    const std::string& temporaryPath() const { return temporaryPath_; }

    // Flushes, checks for errors, syncs (unless kScratch), closes and moves the file into
    // place, with the permissions of the file it replaces, else 0666 less the umask. On any failure the
    // temporary file is removed and the final path is left as it was.
    [[nodiscard]] OutputStatus commit();
    // Removes the temporary file unless committed.
    void discard();

private:
    std::string finalPath_;
    std::string temporaryPath_;
    ReplacePolicy policy_ = ReplacePolicy::kNeverReplace;
    Durability durability_ = Durability::kSynced;
    std::FILE* stream_ = nullptr;
    bool writeFailed_ = false;
    int slot_ = -1;
};

// `text` as the whole content of `path`, through an AtomicOutput.
[[nodiscard]] OutputStatus writeFileAtomically(const std::string& path, std::string_view text, ReplacePolicy policy);

// An intermediate file that is removed with the object (and on a signal).
class ScratchFile {
public:
    ScratchFile() = default;
    ~ScratchFile() { remove(); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // An empty file ".<name>.part-XXXXXX" in the folder of `path`.
    [[nodiscard]] OutputStatus createBeside(const std::string& path);
    // An empty file "velarix-XXXXXX-<nameEnd>" in $TMPDIR (else /tmp): its name ends in
    // `nameEnd`, for readers that look at it.
    [[nodiscard]] OutputStatus createInTemporaryDirectory(std::string_view nameEnd);
    // An empty hidden file ".velarix-XXXXXX-<nameEnd>" in `folder` (ending in '/', or ""
    // for the current folder): beside the user's data, out of every file search.
    [[nodiscard]] OutputStatus createHiddenIn(const std::string& folder, std::string_view nameEnd);

    // "" until created.
    const std::string& path() const { return path_; }
    void remove();

private:
    [[nodiscard]] OutputStatus create(std::string pattern, size_t suffixLength);

    std::string path_;
    int slot_ = -1;
};

// $TMPDIR when set, else /tmp; without a trailing '/'.
std::string temporaryDirectory();

}  // namespace velarix
