#pragma once
// Directory search with the wildcards * and ?. Names match without regard to case, so
// that "*.cmn" also finds ".Cmn" files; entries come back sorted by name so that a
// batch runs in the same order every time.
#include <cstdint>
#include <string>
#include <vector>

namespace velarix {

struct DirEntry {
    std::string path;   // directory + name
    std::string name;
    bool isDirectory = false;
    bool isHidden = false;  // the name begins with '.'
    std::uintmax_t size = 0;
};

// `pattern` is a directory (up to and including its last '/') followed by a wildcard
// name; without a '/' the current directory is searched. Unreadable directories give an
// empty list.
std::vector<DirEntry> findEntries(const std::string& pattern);

// The directory part of a path: everything up to and including the last '/', or "".
std::string directoryOf(const std::string& path);
// The name after the last '/'.
std::string fileNameOf(const std::string& path);

}  // namespace velarix
