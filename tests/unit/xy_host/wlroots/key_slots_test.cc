#include "desktop/wlroots/logic/key_slots.h"

#include <gtest/gtest.h>

#include <set>

namespace morel_xy::wlroots {
namespace {

using Clock = KeySlots::Clock;

Keysym U(char32_t c) {
  return KeysymForCodePoint(c);
}

TEST(KeySlotsTest, StartsAsAUsKeyboard) {
  KeySlots slots(UsTextKeys());
  EXPECT_EQ(slots.Find('a'), (KeyPlace{30, false}));
  EXPECT_EQ(slots.Find('A'), (KeyPlace{30, true}));
  EXPECT_EQ(slots.Find('!'), (KeyPlace{2, true}));
  EXPECT_EQ(slots.Find('/'), (KeyPlace{53, false}));
  EXPECT_EQ(slots.Find(U(U'ω')), std::nullopt);
  EXPECT_EQ(slots.Find(keysym::kNoSymbol), std::nullopt);
}

TEST(KeySlotsTest, LettersWithTwoCasesTakeAKeyOfTheirOwnOthersShareKeys) {
  KeySlots slots(UsTextKeys());
  bool changed = false;
  ASSERT_TRUE(slots.Place({U(U'Ω'), U(U'漢'), U(U'字'), U(U'ж')}, Clock::now(), changed));
  EXPECT_TRUE(changed);
  const std::optional<KeyPlace> lower = slots.Find(U(U'ω'));
  const std::optional<KeyPlace> upper = slots.Find(U(U'Ω'));
  ASSERT_TRUE(lower && upper);
  EXPECT_EQ(lower->code, upper->code);
  EXPECT_FALSE(lower->shift);
  EXPECT_TRUE(upper->shift);
  const std::optional<KeyPlace> han = slots.Find(U(U'漢'));
  const std::optional<KeyPlace> zi = slots.Find(U(U'字'));
  ASSERT_TRUE(han && zi);
  EXPECT_EQ(han->code, zi->code);
  EXPECT_NE(han->shift, zi->shift);
  EXPECT_TRUE(slots.Find(U(U'Ж')));
  // Punctuation goes first, letters stay for chords and English.
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_TRUE(slots.Find(static_cast<Keysym>(c))) << c;
  EXPECT_FALSE(slots.Find('-'));
}

TEST(KeySlotsTest, ABatchKeepsWhatItNeedsAndStopsWhenKeysRunOut) {
  KeySlots slots(UsTextKeys());
  std::vector<Keysym> wanted{'a', 'b'};
  // 150 characters without case: 47 keys hold 94 of them.
  for (char32_t c = 0x4E00; c < 0x4E00 + 150; ++c) wanted.push_back(U(c));
  bool changed = false;
  ASSERT_TRUE(slots.Place(wanted, Clock::now(), changed));
  EXPECT_TRUE(changed);
  EXPECT_TRUE(slots.Find('a'));
  EXPECT_TRUE(slots.Find('b'));
  size_t placed = 0;
  for (char32_t c = 0x4E00; c < 0x4E00 + 150; ++c) placed += slots.Find(U(c)).has_value();
  // Two keys keep a/A and b/B; the other 45 hold two characters each, in text order.
  EXPECT_EQ(placed, 90u);
  EXPECT_TRUE(slots.Find(U(0x4E00)));
  EXPECT_FALSE(slots.Find(U(0x4E00 + 149)));

  // Placing characters already there changes nothing.
  ASSERT_TRUE(slots.Place({U(0x4E00), 'a'}, Clock::now(), changed));
  EXPECT_FALSE(changed);
}

TEST(KeySlotsTest, HeldAndRecentlyUsedKeysAreGivenUpLast) {
  KeySlots slots(UsTextKeys());
  const Clock::time_point start = Clock::now();
  // Every key but '-' (code 12) was used; '-' goes first.
  for (const KeySlots::Slot& slot : slots.slots()) {
    if (slot.code != 12) slots.MarkHeld(slot.code, false, start + std::chrono::seconds(1));
  }
  bool changed = false;
  ASSERT_TRUE(slots.Place({U(U'ж')}, start + std::chrono::seconds(2), changed));
  EXPECT_EQ(slots.Find(U(U'ж'))->code, 12u);

  // With every key held, nothing can be placed.
  for (const KeySlots::Slot& slot : slots.slots()) slots.MarkHeld(slot.code, true, start);
  EXPECT_FALSE(slots.Place({U(U'щ')}, start + std::chrono::seconds(3), changed));
  EXPECT_FALSE(slots.Find(U(U'щ')));
  // Nor the first of a batch that has nothing for it; a batch whose first fits is partial.
  slots.MarkHeld(30, false, start);
  ASSERT_TRUE(slots.Place({U(U'щ'), U(U'ы')}, start + std::chrono::seconds(4), changed));
  EXPECT_TRUE(slots.Find(U(U'щ')));
  EXPECT_FALSE(slots.Find(U(U'ы')));
}

TEST(KeySlotsTest, EveryCodeStaysInTheLetterAndDigitBlock) {
  KeySlots slots(UsTextKeys());
  std::vector<Keysym> wanted;
  for (char32_t c = 0x400; c < 0x500; ++c) wanted.push_back(U(c));
  bool changed = false;
  ASSERT_TRUE(slots.Place(wanted, Clock::now(), changed));
  std::set<uint32_t> codes;
  for (const KeySlots::Slot& slot : slots.slots()) codes.insert(slot.code);
  EXPECT_EQ(codes.size(), 47u);
  for (uint32_t code : codes) {
    EXPECT_TRUE((code >= 2 && code <= 13) || (code >= 16 && code <= 27) ||
                (code >= 30 && code <= 41) || (code >= 43 && code <= 53))
        << code;
  }
}

}  // namespace
}  // namespace morel_xy::wlroots
