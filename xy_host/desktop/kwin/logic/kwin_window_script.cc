#include "desktop/kwin/logic/kwin_window_script.h"

#include <algorithm>
#include <string_view>

namespace morel_xy::kwin {
namespace {

// D-Bus names and paths are made of letters, digits and a few separators: checked here, they
// need no escaping inside the script's single-quoted strings.
bool SafeName(std::string_view name, std::string_view extra) {
  return !name.empty() && name.size() <= 255 && std::all_of(name.begin(), name.end(), [&](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           extra.find(c) != std::string_view::npos;
  });
}

// Runs in KWin's script engine. stackingOrder lists the windows bottom to top; an older KWin
// without it gives the list with the active window first. Geometry is in KWin's global
// logical coordinates.
constexpr std::string_view kScriptBody = R"js(
  // KWin 6: the desktops a window is on (none: all), as objects; KWin 5: a number, -1 for all.
  function sameDesktop(a, b) {
    return a === b || (!!a && !!b && a.id !== undefined && a.id === b.id);
  }
  function onCurrentDesktop(w) {
    if (w.onAllDesktops) return true;
    var current = workspace.currentDesktop;
    if (w.desktops !== undefined) {
      if (w.desktops.length === 0) return true;
      for (var d = 0; d < w.desktops.length; ++d)
        if (sameDesktop(w.desktops[d], current)) return true;
      return false;
    }
    if (w.desktop !== undefined) return w.desktop === -1 || w.desktop === current;
    return true;
  }
  var all = workspace.windowList ? workspace.windowList() : workspace.clientList();
  var active = workspace.activeWindow !== undefined ? workspace.activeWindow
                                                     : workspace.activeClient;
  var order = [];
  if (workspace.stackingOrder && workspace.stackingOrder.length > 0) {
    for (var i = workspace.stackingOrder.length - 1; i >= 0; --i)
      order.push(workspace.stackingOrder[i]);
  } else {
    if (active) order.push(active);
    for (var j = 0; j < all.length; ++j) if (all[j] !== active) order.push(all[j]);
  }
  var windows = [];
  for (var k = 0; k < order.length; ++k) {
    var w = order[k];
    var g = w.frameGeometry !== undefined ? w.frameGeometry : w.geometry;
    windows.push({
      pid: w.pid,
      desktopFileName: w.desktopFileName || "",
      resourceClass: w.resourceClass || "",
      caption: w.caption || "",
      x: g.x, y: g.y, width: g.width, height: g.height,
      normal: !!w.normalWindow, dialog: !!w.dialog, minimized: !!w.minimized,
      desktop: !!w.desktopWindow, dock: !!w.dock, splash: !!w.splash,
      onCurrentDesktop: onCurrentDesktop(w)
    });
  }
  callDBus(SERVICE, PATH, INTERFACE, METHOD, JSON.stringify({windows: windows}));
)js";

}  // namespace

std::optional<std::string> WindowListScript(const ScriptCallback& callback) {
  if (!SafeName(callback.service, ".:-") || !SafeName(callback.path, "/") ||
      callback.path.front() != '/' || !SafeName(callback.interface, ".") ||
      !SafeName(callback.method, "")) {
    return std::nullopt;
  }
  std::string script = "(function () {\n";
  const auto constant = [&](std::string_view name, const std::string& value) {
    script.append("  var ").append(name).append(" = '").append(value).append("';\n");
  };
  constant("SERVICE", callback.service);
  constant("PATH", callback.path);
  constant("INTERFACE", callback.interface);
  constant("METHOD", callback.method);
  script.append(kScriptBody).append("})();\n");
  return script;
}

}  // namespace morel_xy::kwin
