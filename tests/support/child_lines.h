#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace morel_test {

// The lines a child process writes to a pipe, read with timeouts. Owns the pipe's read end.
class ChildLines {
 public:
  ChildLines() = default;
  ~ChildLines();
  ChildLines(const ChildLines&) = delete;
  ChildLines& operator=(const ChildLines&) = delete;

  // Reads from `fd` from now on.
  void Attach(int fd);

  // The next line; nullopt after `timeout` without one, or when the pipe is closed.
  std::optional<std::string> NextLine(std::chrono::milliseconds timeout);
  // Lines until one starts with `prefix` (returned) or `timeout` passes (nullopt).
  std::optional<std::string> WaitFor(const std::string& prefix, std::chrono::milliseconds timeout);
  // Every line that arrives until none has come for `quiet`.
  std::vector<std::string> Drain(std::chrono::milliseconds quiet);

 private:
  int fd_ = -1;
  std::string buffer_;
};

// The fields of a line split at blanks.
std::vector<std::string> Fields(const std::string& line);

}  // namespace morel_test
