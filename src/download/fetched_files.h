#pragma once
// What becomes of a file once the client has fetched it into its hidden temporary name:
// it takes its final name only when that name is free, and an archive (.Z, gzip) is then
// expanded beside it, never over an existing file, and removed.
#include <string>
#include <vector>

#include "platform/run_log.h"

namespace velarix {

// Moves `temporary` to `final` unless `final` exists; false (and `temporary` left as it
// is) otherwise.
[[nodiscard]] bool placeFetchedFile(const std::string& temporary, const std::string& final);

// Expands the archives among `fetched`, with the log lines of the download: how many were
// found, then for each "Decompressing... <path>" and " ...done!" or the decoder's error.
// An archive that expands is removed; one that does not is left in place.
void expandFetchedArchives(const std::vector<std::string>& fetched, const std::string& dataDirectory, RunLog& log);

}  // namespace velarix
