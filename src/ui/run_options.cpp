#include "ui/run_options.h"

#include <sched.h>

#include <algorithm>
#include <thread>

namespace velarix {

int RunOptions::dayThreads() const {
    if (jobs > 0) return jobs;
    // The cores this process may run on (taskset, a container's limit), else the machine's;
    // one when neither is known.
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0) return CPU_COUNT(&allowed);
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace velarix
