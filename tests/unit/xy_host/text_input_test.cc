#include <string>
#include <vector>

#include "actions/text.h"
#include "input_fixture.h"

namespace morel_xy {
namespace {

using detail::KeyboardEvent;
using detail::KeyboardEventType;
using detail::ParseSpecialKey;
using detail::ParseText;
using K = KeyboardSpecialKey;
using M = KeyboardModifierKeys;

KeyboardSpecialKeyEvent Chord(std::string_view token) {
  KeyboardSpecialKeyEvent chord;
  EXPECT_TRUE(ParseSpecialKey(token, chord)) << "token rejected: " << token;
  return chord;
}

// The first name of `key` in alphabetical order; empty for None.
std::string NameOf(KeyboardSpecialKey key) {
  std::string first;
  for (const auto& [name, named] : detail::STRING_TO_SPECIAL_KEY_MAP) {
    if (named == key && (first.empty() || name < first)) first = name;
  }
  return first;
}

// A compact picture of a parse: text runs as themselves, chords as "<modifiers:key name>".
std::string Describe(std::string_view text) {
  std::string out;
  const bool parsed = ParseText(text, [&](const KeyboardEvent& event) {
    if (event.type == KeyboardEventType::Text) {
      out += "[" + std::string(event.text) + "]";
    } else {
      out += "<" + std::to_string(static_cast<uint32_t>(event.specialKeyEvent.modifiers)) + ":" +
             NameOf(event.specialKeyEvent.key) + ">";
    }
    return true;
  });
  return parsed ? out : "<fail>";
}

std::string Repeat(std::string_view piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(KeyNameTableTest, HoldsTheNamesWithTheirAliases) {
  const auto& map = detail::STRING_TO_SPECIAL_KEY_MAP;
  EXPECT_EQ(map.at("KEY_PGUP"), K::PageUp);
  EXPECT_EQ(map.at("KEY_PAGE_DOWN"), K::PageDown);
  EXPECT_EQ(map.at("KEY_BKSP"), K::Backspace);
  EXPECT_EQ(map.at("KEY_DEL"), K::Delete);
  EXPECT_EQ(map.at("KEY_ESC"), K::Escape);
  EXPECT_EQ(map.at("KEY_F1"), K::F1);
  EXPECT_EQ(map.at("KEY_F15"), K::F15);
  EXPECT_EQ(map.at("KEY_NUM0"), K::Digit0);
  EXPECT_EQ(map.at("KEY_9"), K::Digit9);
  EXPECT_EQ(map.at("KEY_A"), K::A);
  EXPECT_EQ(map.at("KEY_Z"), K::Z);
  EXPECT_EQ(map.at("KEY_SEMICOLON"), K::Semicolon);
  EXPECT_EQ(map.count("KEY_CTRL"), 0u) << "modifiers are recognised before the table";
  EXPECT_EQ(map.count("KEY_F16"), 0u);
  EXPECT_EQ(map.count("key_a"), 0u);
}

TEST(ParseSpecialKeyTest, ModifiersInAnyOrderAndCaseWithOneKey) {
  EXPECT_EQ(Chord("KEY_CTRL+KEY_A"), (KeyboardSpecialKeyEvent{M::Ctrl, K::A}));
  EXPECT_EQ(Chord("key_a+Key_Ctrl"), (KeyboardSpecialKeyEvent{M::Ctrl, K::A}));
  EXPECT_EQ(Chord("KEY_CMD+KEY_SHIFT+KEY_Z"), (KeyboardSpecialKeyEvent{M::Shift | M::Meta, K::Z}));
  EXPECT_EQ(Chord("KEY_OPTION+KEY_WIN+KEY_F3"), (KeyboardSpecialKeyEvent{M::Alt | M::Meta, K::F3}));
  EXPECT_EQ(Chord("KEY_NUM5"), Chord("KEY_5"));
  EXPECT_EQ(Chord("KEY_5"), (KeyboardSpecialKeyEvent{M::None, K::Digit5}));
}

TEST(ParseSpecialKeyTest, ModifiersOnlyChordsAreAccepted) {
  EXPECT_EQ(Chord("KEY_CTRL"), (KeyboardSpecialKeyEvent{M::Ctrl, K::None}));
  EXPECT_EQ(Chord("KEY_CTRL+"), (KeyboardSpecialKeyEvent{M::Ctrl, K::None}));
  EXPECT_EQ(Chord("KEY_META+KEY_ALT"), (KeyboardSpecialKeyEvent{M::Meta | M::Alt, K::None}));
}

TEST(ParseSpecialKeyTest, MalformedChordsAreRejected) {
  KeyboardSpecialKeyEvent chord;
  // Non-ASCII letters are not upper-cased into names: U+00E1 and U+0101 in UTF-8.
  for (const std::string_view token :
       {"", "KEY_CTRL+KEY_CTRL+KEY_A", "KEY_ALT+KEY_OPTION+KEY_A", "KEY_WIN+KEY_CMD", "KEY_A+KEY_B",
        "+KEY_A", "KEY_CTRL++KEY_A", "KEY_A++", " KEY_A", "KEY_A ", "KEY_BOGUS", "KEY_\xC3\xA1",
        "KEY_\xC4\x81", "KEY_CTRL+KEY_F16"}) {
    EXPECT_FALSE(ParseSpecialKey(token, chord)) << "accepted a malformed token: " << token;
  }
}

// The longest token that can parse is refused by length no sooner than it must be.
TEST(ParseSpecialKeyTest, LongestValidChordParsesAndAnythingLongerFails) {
  const std::string longest = "key_ctrl+key_option+key_shift+key_meta+key_page_down+";
  EXPECT_EQ(Chord(longest),
            (KeyboardSpecialKeyEvent{M::Ctrl | M::Alt | M::Shift | M::Meta, K::PageDown}));
  KeyboardSpecialKeyEvent chord;
  EXPECT_FALSE(ParseSpecialKey(longest + "+", chord));
  EXPECT_FALSE(ParseSpecialKey(Repeat("KEY_A+", 1 << 20), chord));
}

TEST(ParseTextTest, SplitsRunsAndChords) {
  EXPECT_EQ(Describe(""), "");
  EXPECT_EQ(Describe("abc"), "[abc]");
  EXPECT_EQ(Describe("a${KEY_ENTER}b"), "[a]<0:KEY_ENTER>[b]");
  EXPECT_EQ(Describe("${KEY_CTRL+KEY_A}${KEY_CTRL+KEY_C}"), "<1:KEY_A><1:KEY_C>");
  EXPECT_EQ(Describe("${KEY_CTRL}"), "<1:>");
}

TEST(ParseTextTest, DollarsAndBracesOutsideChordsAreText) {
  EXPECT_EQ(Describe("Price: $5"), "[Price: $5]");
  EXPECT_EQ(Describe("a$$"), "[a$$]");
  EXPECT_EQ(Describe("$${KEY_ENTER}"), "[$${KEY_ENTER}]");
  EXPECT_EQ(Describe("$$${KEY_ENTER}"), "[$$]<0:KEY_ENTER>");
  EXPECT_EQ(Describe("x{KEY_ENTER}"), "[x{KEY_ENTER}]");
  EXPECT_EQ(Describe("x}y"), "[x}y]");
}

TEST(ParseTextTest, UnterminatedOrMalformedChordsFailTheWholeText) {
  for (const std::string_view text : {"${KEY_ENTER", "abc$", "a$$$", "${}", "a${KEY_BOGUS}b",
                                      "${KEY_A${KEY_B}}", "ok${KEY_ENTER}then${KEY_CTRL++KEY_A}"}) {
    EXPECT_EQ(Describe(text), "<fail>") << text;
  }
  EXPECT_EQ(Describe("${" + Repeat("KEY_A", 1 << 20) + "}"), "<fail>");
}

TEST(ParseTextTest, MultibyteCharactersStayInsideTheirRuns) {
  EXPECT_EQ(Describe("a\xF0\x9F\x98\x80"
                     "b"),
            "[a\xF0\x9F\x98\x80"
            "b]");
  EXPECT_EQ(Describe("\xC3\xA9${KEY_ENTER}\xE6\xBC\xA2$"
                     "5"),
            "[\xC3\xA9]<0:KEY_ENTER>[\xE6\xBC\xA2$5]");
}

TEST(ParseTextTest, RunsAreViewsIntoTheText) {
  const std::string text = "ab${KEY_TAB}cd";
  std::vector<std::string_view> runs;
  ASSERT_TRUE(ParseText(text, [&](const KeyboardEvent& event) {
    if (event.type == KeyboardEventType::Text) runs.push_back(event.text);
    return true;
  }));
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].data(), text.data());
  EXPECT_EQ(runs[1].data(), text.data() + 12);
  EXPECT_EQ(runs[1], "cd");
}

TEST(ParseTextTest, StopsAsSoonAsTheCallbackRefuses) {
  int calls = 0;
  EXPECT_FALSE(ParseText("a${KEY_ENTER}b${KEY_BOGUS}", [&](const KeyboardEvent&) {
    ++calls;
    return calls < 2;
  }));
  EXPECT_EQ(calls, 2);
  // A refused last run is a failure too.
  EXPECT_FALSE(ParseText("abc", [](const KeyboardEvent&) { return false; }));
}

class SendTextTest : public InputTest {
 protected:
  bool Send(std::string_view text) { return SendText(fake, text); }
};

TEST_F(SendTextTest, PlaysRunsAndChordsInOrder) {
  ASSERT_TRUE(Send("ab${KEY_SHIFT+KEY_TAB}c"));
  const std::vector<FakeDesktopCall> expected = {TypedCharacter{U'a', "b"},
                                                 Ms(1),
                                                 TypedCharacter{U'b', ""},
                                                 Ms(1),
                                                 KeyPress{keysym::kShiftL, true},
                                                 KeyPress{keysym::kTab, true},
                                                 Ms(1),
                                                 KeyPress{keysym::kTab, false},
                                                 KeyPress{keysym::kShiftL, false},
                                                 TypedCharacter{U'c', ""},
                                                 Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(SendTextTest, ParseFailureAnywhereTypesNothing) {
  EXPECT_FALSE(Send("a${KEY_BOGUS}b"));
  EXPECT_FALSE(Send("hello${KEY_ENTER"));
  EXPECT_FALSE(Send("abc$"));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(SendTextTest, IllFormedUtf8AnywhereTypesNothing) {
  for (const std::string_view text : {
           "a\xC3",             // truncated sequence
           "\xFF",              // never a UTF-8 byte
           "\xED\xA0\x80",      // an encoded surrogate
           "\xC0\xAF",          // overlong
           "\xF4\x90\x80\x80",  // beyond U+10FFFF
           "\xBF"
           "abc",                         // stray continuation byte
           "ok${KEY_ENTER}then\xE6\xBC",  // after a valid chord and run
           "\xE6${KEY_ENTER}\xBC\xA2",    // a character split by a chord
       }) {
    EXPECT_FALSE(Send(text));
  }
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(SendTextTest, EmptyTextAndModifiersOnlyChordSucceedTypingNothing) {
  EXPECT_TRUE(Send(""));
  EXPECT_TRUE(Send("${KEY_CTRL}"));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(SendTextTest, KeyboardRefusalStopsPlayingAndReportsFailure) {
  fake.failKeys = true;
  EXPECT_FALSE(Send("a${KEY_ENTER}b"));
  const std::vector<FakeDesktopCall> expected = {TypedCharacter{U'a', ""}, Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(SendTextTest, EmojiFromTheWireIsOneCharacter) {
  ASSERT_TRUE(Send("\xF0\x9F\x98\x80x"));
  const std::vector<TypedCharacter> expected = {{U'\U0001F600', "x"}, {U'x', ""}};
  EXPECT_EQ(fake.CallsOf<TypedCharacter>(), expected);
  EXPECT_EQ(fake.CallsOf<SleepCall>().size(), 2u);
}

TEST_F(SendTextTest, ManyChordsAreCheckedAndTypedInOrder) {
  constexpr size_t kChords = 100000;
  ASSERT_TRUE(Send(Repeat("${KEY_A}", kChords) + "z"));
  const auto keys = fake.CallsOf<KeyPress>();
  ASSERT_EQ(keys.size(), 2 * kChords);
  EXPECT_EQ(keys.front(), (KeyPress{'a', true}));
  EXPECT_EQ(keys.back(), (KeyPress{'a', false}));
  const std::vector<TypedCharacter> typed = {{U'z', ""}};
  EXPECT_EQ(fake.CallsOf<TypedCharacter>(), typed);
  EXPECT_EQ(fake.CallsOf<SleepCall>().size(), kChords + 1);
}

TEST_F(SendTextTest, FaultInTheLastBytesOfALongTextTypesNothing) {
  const std::string body = Repeat("ab${KEY_TAB}\xC3\xA9", 1 << 15);
  for (const std::string_view tail : {"${KEY_BOGUS}", "${KEY_ENTER", "$", "\xC3"}) {
    EXPECT_FALSE(Send(body + std::string(tail))) << tail;
  }
  EXPECT_TRUE(fake.calls.empty());
  ASSERT_TRUE(Send(body));
  EXPECT_EQ(fake.CallsOf<KeyPress>().size(), 2u << 15);
}

}  // namespace
}  // namespace morel_xy
