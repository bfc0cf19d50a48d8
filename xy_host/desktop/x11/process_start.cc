#include "desktop/x11/process_start.h"

#include <fstream>
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

}  // namespace morel_xy
