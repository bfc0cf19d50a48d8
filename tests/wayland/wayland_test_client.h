#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "child_lines.h"

namespace morel_test {

// The test Wayland client (wl_event_client) in a child process on the compositor of
// WAYLAND_DISPLAY, reporting what it receives one line at a time.
class WaylandTestClient {
 public:
  // Starts the client with its app id and options, and waits until its window is drawn and
  // has the keyboard focus.
  WaylandTestClient(const std::string& appId, const std::vector<std::string>& options = {});
  ~WaylandTestClient();
  WaylandTestClient(const WaylandTestClient&) = delete;
  WaylandTestClient& operator=(const WaylandTestClient&) = delete;

  bool ready() const { return ready_; }
  pid_t pid() const { return pid_; }

  // As ChildLines.
  std::optional<std::string> NextLine(std::chrono::milliseconds timeout) {
    return lines_.NextLine(timeout);
  }
  std::optional<std::string> WaitFor(const std::string& prefix, std::chrono::milliseconds timeout) {
    return lines_.WaitFor(prefix, timeout);
  }
  std::vector<std::string> Drain(std::chrono::milliseconds quiet) { return lines_.Drain(quiet); }
  // The text of key presses (without Control) and pastes until `bytes` bytes have arrived or
  // none has come for `quiet`.
  std::string ReadText(size_t bytes, std::chrono::milliseconds quiet);

 private:
  pid_t pid_ = -1;
  ChildLines lines_;
  bool ready_ = false;
};

// Bytes from hex ("-" is none).
std::string FromHex(const std::string& hex);

}  // namespace morel_test
