#include "platform/memory_reuse.h"

#include <malloc.h>

namespace velarix {

namespace {

// The largest threshold glibc accepts on 64-bit systems (half its 64 MiB thread heap).
constexpr int kMappedBlockThreshold_bytes = 32 * 1024 * 1024;
constexpr int kKeptFreeMemory_bytes = 256 * 1024 * 1024;

}  // namespace

bool KeepFreedMemoryForReuse() {
    const bool mapped = mallopt(M_MMAP_THRESHOLD, kMappedBlockThreshold_bytes) == 1;
    const bool trimmed = mallopt(M_TRIM_THRESHOLD, kKeptFreeMemory_bytes) == 1;
    return mapped && trimmed;
}

}  // namespace velarix
