// The wlroots desktop against a real headless sway (run_sway_tests.py starts it and names the
// scenario's tests): what a Wayland client receives, what sway reports, what a capture holds.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <thread>

#include "actions/displays.h"
#include "actions/windows.h"
#include "desktop/wlroots/open_wlroots_desktop.h"
#include "desktop/wlroots/sway/sway_ipc.h"
#include "wayland_test_client.h"

namespace morel_xy {
namespace {

using json = nlohmann::json;
using morel_test::Fields;
using morel_test::WaylandTestClient;
using namespace std::chrono_literals;

constexpr uint32_t kRunCommand = 0;
constexpr uint32_t kGetOutputs = 3;

class SwayDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* socket = std::getenv("SWAYSOCK");
    ASSERT_TRUE(std::getenv("WAYLAND_DISPLAY") && socket)
        << "run through tests/wayland/run_sway_tests.py, which starts sway";
    ipc = std::make_unique<wlroots::SwayIpc>(socket);
    std::string why;
    desktop = OpenDesktop(wlroots::WLROOTS_BACKEND, &why);
    ASSERT_NE(desktop, nullptr) << why;
  }

  // What the host makes of the desktop's windows and displays.
  int32_t ApplicationPid(Browser browser) {
    const auto windows = desktop->ListOnScreenWindows();
    return windows ? detail::GetApplicationPid(*windows, browser, ProcessTable::System()) : -1;
  }
  double Scale() { return GetScreenBackingScaleFactor(*desktop, ProcessTable::System()); }

  json Ipc(uint32_t type, const std::string& payload = "") {
    const std::optional<std::string> answer = ipc->Request(type, payload);
    return answer ? json::parse(*answer, nullptr, false) : json();
  }
  void Command(const std::string& command) {
    const json answer = Ipc(kRunCommand, command);
    ASSERT_TRUE(answer.is_array() && !answer.empty() && answer[0].value("success", false))
        << command << ": " << answer.dump();
  }

  // The rect sway gives the view of process `pid` (layout coordinates).
  std::optional<PointRect> ViewRect(pid_t pid) {
    const std::optional<std::string> tree = ipc->Request(4, "");
    if (!tree) return std::nullopt;
    std::optional<PointRect> found;
    const std::function<void(const json&)> walk = [&](const json& node) {
      if (node.value("pid", 0) == pid) {
        const json& r = node["rect"];
        found = PointRect{r["x"].get<double>(), r["y"].get<double>(), r["width"].get<double>(),
                          r["height"].get<double>()};
      }
      for (const char* list : {"nodes", "floating_nodes"}) {
        for (const json& child : node.value(list, json::array())) walk(child);
      }
    };
    walk(json::parse(*tree));
    return found;
  }

  std::unique_ptr<wlroots::SwayIpc> ipc;
  std::unique_ptr<Desktop> desktop;
};

TEST_F(SwayDesktopTest, DisplaysAreSwaysOutputs) {
  const json outputs = Ipc(kGetOutputs);
  ASSERT_TRUE(outputs.is_array());
  const std::vector<DesktopDisplay> displays = desktop->ListDisplays();
  ASSERT_EQ(displays.size(), outputs.size());
  int mains = 0;
  for (const json& output : outputs) {
    const json& r = output["rect"];
    const PointRect frame{r["x"].get<double>(), r["y"].get<double>(), r["width"].get<double>(),
                          r["height"].get<double>()};
    const auto match = std::find_if(displays.begin(), displays.end(),
                                    [&](const DesktopDisplay& d) { return d.frame == frame; });
    ASSERT_NE(match, displays.end()) << output.dump();
    EXPECT_DOUBLE_EQ(match->scale, output["scale"].get<double>());
    EXPECT_EQ(match->main, frame.x == 0 && frame.y == 0);
    mains += match->main;
    const std::string model = output.value("model", "");
    EXPECT_EQ(match->name,
              model.empty() || model == "Unknown" ? output["name"].get<std::string>() : model);
  }
  EXPECT_EQ(mains, 1);
}

