#include "platform/prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace velarix {

namespace {

// `advice` for the whole pages inside [begin, begin + bytes); a refusal only costs speed.
[[maybe_unused]] void adviseWholePages(void* begin, std::size_t bytes, int advice) {
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t last = (start + bytes) / page * page;
    if (last > first) (void)madvise(reinterpret_cast<void*>(first), last - first, advice);
}

}  // namespace

void PrefaultPages(void* begin, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    adviseWholePages(begin, bytes, MADV_POPULATE_WRITE);
#else
    (void)begin;
    (void)bytes;
#endif
}

void AdviseHugePages(void* begin, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    adviseWholePages(begin, bytes, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)bytes;
#endif
}

}  // namespace velarix
