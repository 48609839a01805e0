#pragma once
// A call for the navigation file of a day, or the DCB files of its month, that the data
// folder lacks. The job searches the folder again afterwards.
#include <string>

namespace velarix {

struct DownloadRequest {
    std::string dataDirectory;
    double dayMjd = 0.0;
    bool navigation = true;  // false: DCB files
};

}  // namespace velarix
