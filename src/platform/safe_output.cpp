#include "platform/safe_output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velarix {

namespace {

// Longest part of a final name kept in its temporary name, so that ".<name>.part-XXXXXX"
// stays within the 255 bytes a file name may have.
constexpr size_t kNameKept = 200;

struct PathParts {
    std::string folder;  // "" or ending in '/'
    std::string name;
};

PathParts splitPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// umask() can only be read by setting it, which would race with other threads creating
// files at that moment; the kernel also reports it in /proc/self/status.
mode_t currentUmask() {
    mode_t mask = 022;
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (status == nullptr) return mask;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "Umask:", 6) == 0) {
            mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8)) & 0777;
            break;
        }
    }
    std::fclose(status);
    return mask;
}

// What may be done with `path` under `policy`; the mode of a regular file found there
// goes to `mode`.
OutputStatus checkFinalPath(const std::string& path, ReplacePolicy policy, mode_t& mode) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT ? OutputStatus::kOk : OutputStatus::kCannotCreate;
    if (!S_ISREG(status.st_mode)) return OutputStatus::kNotRegularFile;
    if (policy == ReplacePolicy::kNeverReplace) return OutputStatus::kExists;
    mode = status.st_mode & 07777;
    return OutputStatus::kOk;
}

// mkostemps on `pattern` (its last `suffixLength` characters kept), registered for the
// removal on a signal. Returns the descriptor, or -1.
int createUniqueFile(std::string& pattern, size_t suffixLength, int& slot) {
    // A signal between the creation and the registration would leave the file behind:
    // the signals that remove temporary files wait until it is registered.
    sigset_t cleanupSignals, previous;
    sigemptyset(&cleanupSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&cleanupSignals, signal);
    pthread_sigmask(SIG_BLOCK, &cleanupSignals, &previous);
    const int fd = mkostemps(pattern.data(), static_cast<int>(suffixLength), O_CLOEXEC);
    if (fd >= 0) slot = registerTemporaryFile(pattern.c_str());
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return fd;
}

std::string hiddenPartPattern(const std::string& path) {
    const PathParts parts = splitPath(path);
    if (parts.name.empty()) return {};
    return parts.folder + "." + parts.name.substr(0, kNameKept) + ".part-XXXXXX";
}

bool isWithoutNoReplace(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP; }

// Moves `from` to `to` unless `to` exists, even when it appears at the last moment.
OutputStatus renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return OutputStatus::kOk;
    if (errno == EEXIST) return OutputStatus::kExists;
    if (!isWithoutNoReplace(errno)) return OutputStatus::kCannotCreate;
    // A file system without RENAME_NOREPLACE: link() fails on an existing name too.
    if (link(from.c_str(), to.c_str()) != 0) return errno == EEXIST ? OutputStatus::kExists : OutputStatus::kCannotCreate;
    unlink(from.c_str());
    return OutputStatus::kOk;
}

}  // namespace

const char* outputStatusText(OutputStatus status) {
    switch (status) {
        case OutputStatus::kOk: return "written";
        case OutputStatus::kNotRegularFile: return "not a regular file";
        case OutputStatus::kExists: return "already exists";
        case OutputStatus::kCannotCreate: return "cannot be created";
        case OutputStatus::kWriteFailed: return "write failed";
    }
    return "unknown output status";
}

OutputStatus AtomicOutput::open(const std::string& finalPath, ReplacePolicy policy, Durability durability) {
    discard();
    mode_t mode = 0;
    if (const OutputStatus found = checkFinalPath(finalPath, policy, mode); found != OutputStatus::kOk) return found;
    std::string pattern = hiddenPartPattern(finalPath);
    if (pattern.empty()) return OutputStatus::kCannotCreate;
    const int fd = createUniqueFile(pattern, 0, slot_);
    if (fd < 0) return OutputStatus::kCannotCreate;
    temporaryPath_ = pattern;
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        close(fd);
        discard();
        return OutputStatus::kCannotCreate;
    }
    finalPath_ = finalPath;
    policy_ = policy;
    durability_ = durability;
    writeFailed_ = false;
    return OutputStatus::kOk;
}

