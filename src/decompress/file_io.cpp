#include "decompress/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace velarix {

FilePtr openInputFile(const std::string& path, long long& sizeBytes, InputFileStatus* status) {
    sizeBytes = 0;
    int fd = -1;
    InputFileStatus opened = openRegularFile(path, fd);
    FilePtr file;
    if (opened == InputFileStatus::kOpened) {
        struct stat info {};
        if (fstat(fd, &info) == 0) file.reset(fdopen(fd, "rb"));
        if (file) {
            sizeBytes = static_cast<long long>(info.st_size);
        } else {
            close(fd);
            opened = InputFileStatus::kCannotOpen;
        }
    }
    if (status != nullptr) *status = opened;
    return file;
}

FilePtr openInputFile(const DecoderInput& input, long long& sizeBytes, InputFileStatus* status) {
    if (input.fd < 0) return openInputFile(input.path, sizeBytes, status);
    sizeBytes = 0;
    const int fd = duplicateDescriptor(input.fd);
    FilePtr file(fd >= 0 ? fdopen(fd, "rb") : nullptr);
    if (!file && fd >= 0) close(fd);
    if (file) {
        const int first = std::getc(file.get());
        if (first != EOF) {
            std::ungetc(first, file.get());
            sizeBytes = LLONG_MAX;
        }
    }
    if (status != nullptr) *status = file ? InputFileStatus::kOpened : InputFileStatus::kCannotOpen;
    return file;
}

namespace {
FilePtr unbuffered(std::FILE* opened) {
    FilePtr file(opened);
    if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}
}  // namespace

FilePtr openOutputFile(const std::string& path) { return unbuffered(std::fopen(path.c_str(), "wb")); }

FilePtr openOutputFile(const DecoderOutput& output) {
    if (output.fd < 0) return openOutputFile(output.path);
    const int fd = duplicateDescriptor(output.fd);
    FilePtr file = unbuffered(fd >= 0 ? fdopen(fd, "wb") : nullptr);
    if (!file && fd >= 0) close(fd);
    return file;
}

int duplicateDescriptor(int fd) { return fcntl(fd, F_DUPFD_CLOEXEC, 0); }

bool writeBytes(std::FILE* file, const void* data, size_t size) {
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

bool closeOutputFile(FilePtr& file) { return std::fclose(file.release()) == 0; }

}  // namespace velarix
