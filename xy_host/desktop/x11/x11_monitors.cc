#include "desktop/x11/x11_monitors.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <memory>

#include "desktop/x11/edid.h"
#include "desktop/x11/x11_properties.h"

namespace morel_xy::x11 {
namespace {

constexpr uint32_t kOutputlessBit = 1u << 30;

std::string AtomName(const X11Connection& x, Atom atom) {
  if (atom == None) return "";
  char* name = XGetAtomName(x.display(), atom);
  if (!name) return "";
  std::string result(name);
  XFree(name);
  return result;
}

std::vector<uint8_t> OutputEdid(const X11Connection& x, RROutput output) {
  const Atom edidAtom = x.InternAtom("EDID");
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::vector<uint8_t> edid;
  if (XRRGetOutputProperty(x.display(), output, edidAtom, 0, 256, False, False, AnyPropertyType,
                           &type, &format, &count, &remaining, &data) == Success &&
      data && format == 8) {
    edid.assign(data, data + count);
  }
  if (data) XFree(data);
  return edid;
}

std::string OutputName(const X11Connection& x, XRRScreenResources* resources, RROutput output) {
  if (!resources) return "";
  XRROutputInfo* info = XRRGetOutputInfo(x.display(), resources, output);
  if (!info) return "";
  std::string name(info->name, static_cast<size_t>(info->nameLen));
  XRRFreeOutputInfo(info);
  return name;
}

// The work area of the current desktop in root pixels, if the window manager publishes one.
std::optional<RootRect> WorkArea(const X11Connection& x) {
  const auto area = GetLongs(x, x.root(), x.InternAtom("_NET_WORKAREA"), XA_CARDINAL);
  if (!area || area->size() < 4) return std::nullopt;
  size_t desktop = 0;
  if (auto current = GetLongs(x, x.root(), x.InternAtom("_NET_CURRENT_DESKTOP"), XA_CARDINAL);
      current && !current->empty() && ((*current)[0] + 1) * 4 <= area->size()) {
    desktop = (*current)[0];
  }
  const unsigned long* a = area->data() + 4 * desktop;
  return RootRect{static_cast<int64_t>(static_cast<long>(a[0])),
                  static_cast<int64_t>(static_cast<long>(a[1])), static_cast<int64_t>(a[2]),
                  static_cast<int64_t>(a[3])};
}

bool HasMonitors(const X11Connection& x) {
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  return XRRQueryExtension(x.display(), &eventBase, &errorBase) &&
         XRRQueryVersion(x.display(), &major, &minor) && (major > 1 || (major == 1 && minor >= 5));
}

}  // namespace

std::vector<X11Monitor> ListMonitors(const X11Connection& x, MonitorDetail detail) {
  std::vector<X11Monitor> monitors;
  if (!x.alive()) return monitors;
  const bool full = detail == MonitorDetail::kFull;
  X11ErrorTrap trap(x);
  const std::optional<RootRect> workArea = full ? WorkArea(x) : std::nullopt;

  if (HasMonitors(x)) {
    int count = 0;
    XRRMonitorInfo* infos = XRRGetMonitors(x.display(), x.root(), True, &count);
    std::unique_ptr<XRRScreenResources, void (*)(XRRScreenResources*)> resources(
        full ? XRRGetScreenResourcesCurrent(x.display(), x.root()) : nullptr,
        &XRRFreeScreenResources);
    for (int i = 0; infos && i < count; ++i) {
      const XRRMonitorInfo& info = infos[i];
      X11Monitor monitor;
      monitor.primary = info.primary;
      monitor.bounds = RootRect{info.x, info.y, info.width, info.height};
      if (info.noutput > 0) {
        const RROutput output = info.outputs[0];
        monitor.number = static_cast<uint32_t>(output);
        if (full) {
          monitor.name = EdidProductName(OutputEdid(x, output));
          if (monitor.name.empty()) monitor.name = OutputName(x, resources.get(), output);
        }
      } else {
        monitor.number = kOutputlessBit | static_cast<uint32_t>(info.name);
      }
      if (full && monitor.name.empty()) monitor.name = AtomName(x, info.name);
      monitors.push_back(std::move(monitor));
    }
    if (infos) XRRFreeMonitors(infos);
  }
  if (monitors.empty()) {
    X11Monitor whole;
    whole.number = kOutputlessBit;
    whole.bounds = RootRect{0, 0, DisplayWidth(x.display(), x.screen()),
                            DisplayHeight(x.display(), x.screen())};
    monitors.push_back(whole);
  }
  if (!trap.Finish()) return {};

  bool anyPrimary = false;
  for (X11Monitor& monitor : monitors) {
    monitor.primary = monitor.primary && !anyPrimary;  // one primary, the first flagged
    anyPrimary = anyPrimary || monitor.primary;
    monitor.workArea = monitor.bounds;
    if (workArea) {
      const RootRect clipped = Intersect(*workArea, monitor.bounds);
      if (clipped.width > 0 && clipped.height > 0) monitor.workArea = clipped;
    }
  }
  if (!anyPrimary) {
    // No primary output is set (a bare server): the monitor at the root's origin is the one
    // the desktop starts from, else the first.
    auto atOrigin = std::find_if(monitors.begin(), monitors.end(), [](const X11Monitor& m) {
      return m.bounds.x == 0 && m.bounds.y == 0;
    });
    (atOrigin != monitors.end() ? *atOrigin : monitors.front()).primary = true;
  }
  return monitors;
}

std::optional<PointSpace> CurrentPointSpace(const X11Connection& x) {
  for (const X11Monitor& monitor : ListMonitors(x, MonitorDetail::kGeometry)) {
    if (monitor.primary) return PointSpace(monitor.bounds, x.DesktopScale());
  }
  return std::nullopt;
}

}  // namespace morel_xy::x11
