#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace morel_xy {

// When a process started, in clock ticks since boot, from the process table (/proc); nullopt
// when the process is not in it.
std::optional<uint64_t> ProcessStartTicks(pid_t pid);

}  // namespace morel_xy
