// clang-format off
// gtest and the host's headers name things None, which Xlib defines as a macro: they go first.
#include <gtest/gtest.h>
#include "impl/keyboard.h"
// clang-format on

#include "desktop/x11/x11_input.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <thread>

#include "event_client.h"
#include "x11_test_support.h"
#include "xsettings_blob.h"
#include "xvfb_server.h"

namespace morel_xy {
namespace {

using morel_test::EventClient;
using morel_test::Fields;
using morel_test::KeyboardMapping;
using morel_test::KeysDown;
using morel_test::KeysymOf;
using morel_test::QueryPointer;
using P = PlatformMouseEventType;
using namespace std::chrono_literals;

PostedMouseEvent Mouse(P type, int32_t button, double x, double y) {
  return PostedMouseEvent{type, button, x, y, 0, 0};
}

// X11Input on a private Xvfb, with the test client's window covering the screen.
class X11InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(xvfb.ok()) << xvfb.error();
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    observer = XOpenDisplay(xvfb.display().c_str());
    ASSERT_NE(observer, nullptr);
    client = std::make_unique<EventClient>(xvfb.display());
    ASSERT_TRUE(client->ready());
    connection = X11Connection::Open();
    ASSERT_NE(connection, nullptr);
    input = std::make_unique<X11Input>(*connection);
    input->ConfigureSyntheticInput();
  }
  void TearDown() override {
    input.reset();
    connection.reset();
    client.reset();
    if (observer) XCloseDisplay(observer);
  }

  // Key events are only flushed; wait until the server has handled them before looking.
  std::vector<int> KeysDownNow() {
    XSync(connection->display(), False);
    return KeysDown(observer);
  }

  // The fields of the next line of the client starting with `prefix`.
  std::vector<std::string> Next(const std::string& prefix) {
    std::optional<std::string> line = client->WaitFor(prefix, 5s);
    return line ? Fields(*line) : std::vector<std::string>{};
  }

  morel_test::XvfbServer xvfb;
  Display* observer = nullptr;
  std::unique_ptr<EventClient> client;
  std::unique_ptr<X11Connection> connection;
  std::unique_ptr<X11Input> input;
};

TEST_F(X11InputTest, PointerLandsOnThePixelOfThePointTimesTheDesktopScale) {
  ASSERT_TRUE(input->PostMouseEvent(Mouse(P::MouseMoved, 0, 100, 200)));
  EXPECT_EQ(QueryPointer(observer).x, 100);
  EXPECT_EQ(QueryPointer(observer).y, 200);
  EXPECT_EQ(Next("motion"), (std::vector<std::string>{"motion", "100", "200"}));

  // At 192 dpi one point is two pixels.
  ASSERT_EQ(morel_test::SetXftDpi(xvfb.display(), 192), 0);
  ASSERT_TRUE(input->PostMouseEvent(Mouse(P::MouseMoved, 0, 100, 200.4)));
  EXPECT_EQ(QueryPointer(observer).x, 200);
  EXPECT_EQ(QueryPointer(observer).y, 401);
  ASSERT_TRUE(input->PostMouseEvent(Mouse(P::LeftMouseDown, 0, 30, 40)));
  ASSERT_TRUE(input->PostMouseEvent(Mouse(P::LeftMouseUp, 0, 30, 40)));
  EXPECT_EQ(Next("press"), (std::vector<std::string>{"press", "1", "60", "80", "0"}));
}

