#include "desktop/kwin/logic/kwin_windows.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#include "desktop/kwin/logic/kwin_window_script.h"

namespace morel_xy::kwin {
namespace {

// Runs a script in Node.js and gives what it printed.
std::string RunInNode(const std::string& source) {
  const std::string path = testing::TempDir() + "kwin_script_" + std::to_string(::getpid());
  std::ofstream(path) << source;
  std::string output;
  if (FILE* node = ::popen(("node " + path + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, node)) > 0;) output.append(buffer, n);
    ::pclose(node);
  }
  std::remove(path.c_str());
  return output;
}

// A stand-in for KWin's scripting objects, as KWin GENERATION (5 or 6) names them, and a
// callDBus that prints the callback's names on one line and the answer on the next. One
// desktop, front to back: a panel, a browser, its dialog, a window on another virtual desktop,
// a minimised one, a terminal on every desktop, the background.
constexpr const char* kKWin = R"js(
function callDBus(s, p, i, m, a) { console.log([s, p, i, m].join(" ")); console.log(a); }
var front = [
  {pid: 1, caption: "panel", g: [0, 960, 1600, 40], dock: true},
  {pid: 4242, desktopFileName: "chromium", resourceClass: "chromium", caption: "Page — Chromium",
   g: [10, 20, 800, 600], normalWindow: true},
  {pid: 4242, desktopFileName: "", resourceClass: "chromium", caption: "Open",
   g: [100, 120, 300, 200], dialog: true},
  {pid: 6, caption: "away", g: [0, 0, 9, 9], normalWindow: true, on: 2},
  {pid: 5, caption: "min", g: [0, 0, 9, 9], normalWindow: true, minimized: true},
  {pid: 77, desktopFileName: "org.kde.konsole", caption: "~", g: [0, 0, 640, 480],
   normalWindow: true, on: 0},
  {pid: 1, caption: "desktop", g: [0, 0, 1600, 1000], desktopWindow: true}];
front.forEach(function (w) {
  var g = {x: w.g[0], y: w.g[1], width: w.g[2], height: w.g[3]};
  if (GENERATION === 6) {
    w.frameGeometry = g;
    w.desktops = w.on === 0 ? [] : [{id: "d" + (w.on || 1)}];  // a new object: same id only
  } else {
    w.geometry = g;
    w.desktop = w.on === 0 ? -1 : (w.on || 1);
  }
});
var workspace = GENERATION === 6
    ? {windowList: function () { return front; }, stackingOrder: front.slice().reverse(),
       activeWindow: front[1], currentDesktop: {id: "d1"}}
    : {clientList: function () { return front.slice().reverse(); }, activeClient: front[1],
       currentDesktop: 1};
)js";

TEST(KWinWindowScriptTest, BothKWinGenerationsReportTheWindowsAUserSees) {
  const std::optional<std::string> script =
      WindowListScript({":1.42", "/org/morel/Host", "org.morel.Host", "Windows"});
  ASSERT_TRUE(script);
  const TopLevelWindow browser{4242, "chromium", "Page — Chromium", true, {10, 20, 800, 600}};
  const TopLevelWindow dialog{4242, "chromium", "Open", true, {100, 120, 300, 200}};
  const TopLevelWindow term{77, "org.kde.konsole", "~", true, {0, 0, 640, 480}};
  // KWin 6 keeps a stacking order; without one, the active window comes first, then the
  // list as KWin gives it.
  for (const auto& [generation, expected] :
       {std::pair{6, std::vector{browser, dialog, term}}, {5, {browser, term, dialog}}}) {
    const std::string output =
        RunInNode("var GENERATION = " + std::to_string(generation) + ";\n" + kKWin + *script);
    const size_t newline = output.find('\n');
    ASSERT_NE(newline, std::string::npos) << output;
    EXPECT_EQ(output.substr(0, newline), ":1.42 /org/morel/Host org.morel.Host Windows");
    EXPECT_EQ(ParseKWinWindows(output.substr(newline + 1)), expected) << generation;
  }
}

TEST(KWinWindowScriptTest, ACallbackThatCannotBeQuotedSafelyGivesNoScript) {
  EXPECT_FALSE(WindowListScript({"org.morel'); evil(); ('", "/p", "i.f", "M"}));
  EXPECT_FALSE(WindowListScript({":1.42", "no/leading/slash", "i.f", "M"}));
  EXPECT_FALSE(WindowListScript({":1.42", "/p", "i.f", "M\n"}));
}

TEST(KWinWindowsTest, AnAnswerOfAnotherShapeIsRefusedAndOddMembersCountAsAbsent) {
  EXPECT_FALSE(ParseKWinWindows("not json"));
  EXPECT_FALSE(ParseKWinWindows(R"({"windows": {}})"));
  const auto windows = ParseKWinWindows(R"({"windows": [
      7,
      {"pid": "12", "caption": 5, "x": "1", "y": 2, "width": 30, "height": 40, "normal": 1},
      {"pid": 99999999999, "desktopFileName": "a", "width": 10, "height": 0},
      {"pid": -3, "resourceClass": "b", "width": 10, "height": 10, "dialog": true}]})");
  EXPECT_EQ(windows, (std::vector<TopLevelWindow>{{0, "", "", false, {0, 2, 30, 40}},
                                                  {0, "b", "", true, {0, 0, 10, 10}}}));
}

}  // namespace
}  // namespace morel_xy::kwin
