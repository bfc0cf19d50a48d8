#pragma once

#include <map>
#include <variant>
#include <vector>

#include "desktop/desktop.h"

namespace morel_xy {

// A sleep the host asked for.
struct SleepCall {
  std::chrono::nanoseconds duration{0};
  bool operator==(const SleepCall&) const = default;
};

// A capture the host asked for.
struct CaptureCall {
  uint32_t displayNumber = 0;
  PixelRect area;
  bool operator==(const CaptureCall&) const = default;
};

// Everything the host did to the desktop that a test may want to check, in order.
using FakeDesktopCall = std::variant<PostedMouseEvent, PostedScrollEvent, PostedKeyEvent,
                                     PostedUnicodeKeyEvent, SleepCall>;

// A desktop for tests: records every posted event and every sleep in `calls`, serves
// the scripted applications, windows, displays and display images, and runs a fake clock
// that only sleeping advances, so timing-dependent logic is deterministic.
class FakeDesktop final : public Desktop {
 public:
  // --- What the host did ---
  std::vector<FakeDesktopCall> calls;
  std::vector<CaptureCall> captures;
  int configureCount = 0;

  // --- What the desktop serves ---
  double now = 1000.0;                             // advanced by Sleep
  double doubleClickInterval = 0.5;                // seconds
  std::map<std::string, int32_t> applicationPids;  // bundle id -> pid
  std::optional<std::vector<OnScreenWindow>> windows = std::vector<OnScreenWindow>{};
  std::vector<Screen> screens;
  uint32_t mainDisplayNumber = 0;
  double mainScaleFactor = 1.0;
  std::map<uint32_t, CapturedImage> displayImages;  // whole display contents, in pixels

  // Failure injection: when `failPostsFrom` is set, the post with that 0-based index (counting
  // every Post* call) and all after it fail; each `fail<Kind>` makes every post of one kind fail.
  // A failed post is not recorded.
  std::optional<size_t> failPostsFrom;
  bool failMouse = false;
  bool failScroll = false;
  bool failKeys = false;
  bool failUnicode = false;

  // The recorded calls of one kind, in order.
  template <typename T>
  std::vector<T> CallsOf() const {
    std::vector<T> result;
    for (const auto& call : calls) {
      if (const T* value = std::get_if<T>(&call)) result.push_back(*value);
    }
    return result;
  }

  void ConfigureSyntheticInput() override { ++configureCount; }
  bool PostMouseEvent(const PostedMouseEvent& event) override;
  bool PostScrollEvent(const PostedScrollEvent& event) override;
  bool PostKeyEvent(const PostedKeyEvent& event) override;
  bool PostUnicodeKeyEvent(const PostedUnicodeKeyEvent& event) override;
  double Now() override { return now; }
  void Sleep(std::chrono::nanoseconds duration) override;
  double DoubleClickInterval() override { return doubleClickInterval; }
  int32_t GetApplicationPid(const std::string& bundleId) override;
  std::optional<std::vector<OnScreenWindow>> ListOnScreenWindows() override { return windows; }
  std::vector<Screen> ListScreens() override { return screens; }
  uint32_t MainDisplayNumber() override { return mainDisplayNumber; }
  double MainScreenBackingScaleFactor() override { return mainScaleFactor; }
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                  const PixelRect& area) override;

 private:
  template <typename T>
  bool Post(const T& event, bool failKind) {
    const size_t index = posts_++;
    if (failKind || (failPostsFrom && index >= *failPostsFrom)) return false;
    calls.emplace_back(std::in_place_type<T>, event);
    return true;
  }
  size_t posts_ = 0;
};

}  // namespace morel_xy
