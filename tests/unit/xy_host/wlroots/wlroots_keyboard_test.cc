#include "desktop/wlroots/logic/wlroots_keyboard.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <set>
#include <sstream>

#include "fake_ports.h"

namespace morel_xy::wlroots {
namespace {

using testing::FakeClipboard;
using testing::FakeKeyboard;
using namespace std::chrono_literals;

// A clipboard whose pastes show up among the keyboard's events, where the client took them.
class JournalClipboard : public FakeClipboard {
 public:
  explicit JournalClipboard(FakeKeyboard& keyboard) : keyboard_(keyboard) {}
  std::optional<uint64_t> WaitForReads(uint64_t seen, std::chrono::milliseconds timeout) override {
    const std::optional<uint64_t> got = FakeClipboard::WaitForReads(seen, timeout);
    // The page pastes what the client's last read of the paste gets.
    if (got && *got == readsPerPaste && seen < *got) {
      keyboard_.events.push_back("paste " + contents.formats.front().second);
    }
    return got;
  }

 private:
  FakeKeyboard& keyboard_;
};

// What a client reading the fake keyboard's events in its keymaps would get as text.
std::string ClientText(const FakeKeyboard& keyboard) {
  std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
      xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref);
  std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(nullptr, xkb_keymap_unref);
  std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(nullptr, xkb_state_unref);
  size_t nextKeymap = 0;
  std::string text;
  for (const std::string& event : keyboard.events) {
    std::istringstream in(event);
    std::string kind;
    in >> kind;
    if (kind == "keymap") {
      keymap.reset(xkb_keymap_new_from_string(context.get(), keyboard.keymaps[nextKeymap++].c_str(),
                                              XKB_KEYMAP_FORMAT_TEXT_V1,
                                              XKB_KEYMAP_COMPILE_NO_FLAGS));
      state.reset(xkb_state_new(keymap.get()));
    } else if (kind == "mods") {
      uint32_t mods = 0;
      in >> mods;
      xkb_state_update_mask(state.get(), mods, 0, 0, 0, 0, 0);
    } else if (kind == "paste") {
      text += event.substr(6);
    } else if (kind == "key") {
      uint32_t code = 0;
      std::string direction;
      in >> code >> direction;
      if (direction != "down") continue;
      if (xkb_state_mod_name_is_active(state.get(), XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE) >
          0) {
        continue;
      }
      if (xkb_state_key_get_one_sym(state.get(), code + 8) == XKB_KEY_Return) {
        text += "\n";
        continue;
      }
      char utf8[16] = {};
      xkb_state_key_get_utf8(state.get(), code + 8, utf8, sizeof utf8);
      text += utf8;
    }
  }
  return text;
}

std::u32string Decode(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t value = length == 1 ? c : c & (0xFF >> (length + 1));
    for (size_t k = 1; k < length; ++k) value = (value << 6) | (utf8[i + k] & 0x3F);
    out += value;
    i += length;
  }
  return out;
}

class WlrootsKeyboardTest : public ::testing::Test {
 protected:
  WlrootsKeyboardTest()
      : clipboard(device),
        keyboard(device, &clipboard, [this](std::chrono::nanoseconds d) { sleeps.push_back(d); }) {}

  // Types `text` as the host does: one character at a time, with the rest as what comes next.
  bool Type(const std::string& text) {
    bool ok = true;
    for (size_t i = 0; i < text.size();) {
      size_t next = i + 1;
      while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
      const std::u32string character = Decode(text.substr(i, next - i));
      ok = keyboard.TypeCharacter(character[0], std::string_view(text).substr(next)) && ok;
      i = next;
    }
    return ok;
  }

  std::set<uint32_t> KeysPressed() const {
    std::set<uint32_t> codes;
    for (const std::string& event : device.events) {
      if (event.rfind("key ", 0) == 0 && event.find("down") != std::string::npos) {
        codes.insert(static_cast<uint32_t>(std::stoul(event.substr(4))));
      }
    }
    return codes;
  }

  FakeKeyboard device;
  JournalClipboard clipboard;
  std::vector<std::chrono::nanoseconds> sleeps;
  WlrootsKeyboard keyboard;
};

