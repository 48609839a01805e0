// Fuzz target: any bytes as the LISN site table, parsed by parseLisnSites. A table that
// does not parse must leave the sites given unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "stations/lisn_sites.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LisnSiteTable table;
    table["KEPT, SITE"].city = "KEPT";
    std::string errorText;
    const int read = parseLisnSites(std::string_view(reinterpret_cast<const char*>(data), size), table, &errorText);
    if (read < 0 && (table.size() != 1 || table.begin()->second.city != "KEPT")) std::abort();
    return 0;
}