TEST_F(X11InputTest, ButtonsArriveAsLeftRightAndMiddleAtTheirPosition) {
  const struct {
    P down, up;
    int32_t button;
    const char* xButton;
  } cases[] = {{P::LeftMouseDown, P::LeftMouseUp, 0, "1"},
               {P::RightMouseDown, P::RightMouseUp, 1, "3"},
               {P::OtherMouseDown, P::OtherMouseUp, 2, "2"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(input->PostMouseEvent(Mouse(c.down, c.button, 10, 20)));
    EXPECT_NE(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
    ASSERT_TRUE(input->PostMouseEvent(Mouse(c.up, c.button, 10, 20)));
    EXPECT_EQ(Next("press"), (std::vector<std::string>{"press", c.xButton, "10", "20", "0"}));
    const std::vector<std::string> release = Next("release");
    ASSERT_EQ(release.size(), 5u);
    EXPECT_EQ(release[1], c.xButton);
  }
  EXPECT_EQ(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
}

TEST_F(X11InputTest, WheelTurnsOneButtonClickPerLinePositiveMeaningUpOrLeft) {
  ASSERT_TRUE(input->PostMouseEvent(Mouse(P::MouseMoved, 0, 50, 50)));
  ASSERT_TRUE(input->PostScrollEvent(PostedScrollEvent{2, 0, 0}));   // up
  ASSERT_TRUE(input->PostScrollEvent(PostedScrollEvent{-1, 0, 9}));  // down; wheel 3 ignored
  ASSERT_TRUE(input->PostScrollEvent(PostedScrollEvent{0, 1, 0}));   // left
  ASSERT_TRUE(input->PostScrollEvent(PostedScrollEvent{0, -3, 0}));  // right
  std::vector<std::string> buttons;
  for (const std::string& line : client->Drain(500ms)) {
    const std::vector<std::string> fields = Fields(line);
    if (fields[0] == "press") buttons.push_back(fields[1]);
  }
  EXPECT_EQ(buttons, (std::vector<std::string>{"4", "4", "5", "6", "7", "7", "7"}));
}

TEST_F(X11InputTest, HugeWheelDeltaIsCappedInsteadOfHangingTheHost) {
  ASSERT_TRUE(input->PostScrollEvent(PostedScrollEvent{INT32_MIN, 0, 0}));
  size_t presses = 0;
  for (const std::string& line : client->Drain(1000ms)) presses += line.rfind("press 5", 0) == 0;
  EXPECT_EQ(presses, static_cast<size_t>(X11Input::kMaxWheelLines));
}

TEST_F(X11InputTest, ChordHoldsRealModifierKeysAroundTheKey) {
  ASSERT_TRUE(input->PostKeyEvent(PostedKeyEvent{0, true, kFlagControl | kFlagShift}));  // A
  EXPECT_EQ(KeysDownNow().size(), 3u) << "Control, Shift and the key";
  ASSERT_TRUE(input->PostKeyEvent(PostedKeyEvent{0, false, 0}));
  EXPECT_TRUE(KeysDownNow().empty());

  const std::vector<std::string> control = Next("key ");
  const std::vector<std::string> shift = Next("key ");
  const std::vector<std::string> a = Next("key ");
  ASSERT_EQ(a.size(), 4u);
  EXPECT_EQ(KeysymOf(observer, std::stoi(control[1])), XK_Control_L);
  EXPECT_EQ(KeysymOf(observer, std::stoi(shift[1])), XK_Shift_L);
  EXPECT_EQ(KeysymOf(observer, std::stoi(a[1])), XK_a);
  EXPECT_EQ(std::stoul(a[2]) & (ControlMask | ShiftMask), unsigned{ControlMask | ShiftMask});
}

TEST_F(X11InputTest, EverySpecialKeyReachesTheClientAsItsKey) {
  // Independent of the tables under test: what each key must produce in the client.
  const auto expectedKeysym = [](KeyboardSpecialKey key) -> KeySym {
    const auto v = static_cast<uint32_t>(key);
    if (v >= 40 && v <= 65) return XK_a + (v - 40);
    if (v >= 30 && v <= 39) return XK_0 + (v - 30);
    if (v >= 15 && v <= 29) return XK_F1 + (v - 15);
    switch (key) {
      case KeyboardSpecialKey::Up:
        return XK_Up;
      case KeyboardSpecialKey::Right:
        return XK_Right;
      case KeyboardSpecialKey::Down:
        return XK_Down;
      case KeyboardSpecialKey::Left:
        return XK_Left;
      case KeyboardSpecialKey::PageUp:
        return XK_Prior;
      case KeyboardSpecialKey::PageDown:
        return XK_Next;
      case KeyboardSpecialKey::Backspace:
        return XK_BackSpace;
      case KeyboardSpecialKey::Delete:
        return XK_Delete;
      case KeyboardSpecialKey::Enter:
        return XK_Return;
      case KeyboardSpecialKey::Tab:
        return XK_Tab;
      case KeyboardSpecialKey::Escape:
        return XK_Escape;
      case KeyboardSpecialKey::Home:
        return XK_Home;
      case KeyboardSpecialKey::Space:
        return XK_space;
      case KeyboardSpecialKey::End:
        return XK_End;
      case KeyboardSpecialKey::Comma:
        return XK_comma;
      case KeyboardSpecialKey::Period:
        return XK_period;
      case KeyboardSpecialKey::Semicolon:
        return XK_semicolon;
      case KeyboardSpecialKey::Minus:
        return XK_minus;
      default:
        return NoSymbol;
    }
  };
  for (const auto& [key, code] : impl::detail::SPECIAL_KEY_MAP) {
    SCOPED_TRACE("key " + std::to_string(static_cast<uint32_t>(key)));
    ASSERT_TRUE(input->PostKeyEvent(PostedKeyEvent{code, true, 0}));
    ASSERT_TRUE(input->PostKeyEvent(PostedKeyEvent{code, false, 0}));
    const std::vector<std::string> press = Next("key ");
    ASSERT_EQ(press.size(), 4u);
    EXPECT_EQ(KeysymOf(observer, std::stoi(press[1])), expectedKeysym(key));
  }
  EXPECT_FALSE(input->PostKeyEvent(PostedKeyEvent{200, true, 0})) << "not a key of the host";
  EXPECT_TRUE(KeysDownNow().empty());
}

TEST_F(X11InputTest, UnicodeCharactersDecodeToThemselvesAndTheKeymapComesBack) {
  const std::vector<KeySym> keymapBefore = KeyboardMapping(observer);
  const std::u16string characters[] = {u"a",      u"Z",      u"~",      u"\u00e9",
                                       u"\u0159", u"\u03a9", u"\u4e2d", u"\U0001F600"};
  std::string expected;
  for (const std::u16string& units : characters) {
    ASSERT_TRUE(input->PostUnicodeKeyEvent(PostedUnicodeKeyEvent{true, units}));
    ASSERT_TRUE(input->PostUnicodeKeyEvent(PostedUnicodeKeyEvent{false, units}));
    std::this_thread::sleep_for(1ms);  // the host's pacing
  }
  expected = "aZ~\u00e9\u0159\u03a9\u4e2d\U0001F600";
  EXPECT_EQ(client->ReadText(8, 2s), expected);
  EXPECT_FALSE(input->PostUnicodeKeyEvent(PostedUnicodeKeyEvent{true, u"ab"})) << "two characters";
  EXPECT_FALSE(input->PostUnicodeKeyEvent(PostedUnicodeKeyEvent{true, std::u16string(1, 0xD800)}));
  EXPECT_NE(KeyboardMapping(observer), keymapBefore) << "scratch keycodes in use";
  input.reset();
  EXPECT_EQ(KeyboardMapping(observer), keymapBefore);
}

TEST_F(X11InputTest, DestroyingReleasesHeldKeysAndButtonsAndRestoresTheKeymap) {
  const std::vector<KeySym> keymapBefore = KeyboardMapping(observer);
  ASSERT_TRUE(input->PostUnicodeKeyEvent(PostedUnicodeKeyEvent{true, u"\u4e2d"}));
  ASSERT_TRUE(input->PostKeyEvent(PostedKeyEvent{6, true, kFlagControl | kFlagCommand}));
  ASSERT_TRUE(input->PostKeyEvent(PostedKeyEvent{58, true, kFlagAlternate}));
  ASSERT_TRUE(input->PostMouseEvent(Mouse(P::RightMouseDown, 1, 5, 5)));
  EXPECT_EQ(KeysDownNow().size(), 5u);
  EXPECT_NE(QueryPointer(observer).mask & Button3Mask, 0u);

  input.reset();
  EXPECT_TRUE(KeysDownNow().empty());
  EXPECT_EQ(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
  EXPECT_EQ(KeyboardMapping(observer), keymapBefore);
}

TEST_F(X11InputTest, LostConnectionReportsFailureReleasesKeysAndKeepsTheProcess) {
  ASSERT_TRUE(input->PostKeyEvent(PostedKeyEvent{59, true, kFlagControl}));
  ASSERT_TRUE(input->PostMouseEvent(Mouse(P::LeftMouseDown, 0, 5, 5)));
  ASSERT_EQ(KeysDownNow().size(), 1u);

  // Kill the input's connection from outside, as a server reset or xkill would.
  const Window own =
      XCreateSimpleWindow(connection->display(), connection->root(), 0, 0, 1, 1, 0, 0, 0);
  XSync(connection->display(), False);
  XKillClient(observer, own);
  XSync(observer, False);

  EXPECT_FALSE(input->PostKeyEvent(PostedKeyEvent{0, true, 0}));
  EXPECT_FALSE(connection->alive());
  EXPECT_TRUE(KeysDownNow().empty());
  EXPECT_EQ(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
  // Later operations keep answering, with failure.
  EXPECT_FALSE(input->PostMouseEvent(Mouse(P::MouseMoved, 0, 1, 1)));
  EXPECT_FALSE(input->PostScrollEvent(PostedScrollEvent{1, 0, 0}));
  EXPECT_FALSE(input->PostUnicodeKeyEvent(PostedUnicodeKeyEvent{true, u"x"}));
  EXPECT_DOUBLE_EQ(input->DoubleClickInterval(), 0.4);
}

// An XSETTINGS blob (little-endian) with a string setting before the integer one.
std::string SettingsBlob(int32_t doubleClickMs) {
  return morel_test::XSettingsBlob(false)
      .AddString("Net/ThemeName", "abc")
      .AddInteger("Net/DoubleClickTime", doubleClickMs)
      .data();
}

TEST_F(X11InputTest, DoubleClickIntervalFollowsTheSettingsManager) {
  EXPECT_DOUBLE_EQ(input->DoubleClickInterval(), 0.4);

  const Window manager =
      XCreateSimpleWindow(observer, DefaultRootWindow(observer), 0, 0, 1, 1, 0, 0, 0);
  const std::string blob = SettingsBlob(250);
  const Atom settings = XInternAtom(observer, "_XSETTINGS_SETTINGS", False);
  XChangeProperty(observer, manager, settings, settings, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(blob.data()),
                  static_cast<int>(blob.size()));
  XSetSelectionOwner(observer, XInternAtom(observer, "_XSETTINGS_S0", False), manager, CurrentTime);
  XSync(observer, False);
  EXPECT_DOUBLE_EQ(input->DoubleClickInterval(), 0.25);

  XDestroyWindow(observer, manager);
  XSync(observer, False);
  EXPECT_DOUBLE_EQ(input->DoubleClickInterval(), 0.4);
}

}  // namespace
}  // namespace morel_xy
