#pragma once
// Makes the pages of freshly allocated memory resident in one system call. On a virtual
// machine every first touch of a page traps into the kernel, and a reader that fills tens
// of megabytes spent more time in those traps than in parsing. Only whole pages inside
// the range are populated; an older kernel without the request leaves the range as it was.
#include <cstddef>

namespace velarix {

void PrefaultPages(void* begin, std::size_t bytes);

}  // namespace velarix
