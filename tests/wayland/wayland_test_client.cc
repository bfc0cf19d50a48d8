#include "wayland_test_client.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
  lines_.Attach(fds[0]);
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

std::string FromHex(const std::string& hex) {
  if (hex == "-") return {};
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

}  // namespace morel_test
