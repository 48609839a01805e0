#pragma once
// Makes the pages of freshly allocated memory resident in one system call. On a virtual
// machine every first touch of a page traps into the kernel, and a reader that fills tens
// of megabytes spent more time in those traps than in parsing. Only whole pages inside
// the range are populated; an older kernel without the request leaves the range as it was.
#include <cstddef>

namespace velarix {

void PrefaultPages(void* begin, std::size_t bytes);

// Asks the kernel to back the range with transparent huge pages (2 MiB on x86-64) when
// they are set to "madvise" or "always"; a range that is not 2 MiB-aligned gets them only
// where it covers whole aligned 2 MiB pieces. Without huge pages (set to "never", an older
// kernel, a refusal) the range keeps ordinary pages: this is advice only. Call it before
// PrefaultPages, so that the range is populated with huge pages.
void AdviseHugePages(void* begin, std::size_t bytes);

}  // namespace velarix
