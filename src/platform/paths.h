#pragma once
// Where the program finds its data files and keeps the files it writes for itself.
#include <string>
#include <vector>

// Directory of the running executable, ending in '/'.
std::string programDirectory();

// Places to look for a data file such as "IGS_stations.txt", in order: the program
// directory, then <prefix>/share/velarix/ beside it.
std::vector<std::string> dataDirectories(const std::string& programDir);

// The first of `dataDirectories` that holds `fileName`, as a full path; "" when none.
std::string findDataFile(const std::string& programDir, const std::string& fileName);

// Directory for files the program writes for itself (settings, logs without a data
// folder): the program directory when it is writable, else $XDG_CONFIG_HOME/velarix/
// (default ~/.config/velarix/), created on demand. Ends in '/'.
std::string writableProgramDirectory(const std::string& programDir);

bool isDirectoryWritable(const std::string& directory);
bool fileExists(const std::string& path);
