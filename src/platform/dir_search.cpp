#include "platform/dir_search.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace velarix {

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<DirEntry> findEntries(const std::string& pattern) {
    const std::string directory = directoryOf(pattern);
    const std::string namePattern = fileNameOf(pattern);
    std::vector<DirEntry> entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.empty() ? "." : directory.c_str()), closedir);
    if (!dir) return entries;
    while (const dirent* item = readdir(dir.get())) {
        const std::string name = item->d_name;
        if (fnmatch(namePattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
        DirEntry entry;
        entry.name = name;
        entry.path = directory + name;
        entry.isHidden = !name.empty() && name[0] == '.';
        struct stat info {};
        if (stat(entry.path.c_str(), &info) == 0) {
            entry.isDirectory = S_ISDIR(info.st_mode);
            entry.size = static_cast<std::uintmax_t>(info.st_size);
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
}

}  // namespace velarix
