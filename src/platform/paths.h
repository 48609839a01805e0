#pragma once
// Where the program finds its data files and keeps the files it writes for itself.
#include <string>
#include <vector>

namespace velarix {

// Directory of the running executable, ending in '/'.
std::string programDirectory();

// Places to look for a data file such as "IGS_stations.txt", in order: the program
// directory, then <prefix>/share/velarix/ beside it.
std::vector<std::string> dataDirectories(const std::string& programDir);

// The first of `dataDirectories` that holds `fileName`, as a full path; "" when none.
std::string findDataFile(const std::string& programDir, const std::string& fileName);

// This user's folder for the program's own files: $XDG_CONFIG_HOME/velarix/ (default
// ~/.config/velarix/), created on demand. Without $HOME a private folder instead:
// $XDG_RUNTIME_DIR/velarix/, else /tmp/velarix-<uid>/, created 0700 and used only while it
// is this user's own and closed to others; "" when it is not. Ends in '/'.
std::string userProgramDirectory();

// Directory for files the program writes for itself (settings, logs without a data
// folder): the program directory when it is writable, else userProgramDirectory() (which
// may be "": then there is none).
std::string writableProgramDirectory(const std::string& programDir);

bool isDirectoryWritable(const std::string& directory);
bool fileExists(const std::string& path);

}  // namespace velarix
