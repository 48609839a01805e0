#pragma once
// The names of CODE's monthly bias files: "P1C1yymm.DCB", "P1P2yymm.DCB" and
// "P1P2yymm_ALL.DCB" (satellites and receivers), possibly compressed (".Z").
#include <string_view>

enum class DcbFileKind { kNone, kP1c1, kP1p2, kP1p2All };

// The kind a file name (a path's last component, any case) names.
DcbFileKind DcbKindOfName(std::string_view path);
