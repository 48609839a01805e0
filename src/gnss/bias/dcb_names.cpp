#include "gnss/bias/dcb_names.h"

#include "platform/text.h"

namespace {

bool fourDigits(std::string_view text) {
    if (text.size() < 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

}  // namespace

DcbFileKind DcbKindOfName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (endsWithNoCase(name, ".Z")) name.remove_suffix(2);
    if (name.size() < 8 || !fourDigits(name.substr(4))) return DcbFileKind::kNone;
    const std::string_view kind = name.substr(0, 4);
    const std::string_view rest = name.substr(8);
    if (equalsNoCase(kind, "P1C1") && equalsNoCase(rest, ".DCB")) return DcbFileKind::kP1c1;
    if (!equalsNoCase(kind, "P1P2")) return DcbFileKind::kNone;
    if (equalsNoCase(rest, ".DCB")) return DcbFileKind::kP1p2;
    if (equalsNoCase(rest, "_ALL.DCB")) return DcbFileKind::kP1p2All;
    return DcbFileKind::kNone;
}
