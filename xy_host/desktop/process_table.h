#pragma once

#include <cstdint>
#include <optional>

namespace morel_xy {

// When processes started: what tells "the first running instance" of an application among
// several. One implementation reads the system's process table; tests hand in their own.
//
// Thread-safety: StartTime may be called from any thread.
class ProcessTable {
 public:
  virtual ~ProcessTable() = default;

  // When process `pid` started, in clock ticks since boot; nullopt when it is not in the table
  // (gone, another pid namespace) or `pid` is not positive.
  virtual std::optional<uint64_t> StartTime(int32_t pid) const = 0;

  // The system's table (/proc).
  static const ProcessTable& System();
};

}  // namespace morel_xy
