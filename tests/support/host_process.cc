#include "host_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <thread>

namespace morel_test {

HostProcess::HostProcess(const std::string& program, const std::string& display,
                         const std::string& workingDirectory) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    signal(SIGPIPE, SIG_DFL);  // ignored dispositions survive exec; the host gets the default
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    if (display.empty()) {
      unsetenv("DISPLAY");
    } else {
      setenv("DISPLAY", display.c_str(), 1);
    }
    if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) _exit(126);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  toHost_ = in[1];
  fromHost_ = out[0];
  // A host that ended early must not kill the test through SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
}

HostProcess::~HostProcess() {
  CloseInput();
  if (fromHost_ >= 0) close(fromHost_);
  if (pid_ > 0 && !status_) {
    if (!Wait(std::chrono::seconds(5))) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
}

bool HostProcess::WriteRaw(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(toHost_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool HostProcess::Send(const std::string& body) {
  return WriteRaw(Frame(body));
}

bool HostProcess::ReadExactly(char* into, size_t count,
                              std::chrono::steady_clock::time_point deadline) {
  size_t done = 0;
  while (done < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fromHost_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t n = read(fromHost_, into + done, count - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::optional<std::string> HostProcess::Receive(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  uint32_t length = 0;
  if (!ReadExactly(reinterpret_cast<char*>(&length), sizeof length, deadline)) return std::nullopt;
  std::string body(length, '\0');
  if (!ReadExactly(body.data(), length, deadline)) return std::nullopt;
  return body;
}

std::string HostProcess::ReadAll(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string all;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fromHost_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t n = read(fromHost_, buffer, sizeof buffer);
    if (n <= 0) break;
    all.append(buffer, static_cast<size_t>(n));
  }
  return all;
}

void HostProcess::CloseInput() {
  if (toHost_ >= 0) close(toHost_);
  toHost_ = -1;
}

void HostProcess::CloseOutput() {
  if (fromHost_ >= 0) close(fromHost_);
  fromHost_ = -1;
}

void HostProcess::Signal(int signal) {
  if (pid_ > 0 && !status_) kill(pid_, signal);
}

std::optional<int> HostProcess::Wait(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return status_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return std::nullopt;
}

}  // namespace morel_test
