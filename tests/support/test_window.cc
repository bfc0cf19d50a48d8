#include "test_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace morel_test {
namespace {

Atom A(Display* d, const char* name) {
  return XInternAtom(d, name, False);
}

bool HasProperty(Display* d, Window w, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(d, w, property, 0, 16, False, AnyPropertyType, &type,
                                        &format, &count, &remaining, &data) == Success &&
                     type != None;
  if (data) XFree(data);
  return found;
}

bool RunsWindowManager(Display* d) {
  return HasProperty(d, DefaultRootWindow(d), A(d, "_NET_SUPPORTING_WM_CHECK"));
}

int gProbeErrors = 0;
int CountProbeError(Display*, XErrorEvent*) {
  ++gProbeErrors;
  return 0;
}

// True when some client (the window manager) holds the root's substructure redirect: asking
// for it ourselves is then refused. A window manager announces itself a moment before it takes
// the redirect, and a window mapped in between is never managed.
bool RedirectHeld(Display* d) {
  XSync(d, False);
  gProbeErrors = 0;
  XErrorHandler previous = XSetErrorHandler(&CountProbeError);
  XSelectInput(d, DefaultRootWindow(d), SubstructureRedirectMask);
  XSync(d, False);
  const bool held = gProbeErrors > 0;
  XSelectInput(d, DefaultRootWindow(d), NoEventMask);
  XSync(d, False);
  XSetErrorHandler(previous);
  return held;
}

void SendToRoot(Display* d, Window w, Atom message, long a0, long a1, long a2) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = message;
  event.xclient.format = 32;
  event.xclient.data.l[0] = a0;
  event.xclient.data.l[1] = a1;
  event.xclient.data.l[2] = a2;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &event);
  XFlush(d);
}

}  // namespace

TestWindow::TestWindow(const std::string& display, const Options& o) {
  display_ = XOpenDisplay(display.c_str());
  if (!display_) return;
  const bool managed = o.map && !o.overrideRedirect && RunsWindowManager(display_);
  for (int i = 0; managed && i < 250 && !RedirectHeld(display_); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // A window manager that is still starting up can lose the request to map a window, or map
  // it without framing it, and never come back to that window: make a new one until one is
  // framed.
  for (int attempt = 0; attempt < 4; ++attempt) {
    Create(o);
    if (!o.map) {
      ok_ = true;
      return;
    }
    XMapRaised(display_, window_);
    XSync(display_, False);
    ok_ = WaitUntil(&TestWindow::Viewable, managed ? 50 : 250);
    if (ok_ && managed) ok_ = WaitUntil(&TestWindow::Managed, 50);
    if (ok_) break;
    Destroy();
  }
  if (ok_) {
    XClearWindow(display_, window_);
    XSync(display_, False);
  }
}

void TestWindow::Create(const Options& o) {
  const int screen = DefaultScreen(display_);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = o.background;
  attributes.border_pixel = 0x123456;
  attributes.override_redirect = o.overrideRedirect;
  window_ = XCreateWindow(
      display_, RootWindow(display_, screen), o.x, o.y, static_cast<unsigned>(o.width),
      static_cast<unsigned>(o.height), static_cast<unsigned>(o.border), CopyFromParent, InputOutput,
      CopyFromParent, CWBackPixel | CWBorderPixel | CWOverrideRedirect, &attributes);

  XClassHint hint{const_cast<char*>(o.instance.c_str()), const_cast<char*>(o.klass.c_str())};
  XSetClassHint(display_, window_, &hint);
  XSizeHints size{};
  size.flags = USPosition | USSize;
  size.x = o.x;
  size.y = o.y;
  size.width = o.width;
  size.height = o.height;
  XSetWMNormalHints(display_, window_, &size);
  if (o.netTitle) {
    XChangeProperty(display_, window_, A(display_, "_NET_WM_NAME"), A(display_, "UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(o.netTitle->data()),
                    static_cast<int>(o.netTitle->size()));
  }
  if (o.title) {
    XChangeProperty(display_, window_, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(o.title->data()),
                    static_cast<int>(o.title->size()));
  }
  if (o.pid != 0) {
    const long pid = o.pid < 0 ? static_cast<long>(getpid()) : static_cast<long>(o.pid);
    XChangeProperty(display_, window_, A(display_, "_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
  }
  if (!o.type.empty()) {
    const long type = static_cast<long>(A(display_, o.type.c_str()));
    XChangeProperty(display_, window_, A(display_, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&type), 1);
  }
  XSync(display_, False);
}

TestWindow::~TestWindow() {
  if (!display_) return;
  Destroy();
  XCloseDisplay(display_);
}

bool TestWindow::WaitUntil(bool (TestWindow::*condition)() const, int tries) const {
  for (int i = 0; i < tries; ++i) {
    if ((this->*condition)()) {
      // Let the window manager finish what it does around the change (placing, drawing).
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

bool TestWindow::Viewable() const {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display_, window_, &attributes) && attributes.map_state == IsViewable;
}

bool TestWindow::NotViewable() const {
  return !Viewable();
}

bool TestWindow::Managed() const {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  bool inStack = false;
  if (XGetWindowProperty(display_, DefaultRootWindow(display_),
                         A(display_, "_NET_CLIENT_LIST_STACKING"), 0, 4096, False, XA_WINDOW, &type,
                         &format, &count, &remaining, &data) == Success &&
      data) {
    const unsigned long* windows = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long i = 0; i < count; ++i) inStack = inStack || windows[i] == window_;
  }
  if (data) XFree(data);
  return inStack && HasProperty(display_, window_, A(display_, "_NET_FRAME_EXTENTS"));
}

void TestWindow::Fill(int x, int y, int width, int height, uint32_t rgb) {
  GC gc = XCreateGC(display_, window_, 0, nullptr);
  XSetForeground(display_, gc, rgb);
  XFillRectangle(display_, window_, gc, x, y, static_cast<unsigned>(width),
                 static_cast<unsigned>(height));
  XFreeGC(display_, gc);
  XSync(display_, False);
}

bool TestWindow::Iconify() {
  XIconifyWindow(display_, window_, DefaultScreen(display_));
  XSync(display_, False);
  return WaitUntil(&TestWindow::NotViewable);
}

void TestWindow::Activate() {
  SendToRoot(display_, window_, A(display_, "_NET_ACTIVE_WINDOW"), 2, CurrentTime, 0);
  XRaiseWindow(display_, window_);
  XSync(display_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void TestWindow::Destroy() {
  if (!window_) return;
  XDestroyWindow(display_, window_);
  XSync(display_, False);
  window_ = 0;
}

TestWindow::Box TestWindow::Client() const {
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window_, &attributes);
  return Box{x, y, attributes.width, attributes.height};
}

TestWindow::Box TestWindow::Frame() const {
  Window current = window_;
  for (;;) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, current, &root, &parent, &children, &count)) return Box{};
    if (children) XFree(children);
    if (parent == root) break;
    current = parent;
  }
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, current, &attributes);
  return Box{attributes.x, attributes.y, attributes.width + 2 * attributes.border_width,
             attributes.height + 2 * attributes.border_width};
}

}  // namespace morel_test
