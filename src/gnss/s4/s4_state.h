#pragma once
// Where the records' S4 came from, and the S4 file read for the day.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "stations/lisn_sites.h"

namespace velarix {

enum S4Source : int { kS4None = 0, kS4Scinda = 1, kS4PseudoFromS1 = 2, kS4File = 3 };

// Records of an S4 file: epoch (MJD), satellite number, S4, and two spare values, per
// satellite number in file order.
using S4FileRecord = std::array<double, 5>;
using S4FileTable = std::map<int, std::vector<S4FileRecord>>;

struct S4State {
    int source = kS4None;
    S4FileTable fileTable;
    std::string filePath;    // the S4 file read
    int lisnSiteMatch = 0;   // 0 none; 1 file-name code, 2 receiver prefix + "s4", 3 sub-directory
    LisnSite lisnSite;       // the matched site, when lisnSiteMatch is not 0

    void clear() { *this = S4State{}; }
};

}  // namespace velarix
