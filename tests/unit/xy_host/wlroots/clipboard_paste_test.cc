#include "desktop/wlroots/clipboard_paste.h"

#include <gtest/gtest.h>

#include "fake_ports.h"

namespace morel_xy::wlroots {
namespace {

using testing::FakeClipboard;

ClipboardContents UserImage() {
  return ClipboardContents{
      {{"image/png", std::string("\x89PNG\0data", 9)}, {"text/uri-list", "file:///a"}}};
}

TEST(ClipboardPasteTest, ARunOfPastesSavesTheUsersClipboardOnceAndPutsItBack) {
  FakeClipboard clipboard;
  clipboard.contents = UserImage();
  int presses = 0;
  const auto press = [&presses] {
    ++presses;
    return true;
  };
  {
    ClipboardPaste paste(clipboard);
    ASSERT_TRUE(paste.Paste("😀", press));
    EXPECT_TRUE(paste.inRun());
    EXPECT_EQ(clipboard.contents, ClipboardPaste::TextContents("😀"));
    ASSERT_TRUE(paste.Paste("🎉", press));
    EXPECT_TRUE(paste.Restore());
    EXPECT_FALSE(paste.inRun());
    EXPECT_EQ(clipboard.contents, UserImage());
    // Outside a run there is nothing to give back.
    EXPECT_TRUE(paste.Restore());
  }
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(clipboard.reads, 1);
  EXPECT_EQ(clipboard.waits, 2);
  ASSERT_EQ(clipboard.history.size(), 3u);
  EXPECT_EQ(clipboard.history[2], UserImage());
  const auto& offered = ClipboardPaste::TextContents("x").formats;
  EXPECT_EQ(offered.front().first, "text/plain;charset=utf-8");
}

TEST(ClipboardPasteTest, AnEmptyClipboardIsEmptyAgainAfterwardsEvenIfTheRunIsNotClosed) {
  FakeClipboard clipboard;
  {
    ClipboardPaste paste(clipboard);
    ASSERT_TRUE(paste.Paste("😀", [] { return true; }));
  }
  EXPECT_TRUE(clipboard.contents.formats.empty());
}

TEST(ClipboardPasteTest, AClipboardThatCannotBeReadIsNeverReplaced) {
  FakeClipboard clipboard;
  clipboard.contents = UserImage();
  clipboard.unreadable = true;
  bool pressed = false;
  ClipboardPaste paste(clipboard);
  EXPECT_FALSE(paste.Paste("😀", [&pressed] { return pressed = true; }));
  EXPECT_FALSE(pressed);
  EXPECT_TRUE(clipboard.history.empty());
  EXPECT_FALSE(paste.inRun());
}

TEST(ClipboardPasteTest, APasteNobodyTakesOrThatCannotBePressedGivesTheClipboardBackAtOnce) {
  FakeClipboard clipboard;
  clipboard.contents = UserImage();
  clipboard.nobodyTakes = true;
  ClipboardPaste paste(clipboard);
  EXPECT_FALSE(paste.Paste("😀", [] { return true; }));
  EXPECT_EQ(clipboard.contents, UserImage());
  EXPECT_FALSE(paste.inRun());

  clipboard.nobodyTakes = false;
  EXPECT_FALSE(paste.Paste("😀", [] { return false; }));
  EXPECT_EQ(clipboard.contents, UserImage());
  EXPECT_EQ(clipboard.waits, 1);  // a failed chord is not waited for
}

}  // namespace
}  // namespace morel_xy::wlroots
