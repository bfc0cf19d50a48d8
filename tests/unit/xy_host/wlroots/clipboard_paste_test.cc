#include "desktop/wlroots/logic/clipboard_paste.h"

#include <gtest/gtest.h>

#include "fake_ports.h"

namespace morel_xy::wlroots {
namespace {

using testing::FakeClipboard;
using namespace std::chrono_literals;
using Clock = ClipboardPaste::Clock;

ClipboardContents UserImage() {
  return ClipboardContents{
      {{"image/png", std::string("\x89PNG\0data", 9)}, {"text/uri-list", "file:///a"}}};
}

// A paste with a clock that moves only when the paste sleeps or the test says so.
class ClipboardPasteTest : public ::testing::Test {
 protected:
  ClipboardPasteTest()
      : paste(
            clipboard, [this](std::chrono::nanoseconds d) { now += d; }, [this] { return now; }) {
    clipboard.contents = UserImage();
  }

  bool Press() {
    ++presses;
    return true;
  }

  FakeClipboard clipboard;
  Clock::time_point now{};
  int presses = 0;
  ClipboardPaste paste;
};

TEST_F(ClipboardPasteTest, ARunSavesTheUsersClipboardOnceAndGivesItBackAfterTheHold) {
  ASSERT_TRUE(paste.Paste("😀", [this] { return Press(); }));
  EXPECT_TRUE(paste.inRun());
  EXPECT_EQ(clipboard.contents, ClipboardPaste::TextContents("😀"));
  // The next paste waits until the client has had the hold to read the first.
  const Clock::time_point before = now;
  ASSERT_TRUE(paste.Paste("🎉", [this] { return Press(); }));
  EXPECT_EQ(now - before, ClipboardPaste::kHold);
  ASSERT_TRUE(paste.EndRun());
  EXPECT_FALSE(paste.inRun());
  // Given back in the background, once the hold has passed.
  EXPECT_EQ(clipboard.contents, ClipboardPaste::TextContents("🎉"));
  ASSERT_TRUE(clipboard.later);
  EXPECT_EQ(*clipboard.later, UserImage());
  EXPECT_EQ(clipboard.laterDelay, ClipboardPaste::kHold);
  clipboard.FireLater();
  EXPECT_EQ(clipboard.contents, UserImage());
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(clipboard.reads, 1);
  EXPECT_EQ(clipboard.waits, 2);
  EXPECT_EQ(ClipboardPaste::TextContents("x").formats.front().first, "text/plain;charset=utf-8");
}

TEST_F(ClipboardPasteTest, APasteBeforeTheReturnKeepsTheSavedContentsAfterItReadsAgain) {
  ASSERT_TRUE(paste.Paste("😀", [this] { return Press(); }));
  ASSERT_TRUE(paste.EndRun());
  // Within the hold: the return is called off and the saved contents still count.
  ASSERT_TRUE(paste.Paste("🎉", [this] { return Press(); }));
  EXPECT_EQ(clipboard.reads, 1);
  ASSERT_TRUE(paste.EndRun());
  clipboard.FireLater();
  EXPECT_EQ(clipboard.contents, UserImage());

  // After the return the user copies something new: the next run saves that.
  clipboard.Set(ClipboardContents{{{"text/plain", "new"}}});
  ASSERT_TRUE(paste.Paste("👍", [this] { return Press(); }));
  EXPECT_EQ(clipboard.reads, 2);
  EXPECT_TRUE(paste.RestoreNow());
  EXPECT_EQ(clipboard.contents, (ClipboardContents{{{"text/plain", "new"}}}));
}

TEST_F(ClipboardPasteTest, AReturnStillToComeHappensAtOnceWhenThePasteGoesAway) {
  {
    ClipboardPaste other(clipboard, [](std::chrono::nanoseconds) {});
    ASSERT_TRUE(other.Paste("😀", [] { return true; }));
    ASSERT_TRUE(other.EndRun());
  }
  EXPECT_FALSE(clipboard.later);
  EXPECT_EQ(clipboard.contents, UserImage());
  // An empty clipboard is empty again.
  clipboard.contents = {};
  {
    ClipboardPaste other(clipboard, [](std::chrono::nanoseconds) {});
    ASSERT_TRUE(other.Paste("😀", [] { return true; }));
  }
  EXPECT_TRUE(clipboard.contents.formats.empty());
}

TEST_F(ClipboardPasteTest, AClipboardThatCannotBeReadIsNeverReplaced) {
  clipboard.unreadable = true;
  EXPECT_FALSE(paste.Paste("😀", [this] { return Press(); }));
  EXPECT_EQ(presses, 0);
  EXPECT_TRUE(clipboard.history.empty());
  EXPECT_FALSE(paste.inRun());
}

TEST_F(ClipboardPasteTest, APasteNobodyTakesOrThatCannotBePressedGivesTheClipboardBackAtOnce) {
  clipboard.nobodyTakes = true;
  EXPECT_FALSE(paste.Paste("😀", [this] { return Press(); }));
  EXPECT_EQ(clipboard.contents, UserImage());
  EXPECT_FALSE(paste.inRun());

  clipboard.nobodyTakes = false;
  EXPECT_FALSE(paste.Paste("😀", [] { return false; }));
  EXPECT_EQ(clipboard.contents, UserImage());
  EXPECT_EQ(clipboard.waits, 1);  // a failed chord is not waited for
}

TEST_F(ClipboardPasteTest, APasteIsHeldUntilThePageReadsItHoweverLongAfterTheFirstRead) {
  // Chromium's second read, the one the page pastes, behind a backlog of keys.
  clipboard.laterReadsAfter = 900ms;
  ASSERT_TRUE(paste.Paste("😀", [this] { return Press(); }));
  EXPECT_EQ(clipboard.served, (std::vector<ClipboardContents>{ClipboardPaste::TextContents("😀"),
                                                              ClipboardPaste::TextContents("😀")}));
  // Nothing given back before that.
  EXPECT_EQ(clipboard.history.size(), 1u);
}

TEST_F(ClipboardPasteTest, AClientThatReadsOnceIsLearntAndOneThatReadsTwiceAgainToo) {
  using ms = std::chrono::milliseconds;
  constexpr ms first = ClipboardPaste::kFirstRead;
  clipboard.readsPerPaste = 1;
  ASSERT_TRUE(paste.Paste("😀", [this] { return Press(); }));
  EXPECT_EQ(clipboard.asked, (std::vector<ms>{first, PasteReads::kPatience}));
  // Known now: a second read is only looked out for briefly.
  clipboard.asked.clear();
  ASSERT_TRUE(paste.Paste("🎉", [this] { return Press(); }));
  EXPECT_EQ(clipboard.asked, (std::vector<ms>{first, PasteReads::kQuiet}));
  // A client that reads twice again (within that while) is waited for fully once more.
  clipboard.readsPerPaste = 2;
  clipboard.asked.clear();
  ASSERT_TRUE(paste.Paste("👍", [this] { return Press(); }));
  ASSERT_TRUE(paste.Paste("🚀", [this] { return Press(); }));
  EXPECT_EQ(clipboard.asked,
            (std::vector<ms>{first, PasteReads::kQuiet, first, PasteReads::kPatience}));
  EXPECT_EQ(clipboard.served.size(), 6u);
}

}  // namespace
}  // namespace morel_xy::wlroots
