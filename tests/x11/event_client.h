#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace morel_test {

// The test X client (x_event_client) in a child process: a window covering the screen with the
// keyboard focus, reporting every key, button and motion event it receives as a line.
class EventClient {
 public:
  // Starts the client on `display` and waits until its window is mapped and focused. With
  // `asBrowser`, the window is a Chromium window to the host.
  explicit EventClient(const std::string& display, bool asBrowser = false);
  ~EventClient();
  EventClient(const EventClient&) = delete;
  EventClient& operator=(const EventClient&) = delete;

  bool ready() const { return ready_; }

  // The next event line; nullopt after `timeout` without one.
  std::optional<std::string> NextLine(std::chrono::milliseconds timeout);
  // Lines until one starts with `prefix` (returned) or `timeout` passes (nullopt).
  std::optional<std::string> WaitFor(const std::string& prefix, std::chrono::milliseconds timeout);
  // Every line that arrives until none has come for `quiet`.
  std::vector<std::string> Drain(std::chrono::milliseconds quiet);
  // The text decoded from key presses until `expectedCodePoints` characters have arrived or
  // none has come for `quiet`. Key presses that decode to nothing (modifiers) are skipped.
  std::string ReadText(size_t expectedCodePoints, std::chrono::milliseconds quiet);

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string buffer_;
  bool ready_ = false;
};

// Number of code points in a UTF-8 string.
size_t CountCodePoints(const std::string& utf8);

// The fields of an event line split at blanks.
std::vector<std::string> Fields(const std::string& line);

}  // namespace morel_test
