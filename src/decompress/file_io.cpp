#include "decompress/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

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

FilePtr openOutputFile(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}

bool writeBytes(std::FILE* file, const void* data, size_t size) {
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

bool closeOutputFile(FilePtr& file) { return std::fclose(file.release()) == 0; }

}  // namespace velarix
