#include "rinex/receiver_obs_table.h"

namespace velarix {

void ReceiverObsTable::add(const ReceiverObsRecord& record) {
    std::vector<ReceiverObsRecord>& records = byPrn[record.prn];
    if (records.empty()) prns.push_back(record.prn);
    records.push_back(record);
}

std::size_t ReceiverObsTable::recordCount() const {
    std::size_t count = 0;
    for (const auto& [prn, records] : byPrn) count += records.size();
    return count;
}

}  // namespace velarix
