#include "event_client.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace morel_test {

EventClient::EventClient(const std::string& display, bool asBrowser) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  // Room for every line of a long run: a client blocked on a full pipe stops reading X events,
  // then reads a backlog whose keymap changes Xlib applies before the earlier key presses are
  // decoded, and decodes them wrongly: a fault of the reader, not of the typist.
  fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);
  pid_ = fork();
  if (pid_ == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    dup2(fds[1], STDOUT_FILENO);
    execl(X_EVENT_CLIENT_PATH, X_EVENT_CLIENT_PATH, asBrowser ? "--browser" : nullptr,
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  fd_ = fds[0];
  ready_ = WaitFor("ready", std::chrono::seconds(20)).has_value();
}

EventClient::~EventClient() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (fd_ >= 0) close(fd_);
}

std::optional<std::string> EventClient::NextLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || fd_ < 0) return std::nullopt;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t got = read(fd_, chunk, sizeof chunk);
    if (got <= 0) return std::nullopt;
    buffer_.append(chunk, static_cast<size_t>(got));
  }
}

std::optional<std::string> EventClient::WaitFor(const std::string& prefix,
                                                std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    std::optional<std::string> line = NextLine(left);
    if (!line) return std::nullopt;
    if (line->compare(0, prefix.size(), prefix) == 0) return line;
  }
}

std::vector<std::string> EventClient::Drain(std::chrono::milliseconds quiet) {
  std::vector<std::string> lines;
  while (std::optional<std::string> line = NextLine(quiet)) lines.push_back(*line);
  return lines;
}

std::string EventClient::ReadText(size_t expectedCodePoints, std::chrono::milliseconds quiet) {
  std::string text;
  while (CountCodePoints(text) < expectedCodePoints) {
    std::optional<std::string> line = NextLine(quiet);
    if (!line) break;
    const std::vector<std::string> fields = Fields(*line);
    if (fields.size() != 4 || fields[0] != "key" || fields[3] == "-") continue;
    for (size_t i = 0; i + 1 < fields[3].size(); i += 2) {
      text.push_back(static_cast<char>(std::strtol(fields[3].substr(i, 2).c_str(), nullptr, 16)));
    }
  }
  return text;
}

size_t CountCodePoints(const std::string& utf8) {
  size_t count = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::vector<std::string> Fields(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> fields;
  std::string field;
  while (stream >> field) fields.push_back(field);
  return fields;
}

}  // namespace morel_test
