#include "event_client.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

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
  lines_.Attach(fds[0]);
  ready_ = WaitFor("ready", std::chrono::seconds(20)).has_value();
}

EventClient::~EventClient() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
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

}  // namespace morel_test
