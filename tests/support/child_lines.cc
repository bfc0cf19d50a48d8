#include "child_lines.h"

#include <poll.h>
#include <unistd.h>

#include <sstream>

namespace morel_test {

using Clock = std::chrono::steady_clock;

ChildLines::~ChildLines() {
  if (fd_ >= 0) close(fd_);
}

void ChildLines::Attach(int fd) {
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
  buffer_.clear();
}

std::optional<std::string> ChildLines::NextLine(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || fd_ < 0) return std::nullopt;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char chunk[4096];
    const ssize_t got = read(fd_, chunk, sizeof chunk);
    if (got <= 0) return std::nullopt;
    buffer_.append(chunk, static_cast<size_t>(got));
  }
}

std::optional<std::string> ChildLines::WaitFor(const std::string& prefix,
                                               std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    std::optional<std::string> line = NextLine(left);
    if (!line) return std::nullopt;
    if (line->compare(0, prefix.size(), prefix) == 0) return line;
  }
}

std::vector<std::string> ChildLines::Drain(std::chrono::milliseconds quiet) {
  std::vector<std::string> lines;
  while (std::optional<std::string> line = NextLine(quiet)) lines.push_back(*line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> fields;
  for (std::string field; stream >> field;) fields.push_back(field);
  return fields;
}

}  // namespace morel_test
