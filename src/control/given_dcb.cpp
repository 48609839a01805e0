#include "control/given_dcb.h"

#include "gnss/bias/dcb_names.h"

namespace velarix {

std::string sortGivenDcbFiles(const std::vector<std::string>& dcb, GivenDayFiles& given) {
    for (const std::string& path : dcb) {
        std::string* slot = nullptr;
        switch (DcbKindOfName(path)) {
            case DcbFileKind::kP1c1: slot = &given.p1c1; break;
            case DcbFileKind::kP1p2: slot = &given.p1p2; break;
            case DcbFileKind::kP1p2All: slot = &given.p1p2All; break;
            case DcbFileKind::kBiasSinex: slot = &given.biasSinex; break;
            case DcbFileKind::kNone: break;
        }
        if (slot == nullptr) {
            return path + ": not a DCB file name (P1C1yymm.DCB, P1P2yymm.DCB, P1P2yymm_ALL.DCB, or a Bias-SINEX "
                          "long name such as CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz)";
        }
        if (!slot->empty()) return path + ": a second DCB file of the same kind";
        *slot = path;
    }
    return {};
}

}  // namespace velarix