TEST_F(WlrootsKeyboardTest, EnglishTypesExactlyInTheFirstKeymap) {
  ASSERT_TRUE(keyboard.Start());
  const std::string text = "Hello, World! <>&\"'\tline\n~`|\\{}";
  ASSERT_TRUE(Type(text));
  EXPECT_EQ(ClientText(device), "Hello, World! <>&\"'\tline\n~`|\\{}");
  EXPECT_EQ(device.keymaps.size(), 1u);
  EXPECT_TRUE(sleeps.empty());
  // Shift is pressed around the characters of the Shift level and ends released.
  const std::vector<std::string> last(device.events.end() - 6, device.events.end());
  EXPECT_EQ(last, (std::vector<std::string>{"key 42 down", "mods 1", "key 27 down", "key 27 up",
                                            "key 42 up", "mods 0"}));
  EXPECT_EQ(keyboard.slots().Find('H')->code, 35u);
}

TEST_F(WlrootsKeyboardTest, MixedScriptsTypeExactlyWithOneKeymapPerBatch) {
  ASSERT_TRUE(keyboard.Start());
  std::string text;
  for (int i = 0; i < 6; ++i) text += "café naïve Ωμέγα Ёжик 漢字かな ";
  ASSERT_TRUE(Type(text));
  EXPECT_EQ(ClientText(device), text);
  // 21 characters beyond ASCII, all in one batch, so one keymap beyond the first, and it
  // was left to settle.
  EXPECT_EQ(device.keymaps.size(), 2u);
  ASSERT_EQ(sleeps.size(), 1u);
  EXPECT_EQ(sleeps[0], WlrootsKeyboard::kSettleTime);
  for (uint32_t code : KeysPressed()) {
    EXPECT_TRUE(code == 42 || code == 57 ||
                (code >= 2 && code <= 53 && code != 14 && code != 15 && code != 28 && code != 29))
        << code;
  }
}