TEST_F(SwayDesktopTest, PointerButtonsAndWheelReachTheFocusedClient) {
  WaylandTestClient client("morel-pointer-test");
  ASSERT_TRUE(client.ready());
  const std::optional<PointRect> rect = ViewRect(client.pid());
  ASSERT_TRUE(rect);
  const Point at{rect->x + 37, rect->y + 41};
  client.Drain(100ms);
  ASSERT_TRUE(desktop->MovePointer(at));
  // The pointer may have been over the window already (a motion) or not (an enter).
  std::optional<std::string> moved = client.NextLine(2s);
  ASSERT_TRUE(moved);
  const std::vector<std::string> fields = Fields(*moved);
  EXPECT_DOUBLE_EQ(std::stod(fields[1]), 37);
  EXPECT_DOUBLE_EQ(std::stod(fields[2]), 41);

  // A press at another point moves there first.
  ASSERT_TRUE(desktop->PressButton(PointerButton::Left, true, Point{rect->x + 50, rect->y + 60}));
  const std::optional<std::string> motion = client.WaitFor("motion", 2s);
  ASSERT_TRUE(motion);
  EXPECT_EQ(Fields(*motion)[1], "50.000000");
  EXPECT_EQ(client.WaitFor("button", 2s), "button 272 down");
  ASSERT_TRUE(desktop->PressButton(PointerButton::Left, false, Point{rect->x + 50, rect->y + 60}));
  EXPECT_EQ(client.WaitFor("button", 2s), "button 272 up");
  for (const auto& [button, code] :
       {std::pair{PointerButton::Right, "273"}, std::pair{PointerButton::Middle, "274"}}) {
    ASSERT_TRUE(desktop->PressButton(button, true, Point{rect->x + 50, rect->y + 60}));
    ASSERT_TRUE(desktop->PressButton(button, false, Point{rect->x + 50, rect->y + 60}));
    EXPECT_EQ(client.WaitFor("button", 2s), std::string("button ") + code + " down");
    EXPECT_EQ(client.WaitFor("button", 2s), std::string("button ") + code + " up");
  }

  // Up is a negative step on the vertical axis, left a negative one on the horizontal.
  ASSERT_TRUE(desktop->Scroll(1, 0));
  EXPECT_EQ(client.WaitFor("discrete", 2s), "discrete 0 -1");
  ASSERT_TRUE(desktop->Scroll(0, -2));
  EXPECT_EQ(client.WaitFor("discrete", 2s), "discrete 1 1");
  EXPECT_EQ(client.WaitFor("discrete", 2s), "discrete 1 1");
}

// Types `text` the way the host does: one character at a time, the rest as what comes next.
bool TypeText(Desktop& desktop, const std::u32string& text, const std::string& utf8) {
  bool ok = true;
  size_t byte = 0;
  for (char32_t c : text) {
    byte += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    ok = desktop.TypeCharacter(c, std::string_view(utf8).substr(byte)) && ok;
    desktop.Sleep(1ms);
  }
  return ok;
}

TEST_F(SwayDesktopTest, TextArrivesExactlyInEveryScript) {
  WaylandTestClient client("morel-keyboard-test");
  ASSERT_TRUE(client.ready());
  const std::u32string text = U"Hello, World! <>&\"'~ café naïve Ωμέγα Ёжик 漢字かな 😀🎉 x€y\tz";
  const std::string utf8 = "Hello, World! <>&\"'~ café naïve Ωμέγα Ёжик 漢字かな 😀🎉 x€y\tz";
  ASSERT_TRUE(TypeText(*desktop, text, utf8));
  EXPECT_EQ(client.ReadText(utf8.size(), 2s), utf8);
}

TEST_F(SwayDesktopTest, ChordsHoldRealModifiers) {
  WaylandTestClient client("morel-chord-test");
  ASSERT_TRUE(client.ready());
  ASSERT_TRUE(desktop->PressKey(keysym::kControlL, true));
  ASSERT_TRUE(desktop->PressKey('a', true));
  ASSERT_TRUE(desktop->PressKey('a', false));
  ASSERT_TRUE(desktop->PressKey(keysym::kControlL, false));
  ASSERT_TRUE(desktop->PressKey(keysym::kShiftL, true));
  ASSERT_TRUE(desktop->PressKey(keysym::kTab, true));
  ASSERT_TRUE(desktop->PressKey(keysym::kTab, false));
  ASSERT_TRUE(desktop->PressKey(keysym::kShiftL, false));
  ASSERT_TRUE(desktop->PressKey(keysym::kReturn, true));
  ASSERT_TRUE(desktop->PressKey(keysym::kReturn, false));
  std::vector<std::string> keys;
  for (const std::string& line : client.Drain(300ms)) {
    if (line.rfind("key ", 0) == 0) keys.push_back(line);
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"key 29 down - -", "key 30 down c 01", "key 30 up c 01",
                                            "key 29 up c -", "key 42 down - -", "key 15 down s 09",
                                            "key 15 up s 09", "key 42 up s -", "key 28 down - 0d",
                                            "key 28 up - 0d"}));
}

