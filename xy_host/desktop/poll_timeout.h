#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace morel_xy {

// The timeout for poll() that ends at `deadline`: 0 once it has passed, and at most a minute,
// so that a far deadline fits poll's int (the callers poll in loops that look at the deadline
// again).
inline int PollTimeout(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
  return static_cast<int>(std::clamp<int64_t>(left, 0, 60000));
}

}  // namespace morel_xy
