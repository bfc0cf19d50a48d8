#include "desktop/process_start.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace morel_xy {

std::optional<uint64_t> ProcessStartTicks(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return std::nullopt;
  // "pid (comm) state ppid ...": comm may hold spaces and parentheses, so fields are counted
  // from the last ')'. The start time is field 22; the state is field 3.
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  for (int index = 3; index <= 22; ++index) {
    if (!(fields >> field)) return std::nullopt;
  }
  try {
    return std::stoull(field);
  } catch (...) {
    return std::nullopt;
  }
}

int32_t FirstStartedProcess(const std::vector<int32_t>& pids) {
  int32_t first = -1;
  uint64_t firstStart = 0;
  for (const int32_t pid : pids) {
    if (pid <= 0) continue;
    const uint64_t start = ProcessStartTicks(pid).value_or(std::numeric_limits<uint64_t>::max());
    if (first < 0 || start < firstStart || (start == firstStart && pid < first)) {
      first = pid;
      firstStart = start;
    }
  }
  return first;
}

}  // namespace morel_xy
