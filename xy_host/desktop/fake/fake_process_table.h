#pragma once

#include <map>

#include "desktop/process_table.h"

namespace morel_xy {

// A process table for tests: the processes in `startTimes` and no others.
class FakeProcessTable final : public ProcessTable {
 public:
  std::map<int32_t, uint64_t> startTimes;

  std::optional<uint64_t> StartTime(int32_t pid) const override {
    const auto found = startTimes.find(pid);
    if (found == startTimes.end()) return std::nullopt;
    return found->second;
  }
};

}  // namespace morel_xy
