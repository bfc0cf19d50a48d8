#include "desktop/x11/x11_screen.h"

#include <X11/Xatom.h>

#include "desktop/x11/window_roles.h"
#include "desktop/x11/x11_monitors.h"
#include "desktop/x11/x11_properties.h"
#include "desktop/x11/x11_windows.h"

namespace morel_xy::x11 {
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

// The window's role from its EWMH type. Xlib keeps interned atoms, so naming them here costs
// no round trip after the first.
WindowRole Role(const X11Connection& x, const X11TopLevel& top) {
  const auto types = GetLongs(x, top.client, x.InternAtom("_NET_WM_WINDOW_TYPE"), XA_ATOM);
  if (types) {
    // The first type the window lists that we know, as the window manager would read them.
    for (unsigned long type : *types) {
      for (const WindowTypeRole& known : WindowTypeRoles()) {
        if (type == x.InternAtom(known.typeName)) return known.role;
      }
    }
  }
  return top.overrideRedirect ? WindowRole::kOther : WindowRole::kNormal;
}

}  // namespace

X11Screen::X11Screen(X11Connection& connection) : m_connection(connection), m_capture(connection) {}
X11Screen::~X11Screen() = default;

std::optional<std::vector<TopLevelWindow>> X11Screen::ListOnScreenWindows() {
  const std::optional<PointSpace> space = CurrentPointSpace(m_connection);
  const std::optional<std::vector<X11TopLevel>> tops = ListTopLevels(m_connection);
  if (!space || !tops) return std::nullopt;

  std::vector<TopLevelWindow> windows;
  for (const X11TopLevel& top : *tops) {
    if (!top.viewable || top.hidden) continue;
    X11ErrorTrap trap(m_connection);
    TopLevelWindow window;
    window.pid = OwnerPid(m_connection, top.client);
    window.title = GetTitle(m_connection, top.client).value_or("");  // untitled: empty
    if (const auto wmClass = GetWmClass(m_connection, top.client)) {
      window.applicationId = wmClass->second.empty() ? wmClass->first : wmClass->second;
    }
    const WindowRole role = Role(m_connection, top);
    if (!trap.Finish()) continue;                       // gone while being read
    if (role == WindowRole::kDesktopElement) continue;  // part of the desktop itself
    window.normal = role == WindowRole::kNormal;
    window.frame = space->ToPoints(top.outer);
    windows.push_back(std::move(window));
  }
  if (!m_connection.alive()) return std::nullopt;
  return windows;
}

std::vector<DesktopDisplay> X11Screen::ListDisplays() {
  const std::vector<X11Monitor> monitors = ListMonitors(m_connection);
  const X11Monitor* primary = PrimaryMonitor(monitors);
  if (!primary) return {};
  const double scale = m_connection.DesktopScale();
  const PointSpace space(primary->bounds, scale);
  std::vector<DesktopDisplay> displays;
  for (const X11Monitor& monitor : monitors) {
    displays.push_back(DesktopDisplay{monitor.number, monitor.name, monitor.primary, scale,
                                      space.ToPoints(monitor.bounds),
                                      space.ToPoints(monitor.workArea)});
  }
  return displays;
}

std::optional<CapturedImage> X11Screen::CaptureDisplayArea(uint32_t displayNumber,
                                                           const PixelRect& area) {
  constexpr int64_t kLimit = int64_t{1} << 40;
  for (int64_t v : {area.x, area.y, area.width, area.height}) {
    if (v <= -kLimit || v >= kLimit) return std::nullopt;
  }
  for (const X11Monitor& monitor : ListMonitors(m_connection, MonitorDetail::kGeometry)) {
    if (monitor.number != displayNumber) continue;
    const RootRect wanted{monitor.bounds.x + area.x, monitor.bounds.y + area.y, area.width,
                          area.height};
    const RootRect root{0, 0, DisplayWidth(m_connection.display(), m_connection.screen()),
                        DisplayHeight(m_connection.display(), m_connection.screen())};
    const RootRect clipped = Intersect(Intersect(wanted, monitor.bounds), root);
    if (clipped.width <= 0 || clipped.height <= 0) return std::nullopt;
    std::optional<CapturedImage> image = m_connection.IsXwayland()
                                             ? m_capture.CaptureRootAreaFromWindows(clipped)
                                             : m_capture.CaptureRootArea(clipped);
    if (image) {
      image->area = PixelRect{clipped.x - monitor.bounds.x, clipped.y - monitor.bounds.y,
                              clipped.width, clipped.height};
    }
    return image;
  }
  return std::nullopt;
}

}  // namespace morel_xy::x11
