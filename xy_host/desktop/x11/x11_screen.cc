#include "desktop/x11/x11_screen.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <limits>
#include <map>

#include "desktop/x11/browser_classes.h"
#include "desktop/x11/process_start.h"
#include "desktop/x11/window_layers.h"
#include "desktop/x11/x11_capture.h"
#include "desktop/x11/x11_monitors.h"
#include "desktop/x11/x11_properties.h"
#include "desktop/x11/x11_windows.h"

namespace morel_xy {
namespace {

const X11Monitor* PrimaryMonitor(const std::vector<X11Monitor>& monitors) {
  for (const X11Monitor& monitor : monitors) {
    if (monitor.primary) return &monitor;
  }
  return nullptr;
}

int32_t OwnerPid(const X11Connection& x, Window client) {
  const auto pid = GetLongs(x, client, x.InternAtom("_NET_WM_PID"), XA_CARDINAL);
  if (!pid || pid->empty() || (*pid)[0] == 0 || (*pid)[0] > 0x7FFFFFFFul) return 0;
  return static_cast<int32_t>((*pid)[0]);
}

// The window's layer from its EWMH type; nullopt for desktop windows, which are left out.
// Xlib keeps interned atoms, so naming them here costs no round trip after the first.
std::optional<int32_t> Layer(const X11Connection& x, const X11TopLevel& top) {
  const auto types = GetLongs(x, top.client, x.InternAtom("_NET_WM_WINDOW_TYPE"), XA_ATOM);
  if (types) {
    // The first type the window lists that we know, as the window manager would read them.
    for (unsigned long type : *types) {
      for (const WindowTypeLayer& known : WindowTypeLayers()) {
        if (type != x.InternAtom(known.typeName)) continue;
        if (known.desktopElement) return std::nullopt;
        return known.layer;
      }
    }
  }
  return top.overrideRedirect ? kPopUpMenuLayer : kNormalLayer;
}

}  // namespace

X11Screen::X11Screen(X11Connection& connection) : connection_(connection), capture_(connection) {}
X11Screen::~X11Screen() = default;

int32_t X11Screen::GetApplicationPid(const std::string& bundleId) {
  const std::optional<std::vector<Window>> clients = ListClients(connection_);
  if (!clients) return -1;
  // Start ticks per candidate process; a process missing from the table (another pid
  // namespace) sorts after those present, then by pid.
  std::map<std::pair<uint64_t, int32_t>, int32_t> byStart;
  for (const Window client : *clients) {
    X11ErrorTrap trap(connection_);
    const auto wmClass = GetWmClass(connection_, client);
    const int32_t pid = OwnerPid(connection_, client);
    if (!trap.Finish() || !wmClass || pid <= 0) continue;
    if (BundleIdForWmClass(wmClass->first, wmClass->second) != bundleId) continue;
    const uint64_t start = ProcessStartTicks(pid).value_or(std::numeric_limits<uint64_t>::max());
    byStart[{start, pid}] = pid;
  }
  return byStart.empty() ? -1 : byStart.begin()->second;
}

std::optional<std::vector<OnScreenWindow>> X11Screen::ListOnScreenWindows() {
  const std::vector<X11Monitor> monitors = ListMonitors(connection_);
  const X11Monitor* primary = PrimaryMonitor(monitors);
  const std::optional<std::vector<X11TopLevel>> tops = ListTopLevels(connection_);
  if (!primary || !tops) return std::nullopt;
  const double scale = connection_.DesktopScale();

  std::vector<OnScreenWindow> windows;
  for (const X11TopLevel& top : *tops) {
    if (!top.viewable || top.hidden) continue;
    X11ErrorTrap trap(connection_);
    OnScreenWindow window;
    window.ownerPid = OwnerPid(connection_, top.client);
    window.windowNumber = static_cast<int32_t>(top.client);
    window.name = GetTitle(connection_, top.client).value_or("");  // untitled: empty
    const std::optional<int32_t> layer = Layer(connection_, top);
    if (!trap.Finish()) continue;  // gone while being read
    if (!layer) continue;          // part of the desktop itself
    window.layer = layer;
    window.bounds = ToTopDownPoints(top.outer, primary->bounds, scale);
    windows.push_back(std::move(window));
  }
  if (!connection_.alive()) return std::nullopt;
  return windows;
}

std::vector<Screen> X11Screen::ListScreens() {
  const std::vector<X11Monitor> monitors = ListMonitors(connection_);
  const X11Monitor* primary = PrimaryMonitor(monitors);
  if (!primary) return {};
  const double scale = connection_.DesktopScale();
  std::vector<Screen> screens;
  for (const X11Monitor& monitor : monitors) {
    screens.push_back(Screen{monitor.number, monitor.name, scale,
                             ToBottomUpPoints(monitor.bounds, primary->bounds, scale),
                             ToBottomUpPoints(monitor.workArea, primary->bounds, scale)});
  }
  return screens;
}

uint32_t X11Screen::MainDisplayNumber() {
  const std::vector<X11Monitor> monitors = ListMonitors(connection_);
  const X11Monitor* primary = PrimaryMonitor(monitors);
  return primary ? primary->number : 0;
}

double X11Screen::MainScreenBackingScaleFactor() {
  if (ListMonitors(connection_).empty()) return 0.0;
  return connection_.DesktopScale();
}

std::optional<CapturedImage> X11Screen::CaptureDisplayArea(uint32_t displayNumber,
                                                           const PixelRect& area) {
  constexpr int64_t kLimit = int64_t{1} << 40;
  for (int64_t v : {area.x, area.y, area.width, area.height}) {
    if (v <= -kLimit || v >= kLimit) return std::nullopt;
  }
  for (const X11Monitor& monitor : ListMonitors(connection_)) {
    if (monitor.number != displayNumber) continue;
    const RootRect wanted{monitor.bounds.x + area.x, monitor.bounds.y + area.y, area.width,
                          area.height};
    const RootRect root{0, 0, DisplayWidth(connection_.display(), connection_.screen()),
                        DisplayHeight(connection_.display(), connection_.screen())};
    const RootRect clipped = Intersect(Intersect(wanted, monitor.bounds), root);
    if (clipped.width <= 0 || clipped.height <= 0) return std::nullopt;
    return capture_.CaptureRootArea(clipped);
  }
  return std::nullopt;
}

}  // namespace morel_xy
