#include "host/choose_desktop.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "desktop/fake/fake_desktop.h"
#include "desktop/fake/fake_process_table.h"

namespace morel_xy {
namespace {

// A session: its variables, and a table of two back-ends shaped like X11 and wlroots (the first
// serves a Wayland session only for a browser it shows).
struct Session {
  std::map<std::string, std::string> variables;
  bool xOpens = true;
  bool browserOnX = false;
  bool wlroots = false;
  std::vector<std::string> opened = {};  // the back-ends opened, in order

  static std::string Absent(const Environment& environment, const char* variable) {
    return environment(variable) ? "" : std::string(variable) + " is not set";
  }

  std::vector<Backend> Table() {
    Backend x11{"x11", [](const Environment& e) { return Absent(e, "DISPLAY"); },
                [this](const Environment&, std::string* why) {
                  opened.push_back("x11");
                  if (!xOpens) {
                    *why = "no X display can be opened";
                    return OpenedDesktop{};
                  }
                  auto desktop = std::make_unique<FakeDesktop>();
                  if (browserOnX) {
                    desktop->windows = {{TopLevelWindow{42, "Chromium", "Page", true, {}}}};
                  }
                  return OpenedDesktop{std::move(desktop), "the X server", {}};
                },
                [](const Environment& e) { return e("WAYLAND_DISPLAY") != nullptr; }};
    Backend wayland{"wlroots",
                    [](const Environment& e) { return Absent(e, "WAYLAND_DISPLAY"); },
                    [this](const Environment&, std::string* why) {
                      opened.push_back("wlroots");
                      if (!wlroots) {
                        *why = "the compositor offers no virtual pointer";
                        return OpenedDesktop{};
                      }
                      return OpenedDesktop{std::make_unique<FakeDesktop>(), "the compositor", {}};
                    },
                    {}};
    return {x11, wayland};
  }

  DesktopChoice Choose() {
    opened.clear();
    const std::vector<Backend> table = Table();
    return ChooseDesktop(
        [this](const char* name) -> const char* {
          const auto found = variables.find(name);
          return found == variables.end() ? nullptr : found->second.c_str();
        },
        table, FakeProcessTable());
  }
};

TEST(ChooseDesktopTest, AnX11SessionIsServedThroughX11WithOrWithoutABrowser) {
  Session session{{{"DISPLAY", ":0"}}};
  DesktopChoice choice = session.Choose();
  EXPECT_EQ(choice.name, "x11");
  EXPECT_NE(choice.opened.desktop, nullptr);
  EXPECT_EQ(choice.reason, "the X server");
  EXPECT_EQ(choice.complaint, "");
  EXPECT_EQ(session.opened, std::vector<std::string>{"x11"});
}

TEST(ChooseDesktopTest, OnAWaylandSessionXServesOnlyABrowserItShows) {
  Session underXwayland{{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}}};
  underXwayland.browserOnX = true;
  underXwayland.wlroots = true;
  DesktopChoice choice = underXwayland.Choose();
  EXPECT_EQ(choice.name, "x11");
  EXPECT_EQ(choice.reason, "the X server, which shows the browser's window");
  EXPECT_EQ(underXwayland.opened, std::vector<std::string>{"x11"});

  Session native{{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}}};
  native.wlroots = true;
  choice = native.Choose();
  EXPECT_EQ(choice.name, "wlroots");
  EXPECT_EQ(choice.complaint, "");
  EXPECT_EQ(native.opened, (std::vector<std::string>{"x11", "wlroots"}));

  Session noXwayland{{{"WAYLAND_DISPLAY", "wayland-1"}}};
  noXwayland.wlroots = true;
  EXPECT_EQ(noXwayland.Choose().name, "wlroots");
  EXPECT_EQ(noXwayland.opened, std::vector<std::string>{"wlroots"}) << "DISPLAY is not set";
}

TEST(ChooseDesktopTest, WhenNothingServesEachBackEndSaysWhy) {
  Session gnome{{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}};
  DesktopChoice choice = gnome.Choose();
  EXPECT_EQ(choice.name, "none");
  EXPECT_EQ(choice.opened.desktop, nullptr);
  EXPECT_NE(choice.reason.find("x11: the X server shows no browser window"), std::string::npos);
  EXPECT_NE(choice.reason.find("--ozone-platform=x11"), std::string::npos);
  EXPECT_NE(choice.reason.find("wlroots: the compositor offers no virtual pointer"),
            std::string::npos);
  EXPECT_NE(choice.complaint.find(choice.reason), std::string::npos);

  Session nothing;
  choice = nothing.Choose();
  EXPECT_EQ(choice.name, "none");
  EXPECT_EQ(choice.reason, "x11: DISPLAY is not set; wlroots: WAYLAND_DISPLAY is not set");
  EXPECT_TRUE(nothing.opened.empty());
}

TEST(ChooseDesktopTest, TheOverrideForcesOneBackEndOrSaysWhyNot) {
  Session session{
      {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}, {"MOREL_XY_BACKEND", "wlroots"}}};
  session.browserOnX = true;
  session.wlroots = true;
  DesktopChoice choice = session.Choose();
  EXPECT_EQ(choice.name, "wlroots");
  EXPECT_EQ(choice.reason, "MOREL_XY_BACKEND=wlroots: the compositor");
  EXPECT_EQ(session.opened, std::vector<std::string>{"wlroots"});

  session.variables["MOREL_XY_BACKEND"] = "x11";
  session.browserOnX = false;
  EXPECT_EQ(session.Choose().name, "x11") << "forced: no browser needed";

  session.xOpens = false;
  choice = session.Choose();
  EXPECT_EQ(choice.name, "none");
  EXPECT_EQ(choice.complaint, "MOREL_XY_BACKEND=x11, but no X display can be opened");

  // A value naming nothing is reported with the names there are, and the session decides.
  session.variables["MOREL_XY_BACKEND"] = "gnome";
  choice = session.Choose();
  EXPECT_EQ(choice.name, "wlroots");
  EXPECT_NE(choice.complaint.find("MOREL_XY_BACKEND=gnome names no back-end of this build "
                                  "(x11, wlroots)"),
            std::string::npos);
}

}  // namespace
}  // namespace morel_xy