bool AtomicOutput::write(std::string_view text) {
    if (stream_ == nullptr) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) writeFailed_ = true;
    return !writeFailed_;
}

OutputStatus AtomicOutput::commit() {
    if (stream_ == nullptr) return OutputStatus::kCannotCreate;
    bool written = !writeFailed_ && std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    mode_t mode = 0666 & ~currentUmask();
    OutputStatus status = checkFinalPath(finalPath_, policy_, mode);
    if (written && status == OutputStatus::kOk) {
        const int fd = fileno(stream_);
        fchmod(fd, mode);  // some file systems have no modes; that is no reason to fail
        // On disk before the rename, so that a power cut never leaves an empty file
        // under the final name.
        if (durability_ == Durability::kSynced) written = fsync(fd) == 0 || errno == EINVAL;
    }
    written = std::fclose(stream_) == 0 && written;
    stream_ = nullptr;
    if (status == OutputStatus::kOk && !written) status = OutputStatus::kWriteFailed;
    if (status == OutputStatus::kOk) {
        if (policy_ == ReplacePolicy::kNeverReplace) {
            status = renameWithoutReplacing(temporaryPath_, finalPath_);
        } else if (std::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
            status = errno == EISDIR || errno == ENOTDIR ? OutputStatus::kNotRegularFile : OutputStatus::kCannotCreate;
        }
    }
    if (status != OutputStatus::kOk) {
        discard();
        return status;
    }
    releaseTemporaryFile(slot_);
    slot_ = -1;
    temporaryPath_.clear();
    return OutputStatus::kOk;
}

void AtomicOutput::discard() {
    if (stream_ != nullptr) std::fclose(stream_);
    stream_ = nullptr;
    if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
    releaseTemporaryFile(slot_);
    slot_ = -1;
    temporaryPath_.clear();
}

OutputStatus writeFileAtomically(const std::string& path, std::string_view text, ReplacePolicy policy) {
    AtomicOutput output;
    if (const OutputStatus opened = output.open(path, policy); opened != OutputStatus::kOk) return opened;
    if (!output.write(text)) return OutputStatus::kWriteFailed;
    return output.commit();
}

OutputStatus ScratchFile::create(std::string pattern, size_t suffixLength) {
    remove();
    const int fd = createUniqueFile(pattern, suffixLength, slot_);
    if (fd < 0) return OutputStatus::kCannotCreate;
    close(fd);
    path_ = pattern;
    return OutputStatus::kOk;
}

OutputStatus ScratchFile::createBeside(const std::string& path) {
    const std::string pattern = hiddenPartPattern(path);
    return pattern.empty() ? OutputStatus::kCannotCreate : create(pattern, 0);
}

namespace {
// "-<nameEnd>", the name's last part only and at most kNameKept of its characters.
std::string nameEndSuffix(std::string_view nameEnd) {
    if (const size_t slash = nameEnd.rfind('/'); slash != std::string_view::npos) nameEnd.remove_prefix(slash + 1);
    if (nameEnd.size() > kNameKept) nameEnd.remove_prefix(nameEnd.size() - kNameKept);
    return "-" + std::string(nameEnd);
}
}  // namespace

OutputStatus ScratchFile::createInTemporaryDirectory(std::string_view nameEnd) {
    const std::string suffix = nameEndSuffix(nameEnd);
    return create(temporaryDirectory() + "/velarix-XXXXXX" + suffix, suffix.size());
}

OutputStatus ScratchFile::createHiddenIn(const std::string& folder, std::string_view nameEnd) {
    const std::string suffix = nameEndSuffix(nameEnd);
    return create(folder + ".velarix-XXXXXX" + suffix, suffix.size());
}

void ScratchFile::remove() {
    if (!path_.empty()) unlink(path_.c_str());
    releaseTemporaryFile(slot_);
    slot_ = -1;
    path_.clear();
}

std::string temporaryDirectory() {
    const char* tmpdir = std::getenv("TMPDIR");
    std::string directory = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory;
}

}  // namespace velarix
