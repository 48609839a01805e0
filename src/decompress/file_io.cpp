#include "decompress/file_io.h"

#include <sys/stat.h>

FilePtr openInputFile(const std::string& path, long long& sizeBytes) {
    sizeBytes = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return nullptr;
    struct stat status {};
    if (fstat(fileno(file.get()), &status) != 0 || S_ISDIR(status.st_mode)) return nullptr;
    sizeBytes = S_ISREG(status.st_mode) ? static_cast<long long>(status.st_size) : 0;
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
