#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "child_lines.h"

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

  // As ChildLines, over the event lines.
  std::optional<std::string> NextLine(std::chrono::milliseconds timeout) {
    return lines_.NextLine(timeout);
  }
  std::optional<std::string> WaitFor(const std::string& prefix, std::chrono::milliseconds timeout) {
    return lines_.WaitFor(prefix, timeout);
  }
  std::vector<std::string> Drain(std::chrono::milliseconds quiet) { return lines_.Drain(quiet); }
  // The text decoded from key presses until `expectedCodePoints` characters have arrived or
  // none has come for `quiet`. Key presses that decode to nothing (modifiers) are skipped.
  std::string ReadText(size_t expectedCodePoints, std::chrono::milliseconds quiet);

 private:
  pid_t pid_ = -1;
  ChildLines lines_;
  bool ready_ = false;
};

// Number of code points in a UTF-8 string.
size_t CountCodePoints(const std::string& utf8);

}  // namespace morel_test
