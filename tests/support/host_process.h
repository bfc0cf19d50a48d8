#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "framing.h"

namespace morel_test {

// The built morel_xy_host (or any program speaking its framing) in a child process, talked
// to over real pipes.
class HostProcess {
 public:
  // Starts `program` in `workingDirectory` (the current one when empty). `display` becomes
  // DISPLAY; an empty one removes DISPLAY so the host finds no X server.
  HostProcess(const std::string& program, const std::string& display,
              const std::string& workingDirectory = "");
  ~HostProcess();
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  // Writes raw bytes / one frame (4-byte native length + body) to the host's input.
  bool WriteRaw(const std::string& bytes);
  bool Send(const std::string& body);
  // Reads one response frame's body; nullopt at end of output or after `timeout`.
  std::optional<std::string> Receive(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Everything the host wrote from now until it closes its output.
  std::string ReadAll(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Closes the host's input (end of channel).
  void CloseInput();
  // Closes our end of the host's output, so its writes fail as with a browser gone away.
  void CloseOutput();
  // Sends a signal to the host.
  void Signal(int signal);
  // Waits for the host to end; its exit status, 128 + signal when killed, nullopt on timeout.
  std::optional<int> Wait(std::chrono::milliseconds timeout = std::chrono::seconds(20));

 private:
  bool ReadExactly(char* into, size_t count, std::chrono::steady_clock::time_point deadline);

  pid_t pid_ = -1;
  int toHost_ = -1;
  int fromHost_ = -1;
  std::optional<int> status_;
};

}  // namespace morel_test
