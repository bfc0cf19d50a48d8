// `morel_xy_host --check` on a private X server and in a session without a window system.

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "x11_test_fixture.h"

namespace morel_test {
namespace {

struct CheckRun {
  std::string output;
  int status = -1;
};

// The built host with --check and nothing of this process's environment but `environment`.
CheckRun RunCheck(const std::string& environment) {
  const std::string command =
      "env -i PATH=/usr/bin:/bin " + environment + " " + MOREL_XY_HOST_PATH + " --check";
  CheckRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool HasLine(const std::string& output, const std::string& line) {
  return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
}

using SelfCheckTest = X11DesktopTest;

TEST_F(SelfCheckTest, OnX11EveryCapabilityWorksOnceABrowserWindowIsOpen) {
  Start({.width = 1280, .height = 800, .windowManager = true});
  CheckRun run = RunCheck("DISPLAY=" + server_->display());
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(
      HasLine(run.output, "back-end: x11 (the X server of DISPLAY=" + server_->display() + ")"))
      << run.output;
  for (const char* works : {"pointer and buttons", "wheel", "keys and chords",
                            "text outside the layout", "displays and scale", "capture"}) {
    EXPECT_TRUE(HasLine(run.output, std::string(works) + ": works")) << works << "\n" << run.output;
  }
  EXPECT_NE(run.output.find("the browser window's frame: missing: no Chromium, Chrome or Firefox "
                            "window is open"),
            std::string::npos)
      << run.output;

  auto browser = MakeWindow(Browser("Chromium", "A page", 40, 40, 400, 300));
  run = RunCheck("DISPLAY=" + server_->display());
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(HasLine(run.output, "the browser window's frame: works")) << run.output;
  EXPECT_EQ(run.output.find("missing"), std::string::npos) << run.output;
}

TEST_F(SelfCheckTest, ALayoutWithoutASuperKeyNamesTheKeyAndTheCommand) {
  Start({.width = 800, .height = 600});
  Run({"xmodmap", "-e", "keysym Super_L = NoSymbol", "-e", "keysym Super_R = NoSymbol"});
  const CheckRun run = RunCheck("DISPLAY=" + server_->display());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("keys and chords: missing: the keyboard layout has no key for "
                            "Super_L (see setxkbmap -print; xmodmap can add one)"),
            std::string::npos)
      << run.output;
}

TEST(SelfCheckWithoutWindowSystemTest, SaysWhyNothingServesAndFails) {
  const CheckRun run = RunCheck("");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(HasLine(
      run.output, "back-end: none (x11: DISPLAY is not set; wlroots: WAYLAND_DISPLAY is not set)"))
      << run.output;
  EXPECT_TRUE(HasLine(run.output, "capture: missing: no back-end serves this session (see above)"))
      << run.output;

  // Forcing a back-end the session cannot give says so.
  const CheckRun forced = RunCheck("MOREL_XY_BACKEND=wlroots");
  EXPECT_EQ(forced.status, 1);
  EXPECT_NE(forced.output.find("back-end: none ("), std::string::npos) << forced.output;
}

}  // namespace
}  // namespace morel_test
