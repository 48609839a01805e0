// Fuzz target: any bytes as observation header lines, each given to the header's
// parse-line operation, then the validity check and the observable preselection.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rinex/obs_table.h"
#include "rinex/rinex3_obs_header.h"
#include "rinex/tec_selection.h"

using namespace velarix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Rinex3ObsHeader header;
    size_t begin = 0;
    while (begin < text.size() && !header.endOfHeader) {
        size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) end = text.size();
        header.parseLine(text.substr(begin, end - begin));
        begin = end + 1;
    }
    header.checkValidity();
    ObsTable table;
    selectTecObservablesPass1(header, table);
    return 0;
}
