#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace morel_test {

// A private X server for one test: Xvfb picks a free display number itself (-displayfd), so
// parallel runs never collide, and -noreset keeps root properties, resources and monitors
// when the last client leaves. Optionally runs a window manager. Both end with the object.
class XvfbServer {
 public:
  struct Options {
    int width = 1280;
    int height = 800;
    int depth = 24;
    bool windowManager = false;  // openbox, waited for until it manages the screen
  };

  explicit XvfbServer(Options options);
  XvfbServer() : XvfbServer(Options{}) {}
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // True when the server (and the window manager, if asked for) is up.
  bool ok() const { return error_.empty(); }
  // Why it is not up.
  const std::string& error() const { return error_; }
  // ":N", for DISPLAY.
  const std::string& display() const { return display_; }

 private:
  void StartServer(const Options& options);
  void StartWindowManager();

  pid_t serverPid_ = -1;
  pid_t windowManagerPid_ = -1;
  std::string display_;
  std::string error_;
};

// Runs a program with DISPLAY set to `display`, waits for it and returns its exit status
// (-1 when it could not run). Its standard output is read and dropped.
int RunWithDisplay(const std::string& display, const std::vector<std::string>& argv);

// Sets Xft.dpi in the resource database of the server at `display` (xrdb -merge), which is
// where clients read the desktop scale. The exit status of xrdb, -1 when it could not run.
int SetXftDpi(const std::string& display, int dpi);

}  // namespace morel_test
