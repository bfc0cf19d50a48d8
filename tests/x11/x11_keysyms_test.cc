// clang-format off
// gtest names a type None, which Xlib defines as a macro: gtest goes first.
#include <gtest/gtest.h>
// clang-format on

#include <X11/keysym.h>

#include "desktop/keysyms.h"

namespace morel_xy {
namespace {

TEST(X11KeysymsTest, CodePointsUseClassicKeysymsForLatin1AndUnicodeKeysymsBeyond) {
  EXPECT_EQ(KeysymForCodePoint('a'), static_cast<Keysym>(XK_a));
  EXPECT_EQ(KeysymForCodePoint('~'), static_cast<Keysym>(XK_asciitilde));
  EXPECT_EQ(KeysymForCodePoint(0xE9), static_cast<Keysym>(XK_eacute));
  EXPECT_EQ(KeysymForCodePoint(0xA0), static_cast<Keysym>(XK_nobreakspace));
  EXPECT_EQ(KeysymForCodePoint(0x159), 0x1000159u);
  EXPECT_EQ(KeysymForCodePoint(0x4E2D), 0x1004E2Du);
  EXPECT_EQ(KeysymForCodePoint(0x1F600), 0x101F600u);
  EXPECT_EQ(KeysymForCodePoint(0x10FFFF), 0x110FFFFu);
}

TEST(X11KeysymsTest, ControlCharactersThatHaveKeysUseThem) {
  EXPECT_EQ(KeysymForCodePoint('\n'), static_cast<Keysym>(XK_Return));
  EXPECT_EQ(KeysymForCodePoint('\r'), static_cast<Keysym>(XK_Return));
  EXPECT_EQ(KeysymForCodePoint('\t'), static_cast<Keysym>(XK_Tab));
  EXPECT_EQ(KeysymForCodePoint('\b'), static_cast<Keysym>(XK_BackSpace));
  EXPECT_EQ(KeysymForCodePoint(0x1B), static_cast<Keysym>(XK_Escape));
  EXPECT_EQ(KeysymForCodePoint(0x7F), static_cast<Keysym>(XK_Delete));
}

TEST(X11KeysymsTest, NonCharactersHaveNoKeysym) {
  EXPECT_EQ(KeysymForCodePoint(0xD800), keysym::kNoSymbol);
  EXPECT_EQ(KeysymForCodePoint(0xDFFF), keysym::kNoSymbol);
  EXPECT_EQ(KeysymForCodePoint(0x110000), keysym::kNoSymbol);
  EXPECT_EQ(KeysymForCodePoint(0xFFFFFFFF), keysym::kNoSymbol);
}

// The host names the keys it presses by its own constants; they must be X's.
TEST(X11KeysymsTest, NamedKeysAreTheKeysymsOfX) {
  EXPECT_EQ(keysym::kReturn, static_cast<Keysym>(XK_Return));
  EXPECT_EQ(keysym::kPageUp, static_cast<Keysym>(XK_Prior));
  EXPECT_EQ(keysym::kPageDown, static_cast<Keysym>(XK_Next));
  EXPECT_EQ(keysym::kF1 + 14, static_cast<Keysym>(XK_F15));
  EXPECT_EQ(keysym::kLetterA + 25, static_cast<Keysym>(XK_z));
  EXPECT_EQ(keysym::kDigit0 + 9, static_cast<Keysym>(XK_9));
  EXPECT_EQ(keysym::kSemicolon, static_cast<Keysym>(XK_semicolon));
  EXPECT_EQ(keysym::kShiftL, static_cast<Keysym>(XK_Shift_L));
  EXPECT_EQ(keysym::kControlL, static_cast<Keysym>(XK_Control_L));
  EXPECT_EQ(keysym::kAltL, static_cast<Keysym>(XK_Alt_L));
  EXPECT_EQ(keysym::kSuperL, static_cast<Keysym>(XK_Super_L));
  EXPECT_EQ(keysym::kHome, static_cast<Keysym>(XK_Home));
  EXPECT_EQ(keysym::kEnd, static_cast<Keysym>(XK_End));
  EXPECT_EQ(keysym::kDelete, static_cast<Keysym>(XK_Delete));
  EXPECT_EQ(keysym::kEscape, static_cast<Keysym>(XK_Escape));
}

}  // namespace
}  // namespace morel_xy
