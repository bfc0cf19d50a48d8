// clang-format off
// gtest names a type None, which Xlib defines as a macro: gtest goes first.
#include <gtest/gtest.h>
// clang-format on

#include "desktop/x11/x11_keysyms.h"

#include <X11/keysym.h>

namespace morel_xy {
namespace {

TEST(X11KeysymsTest, CodePointsUseClassicKeysymsForLatin1AndUnicodeKeysymsBeyond) {
  EXPECT_EQ(KeysymForCodePoint('a'), static_cast<KeySym>(XK_a));
  EXPECT_EQ(KeysymForCodePoint('~'), static_cast<KeySym>(XK_asciitilde));
  EXPECT_EQ(KeysymForCodePoint(0xE9), static_cast<KeySym>(XK_eacute));
  EXPECT_EQ(KeysymForCodePoint(0xA0), static_cast<KeySym>(XK_nobreakspace));
  EXPECT_EQ(KeysymForCodePoint(0x159), 0x1000159u);
  EXPECT_EQ(KeysymForCodePoint(0x4E2D), 0x1004E2Du);
  EXPECT_EQ(KeysymForCodePoint(0x1F600), 0x101F600u);
  EXPECT_EQ(KeysymForCodePoint(0x10FFFF), 0x110FFFFu);
}

TEST(X11KeysymsTest, ControlCharactersThatHaveKeysUseThem) {
  EXPECT_EQ(KeysymForCodePoint('\n'), static_cast<KeySym>(XK_Return));
  EXPECT_EQ(KeysymForCodePoint('\r'), static_cast<KeySym>(XK_Return));
  EXPECT_EQ(KeysymForCodePoint('\t'), static_cast<KeySym>(XK_Tab));
  EXPECT_EQ(KeysymForCodePoint('\b'), static_cast<KeySym>(XK_BackSpace));
  EXPECT_EQ(KeysymForCodePoint(0x1B), static_cast<KeySym>(XK_Escape));
  EXPECT_EQ(KeysymForCodePoint(0x7F), static_cast<KeySym>(XK_Delete));
}

TEST(X11KeysymsTest, NonCharactersHaveNoKeysym) {
  EXPECT_EQ(KeysymForCodePoint(0xD800), static_cast<KeySym>(NoSymbol));
  EXPECT_EQ(KeysymForCodePoint(0xDFFF), static_cast<KeySym>(NoSymbol));
  EXPECT_EQ(KeysymForCodePoint(0x110000), static_cast<KeySym>(NoSymbol));
  EXPECT_EQ(KeysymForCodePoint(0xFFFFFFFF), static_cast<KeySym>(NoSymbol));
}

TEST(X11KeysymsTest, Utf16UnitsMustBeExactlyOneCharacter) {
  EXPECT_EQ(CodePointOfUtf16(u"a"), 0x61u);
  EXPECT_EQ(CodePointOfUtf16(u"\U0001F600"), 0x1F600u);
  EXPECT_EQ(CodePointOfUtf16(u"\U0010FFFF"), 0x10FFFFu);
  EXPECT_EQ(CodePointOfUtf16(u""), 0xFFFFFFFFu);
  EXPECT_EQ(CodePointOfUtf16(u"ab"), 0xFFFFFFFFu);
  EXPECT_EQ(CodePointOfUtf16(std::u16string(1, 0xD83D)), 0xFFFFFFFFu);
  EXPECT_EQ(CodePointOfUtf16(std::u16string{0xDE00, 0xD83D}), 0xFFFFFFFFu) << "reversed pair";
  EXPECT_EQ(CodePointOfUtf16(std::u16string(3, 'a')), 0xFFFFFFFFu);
}

TEST(X11KeysymsTest, ModifierKeysAndUnknownCodes) {
  EXPECT_EQ(KeysymForVirtualKey(59), static_cast<KeySym>(XK_Control_L));
  EXPECT_EQ(KeysymForVirtualKey(58), static_cast<KeySym>(XK_Alt_L));
  EXPECT_EQ(KeysymForVirtualKey(56), static_cast<KeySym>(XK_Shift_L));
  EXPECT_EQ(KeysymForVirtualKey(55), static_cast<KeySym>(XK_Super_L));
  EXPECT_EQ(KeysymForVirtualKey(57), static_cast<KeySym>(NoSymbol));  // Caps Lock: not ours
  EXPECT_EQ(KeysymForVirtualKey(200), static_cast<KeySym>(NoSymbol));
}

}  // namespace
}  // namespace morel_xy
