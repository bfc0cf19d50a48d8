#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "desktop/wlroots/logic/wlroots_ports.h"

namespace morel_xy::wlroots {

// A client of sway's i3-compatible IPC socket: "i3-ipc", a 32-bit length and type in the
// machine's byte order, then the payload, in both directions.
//
// The connection is made on first use and made again once after a failure. Every wait is
// bounded; an answer larger than kMaxReply is refused. Its windows are those of "get_tree".
class SwayIpc final : public WindowSource {
 public:
  static constexpr std::chrono::milliseconds kTimeout{2000};
  static constexpr uint32_t kMaxReply = 64u << 20;
  static constexpr uint32_t kGetTree = 4;

  // The socket of the session: SWAYSOCK, else I3SOCK, else the one sway made in
  // XDG_RUNTIME_DIR for a process still running. nullopt when there is none.
  static std::optional<std::string> FindSocket();

  explicit SwayIpc(std::string socketPath) : m_path(std::move(socketPath)) {}
  ~SwayIpc() override;
  SwayIpc(const SwayIpc&) = delete;
  SwayIpc& operator=(const SwayIpc&) = delete;

  std::optional<std::vector<CompositorWindow>> Windows() override;
  // The payload of the answer to one message; nullopt when no IPC answers.
  std::optional<std::string> Request(uint32_t type, const std::string& payload);

 private:
  bool Connect();
  void Disconnect();
  std::optional<std::string> Exchange(uint32_t type, const std::string& payload);

  std::string m_path;
  int m_fd = -1;
};

}  // namespace morel_xy::wlroots
