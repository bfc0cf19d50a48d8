#include "wayland_test_client.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

namespace morel_test {

using Clock = std::chrono::steady_clock;

WaylandTestClient::WaylandTestClient(const std::string& appId,
                                     const std::vector<std::string>& options) {
  int fds[2];
  if (pipe(fds) != 0) return;
  std::vector<std::string> args{WL_EVENT_CLIENT_PATH, appId};
  args.insert(args.end(), options.begin(), options.end());
  pid_ = fork();
  if (pid_ == 0) {
    // The desktop under test blocks termination signals to handle them in a thread of its
    // own; a child must not inherit that.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  fd_ = fds[0];
  if (pid_ < 0) return;
  ready_ = WaitFor("ready", std::chrono::seconds(10)).has_value() &&
           WaitFor("kbenter", std::chrono::seconds(10)).has_value();
  // The tiling layout may resize the window once more; let that settle.
  Drain(std::chrono::milliseconds(150));
}

WaylandTestClient::~WaylandTestClient() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      usleep(10000);
    }
  }
  if (fd_ >= 0) close(fd_);
}

std::optional<std::string> WaylandTestClient::NextLine(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const size_t newline = buffer_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffer_.substr(0, newline);
      buffer_.erase(0, newline + 1);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || fd_ < 0) return std::nullopt;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) return std::nullopt;
    char chunk[4096];
    const ssize_t n = read(fd_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffer_.append(chunk, static_cast<size_t>(n));
  }
}

std::optional<std::string> WaylandTestClient::WaitFor(const std::string& prefix,
                                                      std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    std::optional<std::string> line = NextLine(left);
    if (!line) return std::nullopt;
    if (line->rfind(prefix, 0) == 0) return line;
  }
}

std::vector<std::string> WaylandTestClient::Drain(std::chrono::milliseconds quiet) {
  std::vector<std::string> lines;
  while (std::optional<std::string> line = NextLine(quiet)) lines.push_back(*line);
  return lines;
}

std::string WaylandTestClient::ReadText(size_t bytes, std::chrono::milliseconds quiet) {
  std::string text;
  while (text.size() < bytes) {
    const std::optional<std::string> line = NextLine(quiet);
    if (!line) break;
    const std::vector<std::string> fields = Fields(*line);
    if (fields.size() == 2 && fields[0] == "paste") {
      text += FromHex(fields[1]);
    } else if (fields.size() == 5 && fields[0] == "key" && fields[2] == "down" &&
               fields[3].find('c') == std::string::npos) {
      text += FromHex(fields[4]);
    }
  }
  return text;
}

std::vector<std::string> Fields(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> fields;
  for (std::string field; in >> field;) fields.push_back(field);
  return fields;
}

std::string FromHex(const std::string& hex) {
  if (hex == "-") return {};
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

}  // namespace morel_test
