#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace morel_xy {

// When a process started, in clock ticks since boot, from the process table (/proc); nullopt
// when the process is not in it.
std::optional<uint64_t> ProcessStartTicks(pid_t pid);

// Of `pids`, the process that started first: what "the first running instance" of an
// application means when several run. A process missing from the table (another pid
// namespace) counts as started after those present; ties go to the lower pid. -1 when `pids`
// holds no positive pid.
int32_t FirstStartedProcess(const std::vector<int32_t>& pids);

}  // namespace morel_xy