TEST_F(SwayDesktopTest, TheBrowserWindowIsFoundByItsAppIdAndProcess) {
  WaylandTestClient other("morel-other-test");
  WaylandTestClient browser("chromium-morel-test");
  ASSERT_TRUE(other.ready() && browser.ready());
  EXPECT_EQ(ApplicationPid(Browser::Chrome), browser.pid());
  EXPECT_EQ(ApplicationPid(Browser::Firefox), -1);
  const std::optional<PointRect> rect = ViewRect(browser.pid());
  ASSERT_TRUE(rect);
  const std::optional<std::vector<TopLevelWindow>> windows = desktop->ListOnScreenWindows();
  ASSERT_TRUE(windows);
  // The browser got the focus last: it comes first.
  ASSERT_GE(windows->size(), 2u);
  EXPECT_EQ((*windows)[0].pid, browser.pid());
  EXPECT_EQ((*windows)[0].frame, *rect);
  EXPECT_EQ((*windows)[0].title, "chromium-morel-test");
  const std::vector<DesktopDisplay> displays = desktop->ListDisplays();
  const auto on = std::find_if(displays.begin(), displays.end(), [&](const DesktopDisplay& d) {
    return rect->x >= d.frame.x && rect->x < d.frame.x + d.frame.width && rect->y >= d.frame.y &&
           rect->y < d.frame.y + d.frame.height;
  });
  ASSERT_NE(on, displays.end());
  EXPECT_DOUBLE_EQ(Scale(), on->scale);
}

TEST_F(SwayDesktopTest, CapturesHoldTheClientsPixels) {
  WaylandTestClient client("morel-capture-test",
                           {"--color", "203040", "--block", "100,80,60,40,12c84d"});
  ASSERT_TRUE(client.ready());
  std::this_thread::sleep_for(200ms);  // a frame drawn and shown
  const std::optional<PointRect> rect = ViewRect(client.pid());
  ASSERT_TRUE(rect);
  const std::vector<DesktopDisplay> displays = desktop->ListDisplays();
  const DesktopDisplay& display =
      *std::find_if(displays.begin(), displays.end(), [&](const DesktopDisplay& d) {
        return rect->x >= d.frame.x && rect->x < d.frame.x + d.frame.width;
      });
  const double s = display.scale;
  // The block and 20 points of background around it, in the display's pixels.
  const PixelRect area{std::llround((rect->x - display.frame.x + 80) * s),
                       std::llround((rect->y - display.frame.y + 60) * s), std::llround(100 * s),
                       std::llround(80 * s)};
  const std::optional<CapturedImage> image = desktop->CaptureDisplayArea(display.number, area);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->width, area.width);
  ASSERT_EQ(image->height, area.height);
  const auto pixel = [&](double x, double y) {
    const size_t at = static_cast<size_t>(std::llround(y * s)) * image->bytesPerRow +
                      static_cast<size_t>(std::llround(x * s)) * 4;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x", image->bgrx[at + 2], image->bgrx[at + 1],
                  image->bgrx[at]);
    return std::string(hex);
  };
  // Inside the block (points from the area's corner), then background on every side.
  EXPECT_EQ(pixel(21, 21), "12c84d");
  EXPECT_EQ(pixel(78, 58), "12c84d");
  EXPECT_EQ(pixel(50, 40), "12c84d");
  EXPECT_EQ(pixel(10, 40), "203040");
  EXPECT_EQ(pixel(90, 40), "203040");
  EXPECT_EQ(pixel(50, 10), "203040");
  EXPECT_EQ(pixel(50, 70), "203040");
  // Nothing of an area beyond the display.
  EXPECT_EQ(desktop->CaptureDisplayArea(display.number, PixelRect{100000, 0, 10, 10}),
            std::nullopt);
}

TEST_F(SwayDesktopTest, HeldInputIsReleasedWhenTheProcessIsTerminated) {
  WaylandTestClient client("morel-release-test");
  ASSERT_TRUE(client.ready());
  const std::optional<PointRect> rect = ViewRect(client.pid());
  ASSERT_TRUE(rect);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t helper = fork();
  if (helper == 0) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    execl(HOLD_INPUT_HELPER_PATH, HOLD_INPUT_HELPER_PATH, std::to_string(rect->x + 20).c_str(),
          std::to_string(rect->y + 20).c_str(), nullptr);
    _exit(127);
  }
  close(fds[1]);
  char said[8] = {};
  const ssize_t n = read(fds[0], said, 4);
  close(fds[0]);
  ASSERT_EQ(std::string(said, n > 0 ? static_cast<size_t>(n) : 0), "held");
  EXPECT_TRUE(client.WaitFor("button 272 down", 2s));
  EXPECT_TRUE(client.WaitFor("key 42 down", 2s));
  kill(helper, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(helper, &status, 0), helper);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
  const std::vector<std::string> after = client.Drain(500ms);
  std::string seen;
  for (const std::string& line : after) seen += line + "; ";
  EXPECT_NE(std::find(after.begin(), after.end(), "button 272 up"), after.end()) << seen;
  EXPECT_NE(std::find_if(after.begin(), after.end(),
                         [](const std::string& l) { return l.rfind("key 42 up", 0) == 0; }),
            after.end());
}

