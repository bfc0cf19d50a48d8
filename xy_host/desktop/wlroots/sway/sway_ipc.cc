#include "desktop/wlroots/sway/sway_ipc.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "desktop/poll_timeout.h"
#include "desktop/wlroots/sway/sway_tree.h"

namespace morel_xy::wlroots {
namespace {

using Clock = std::chrono::steady_clock;
constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr size_t kHeaderSize = sizeof kMagic + 8;

bool SendAll(int fd, const char* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    const ssize_t n = send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, PollTimeout(deadline)) <= 0) return false;
  }
  return true;
}

bool ReceiveAll(int fd, char* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    const ssize_t n = recv(fd, data, size, MSG_DONTWAIT);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, PollTimeout(deadline)) <= 0) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> SwayIpc::FindSocket() {
  for (const char* name : {"SWAYSOCK", "I3SOCK"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::string(value);
  }
  // sway names its socket sway-ipc.<uid>.<pid>.sock in the runtime folder.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) return std::nullopt;
  DIR* dir = opendir(runtime);
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    constexpr std::string_view kPrefix = "sway-ipc.", kSuffix = ".sock";
    if (name.size() <= kPrefix.size() + kSuffix.size() || name.rfind(kPrefix, 0) != 0 ||
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
      continue;
    }
    const size_t dot = name.rfind('.', name.size() - kSuffix.size() - 1);
    const long pid = std::strtol(name.c_str() + dot + 1, nullptr, 10);
    if (pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) {
      found = std::string(runtime) + "/" + name;
      break;
    }
  }
  closedir(dir);
  return found;
}

SwayIpc::~SwayIpc() {
  Disconnect();
}

bool SwayIpc::Connect() {
  if (m_fd >= 0) return true;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (m_path.empty() || m_path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
  m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (m_fd < 0) return false;
  if (connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    Disconnect();
    return false;
  }
  return true;
}

void SwayIpc::Disconnect() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

std::optional<std::string> SwayIpc::Exchange(uint32_t type, const std::string& payload) {
  const Clock::time_point deadline = Clock::now() + kTimeout;
  char header[kHeaderSize];
  std::memcpy(header, kMagic, sizeof kMagic);
  const uint32_t length = static_cast<uint32_t>(payload.size());
  std::memcpy(header + sizeof kMagic, &length, 4);
  std::memcpy(header + sizeof kMagic + 4, &type, 4);
  if (!SendAll(m_fd, header, sizeof header, deadline) ||
      !SendAll(m_fd, payload.data(), payload.size(), deadline)) {
    return std::nullopt;
  }
  // Events go only to clients that subscribed, so the next message is the answer.
  char reply[kHeaderSize];
  if (!ReceiveAll(m_fd, reply, sizeof reply, deadline) ||
      std::memcmp(reply, kMagic, sizeof kMagic) != 0) {
    return std::nullopt;
  }
  uint32_t replyLength = 0, replyType = 0;
  std::memcpy(&replyLength, reply + sizeof kMagic, 4);
  std::memcpy(&replyType, reply + sizeof kMagic + 4, 4);
  if (replyType != type || replyLength > kMaxReply) return std::nullopt;
  std::string body(replyLength, '\0');
  if (!ReceiveAll(m_fd, body.data(), body.size(), deadline)) return std::nullopt;
  return body;
}

std::optional<std::string> SwayIpc::Request(uint32_t type, const std::string& payload) {
  // A connection sway closed (a restart, a reload) is made again once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!Connect()) return std::nullopt;
    if (std::optional<std::string> answer = Exchange(type, payload)) return answer;
    Disconnect();
  }
  return std::nullopt;
}

std::optional<std::vector<CompositorWindow>> SwayIpc::Windows() {
  const std::optional<std::string> tree = Request(kGetTree, "");
  if (!tree) return std::nullopt;
  return ParseSwayTree(*tree);
}

}  // namespace morel_xy::wlroots
