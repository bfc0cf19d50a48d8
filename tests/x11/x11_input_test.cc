// clang-format off
// gtest and the host's headers name things None, which Xlib defines as a macro: they go first.
#include <gtest/gtest.h>
#include "actions/key_table.h"
// clang-format on

#include "desktop/x11/x11_input.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <unistd.h>
#include <utf8.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <thread>

#include "event_client.h"
#include "x11_test_support.h"
#include "xvfb_server.h"

namespace morel_xy::x11 {
namespace {

using morel_test::EventClient;
using morel_test::Fields;
using morel_test::KeyboardMapping;
using morel_test::KeysDown;
using morel_test::KeysymOf;
using morel_test::QueryPointer;
using namespace std::chrono_literals;

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

TEST_F(X11InputTest, ButtonsArriveAsLeftRightAndMiddleAtTheirPosition) {
  ASSERT_TRUE(input->MovePointer({100, 200}));
  EXPECT_EQ(QueryPointer(observer).x, 100);
  EXPECT_EQ(QueryPointer(observer).y, 200);
  EXPECT_EQ(Next("motion"), (std::vector<std::string>{"motion", "100", "200"}));

  for (const unsigned button : {1u, 3u, 2u}) {
    ASSERT_TRUE(input->PressButton(button, true, {10, 20}));
    EXPECT_NE(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
    ASSERT_TRUE(input->PressButton(button, false, {10, 20}));
    EXPECT_EQ(Next("press"),
              (std::vector<std::string>{"press", std::to_string(button), "10", "20", "0"}));
    const std::vector<std::string> release = Next("release");
    ASSERT_EQ(release.size(), 5u);
    EXPECT_EQ(release[1], std::to_string(button));
  }
  EXPECT_EQ(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
}

TEST_F(X11InputTest, WheelTurnsOneButtonClickPerLinePositiveMeaningUpOrLeft) {
  ASSERT_TRUE(input->MovePointer({50, 50}));
  ASSERT_TRUE(input->Scroll(2, 0));   // up
  ASSERT_TRUE(input->Scroll(-1, 0));  // down
  ASSERT_TRUE(input->Scroll(0, 1));   // left
  ASSERT_TRUE(input->Scroll(0, -3));  // right
  std::vector<std::string> buttons;
  for (const std::string& line : client->Drain(500ms)) {
    const std::vector<std::string> fields = Fields(line);
    if (fields[0] == "press") buttons.push_back(fields[1]);
  }
  EXPECT_EQ(buttons, (std::vector<std::string>{"4", "4", "5", "6", "7", "7", "7"}));
}

TEST_F(X11InputTest, ModifierKeysAreRealKeysAroundTheKey) {
  ASSERT_TRUE(input->PressKey(XK_Control_L, true));
  ASSERT_TRUE(input->PressKey(XK_Shift_L, true));
  ASSERT_TRUE(input->PressKey(XK_a, true));
  EXPECT_EQ(KeysDownNow().size(), 3u) << "Control, Shift and the key";
  ASSERT_TRUE(input->PressKey(XK_a, false));
  ASSERT_TRUE(input->PressKey(XK_Shift_L, false));
  ASSERT_TRUE(input->PressKey(XK_Control_L, false));
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
  // Independent of the tables under test: what the key of each name must produce in the client.
  const auto expectedKeysym = [](const std::string& name) -> KeySym {
    const std::string key = name.substr(4);  // after "KEY_"
    if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') return XK_a + (key[0] - 'A');
    if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return XK_0 + (key[0] - '0');
    if (key.size() == 4 && key.rfind("NUM", 0) == 0) return XK_0 + (key[3] - '0');
    if (key.size() >= 2 && key[0] == 'F' && key[1] >= '1' && key[1] <= '9') {
      return XK_F1 + (std::stoi(key.substr(1)) - 1);
    }
    static const std::map<std::string, KeySym> others = {
        {"UP", XK_Up},          {"RIGHT", XK_Right},
        {"DOWN", XK_Down},      {"LEFT", XK_Left},
        {"PGUP", XK_Prior},     {"PAGE_UP", XK_Prior},
        {"PGDN", XK_Next},      {"PAGE_DOWN", XK_Next},
        {"BKSP", XK_BackSpace}, {"BACKSPACE", XK_BackSpace},
        {"DEL", XK_Delete},     {"DELETE", XK_Delete},
        {"ENTER", XK_Return},   {"TAB", XK_Tab},
        {"ESC", XK_Escape},     {"ESCAPE", XK_Escape},
        {"HOME", XK_Home},      {"SPACE", XK_space},
        {"END", XK_End},        {"COMMA", XK_comma},
        {"PERIOD", XK_period},  {"SEMICOLON", XK_semicolon},
        {"MINUS", XK_minus}};
    const auto found = others.find(key);
    return found == others.end() ? NoSymbol : found->second;
  };
  for (const auto& [name, key] : morel_xy::detail::STRING_TO_SPECIAL_KEY_MAP) {
    SCOPED_TRACE(name);
    const Keysym keysym = morel_xy::detail::SPECIAL_KEY_MAP.at(key);
    ASSERT_TRUE(input->PressKey(keysym, true));
    ASSERT_TRUE(input->PressKey(keysym, false));
    const std::vector<std::string> press = Next("key ");
    ASSERT_EQ(press.size(), 4u);
    EXPECT_EQ(KeysymOf(observer, std::stoi(press[1])), expectedKeysym(name));
    EXPECT_EQ(std::stoul(press[2]) & ShiftMask, 0u) << "a key is pressed without Shift";
  }
  EXPECT_TRUE(KeysDownNow().empty());
}

TEST_F(X11InputTest, CharactersDecodeToThemselvesAndTheKeymapComesBack) {
  const std::vector<KeySym> keymapBefore = KeyboardMapping(observer);
  const std::u32string characters = U"aZ~\u00e9\u0159\u03a9\u03c9\u4e2d\U0001F600";
  for (const char32_t character : characters) {
    ASSERT_TRUE(input->TypeCharacter(character, ""));
    std::this_thread::sleep_for(1ms);  // the host's pacing
  }
  EXPECT_EQ(client->ReadText(characters.size(), 2s), "aZ~\u00e9\u0159\u03a9\u03c9\u4e2d\U0001F600");
  EXPECT_FALSE(input->TypeCharacter(0xD800, "")) << "a surrogate is no character";
  EXPECT_NE(KeyboardMapping(observer), keymapBefore) << "scratch keycodes in use";
  input.reset();
  EXPECT_EQ(KeyboardMapping(observer), keymapBefore);
}

// Characters beyond the layout are mapped many at a time: the text that follows a missing
// character tells which others to map with it. More of them than the scratch keycodes hold, so
// keycodes are remapped, each only once it has been quiet long enough.
TEST_F(X11InputTest, CharactersBeyondTheLayoutAreMappedInBatchesAndTypeExactly) {
  std::u32string text;
  for (char32_t c = U'\u4e00'; c < U'\u4e00' + 60; ++c) text += c;  // 60 distinct CJK
  text += U"\u0391\u03b1\u0392\u03b2\u00e9\u4e00\U0001F600\u4e01";  // cased pairs and repeats
  std::string utf8;
  for (const char32_t c : text) {
    char buffer[4];
    utf8.append(buffer, utf8::unchecked::append(c, buffer));
  }
  int mappings = 0;
  std::string_view rest = utf8;
  while (!rest.empty()) {
    auto it = rest.begin();
    const char32_t character = utf8::unchecked::next(it);
    rest = std::string_view(it, rest.end());
    const std::vector<KeySym> before = KeyboardMapping(observer);
    ASSERT_TRUE(input->TypeCharacter(character, rest));
    mappings += KeyboardMapping(observer) != before;
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(client->ReadText(text.size(), 5s), utf8);
  // Xvfb's layout leaves 19 keycodes free, two characters each: 60 + 6 new characters need at
  // least two changes, and batching keeps them to a handful rather than one per character.
  EXPECT_GE(mappings, 2);
  EXPECT_LE(mappings, 6);
}

TEST_F(X11InputTest, DestroyingReleasesHeldKeysAndButtonsAndRestoresTheKeymap) {
  const std::vector<KeySym> keymapBefore = KeyboardMapping(observer);
  ASSERT_TRUE(input->TypeCharacter(U'\u4e2d', ""));
  ASSERT_TRUE(input->PressKey(XK_Control_L, true));
  ASSERT_TRUE(input->PressKey(XK_Super_L, true));
  ASSERT_TRUE(input->PressKey(XK_z, true));
  ASSERT_TRUE(input->PressKey(XK_F20, true)) << "a key the layout lacks, on a scratch keycode";
  ASSERT_TRUE(input->PressButton(3, true, {5, 5}));
  EXPECT_EQ(KeysDownNow().size(), 4u);
  EXPECT_NE(QueryPointer(observer).mask & Button3Mask, 0u);

  input.reset();
  EXPECT_TRUE(KeysDownNow().empty());
  EXPECT_EQ(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
  EXPECT_EQ(KeyboardMapping(observer), keymapBefore);
}

TEST_F(X11InputTest, LostConnectionReportsFailureReleasesKeysAndKeepsTheProcess) {
  ASSERT_TRUE(input->PressKey(XK_Control_L, true));
  ASSERT_TRUE(input->PressButton(1, true, {5, 5}));
  ASSERT_EQ(KeysDownNow().size(), 1u);

  // Kill the input's connection from outside, as a server reset or xkill would.
  const Window own =
      XCreateSimpleWindow(connection->display(), connection->root(), 0, 0, 1, 1, 0, 0, 0);
  XSync(connection->display(), False);
  XKillClient(observer, own);
  XSync(observer, False);

  EXPECT_FALSE(input->PressKey(XK_a, true));
  EXPECT_FALSE(connection->alive());
  EXPECT_TRUE(KeysDownNow().empty());
  EXPECT_EQ(QueryPointer(observer).mask & morel_test::kAnyButtonMask, 0u);
  // Later operations keep answering, with failure.
  EXPECT_FALSE(input->MovePointer({1, 1}));
  EXPECT_FALSE(input->Scroll(1, 0));
  EXPECT_FALSE(input->TypeCharacter(U'x', ""));
}

}  // namespace
}  // namespace morel_xy::x11