TEST_F(WlrootsKeyboardTest, AManyScriptTextNeedsAFewKeymapsAndStaysExact) {
  ASSERT_TRUE(keyboard.Start());
  std::string text;
  // 200 CJK characters and the Cyrillic alphabet, twice.
  std::u32string wide;
  for (char32_t c = 0x4E00; c < 0x4E00 + 200; ++c) wide += c;
  for (char32_t c = 0x430; c < 0x450; ++c) wide += c;
  for (char32_t c : wide + wide) {
    if (c < 0x800) {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (c >> 12));
      text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  ASSERT_TRUE(Type(text));
  EXPECT_EQ(ClientText(device), text);
  // 464 characters through 47 keys: a handful of keymaps, not one per character.
  EXPECT_LE(device.keymaps.size(), 16u);
}

TEST_F(WlrootsKeyboardTest, EmojiArePastedAndTheClipboardComesBack) {
  ASSERT_TRUE(keyboard.Start());
  clipboard.contents = ClipboardContents{{{"text/plain", "user's"}}};
  ASSERT_TRUE(Type("a😀🎉b"));
  clipboard.FireLater();  // the hold passes before the next run
  ASSERT_TRUE(Type("👍"));
  EXPECT_EQ(ClientText(device), "a😀🎉b👍");
  // Two runs: each saved once and given back at its end.
  EXPECT_EQ(clipboard.reads, 2);
  EXPECT_EQ(clipboard.later, (ClipboardContents{{{"text/plain", "user's"}}}));
  keyboard.ReleaseEverything();
  EXPECT_EQ(clipboard.contents, (ClipboardContents{{{"text/plain", "user's"}}}));
  // A run of such characters is one paste.
  ASSERT_EQ(clipboard.history.size(), 4u);
  EXPECT_EQ(clipboard.history[0], ClipboardPaste::TextContents("😀🎉"));
  EXPECT_EQ(clipboard.history[1], (ClipboardContents{{{"text/plain", "user's"}}}));
  EXPECT_EQ(clipboard.history[2], ClipboardPaste::TextContents("👍"));
  // The paste chord is Control and v, with the modifier reported and released.
  EXPECT_NE(std::find(device.events.begin(), device.events.end(), "key 29 down"),
            device.events.end());
  EXPECT_NE(std::find(device.events.begin(), device.events.end(), "paste 👍"), device.events.end());
}

TEST_F(WlrootsKeyboardTest, AnEmojiThatCannotBePastedFailsAndTheTextGoesOn) {
  ASSERT_TRUE(keyboard.Start());
  clipboard.unreadable = true;
  EXPECT_FALSE(Type("x😀y"));
  EXPECT_EQ(ClientText(device), "xy");
}

TEST_F(WlrootsKeyboardTest, ChordsHoldRealModifiersAndReleaseInOrder) {
  ASSERT_TRUE(keyboard.Start());
  const size_t start = device.events.size();
  ASSERT_TRUE(keyboard.PressKey(keysym::kControlL, true));
  ASSERT_TRUE(keyboard.PressKey('a', true));
  ASSERT_TRUE(keyboard.PressKey('a', false));
  ASSERT_TRUE(keyboard.PressKey(keysym::kControlL, false));
  const std::vector<std::string> chord(device.events.begin() + static_cast<long>(start),
                                       device.events.end());
  EXPECT_EQ(chord, (std::vector<std::string>{"key 29 down", "mods 4", "key 30 down", "key 30 up",
                                             "key 29 up", "mods 0"}));
  // A key is its key on any level: '!' is the 1 key, without Shift.
  ASSERT_TRUE(keyboard.PressKey('!', true));
  EXPECT_EQ(device.events.back(), "key 2 down");
  ASSERT_TRUE(keyboard.PressKey('!', false));
  // Keys the keymap lacks are placed for the press and found again for the release.
  ASSERT_TRUE(keyboard.PressKey(0x1000416, true));  // Ж
  const std::string down = device.events.back();
  ASSERT_TRUE(keyboard.PressKey(0x1000416, false));
  EXPECT_EQ(device.events.back(), down.substr(0, down.size() - 4) + "up");
  EXPECT_FALSE(keyboard.PressKey(keysym::kNoSymbol, true));
}

TEST_F(WlrootsKeyboardTest, EverythingHeldIsReleasedKeysBeforeModifiers) {
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(keyboard.PressKey(keysym::kShiftL, true));
  ASSERT_TRUE(keyboard.PressKey(keysym::kControlL, true));
  ASSERT_TRUE(keyboard.PressKey(keysym::kTab, true));
  const size_t start = device.events.size();
  keyboard.ReleaseEverything();
  const std::vector<std::string> released(device.events.begin() + static_cast<long>(start),
                                          device.events.end());
  ASSERT_EQ(released.size(), 4u);
  EXPECT_EQ(released[0], "key 15 up");
  EXPECT_EQ(released.back(), "mods 0");
  // Released keys are not released again.
  keyboard.ReleaseEverything();
  EXPECT_EQ(device.events.back(), "mods 0");
  EXPECT_EQ(device.events.size(), start + 5);
}

TEST_F(WlrootsKeyboardTest, ALostDeviceFailsEveryCall) {
  ASSERT_TRUE(keyboard.Start());
  device.failing = true;
  EXPECT_FALSE(keyboard.TypeCharacter('a', ""));
  EXPECT_FALSE(keyboard.TypeCharacter(U'ж', ""));
  EXPECT_FALSE(keyboard.PressKey(keysym::kReturn, true));
}

TEST(WlrootsKeyboardStartTest, NothingIsTypedWithoutAKeymap) {
  FakeKeyboard device;
  device.refuseKeymaps = true;
  WlrootsKeyboard keyboard(device, nullptr, [](std::chrono::nanoseconds) {});
  EXPECT_FALSE(keyboard.Start());
  EXPECT_FALSE(keyboard.TypeCharacter('a', ""));
  EXPECT_FALSE(keyboard.PressKey('a', true));
  EXPECT_TRUE(device.events.empty());
  // Without a clipboard, emoji fail.
  device.refuseKeymaps = false;
  ASSERT_TRUE(keyboard.Start());
  EXPECT_FALSE(keyboard.TypeCharacter(U'😀', ""));
}

}  // namespace
}  // namespace morel_xy::wlroots
