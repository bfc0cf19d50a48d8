// A small X client for input tests and benchmarks: one window covering the screen, holding the
// keyboard focus, reporting on standard output, one line per event:
//   ready <window>
//   key <keycode> <state> <hex UTF-8 text or ->      (key press, decoded through an input context)
//   keyup <keycode> <state>
//   press <button> <x> <y> <state>  /  release <button> <x> <y> <state>
//   motion <x> <y>
// With --browser its window presents itself as a Chromium window (WM_CLASS, _NET_WM_PID, a
// title), so the host takes it for the browser. It runs until it is killed.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Hex(const char* bytes, int length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (int i = 0; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 15]);
  }
  return hex.empty() ? "-" : hex;
}

bool ChooseUtf8Locale() {
  for (const char* name : {"C.UTF-8", "en_US.UTF-8", "C.utf8"}) {
    if (std::setlocale(LC_ALL, name) && XSupportsLocale()) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const bool asBrowser = argc > 1 && std::strcmp(argv[1], "--browser") == 0;
  if (!ChooseUtf8Locale()) {
    std::fprintf(stderr, "no UTF-8 locale that Xlib supports\n");
    return 2;
  }
  XSetLocaleModifiers("@im=none");
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 3;
  const int screen = DefaultScreen(display);
  const Window window =
      XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                          static_cast<unsigned>(DisplayWidth(display, screen)),
                          static_cast<unsigned>(DisplayHeight(display, screen)), 0,
                          BlackPixel(display, screen), WhitePixel(display, screen));
  XSelectInput(display, window,
               KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                   PointerMotionMask | StructureNotifyMask | FocusChangeMask);
  if (asBrowser) {
    XClassHint hint{const_cast<char*>("chromium"), const_cast<char*>("Chromium")};
    XSetClassHint(display, window, &hint);
    const long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XStoreName(display, window, "Event client");
  }
  XIM im = XOpenIM(display, nullptr, nullptr, nullptr);
  if (!im) return 4;
  XIC ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window,
                     XNFocusWindow, window, nullptr);
  if (!ic) return 5;
  XMapRaised(display, window);

  bool ready = false;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (XFilterEvent(&event, None)) continue;
    switch (event.type) {
      case MapNotify:
        if (!ready) {
          XSetInputFocus(display, window, RevertToParent, CurrentTime);
          XSetICFocus(ic);
          XSync(display, False);
          ready = true;
          std::printf("ready %lu\n", window);
        }
        break;
      case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        break;
      case KeyPress: {
        char buffer[64];
        KeySym keysym = NoSymbol;
        Status status = 0;
        const int length =
            Xutf8LookupString(ic, &event.xkey, buffer, sizeof buffer, &keysym, &status);
        const bool hasText = status == XLookupChars || status == XLookupBoth;
        std::printf("key %u %u %s\n", event.xkey.keycode, event.xkey.state,
                    Hex(buffer, hasText ? length : 0).c_str());
        break;
      }
      case KeyRelease:
        std::printf("keyup %u %u\n", event.xkey.keycode, event.xkey.state);
        break;
      case ButtonPress:
      case ButtonRelease:
        std::printf("%s %u %d %d %u\n", event.type == ButtonPress ? "press" : "release",
                    event.xbutton.button, event.xbutton.x, event.xbutton.y, event.xbutton.state);
        break;
      case MotionNotify:
        std::printf("motion %d %d\n", event.xmotion.x, event.xmotion.y);
        break;
      default:
        continue;
    }
    std::fflush(stdout);
  }
}
