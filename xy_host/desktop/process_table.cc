#include "desktop/process_table.h"

#include <fstream>
#include <sstream>
#include <string>

namespace morel_xy {
namespace {

class ProcProcessTable final : public ProcessTable {
 public:
  std::optional<uint64_t> StartTime(int32_t pid) const override {
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
};

}  // namespace

const ProcessTable& ProcessTable::System() {
  static const ProcProcessTable table;
  return table;
}

}  // namespace morel_xy
