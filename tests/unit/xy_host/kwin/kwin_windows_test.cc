#include "desktop/kwin/logic/kwin_windows.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "desktop/kwin/logic/kwin_window_script.h"

namespace morel_xy::kwin {
namespace {

const ScriptCallback kCallback{":1.42", "/org/morel/Host", "org.morel.Host", "Windows"};

// Runs `script` in Node.js after `workspace`, a stand-in for KWin's scripting objects, with a
// callDBus that prints its arguments: the callback's four names on one line, then the answer.
std::string RunInNode(const std::string& workspace, const std::string& script) {
  char path[] = "/tmp/kwin-script-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) return "";
  ::close(fd);
  {
    std::ofstream file(path);
    file << "function callDBus(s, p, i, m, a) { console.log([s, p, i, m].join(' '));"
            " console.log(a); }\n"
         << workspace << "\n"
         << script;
  }
  std::string output;
  if (FILE* node = ::popen(("node " + std::string(path) + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, node)) > 0;) output.append(buffer, n);
    ::pclose(node);
  }
  std::remove(path);
  return output;
}

// The answer line of RunInNode's output, after checking the callback line.
std::string Answer(const std::string& output) {
  const size_t newline = output.find('\n');
  EXPECT_EQ(output.substr(0, newline), ":1.42 /org/morel/Host org.morel.Host Windows") << output;
  return newline == std::string::npos ? "" : output.substr(newline + 1);
}

// The same desktop on KWin 6 and on KWin 5: a browser in front, a dialog behind it, a
// terminal; a minimised window, one on another virtual desktop, a panel and the background.
constexpr const char* kKWin6 = R"js(
var d1 = {id: "d1"}, d2 = {id: "d2"};
function win(o) { o.desktops = o.desktops || [d1]; return o; }
var browser = win({pid: 4242, desktopFileName: "chromium", resourceClass: "chromium",
  caption: "Page — Chromium", frameGeometry: {x: 10, y: 20, width: 800, height: 600},
  normalWindow: true});
var dialog = win({pid: 4242, desktopFileName: "", resourceClass: "chromium", caption: "Open",
  frameGeometry: {x: 100, y: 120, width: 300, height: 200}, dialog: true});
var term = win({pid: 77, desktopFileName: "org.kde.konsole", caption: "~",
  frameGeometry: {x: 0, y: 0, width: 640, height: 480}, normalWindow: true, desktops: []});
var hidden = win({pid: 5, caption: "min", frameGeometry: {x: 0, y: 0, width: 9, height: 9},
  normalWindow: true, minimized: true});
var away = win({pid: 6, caption: "away", frameGeometry: {x: 0, y: 0, width: 9, height: 9},
  normalWindow: true, desktops: [d2]});
var panel = win({pid: 1, caption: "panel", frameGeometry: {x: 0, y: 960, width: 1600, height: 40},
  dock: true});
var wall = win({pid: 1, caption: "desktop", frameGeometry: {x: 0, y: 0, width: 1600, height: 1000},
  desktopWindow: true});
var workspace = {
  windowList: function () { return [wall, term, hidden, browser, panel, away, dialog]; },
  stackingOrder: [wall, term, hidden, away, dialog, browser, panel],
  activeWindow: browser, currentDesktop: {id: "d1"}
};
)js";

constexpr const char* kKWin5 = R"js(
function win(o) { if (o.desktop === undefined) o.desktop = 1; return o; }
var browser = win({pid: 4242, desktopFileName: "chromium", resourceClass: "chromium",
  caption: "Page — Chromium", geometry: {x: 10, y: 20, width: 800, height: 600},
  normalWindow: true});
var dialog = win({pid: 4242, desktopFileName: "", resourceClass: "chromium", caption: "Open",
  geometry: {x: 100, y: 120, width: 300, height: 200}, dialog: true});
var term = win({pid: 77, desktopFileName: "org.kde.konsole", caption: "~",
  geometry: {x: 0, y: 0, width: 640, height: 480}, normalWindow: true, desktop: -1});
var hidden = win({pid: 5, caption: "min", geometry: {x: 0, y: 0, width: 9, height: 9},
  normalWindow: true, minimized: true});
var away = win({pid: 6, caption: "away", geometry: {x: 0, y: 0, width: 9, height: 9},
  normalWindow: true, desktop: 2});
var panel = win({pid: 1, caption: "panel", geometry: {x: 0, y: 960, width: 1600, height: 40},
  dock: true});
var workspace = {
  clientList: function () { return [term, hidden, browser, panel, away, dialog]; },
  activeClient: browser, currentDesktop: 1
};
)js";

TEST(KWinWindowScriptTest, BothKWinGenerationsReportTheWindowsAUserSees) {
  const std::optional<std::string> script = WindowListScript(kCallback);
  ASSERT_TRUE(script);
  const TopLevelWindow browser{4242, "chromium", "Page — Chromium", true, {10, 20, 800, 600}};
  const TopLevelWindow dialog{4242, "chromium", "Open", true, {100, 120, 300, 200}};
  const TopLevelWindow term{77, "org.kde.konsole", "~", true, {0, 0, 640, 480}};

  // KWin 6 keeps a stacking order: front to back.
  const auto six = ParseKWinWindows(Answer(RunInNode(kKWin6, *script)));
  ASSERT_TRUE(six);
  EXPECT_EQ(*six, (std::vector<TopLevelWindow>{browser, dialog, term}));

  // Without one, the active window comes first, then the list as KWin gives it.
  const auto five = ParseKWinWindows(Answer(RunInNode(kKWin5, *script)));
  ASSERT_TRUE(five);
  EXPECT_EQ(*five, (std::vector<TopLevelWindow>{browser, term, dialog}));
}

TEST(KWinWindowScriptTest, ACallbackThatCannotBeQuotedSafelyGivesNoScript) {
  EXPECT_FALSE(WindowListScript({"org.morel'); evil(); ('", "/p", "i.f", "M"}));
  EXPECT_FALSE(WindowListScript({":1.42", "no/leading/slash", "i.f", "M"}));
  EXPECT_FALSE(WindowListScript({":1.42", "/p", "i.f", "M\n"}));
  EXPECT_FALSE(WindowListScript({"", "/p", "i.f", "M"}));
}

TEST(KWinWindowsTest, AnAnswerOfAnotherShapeIsRefusedAndOddMembersCountAsAbsent) {
  EXPECT_FALSE(ParseKWinWindows("not json"));
  EXPECT_FALSE(ParseKWinWindows("[]"));
  EXPECT_FALSE(ParseKWinWindows(R"({"windows": {}})"));
  const auto windows = ParseKWinWindows(R"({"windows": [
      7,
      {"pid": "12", "caption": 5, "x": "1", "y": 2, "width": 30, "height": 40, "normal": 1},
      {"pid": 99999999999, "desktopFileName": "a", "width": 10, "height": 0},
      {"pid": -3, "resourceClass": "b", "width": 10, "height": 10, "dialog": true}]})");
  ASSERT_TRUE(windows);
  EXPECT_EQ(*windows, (std::vector<TopLevelWindow>{{0, "", "", false, {0, 2, 30, 40}},
                                                   {0, "b", "", true, {0, 0, 10, 10}}}));
}

}  // namespace
}  // namespace morel_xy::kwin
