#include "xvfb_server.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace morel_test {
namespace {

[[noreturn]] void ExecOrDie(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

void StopProcess(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// Maps probe windows until the window manager reparents one into a frame.
bool WaitUntilWindowsAreFramed(Display* dpy) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    XSetWindowAttributes attributes{};
    attributes.event_mask = StructureNotifyMask;
    const Window probe = XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, CopyFromParent,
                                       InputOutput, CopyFromParent, CWEventMask, &attributes);
    XMapWindow(dpy, probe);
    XFlush(dpy);
    bool framed = false;
    const auto probeDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!framed && std::chrono::steady_clock::now() < probeDeadline) {
      XEvent event;
      if (XCheckTypedWindowEvent(dpy, probe, ReparentNotify, &event)) {
        framed = event.xreparent.parent != DefaultRootWindow(dpy);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    XDestroyWindow(dpy, probe);
    XSync(dpy, False);
    if (framed) return true;
  }
  return false;
}

}  // namespace

XvfbServer::XvfbServer(Options options) {
  StartServer(options);
  if (ok() && options.windowManager) StartWindowManager();
}

XvfbServer::~XvfbServer() {
  StopProcess(windowManagerPid_);
  StopProcess(serverPid_);
}

void XvfbServer::StartServer(const Options& options) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error_ = "pipe failed";
    return;
  }
  const std::string screen = std::to_string(options.width) + "x" + std::to_string(options.height) +
                             "x" + std::to_string(options.depth);
  serverPid_ = fork();
  if (serverPid_ == 0) {
    close(fds[0]);
    const int writeFd = dup(fds[1]);  // without close-on-exec, for Xvfb to write to
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    ExecOrDie({"Xvfb", "-displayfd", std::to_string(writeFd), "-screen", "0", screen, "-noreset",
               "-nolisten", "tcp", "+extension", "RANDR", "+extension", "XTEST"});
  }
  close(fds[1]);
  if (serverPid_ < 0) {
    close(fds[0]);
    error_ = "fork failed";
    return;
  }

  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char buffer[32];
    const ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    number.append(buffer, static_cast<size_t>(got));
    if (number.find('\n') != std::string::npos) break;
  }
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
  if (number.empty()) {
    error_ = "Xvfb did not start (is the xvfb package installed?)";
    return;
  }
  display_ = ":" + number;
}

void XvfbServer::StartWindowManager() {
  windowManagerPid_ = fork();
  if (windowManagerPid_ == 0) {
    setenv("DISPLAY", display_.c_str(), 1);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    ExecOrDie({"openbox", "--sm-disable"});
  }
  Display* dpy = XOpenDisplay(display_.c_str());
  if (!dpy) {
    error_ = "cannot connect to " + display_;
    return;
  }
  const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
  bool managed = false;
  for (int i = 0; i < 250 && !managed; ++i) {
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &remaining, &data) == Success &&
        count == 1) {
      managed = true;
    }
    if (data) XFree(data);
    if (!managed) std::this_thread::sleep_for(std::chrono::milliseconds(40));
  }
  // openbox announces itself before it manages new windows; a window mapped in between is
  // never framed. Wait until a probe window actually gets a frame.
  if (managed) managed = WaitUntilWindowsAreFramed(dpy);
  XCloseDisplay(dpy);
  if (!managed) error_ = "openbox did not take over the screen (is openbox installed?)";
}

int RunWithDisplay(const std::string& display, const std::vector<std::string>& argv) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    dup2(fds[1], STDOUT_FILENO);
    ExecOrDie(argv);
  }
  close(fds[1]);
  char buffer[4096];
  ssize_t got;
  while ((got = read(fds[0], buffer, sizeof buffer)) > 0) {
  }
  close(fds[0]);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int SetXftDpi(const std::string& display, int dpi) {
  // Per process and value, so tests running side by side do not share the file.
  const std::string path = std::filesystem::temp_directory_path() /
                           ("xft_dpi_" + std::to_string(getpid()) + "_" + std::to_string(dpi));
  std::ofstream(path) << "Xft.dpi: " << dpi << "\n";
  const int status = RunWithDisplay(display, {"xrdb", "-nocpp", "-merge", path});
  std::filesystem::remove(path);
  return status;
}

}  // namespace morel_test
