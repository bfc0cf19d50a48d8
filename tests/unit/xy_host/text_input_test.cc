#include "text_input.h"

#include <utf8.h>

#include "input_fixture.h"

namespace morel_xy {
namespace {

using detail::KeyboardEvent;
using detail::KeyboardEventType;
using detail::ParseSpecialKey;
using detail::ParseText;
using K = KeyboardSpecialKey;
using M = KeyboardModifierKeys;

KeyboardSpecialKeyEvent Chord(const std::wstring& token) {
  KeyboardSpecialKeyEvent chord;
  EXPECT_TRUE(ParseSpecialKey(token, chord)) << "token rejected";
  return chord;
}

// A compact picture of a parse: text runs as themselves, chords as "<modifiers:key>".
std::wstring Describe(const std::wstring& text) {
  std::vector<KeyboardEvent> events;
  if (!ParseText(text, events)) return L"<fail>";
  std::wstring out;
  for (const KeyboardEvent& event : events) {
    if (event.type == KeyboardEventType::Text) {
      out += L"[" + event.text + L"]";
    } else {
      out += L"<" + std::to_wstring(static_cast<uint32_t>(event.specialKeyEvent.modifiers)) + L":" +
             std::to_wstring(static_cast<uint32_t>(event.specialKeyEvent.key)) + L">";
    }
  }
  return out;
}

TEST(KeyNameTableTest, HoldsEightyFourNamesWithTheirAliases) {
  const auto& map = detail::STRING_TO_SPECIAL_KEY_MAP;
  EXPECT_EQ(map.size(), 84u);
  EXPECT_EQ(map.at(L"KEY_PGUP"), K::PageUp);
  EXPECT_EQ(map.at(L"KEY_PAGE_DOWN"), K::PageDown);
  EXPECT_EQ(map.at(L"KEY_BKSP"), K::Backspace);
  EXPECT_EQ(map.at(L"KEY_DEL"), K::Delete);
  EXPECT_EQ(map.at(L"KEY_ESC"), K::Escape);
  EXPECT_EQ(map.at(L"KEY_F1"), K::F1);
  EXPECT_EQ(map.at(L"KEY_F15"), K::F15);
  EXPECT_EQ(map.at(L"KEY_NUM0"), K::Digit0);
  EXPECT_EQ(map.at(L"KEY_9"), K::Digit9);
  EXPECT_EQ(map.at(L"KEY_A"), K::A);
  EXPECT_EQ(map.at(L"KEY_Z"), K::Z);
  EXPECT_EQ(map.at(L"KEY_SEMICOLON"), K::Semicolon);
  EXPECT_EQ(map.count(L"KEY_CTRL"), 0u) << "modifiers are recognised before the table";
  EXPECT_EQ(map.count(L"KEY_F16"), 0u);
  EXPECT_EQ(map.count(L"key_a"), 0u);
}

TEST(ParseSpecialKeyTest, ModifiersInAnyOrderAndCaseWithOneKey) {
  EXPECT_EQ(Chord(L"KEY_CTRL+KEY_A"), (KeyboardSpecialKeyEvent{M::Ctrl, K::A}));
  EXPECT_EQ(Chord(L"key_a+Key_Ctrl"), (KeyboardSpecialKeyEvent{M::Ctrl, K::A}));
  EXPECT_EQ(Chord(L"KEY_CMD+KEY_SHIFT+KEY_Z"), (KeyboardSpecialKeyEvent{M::Shift | M::Meta, K::Z}));
  EXPECT_EQ(Chord(L"KEY_OPTION+KEY_WIN+KEY_F3"),
            (KeyboardSpecialKeyEvent{M::Alt | M::Meta, K::F3}));
  EXPECT_EQ(Chord(L"KEY_NUM5"), Chord(L"KEY_5"));
  EXPECT_EQ(Chord(L"KEY_5"), (KeyboardSpecialKeyEvent{M::None, K::Digit5}));
}

TEST(ParseSpecialKeyTest, ModifiersOnlyChordsAreAccepted) {
  EXPECT_EQ(Chord(L"KEY_CTRL"), (KeyboardSpecialKeyEvent{M::Ctrl, K::None}));
  EXPECT_EQ(Chord(L"KEY_CTRL+"), (KeyboardSpecialKeyEvent{M::Ctrl, K::None}));
  EXPECT_EQ(Chord(L"KEY_META+KEY_ALT"), (KeyboardSpecialKeyEvent{M::Meta | M::Alt, K::None}));
}

TEST(ParseSpecialKeyTest, MalformedChordsAreRejected) {
  KeyboardSpecialKeyEvent chord;
  for (const std::wstring token :
       {L"", L"KEY_CTRL+KEY_CTRL+KEY_A", L"KEY_ALT+KEY_OPTION+KEY_A", L"KEY_WIN+KEY_CMD",
        L"KEY_A+KEY_B", L"+KEY_A", L"KEY_CTRL++KEY_A", L" KEY_A", L"KEY_A ", L"KEY_BOGUS",
        L"KEY_\u00e1", L"KEY_\u0101", L"KEY_CTRL+KEY_F16"}) {
    EXPECT_FALSE(ParseSpecialKey(token, chord)) << "accepted a malformed token";
  }
}

TEST(ParseTextTest, SplitsRunsAndChords) {
  EXPECT_EQ(Describe(L""), L"");
  EXPECT_EQ(Describe(L"abc"), L"[abc]");
  EXPECT_EQ(Describe(L"a${KEY_ENTER}b"), L"[a]<0:9>[b]");
  EXPECT_EQ(Describe(L"${KEY_CTRL+KEY_A}${KEY_CTRL+KEY_C}"), L"<1:40><1:42>");
  EXPECT_EQ(Describe(L"${KEY_CTRL}"), L"<1:0>");
}

TEST(ParseTextTest, DollarsAndBracesOutsideChordsAreText) {
  EXPECT_EQ(Describe(L"Price: $5"), L"[Price: $5]");
  EXPECT_EQ(Describe(L"a$$"), L"[a$$]");
  EXPECT_EQ(Describe(L"$${KEY_ENTER}"), L"[$${KEY_ENTER}]");
  EXPECT_EQ(Describe(L"$$${KEY_ENTER}"), L"[$$]<0:9>");
  EXPECT_EQ(Describe(L"x{KEY_ENTER}"), L"[x{KEY_ENTER}]");
  EXPECT_EQ(Describe(L"x}y"), L"[x}y]");
}

TEST(ParseTextTest, UnterminatedOrMalformedChordsFailTheWholeText) {
  for (const std::wstring text : {L"${KEY_ENTER", L"abc$", L"a$$$", L"${}", L"a${KEY_BOGUS}b",
                                  L"${KEY_A${KEY_B}}", L"ok${KEY_ENTER}then${KEY_CTRL++KEY_A}"}) {
    EXPECT_EQ(Describe(text), L"<fail>");
  }
}

TEST(ParseTextTest, SurrogatePairStaysInsideOneTextRun) {
  const std::wstring text = Utf8ToWideUtf16(
      "a\xF0\x9F\x98\x80"
      "b");
  EXPECT_EQ(Describe(text), L"[" + text + L"]");
}

TEST(Utf8ToWideUtf16Test, KeepsBmpCharactersAndSplitsOthersIntoSurrogates) {
  EXPECT_EQ(Utf8ToWideUtf16(""), L"");
  EXPECT_EQ(Utf8ToWideUtf16("a\xC3\xA9\xE4\xB8\xAD"), (std::wstring{L'a', 0xE9, 0x4E2D}));
  EXPECT_EQ(Utf8ToWideUtf16("\xF0\x9F\x98\x80"), (std::wstring{0xD83D, 0xDE00}));
  EXPECT_EQ(Utf8ToWideUtf16("\xF4\x8F\xBF\xBF"), (std::wstring{0xDBFF, 0xDFFF}));
  EXPECT_EQ(Utf8ToWideUtf16("\xF0\x90\x80\x80"), (std::wstring{0xD800, 0xDC00}));
}

TEST(Utf8ToWideUtf16Test, IllFormedInputThrows) {
  EXPECT_THROW(Utf8ToWideUtf16("a\xC3"), utf8::exception);
  EXPECT_THROW(Utf8ToWideUtf16("\xFF"), utf8::exception);
  EXPECT_THROW(Utf8ToWideUtf16("\xED\xA0\x80"), utf8::exception);  // an encoded surrogate
}

using SendTextTest = InputTest;

TEST_F(SendTextTest, PlaysRunsAndChordsInOrder) {
  ASSERT_TRUE(SendText(L"a${KEY_SHIFT+KEY_TAB}b"));
  const std::vector<FakeDesktopCall> expected = {PostedUnicodeKeyEvent{true, u"a"},
                                                 PostedUnicodeKeyEvent{false, u"a"},
                                                 Ms(1),
                                                 PostedKeyEvent{48, true, kFlagShift},
                                                 Ms(1),
                                                 PostedKeyEvent{48, false, 0},
                                                 PostedUnicodeKeyEvent{true, u"b"},
                                                 PostedUnicodeKeyEvent{false, u"b"},
                                                 Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(SendTextTest, ParseFailureAnywhereTypesNothing) {
  EXPECT_FALSE(SendText(L"a${KEY_BOGUS}b"));
  EXPECT_FALSE(SendText(L"hello${KEY_ENTER"));
  EXPECT_FALSE(SendText(L"abc$"));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(SendTextTest, EmptyTextAndModifiersOnlyChordSucceedTypingNothing) {
  EXPECT_TRUE(SendText(L""));
  EXPECT_TRUE(SendText(L"${KEY_CTRL}"));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(SendTextTest, KeyboardRefusalStopsPlayingAndReportsFailure) {
  fake.failKeys = true;
  EXPECT_FALSE(SendText(L"a${KEY_ENTER}b"));
  const std::vector<FakeDesktopCall> expected = {PostedUnicodeKeyEvent{true, u"a"},
                                                 PostedUnicodeKeyEvent{false, u"a"}, Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(SendTextTest, EmojiFromTheWireIsOneKeyPressOfTwoUnits) {
  ASSERT_TRUE(SendText(Utf8ToWideUtf16("\xF0\x9F\x98\x80")));
  const auto unicode = fake.CallsOf<PostedUnicodeKeyEvent>();
  ASSERT_EQ(unicode.size(), 2u);
  EXPECT_EQ(unicode[0], (PostedUnicodeKeyEvent{true, u"\U0001F600"}));
  EXPECT_EQ(unicode[1], (PostedUnicodeKeyEvent{false, u"\U0001F600"}));
  EXPECT_EQ(fake.CallsOf<SleepCall>().size(), 1u);
}

}  // namespace
}  // namespace morel_xy