// `morel_xy_host --check` in this session: everything works once a browser window is open.
TEST_F(SwayDesktopTest, TheSelfCheckNamesTheBackEndAndWhatIsMissing) {
  const auto check = [] {
    std::string output;
    FILE* pipe = popen(MOREL_XY_HOST_PATH " --check", "r");
    if (!pipe) return std::make_pair(output, -1);
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = pclose(pipe);
    return std::make_pair(output, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  };
  auto [output, status] = check();
  EXPECT_EQ(status, 1) << output;
  EXPECT_NE(output.find("back-end: wlroots (the wlroots compositor of WAYLAND_DISPLAY=" +
                        std::string(std::getenv("WAYLAND_DISPLAY")) + ")\n"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("the browser window's frame: missing: no Chromium, Chrome or Firefox"),
            std::string::npos)
      << output;

  WaylandTestClient browser("chromium-check-test");
  ASSERT_TRUE(browser.ready());
  std::tie(output, status) = check();
  EXPECT_EQ(status, 0) << output;
  for (const char* works : {"pointer and buttons: works", "wheel: works", "keys and chords: works",
                            "text outside the layout: works", "the browser window's frame: works",
                            "displays and scale: works", "capture: works"}) {
    EXPECT_NE(output.find(works), std::string::npos) << works << "\n" << output;
  }
}

// Run with a second output to the right of the main one (scale 2 there).
TEST_F(SwayDesktopTest, TwoOutputsPointerAndCaptureOnTheSecond) {
  const std::vector<DesktopDisplay> displays = desktop->ListDisplays();
  ASSERT_EQ(displays.size(), 2u);
  const DesktopDisplay& second = displays[0].main ? displays[1] : displays[0];
  ASSERT_GT(second.frame.x, 0);
  Command("focus output " + std::string(second.name == "headless" ? "HEADLESS-2" : second.name));
  WaylandTestClient client("chromium-second-output",
                           {"--color", "203040", "--block", "10,10,30,30,12c84d"});
  ASSERT_TRUE(client.ready());
  const std::optional<PointRect> rect = ViewRect(client.pid());
  ASSERT_TRUE(rect);
  ASSERT_GE(rect->x, second.frame.x);
  EXPECT_DOUBLE_EQ(Scale(), second.scale);

  // Focusing the output put the pointer in its middle, over the window already.
  client.Drain(100ms);
  ASSERT_TRUE(desktop->MovePointer(Point{rect->x + 15, rect->y + 25}));
  std::optional<std::string> moved = client.NextLine(2s);
  ASSERT_TRUE(moved);
  EXPECT_EQ(Fields(*moved)[1], "15.000000");
  EXPECT_EQ(Fields(*moved)[2], "25.000000");

  std::this_thread::sleep_for(200ms);
  const double s = second.scale;
  const std::optional<CapturedImage> image = desktop->CaptureDisplayArea(
      second.number, PixelRect{std::llround((rect->x - second.frame.x + 20) * s),
                               std::llround((rect->y + 20) * s), 4, 4});
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bgrx[0], 0x4d);
  EXPECT_EQ(image->bgrx[1], 0xc8);
  EXPECT_EQ(image->bgrx[2], 0x12);
}

// Run last: sway is told to exit, and every method must fail, none hang.
TEST_F(SwayDesktopTest, ALostCompositorFailsEveryMethodPromptly) {
  ASSERT_FALSE(desktop->ListDisplays().empty());
  ipc->Request(kRunCommand, "exit");
  // Until sway is gone, answers may still come.
  const auto gone = std::chrono::steady_clock::now() + 5s;
  while (!desktop->ListDisplays().empty() && std::chrono::steady_clock::now() < gone) {
    std::this_thread::sleep_for(50ms);
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(desktop->ListDisplays().empty());
  EXPECT_FALSE(desktop->MovePointer(Point{1, 1}));
  EXPECT_FALSE(desktop->PressButton(PointerButton::Left, true, Point{2, 2}));
  EXPECT_FALSE(desktop->Scroll(1, 1));
  EXPECT_FALSE(desktop->PressKey(keysym::kReturn, true));
  EXPECT_FALSE(desktop->TypeCharacter(U'ж', "x"));
  EXPECT_FALSE(desktop->TypeCharacter(U'😀', ""));
  EXPECT_EQ(ApplicationPid(Browser::Chrome), -1);
  EXPECT_EQ(desktop->ListOnScreenWindows(), std::nullopt);
  EXPECT_EQ(Scale(), 0.0);
  EXPECT_EQ(desktop->CaptureDisplayArea(1, PixelRect{0, 0, 10, 10}), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  desktop.reset();
}

}  // namespace
}  // namespace morel_xy
