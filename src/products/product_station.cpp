#include "products/product_station.h"

#include "gnss/day_job.h"

namespace velarix {

ProductStation ProductStationOf(const DayJob& job) {
    if (job.context.station != nullptr) return {job.context.station, nullptr};
    if (job.kinds.novatel == 0 && job.s4.lisnSiteMatch != 0) return {nullptr, &job.s4.lisnSite};
    return {};
}

}  // namespace velarix
