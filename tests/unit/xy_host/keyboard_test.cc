#include "actions/keyboard.h"

#include <map>
#include <set>

#include "input_fixture.h"

namespace morel_xy {
namespace {

using K = KeyboardSpecialKey;
using M = KeyboardModifierKeys;

KeyPress Key(Keysym keysym, bool down) {
  return KeyPress{keysym, down};
}
TypedCharacter Typed(char32_t character, std::string upcoming) {
  return TypedCharacter{character, std::move(upcoming)};
}

using KeyboardTest = InputTest;

// Every name of the key table types its key's keysym, and the aliases of a key type the same.
TEST_F(KeyboardTest, EveryKeyNameTypesItsKeysymAndAliasesAgree) {
  const std::map<std::string, Keysym> expected = {
      {"KEY_UP", keysym::kUp},
      {"KEY_PGUP", keysym::kPageUp},
      {"KEY_PAGE_UP", keysym::kPageUp},
      {"KEY_PGDN", keysym::kPageDown},
      {"KEY_BKSP", keysym::kBackSpace},
      {"KEY_BACKSPACE", keysym::kBackSpace},
      {"KEY_DEL", keysym::kDelete},
      {"KEY_DELETE", keysym::kDelete},
      {"KEY_ENTER", keysym::kReturn},
      {"KEY_ESC", keysym::kEscape},
      {"KEY_ESCAPE", keysym::kEscape},
      {"KEY_F1", 0xffbe},
      {"KEY_F15", 0xffcc},
      {"KEY_0", '0'},
      {"KEY_NUM0", '0'},
      {"KEY_NUM9", '9'},
      {"KEY_A", 'a'},
      {"KEY_Z", 'z'},
      {"KEY_SEMICOLON", ';'},
      {"KEY_MINUS", '-'},
      {"KEY_SPACE", ' '},
      {"KEY_COMMA", ','},
  };
  for (const auto& [name, keysym] : expected) {
    const auto found = detail::STRING_TO_SPECIAL_KEY_MAP.find(name);
    ASSERT_NE(found, detail::STRING_TO_SPECIAL_KEY_MAP.end()) << name;
    fake.calls.clear();
    ASSERT_TRUE(SendSpecialKey(fake, {M::None, found->second})) << name;
    const std::vector<FakeDesktopCall> typed = {Key(keysym, true), Ms(1), Key(keysym, false)};
    EXPECT_EQ(fake.calls, typed) << name;
  }
  // Two names of different keys never share a keysym: a key left out or written twice would
  // type the wrong key.
  std::map<Keysym, std::set<KeyboardSpecialKey>> keysOfKeysym;
  for (const auto& [name, key] : detail::STRING_TO_SPECIAL_KEY_MAP) {
    keysOfKeysym[detail::SPECIAL_KEY_MAP.at(key)].insert(key);
  }
  for (const auto& [keysym, keys] : keysOfKeysym) EXPECT_EQ(keys.size(), 1u) << keysym;
}

TEST_F(KeyboardTest, CharactersAreTypedOneByOneWithWhatFollowsAndPacedOneMillisecondApart) {
  ASSERT_TRUE(SendCharacterKeys(fake, "Ab\xC3\xA9"));
  const std::vector<FakeDesktopCall> expected = {
      Typed(U'A', "b\xC3\xA9"), Ms(1), Typed(U'b', "\xC3\xA9"), Ms(1), Typed(U'\u00e9', ""), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
  EXPECT_TRUE(fake.CallsOf<KeyPress>().empty()) << "no Shift for an upper-case letter";
}

// Every UTF-8 length, and the edges where the UTF-16 form changes.
TEST_F(KeyboardTest, EachCharacterIsDecodedToItsCodePoint) {
  ASSERT_TRUE(SendCharacterKeys(
      fake, "a\xC3\xA9\xE4\xB8\xAD\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\xF0\x9F\x98\x80"));
  std::u32string typed;
  for (const TypedCharacter& call : fake.CallsOf<TypedCharacter>()) typed += call.character;
  EXPECT_EQ(typed, U"a\u00e9\u4e2d\uffff\U00010000\U0010FFFF\U0001F600");
  EXPECT_EQ(fake.CallsOf<SleepCall>().size(), 7u);
}

TEST_F(KeyboardTest, IllFormedRunFailsTypingNothing) {
  EXPECT_FALSE(SendCharacterKeys(fake, "abc\xC3"));
  EXPECT_FALSE(SendCharacterKeys(fake, "ab\xED\xA0\x80"));  // an encoded surrogate
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_TRUE(SendCharacterKeys(fake, ""));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(KeyboardTest, RefusedCharacterStopsTheRunKeepingWhatWasTyped) {
  fake.failPostsFrom = 1;
  EXPECT_FALSE(SendCharacterKeys(fake, "abc"));
  const std::vector<FakeDesktopCall> expected = {Typed(U'a', "bc"), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(KeyboardTest, ChordModifiersArePressedAroundTheKeyAndReleasedInReverse) {
  ASSERT_TRUE(SendSpecialKey(fake, {M::Ctrl, K::A}));
  std::vector<FakeDesktopCall> expected = {Key(keysym::kControlL, true), Key('a', true), Ms(1),
                                           Key('a', false), Key(keysym::kControlL, false)};
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(SendSpecialKey(fake, {M::Meta | M::Shift | M::Alt | M::Ctrl, K::Enter}));
  expected = {
      Key(keysym::kControlL, true), Key(keysym::kAltL, true),     Key(keysym::kShiftL, true),
      Key(keysym::kSuperL, true),   Key(keysym::kReturn, true),   Ms(1),
      Key(keysym::kReturn, false),  Key(keysym::kSuperL, false),  Key(keysym::kShiftL, false),
      Key(keysym::kAltL, false),    Key(keysym::kControlL, false)};
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(SendSpecialKey(fake, {M::None, K::F1}));
  expected = {Key(0xffbe, true), Ms(1), Key(0xffbe, false)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(KeyboardTest, ModifiersOnlyChordTypesNothingAndEmptyChordFails) {
  EXPECT_TRUE(SendSpecialKey(fake, {M::Ctrl, K::None}));
  EXPECT_FALSE(SendSpecialKey(fake, {M::None, K::None}));
  EXPECT_FALSE(SendSpecialKey(fake, {M::None, static_cast<K>(0x12345)}));  // in no row
  EXPECT_TRUE(SendSpecialKey(fake, {M::Alt, static_cast<K>(0x12345)}));
  EXPECT_TRUE(fake.calls.empty());
}

// A modifier left down would change every later key and click of the user's session.
TEST_F(KeyboardTest, NoModifierStaysDownWhateverIsRefused) {
  // The key's own press refused: the modifiers come up, no pause.
  FakeDesktop keyRefused;
  keyRefused.failPosts = {2};
  EXPECT_FALSE(SendSpecialKey(keyRefused, {M::Ctrl | M::Shift, K::Tab}));
  std::vector<FakeDesktopCall> expected = {Key(keysym::kControlL, true), Key(keysym::kShiftL, true),
                                           Key(keysym::kShiftL, false),
                                           Key(keysym::kControlL, false)};
  EXPECT_EQ(keyRefused.calls, expected);

  // A modifier's press refused: the ones already down come up, the key is never pressed.
  FakeDesktop modifierRefused;
  modifierRefused.failPosts = {1};
  EXPECT_FALSE(SendSpecialKey(modifierRefused, {M::Ctrl | M::Alt, K::Tab}));
  expected = {Key(keysym::kControlL, true), Key(keysym::kControlL, false)};
  EXPECT_EQ(modifierRefused.calls, expected);

  // The key's release refused: reported, and the modifier still comes up.
  FakeDesktop releaseRefused;
  releaseRefused.failPosts = {2};
  EXPECT_FALSE(SendSpecialKey(releaseRefused, {M::Shift, K::Tab}));
  expected = {Key(keysym::kShiftL, true), Key(keysym::kTab, true), Ms(1),
              Key(keysym::kShiftL, false)};
  EXPECT_EQ(releaseRefused.calls, expected);
}

TEST_F(KeyboardTest, ModifierKeysPressAndReleaseInFixedOrderWithoutPauses) {
  ASSERT_TRUE(SendModifierKeys(fake, M::Shift | M::Ctrl, true));
  ASSERT_TRUE(SendModifierKeys(fake, M::Shift | M::Ctrl, false));
  const std::vector<FakeDesktopCall> expected = {
      Key(keysym::kControlL, true), Key(keysym::kShiftL, true), Key(keysym::kControlL, false),
      Key(keysym::kShiftL, false)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(KeyboardTest, ModifierKeysWithNoneFail) {
  EXPECT_FALSE(SendModifierKeys(fake, M::None, true));
  EXPECT_TRUE(fake.calls.empty());
}

// A refused modifier is reported, and nothing stays held because of it.
TEST_F(KeyboardTest, ARefusedModifierFailsAndReleasesThoseAlreadyPressed) {
  fake.failPosts = {1};  // Shift's press
  EXPECT_FALSE(SendModifierKeys(fake, M::Ctrl | M::Shift | M::Meta, true));
  std::vector<FakeDesktopCall> expected = {Key(keysym::kControlL, true),
                                           Key(keysym::kControlL, false)};
  EXPECT_EQ(fake.calls, expected);

  FakeDesktop releaseRefused;
  releaseRefused.failPosts = {0};  // Ctrl's release
  EXPECT_FALSE(SendModifierKeys(releaseRefused, M::Ctrl | M::Shift, false));
  expected = {Key(keysym::kShiftL, false)};
  EXPECT_EQ(releaseRefused.calls, expected);
}

}  // namespace
}  // namespace morel_xy
