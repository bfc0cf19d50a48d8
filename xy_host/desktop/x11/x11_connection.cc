#include "desktop/x11/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>

namespace morel_xy::x11 {
namespace {

// Xlib's handlers are process-wide; these record instead of exiting.
thread_local unsigned long tErrorCount = 0;
std::mutex gDeadMutex;
std::set<Display*> gDeadDisplays;

int OnXError(Display*, XErrorEvent*) {
  ++tErrorCount;
  return 0;
}

int OnXIOError(Display*) {
  return 0;
}

void OnXIOErrorExit(Display* display, void*) {
  std::lock_guard<std::mutex> lock(gDeadMutex);
  gDeadDisplays.insert(display);
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::Open() {
  static std::once_flag handlersInstalled;
  std::call_once(handlersInstalled, [] {
    XSetErrorHandler(&OnXError);
    XSetIOErrorHandler(&OnXIOError);
  });
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  XSetIOErrorExitHandler(display, &OnXIOErrorExit, nullptr);
  return std::unique_ptr<X11Connection>(new X11Connection(display));
}

X11Connection::X11Connection(Display* display)
    : m_display(display), m_root(DefaultRootWindow(display)), m_screen(DefaultScreen(display)) {}

X11Connection::~X11Connection() {
  {
    std::lock_guard<std::mutex> lock(gDeadMutex);
    gDeadDisplays.erase(m_display);
  }
  XCloseDisplay(m_display);
}

bool X11Connection::alive() const {
  std::lock_guard<std::mutex> lock(gDeadMutex);
  return gDeadDisplays.count(m_display) == 0;
}

Atom X11Connection::InternAtom(const char* name) const {
  return XInternAtom(m_display, name, False);
}

double X11Connection::DesktopScale() const {
  if (!alive()) return 1.0;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  X11ErrorTrap trap(*this);
  const int status = XGetWindowProperty(m_display, m_root, XA_RESOURCE_MANAGER, 0, 1 << 20, False,
                                        XA_STRING, &type, &format, &count, &remaining, &data);
  trap.Finish();
  if (status != Success || !data) return 1.0;
  std::string resources(reinterpret_cast<char*>(data), count);
  XFree(data);

  // The database is "name:\tvalue" lines; only Xft.dpi matters here.
  double scale = 1.0;
  size_t at = 0;
  while (at < resources.size()) {
    size_t end = resources.find('\n', at);
    if (end == std::string::npos) end = resources.size();
    const std::string line = resources.substr(at, end - at);
    at = end + 1;
    constexpr char kKey[] = "Xft.dpi:";
    if (line.compare(0, sizeof kKey - 1, kKey) != 0) continue;
    const char* value = line.c_str() + sizeof kKey - 1;
    char* parsedEnd = nullptr;
    const double dpi = std::strtod(value, &parsedEnd);
    if (parsedEnd != value && dpi > 0 && dpi < 96.0 * 16) scale = dpi / 96.0;
  }
  return scale;
}

X11ErrorTrap::X11ErrorTrap(const X11Connection& connection)
    : m_connection(connection), m_errorsBefore(tErrorCount) {}

X11ErrorTrap::~X11ErrorTrap() = default;

bool X11ErrorTrap::Finish() {
  if (!m_connection.alive()) return false;
  XSync(m_connection.display(), False);
  return m_connection.alive() && tErrorCount == m_errorsBefore;
}

bool X11Connection::IsXwayland() {
  if (m_xwayland >= 0) return m_xwayland == 1;
  if (!alive()) return false;
  // Recent Xwaylands offer an extension named after them; older ones (22.1) are known by the
  // names they give their outputs.
  int opcode = 0, event = 0, error = 0;
  bool xwayland = XQueryExtension(m_display, "XWAYLAND", &opcode, &event, &error);
  if (!xwayland) {
    X11ErrorTrap trap(*this);
    if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(m_display, m_root)) {
      for (int i = 0; i < resources->noutput && !xwayland; ++i) {
        if (XRROutputInfo* info = XRRGetOutputInfo(m_display, resources, resources->outputs[i])) {
          xwayland = std::string_view(info->name, static_cast<size_t>(info->nameLen))
                         .starts_with("XWAYLAND");
          XRRFreeOutputInfo(info);
        }
      }
      XRRFreeScreenResources(resources);
    }
    if (!trap.Finish()) return false;
  }
  m_xwayland = xwayland ? 1 : 0;
  return xwayland;
}

}  // namespace morel_xy::x11
