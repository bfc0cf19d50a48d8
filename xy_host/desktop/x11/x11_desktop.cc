#include "desktop/x11/x11_desktop.h"

#include <X11/extensions/XTest.h>

#include "desktop/sleep_for.h"
#include "desktop/termination_guard.h"
#include "desktop/x11/x11_connection.h"
#include "desktop/x11/x11_input.h"
#include "desktop/x11/x11_monitors.h"
#include "desktop/x11/x11_screen.h"

namespace morel_xy::x11 {
namespace {

unsigned XButton(PointerButton button) {
  switch (button) {
    case PointerButton::Left:
      return 1;
    case PointerButton::Middle:
      return 2;
    case PointerButton::Right:
      return 3;
  }
  return 1;
}

// How long a remapped keycode is left to reach Xwayland's clients. Measured with Chromium
// under sway's Xwayland (bench/chromium_typing_sway.py --platform x11, 263 characters of words
// in mixed scripts and 300 drawn at random, a run): 0 ms lost characters; 20 ms typed one wrong
// character in seven runs ("界" as the "气" its keycode held before); 50 ms was exact in every
// run, at 175 and 140 characters a second (20 ms: 205 and 170).
constexpr std::chrono::milliseconds kXwaylandSettleTime{50};

class X11Desktop final : public Desktop {
 public:
  explicit X11Desktop(std::unique_ptr<X11Connection> connection)
      : m_connection(std::move(connection)),
        m_input(*m_connection,
                m_connection->IsXwayland() ? kXwaylandSettleTime : KeycodePool::kDefaultSettleTime),
        m_screen(*m_connection) {
    m_input.ConfigureSyntheticInput();
  }

  // Points become root pixels by the point space of the moment: the primary monitor may have
  // moved, or the scale changed, since the last event.
  bool MovePointer(Point at) override {
    const std::optional<PointSpace> space = CurrentPointSpace(*m_connection);
    return space && m_input.MovePointer(space->ToRoot(at));
  }
  bool PressButton(PointerButton button, bool down, Point at) override {
    const std::optional<PointSpace> space = CurrentPointSpace(*m_connection);
    return space && m_input.PressButton(XButton(button), down, space->ToRoot(at));
  }
  bool Scroll(int32_t vertical, int32_t horizontal) override {
    return m_input.Scroll(vertical, horizontal);
  }
  bool PressKey(Keysym keysym, bool down) override { return m_input.PressKey(keysym, down); }
  bool TypeCharacter(char32_t character, std::string_view upcoming) override {
    return m_input.TypeCharacter(character, upcoming);
  }
  void Sleep(std::chrono::nanoseconds duration) override { SleepFor(duration); }
  std::optional<std::vector<TopLevelWindow>> ListOnScreenWindows() override {
    return m_screen.ListOnScreenWindows();
  }
  std::vector<DesktopDisplay> ListDisplays() override { return m_screen.ListDisplays(); }
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                  const PixelRect& area) override {
    return m_screen.CaptureDisplayArea(displayNumber, area);
  }

  // What --check can tell without posting anything.
  std::string Missing(Capability capability) {
    if (!m_connection->alive()) return "the X server of DISPLAY is gone";
    switch (capability) {
      case Capability::PointerAndButtons:
      case Capability::Wheel:
      case Capability::KeysAndChords: {
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(m_connection->display(), &event, &error, &major, &minor)) {
          return "the X server has no XTEST extension, through which input is posted";
        }
        if (capability != Capability::KeysAndChords) return "";
        const std::string keys = m_input.MissingModifierKeys();
        if (keys.empty()) return "";
        return "the keyboard layout has no key for " + keys +
               " (see setxkbmap -print; xmodmap can add one)";
      }
      case Capability::TextOutsideLayout:
        if (m_input.ScratchKeycodes() > 0) return "";
        return "the keyboard layout leaves no keycode free for the characters it lacks "
               "(xmodmap -pke lists every keycode mapped)";
      case Capability::DisplaysAndScale:
        if (!ListMonitors(*m_connection, MonitorDetail::kGeometry).empty()) return "";
        return "the X server reports no monitor (it needs the RANDR extension, 1.5 or later)";
      case Capability::BrowserWindowFrame:
      case Capability::Capture:
        return "";
    }
    return "";
  }

 private:
  // Declared first: the input and screen parts use it until they are destroyed.
  std::unique_ptr<X11Connection> m_connection;
  X11Input m_input;
  X11Screen m_screen;
  // Declared last, so it is gone before the parts its release uses.
  TerminationGuard m_guard{[this] { m_input.ReleaseForTermination(); }};
};

std::string Variable(const Environment& environment, const char* name) {
  const char* value = environment(name);
  return value ? value : "";
}

std::string Absent(const Environment& environment) {
  return Variable(environment, "DISPLAY").empty() ? "DISPLAY is not set" : "";
}

OpenedDesktop Open(const Environment& environment, std::string* why) {
  const std::string display = Variable(environment, "DISPLAY");
  std::unique_ptr<X11Connection> connection = X11Connection::Open();
  if (!connection) {
    *why = "no X display can be opened at DISPLAY=" + display;
    return {};
  }
  auto desktop = std::make_unique<X11Desktop>(std::move(connection));
  X11Desktop& opened = *desktop;
  return OpenedDesktop{std::move(desktop), "the X server of DISPLAY=" + display,
                       [&opened](Capability capability) { return opened.Missing(capability); }};
}

bool OnlyForABrowserItShows(const Environment& environment) {
  return !Variable(environment, "WAYLAND_DISPLAY").empty();
}

}  // namespace

const Backend X11_BACKEND = {"x11", Absent, Open, OnlyForABrowserItShows};

}  // namespace morel_xy::x11
