#pragma once
// Total electron content per satellite and epoch. The TEC stage fills it, the bias
// stage calibrates it in place, the writers and plots read it. One TECU is 1e16
// electrons per square metre.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace velarix {

// 96 bytes: the fields the stages, products and tools read, nothing narrower than they
// were computed in (a float would move the last printed digit of some product).
struct TecRecord {
    double epochMjd = 0.0;
    double codeTec = 0.0;      // TECU, from the two pseudoranges
    double phaseTec = 0.0;     // TECU, from the two carrier phases, cycle slips corrected
    double slantTec = 0.0;     // TECU, phase levelled to code; later bias-corrected
    double verticalTec = 0.0;  // TECU, slantTec * MappingFactor; later bias-corrected
    double azimuth_deg = 0.0;       // 0..360
    double ippLongitude_deg = 0.0;  // pierce point, 0..360
    double ippLatitude_deg = 0.0;
    double elevation_deg = 0.0;
    double signal1 = 0.0;  // first-band signal strength, as read (the pseudo-S4 of the S4 stage)
    double s4 = -1.0;      // amplitude scintillation index; -1 until the S4 stage sets it
    std::int8_t valid = 1;  // 1: shown in the products; 0: not
};

// One satellite's records by epoch (MJD), unique and in ascending order: a map's
// interface over one contiguous array. A day holds tens of thousands of records; a tree
// node per record cost a third more memory than the records and scattered them over the
// heap, while records arrive in epoch order and are only appended, read in order and
// changed in place.
class TecSeries {
public:
    using key_type = double;
    using mapped_type = TecRecord;
    using value_type = std::pair<double, TecRecord>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;
    using reverse_iterator = std::vector<value_type>::reverse_iterator;
    using const_reverse_iterator = std::vector<value_type>::const_reverse_iterator;

    TecSeries() = default;
    // The records of a range of pairs (another series' or a map's), as emplace takes them.
    template <typename Iterator>
    TecSeries(Iterator first, Iterator last) {
        for (; first != last; ++first) emplace(first->first, first->second);
    }

    iterator begin() { return records_.begin(); }
    iterator end() { return records_.end(); }
    const_iterator begin() const { return records_.begin(); }
    const_iterator end() const { return records_.end(); }
    reverse_iterator rbegin() { return records_.rbegin(); }
    reverse_iterator rend() { return records_.rend(); }
    const_reverse_iterator rbegin() const { return records_.rbegin(); }
    const_reverse_iterator rend() const { return records_.rend(); }

    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    void clear() { records_.clear(); }
    // Room for `count` records without moving them; shrink() gives unused room back.
    void reserve(std::size_t count) { records_.reserve(count); }
    std::size_t capacity() const { return records_.capacity(); }
    void shrink() { records_.shrink_to_fit(); }

    // Adds the record of an epoch not yet held; an epoch already held keeps its record.
    // An epoch after the last is appended; an earlier one moves the later ones up.
    std::pair<iterator, bool> emplace(double epochMjd, const TecRecord& record) {
        if (records_.empty() || records_.back().first < epochMjd) {
            records_.emplace_back(epochMjd, record);
            return {std::prev(records_.end()), true};
        }
        const iterator at = lower_bound(epochMjd);
        if (at != records_.end() && at->first == epochMjd) return {at, false};
        return {records_.insert(at, value_type(epochMjd, record)), true};
    }
    TecRecord& operator[](double epochMjd) { return emplace(epochMjd, TecRecord{}).first->second; }

    // The first record at or after `epochMjd`.
    iterator lower_bound(double epochMjd) {
        return std::lower_bound(records_.begin(), records_.end(), epochMjd,
                                [](const value_type& held, double key) { return held.first < key; });
    }
    const_iterator lower_bound(double epochMjd) const { return const_cast<TecSeries*>(this)->lower_bound(epochMjd); }
    iterator find(double epochMjd) {
        const iterator at = lower_bound(epochMjd);
        return at != records_.end() && at->first == epochMjd ? at : records_.end();
    }
    const_iterator find(double epochMjd) const { return const_cast<TecSeries*>(this)->find(epochMjd); }
    std::size_t count(double epochMjd) const { return find(epochMjd) != end() ? 1 : 0; }
    TecRecord& at(double epochMjd) {
        const iterator found = find(epochMjd);
        if (found == records_.end()) throw std::out_of_range("TecSeries::at: no record at this epoch");
        return found->second;
    }
    const TecRecord& at(double epochMjd) const { return const_cast<TecSeries*>(this)->at(epochMjd); }
    iterator erase(const_iterator position) { return records_.erase(position); }
    // Removes the records (epoch, record pairs) for which `remove` holds; how many.
    template <typename Predicate>
    friend std::size_t erase_if(TecSeries& series, Predicate remove) {
        return std::erase_if(series.records_, remove);
    }

private:
    std::vector<value_type> records_;
};

// Satellite number -> its records; satellites iterate in ascending order.
using TecTable = std::map<int, TecSeries>;

}  // namespace velarix
