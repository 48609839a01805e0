#include "products/last_tec_file.h"

#include "gnss/day_job.h"
#include "platform/run_log.h"
#include "platform/strfmt.h"

namespace velarix {

ProductResult WriteLastTecFile(const DayJob& job, const std::string& path, RunLog& log) {
    std::string text =
        "Note: this file contains last TEC value of each PRN, may be useful for bias correction in hourly or 15min "
        "files\r\n";
    text += "MJdt\tPRN\tsTEC\tvTEC\tElev\r\n";
    bool any = false;
    for (const auto& [satNo, series] : job.tec) {
        for (auto record = series.rbegin(); record != series.rend(); ++record) {
            const TecRecord& r = record->second;
            if (r.valid != 1) continue;
            text += strfmt("%6.5f\t%02d\t%2.2f\t%2.2f\t%2.2f\r\n", r.epochMjd, satNo, r.slantTec, r.verticalTec,
                           r.elevation_deg);
            any = true;
            break;
        }
    }
    if (!any) return ProductResult::kNoData;
    if (!WriteProductText(path, text)) {
        log.append("\r\nUnable to open file " + path);
        return ProductResult::kNotCreated;
    }
    log.append("\r\nWriting last TEC values... \t" + path + "\r\n");
    return ProductResult::kWritten;
}

}  // namespace velarix
