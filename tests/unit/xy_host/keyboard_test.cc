#include "impl/keyboard.h"

#include <set>

#include "input_fixture.h"

namespace morel_xy {
namespace {

using impl::SendCharacterKeys;
using impl::SendModifierKeys;
using impl::SendSpecialKey;
using K = KeyboardSpecialKey;
using M = KeyboardModifierKeys;

PostedKeyEvent Key(uint16_t code, bool down, uint64_t flags = 0) {
  return PostedKeyEvent{code, down, flags};
}
PostedUnicodeKeyEvent Uni(bool down, std::u16string units) {
  return PostedUnicodeKeyEvent{down, std::move(units)};
}

using KeyboardTest = InputTest;

TEST_F(KeyboardTest, SpecialKeyMapHoldsEveryNamedKeyWithDistinctCodes) {
  const auto& map = impl::detail::SPECIAL_KEY_MAP;
  EXPECT_EQ(map.size(), 69u);
  EXPECT_EQ(map.count(K::None), 0u);
  EXPECT_EQ(map.count(static_cast<K>(68)), 0u);
  std::set<uint16_t> codes;
  for (const auto& [key, code] : map) codes.insert(code);
  EXPECT_EQ(codes.size(), 69u);
  // Spot checks across the groups, including the ones that are easy to get wrong.
  EXPECT_EQ(map.at(K::Backspace), 51);
  EXPECT_EQ(map.at(K::Delete), 117);
  EXPECT_EQ(map.at(K::Enter), 36);
  EXPECT_EQ(map.at(K::F1), 122);
  EXPECT_EQ(map.at(K::F15), 113);
  EXPECT_EQ(map.at(K::Digit0), 29);
  EXPECT_EQ(map.at(K::Digit5), 23);
  EXPECT_EQ(map.at(K::Digit6), 22);
  EXPECT_EQ(map.at(K::A), 0);
  EXPECT_EQ(map.at(K::Z), 6);
  EXPECT_EQ(map.at(K::Semicolon), 41);
  EXPECT_EQ(map.at(K::Minus), 27);
}

TEST_F(KeyboardTest, CharactersAreUnicodePressesPacedOneMillisecondApart) {
  ASSERT_TRUE(SendCharacterKeys("Ab"));
  const std::vector<FakeDesktopCall> expected = {Uni(true, u"A"), Uni(false, u"A"), Ms(1),
                                                 Uni(true, u"b"), Uni(false, u"b"), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
  EXPECT_TRUE(fake.CallsOf<PostedKeyEvent>().empty()) << "no Shift for an upper-case letter";
}

TEST_F(KeyboardTest, CharacterBeyondTheBmpIsOnePressOfItsSurrogatePairAndOnePause) {
  ASSERT_TRUE(SendCharacterKeys("x\xF0\x9F\x98\x80"));
  const std::vector<FakeDesktopCall> expected = {
      Uni(true, u"x"),          Uni(false, u"x"),          Ms(1),
      Uni(true, u"\U0001F600"), Uni(false, u"\U0001F600"), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

// Every UTF-8 length, and the edges where the UTF-16 form changes.
TEST_F(KeyboardTest, EachCharacterIsDecodedToItsUtf16Units) {
  ASSERT_TRUE(
      SendCharacterKeys("a\xC3\xA9\xE4\xB8\xAD\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"));
  std::vector<std::u16string> pressed;
  for (const PostedUnicodeKeyEvent& event : fake.CallsOf<PostedUnicodeKeyEvent>()) {
    if (event.down) pressed.push_back(event.units);
  }
  const std::vector<std::u16string> expected = {u"a",      u"\u00e9",        u"\u4e2d",
                                                u"\uffff", {0xD800, 0xDC00}, {0xDBFF, 0xDFFF}};
  EXPECT_EQ(pressed, expected);
  EXPECT_EQ(fake.CallsOf<SleepCall>().size(), 6u);
}

TEST_F(KeyboardTest, IllFormedRunFailsTypingNothing) {
  EXPECT_FALSE(SendCharacterKeys("abc\xC3"));
  EXPECT_FALSE(SendCharacterKeys("ab\xED\xA0\x80"));  // an encoded surrogate
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(KeyboardTest, EmptyTextTypesNothingAndSucceeds) {
  EXPECT_TRUE(SendCharacterKeys(""));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(KeyboardTest, RefusedCharacterStopsTheRunKeepingWhatWasTyped) {
  fake.failPostsFrom = 2;  // the down of the second character
  EXPECT_FALSE(SendCharacterKeys("abc"));
  const std::vector<FakeDesktopCall> expected = {Uni(true, u"a"), Uni(false, u"a"), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(KeyboardTest, ChordFlagsAreAddedOnKeyDownAndRemovedOnKeyUp) {
  ASSERT_TRUE(SendSpecialKey({M::Ctrl, K::A}));
  std::vector<FakeDesktopCall> expected = {Key(0, true, kFlagControl), Ms(1), Key(0, false, 0)};
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(SendSpecialKey({M::Shift | M::Meta, K::Z}));
  expected = {Key(6, true, 0x120000), Ms(1), Key(6, false, 0)};
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(SendSpecialKey({M::Ctrl | M::Alt | M::Shift | M::Meta, K::Enter}));
  expected = {Key(36, true, 0x1E0000), Ms(1), Key(36, false, 0)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(KeyboardTest, PlainSpecialKeyCarriesNoFlags) {
  ASSERT_TRUE(SendSpecialKey({M::None, K::Enter}));
  const std::vector<FakeDesktopCall> expected = {Key(36, true), Ms(1), Key(36, false)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(KeyboardTest, ModifiersOnlyChordTypesNothingAndEmptyChordFails) {
  EXPECT_TRUE(SendSpecialKey({M::Ctrl, K::None}));
  EXPECT_FALSE(SendSpecialKey({M::None, K::None}));
  EXPECT_FALSE(SendSpecialKey({M::None, static_cast<K>(68)}));
  EXPECT_TRUE(SendSpecialKey({M::Alt, static_cast<K>(68)}));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(KeyboardTest, RefusedKeyUpReportsFailure) {
  fake.failPostsFrom = 1;
  EXPECT_FALSE(SendSpecialKey({M::None, K::Tab}));
  const std::vector<FakeDesktopCall> expected = {Key(48, true), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(KeyboardTest, ModifierKeysPressAndReleaseInFixedOrderWithoutPauses) {
  ASSERT_TRUE(SendModifierKeys(M::Shift | M::Ctrl, true));
  ASSERT_TRUE(SendModifierKeys(M::Shift | M::Ctrl, false));
  const std::vector<FakeDesktopCall> expected = {
      Key(59, true, kFlagControl), Key(56, true, kFlagShift), Key(59, false, 0), Key(56, false, 0)};
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(SendModifierKeys(M::Meta | M::Alt, true));
  const std::vector<FakeDesktopCall> metaAlt = {Key(58, true, kFlagAlternate),
                                                Key(55, true, kFlagCommand)};
  EXPECT_EQ(fake.calls, metaAlt);
}

TEST_F(KeyboardTest, ModifierKeysWithNoneFailAndRefusalsAreSkipped) {
  EXPECT_FALSE(SendModifierKeys(M::None, true));
  EXPECT_TRUE(fake.calls.empty());
  fake.failKeys = true;
  EXPECT_TRUE(SendModifierKeys(M::Ctrl, true));
  EXPECT_TRUE(fake.calls.empty());
}

}  // namespace
}  // namespace morel_xy
