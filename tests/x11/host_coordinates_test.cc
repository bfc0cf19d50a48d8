// Where the host's points are on an X screen whose primary monitor is not at the root's origin:
// every method must count from the primary monitor's top-left corner, so that a click aimed
// inside the rectangle the host reports for the browser lands there.

// clang-format off
// gtest names a type None, which Xlib defines as a macro: gtest goes first.
#include <gtest/gtest.h>
// clang-format on

#include <nlohmann/json.hpp>

#include "event_client.h"
#include "host_process.h"
#include "xvfb_server.h"

namespace {

using morel_test::EventClient;
using morel_test::Fields;
using morel_test::HostProcess;
using nlohmann::json;
using namespace std::chrono_literals;

class HostCoordinatesTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb.ok()) << xvfb.error();
    // A 640-pixel monitor on the left, and the primary one ("*") right of it.
    ASSERT_EQ(Xrandr({"--setmonitor", "left", "640/169x800/212+0+0", "none"}), 0);
    ASSERT_EQ(Xrandr({"--setmonitor", "*main", "1024/271x800/212+640+0", "screen"}), 0);
    ASSERT_EQ(morel_test::SetXftDpi(xvfb.display(), 96 * GetParam()), 0);
    // The "browser": a window covering the whole root, so every click lands in it and reports
    // where.
    client = std::make_unique<EventClient>(xvfb.display(), /*asBrowser=*/true);
    ASSERT_TRUE(client->ready());
    host = std::make_unique<HostProcess>(MOREL_XY_HOST_PATH, xvfb.display());
  }

  int Xrandr(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xrandr");
    return morel_test::RunWithDisplay(xvfb.display(), arguments);
  }

  json Call(const std::string& method, const json& params) {
    const json request = {{"id", ++lastId}, {"method", method}, {"params", params}};
    if (!host->Send(request.dump())) return nullptr;
    const std::optional<std::string> response = host->Receive(20s);
    if (!response) return nullptr;
    const json parsed = json::parse(*response);
    return parsed.contains("result") ? parsed["result"] : json(nullptr);
  }

  morel_test::XvfbServer xvfb{{.width = 1664, .height = 800}};
  std::unique_ptr<EventClient> client;
  std::unique_ptr<HostProcess> host;
  int lastId = 0;
};

TEST_P(HostCoordinatesTest, ClickInsideTheReportedBrowserRectangleLandsThere) {
  const int scale = GetParam();
  // The window is at the root's origin: 640 pixels left of the primary monitor's corner.
  const json rect = Call("get_active_browser_outer_rect", json::object());
  ASSERT_TRUE(rect.is_object()) << rect;
  EXPECT_EQ(
      rect,
      (json{{"x", -640 / scale}, {"y", 0}, {"width", 1664 / scale}, {"height", 800 / scale}}));

  // 700 x 100 pixels into the window, on the primary monitor.
  const int x = rect["x"].get<int>() + 700 / scale;
  const int y = rect["y"].get<int>() + 100 / scale;
  ASSERT_EQ(Call("send_mouse_event", {{"type", 3}, {"button", 0}, {"x", x}, {"y", y}}), json(true));
  EXPECT_EQ(Fields(client->WaitFor("press", 5s).value_or("")),
            (std::vector<std::string>{"press", "1", "700", "100", "0"}));

  // The displays in the same space, turned bottom-up: the primary one at the origin.
  const json displays = Call("get_display_list", json::object());
  ASSERT_EQ(displays.size(), 2u) << displays;
  for (const json& display : displays) {
    const json expected =
        display["isPrimary"].get<bool>()
            ? json{{"x", 0}, {"y", 0}, {"width", 1024 / scale}, {"height", 800 / scale}}
            : json{{"x", -640 / scale}, {"y", 0}, {"width", 640 / scale}, {"height", 800 / scale}};
    EXPECT_EQ(display["frame"], expected) << display;
  }
}

INSTANTIATE_TEST_SUITE_P(AtScaleOneAndTwo, HostCoordinatesTest, ::testing::Values(1, 2));

}  // namespace
