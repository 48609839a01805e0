#pragma once
// The names of CODE's monthly bias files: "P1C1yymm.DCB", "P1P2yymm.DCB" and
// "P1P2yymm_ALL.DCB" (satellites and receivers), possibly compressed (".Z"); and the
// long names of Bias-SINEX files, "AAAVPPPTTT_YYYYDDDHHMM_LEN_SMP_CNT.BIA" (or ".BSX"),
// possibly compressed (".gz", ".Z").
#include <string_view>

namespace velarix {

enum class DcbFileKind { kNone, kP1c1, kP1p2, kP1p2All, kBiasSinex };

// The kind a file name (a path's last component, any case) names.
DcbFileKind DcbKindOfName(std::string_view path);

// The period a Bias-SINEX long name covers: from its start (YYYYDDDHHMM) for its length
// (LEN: a number and a unit, M minutes, H hours, D days, W weeks, L months, Y years).
struct BiasSinexPeriod {
    double startMjd = 0.0;
    double endMjd = 0.0;  // exclusive
};

// False when `path`'s last component is no Bias-SINEX long name.
bool ParseBiasSinexName(std::string_view path, BiasSinexPeriod& period);

}  // namespace velarix
