#include "desktop/wlroots/logic/keysym_case.h"

#include <gtest/gtest.h>

namespace morel_xy::wlroots {
namespace {

Keysym K(char32_t c) {
  return KeysymForCodePoint(c);
}

TEST(KeysymCaseTest, LettersWithTwoCasesGiveBothWhicheverIsAsked) {
  for (const auto& [lower, upper] : std::initializer_list<std::pair<char32_t, char32_t>>{
           {U'a', U'A'}, {U'é', U'É'}, {U'ω', U'Ω'}, {U'ж', U'Ж'}, {U'ř', U'Ř'}, {U'ա', U'Ա'}}) {
    const KeysymCase fromLower = CaseOf(K(lower));
    const KeysymCase fromUpper = CaseOf(K(upper));
    EXPECT_EQ(fromLower.lower, K(lower)) << static_cast<uint32_t>(lower);
    EXPECT_EQ(fromLower.upper, K(upper)) << static_cast<uint32_t>(lower);
    EXPECT_EQ(fromUpper.lower, fromLower.lower);
    EXPECT_EQ(fromUpper.upper, fromLower.upper);
  }
}

// A character that is not one of a true pair stays alone on its key: Shift would give back
// another character than the one asked for.
TEST(KeysymCaseTest, CharactersWithoutATruePairStayAlone) {
  for (const char32_t c : {U'ß', U'ẞ', U'ǅ', U'漢', U'1', U'€', U'ı', U'😀'}) {
    const KeysymCase kase = CaseOf(K(c));
    EXPECT_FALSE(kase.HasTwo()) << static_cast<uint32_t>(c);
    EXPECT_EQ(kase.lower, K(c));
  }
  EXPECT_FALSE(CaseOf(keysym::kReturn).HasTwo());
}

}  // namespace
}  // namespace morel_xy::wlroots
