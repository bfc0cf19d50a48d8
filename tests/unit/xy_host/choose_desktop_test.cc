#include "choose_desktop.h"

#include <gtest/gtest.h>

#include <map>

#include "desktop/fake/fake_desktop.h"

namespace morel_xy {
namespace {

// A session: its variables, whether X sees a browser, whether the compositor is a wlroots one.
struct Session {
  std::map<std::string, std::string> variables;
  bool xOpens = true;
  bool browserOnX = false;
  bool wlroots = false;
  int wlrootsOpened = 0;

  DesktopChoice Choose() {
    DesktopOpeners openers;
    openers.x11 = [this]() -> std::unique_ptr<Desktop> {
      if (!xOpens) return nullptr;
      auto desktop = std::make_unique<FakeDesktop>();
      if (browserOnX) desktop->applicationPids[Browser::Chrome] = 42;
      return desktop;
    };
    openers.wlroots = [this](std::string* why) -> std::unique_ptr<Desktop> {
      ++wlrootsOpened;
      if (!wlroots) {
        *why = "the compositor offers no virtual pointer";
        return nullptr;
      }
      return std::make_unique<FakeDesktop>();
    };
    return ChooseDesktop(
        [this](const char* name) -> const char* {
          const auto found = variables.find(name);
          return found == variables.end() ? nullptr : found->second.c_str();
        },
        openers);
  }
};

TEST(ChooseDesktopTest, AnX11SessionIsServedThroughX11WithOrWithoutABrowser) {
  Session session{{{"DISPLAY", ":0"}}};
  DesktopChoice choice = session.Choose();
  EXPECT_EQ(choice.name, "x11");
  EXPECT_NE(choice.desktop, nullptr);
  EXPECT_EQ(choice.complaint, "");
  EXPECT_EQ(session.wlrootsOpened, 0);
}

TEST(ChooseDesktopTest, OnAWaylandSessionXServesOnlyABrowserItSees) {
  Session underXwayland{{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}}};
  underXwayland.browserOnX = true;
  underXwayland.wlroots = true;
  EXPECT_EQ(underXwayland.Choose().name, "x11");
  EXPECT_EQ(underXwayland.wlrootsOpened, 0);

  Session native{{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}}};
  native.wlroots = true;
  DesktopChoice choice = native.Choose();
  EXPECT_EQ(choice.name, "wlroots");
  EXPECT_EQ(choice.complaint, "");

  Session noXwayland{{{"WAYLAND_DISPLAY", "wayland-1"}}};
  noXwayland.xOpens = false;
  noXwayland.wlroots = true;
  EXPECT_EQ(noXwayland.Choose().name, "wlroots");
}

TEST(ChooseDesktopTest, AWaylandDesktopWithoutWlrootsInterfacesRefusesAndSaysWhatWorks) {
  Session gnome{{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}};
  DesktopChoice choice = gnome.Choose();
  EXPECT_EQ(choice.name, "none");
  EXPECT_EQ(choice.desktop, nullptr);
  EXPECT_NE(choice.complaint.find("offers no virtual pointer"), std::string::npos);
  EXPECT_NE(choice.complaint.find("--ozone-platform=x11"), std::string::npos);

  Session nothing;
  choice = nothing.Choose();
  EXPECT_EQ(choice.name, "none");
  EXPECT_NE(choice.complaint.find("DISPLAY"), std::string::npos);
}

TEST(ChooseDesktopTest, TheOverrideForcesOneBackEndOrSaysWhyNot) {
  Session session{
      {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-1"}, {"MOREL_XY_BACKEND", "wlroots"}}};
  session.browserOnX = true;
  session.wlroots = true;
  EXPECT_EQ(session.Choose().name, "wlroots");

  session.variables["MOREL_XY_BACKEND"] = "x11";
  session.browserOnX = false;
  EXPECT_EQ(session.Choose().name, "x11");

  session.xOpens = false;
  DesktopChoice choice = session.Choose();
  EXPECT_EQ(choice.name, "none");
  EXPECT_NE(choice.complaint.find("MOREL_XY_BACKEND=x11"), std::string::npos);

  session.variables["MOREL_XY_BACKEND"] = "wlroots";
  session.wlroots = false;
  choice = session.Choose();
  EXPECT_EQ(choice.name, "none");
  EXPECT_NE(choice.complaint.find("offers no virtual pointer"), std::string::npos);

  // A value naming nothing is reported, and the session decides.
  session.variables["MOREL_XY_BACKEND"] = "gnome";
  session.wlroots = true;
  choice = session.Choose();
  EXPECT_EQ(choice.name, "wlroots");
  EXPECT_NE(choice.complaint.find("MOREL_XY_BACKEND=gnome"), std::string::npos);
}

}  // namespace
}  // namespace morel_xy
