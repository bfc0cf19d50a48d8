#pragma once

#include <map>
#include <set>
#include <variant>
#include <vector>

#include "desktop/desktop.h"

namespace morel_xy {

// What the host did to a FakeDesktop, one struct per kind of call.
struct PointerMove {
  Point at;
  bool operator==(const PointerMove&) const = default;
};
struct ButtonPress {
  PointerButton button = PointerButton::Left;
  bool down = false;
  Point at;
  bool operator==(const ButtonPress&) const = default;
};
struct ScrollCall {
  int32_t vertical = 0;
  int32_t horizontal = 0;
  bool operator==(const ScrollCall&) const = default;
};
struct KeyPress {
  Keysym keysym = 0;
  bool down = false;
  bool operator==(const KeyPress&) const = default;
};
struct TypedCharacter {
  char32_t character = 0;
  std::string upcoming;  // the first kUpcomingKept bytes of what the host said comes next
  bool operator==(const TypedCharacter&) const = default;
};
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

// Everything posted or slept, in order.
using FakeDesktopCall =
    std::variant<PointerMove, ButtonPress, ScrollCall, KeyPress, TypedCharacter, SleepCall>;

// A desktop for tests: records every posted event and every sleep in `calls`, and serves the
// scripted browsers, windows, displays and display images.
class FakeDesktop final : public Desktop {
 public:
  // The look-ahead a TypedCharacter keeps: enough to check it, without copying the rest of a
  // long text for every character.
  static constexpr size_t kUpcomingKept = 16;

  // --- What the host did ---
  std::vector<FakeDesktopCall> calls;
  std::vector<CaptureCall> captures;
  int windowListings = 0;   // calls of ListOnScreenWindows
  int displayListings = 0;  // calls of ListDisplays

  // --- What the desktop serves ---
  std::optional<std::vector<TopLevelWindow>> windows = std::vector<TopLevelWindow>{};
  std::vector<DesktopDisplay> displays;
  std::map<uint32_t, CapturedImage> displayImages;  // whole display contents, in pixels

  // Failure injection: when `failPostsFrom` is set, the post with that 0-based index (counting
  // every posting call) and all after it fail; the posts whose indices are in `failPosts` fail;
  // each `fail<Kind>` makes every post of one kind fail. A failed post is not recorded.
  std::optional<size_t> failPostsFrom;
  std::set<size_t> failPosts;
  bool failPointer = false;
  bool failScroll = false;
  bool failKeys = false;
  bool failTyping = false;

  // The recorded calls of one kind, in order.
  template <typename T>
  std::vector<T> CallsOf() const {
    std::vector<T> result;
    for (const auto& call : calls) {
      if (const T* value = std::get_if<T>(&call)) result.push_back(*value);
    }
    return result;
  }

  bool MovePointer(Point at) override { return Post(PointerMove{at}, failPointer); }
  bool PressButton(PointerButton button, bool down, Point at) override {
    return Post(ButtonPress{button, down, at}, failPointer);
  }
  bool Scroll(int32_t vertical, int32_t horizontal) override {
    return Post(ScrollCall{vertical, horizontal}, failScroll);
  }
  bool PressKey(Keysym keysym, bool down) override {
    return Post(KeyPress{keysym, down}, failKeys);
  }
  bool TypeCharacter(char32_t character, std::string_view upcoming) override {
    return Post(TypedCharacter{character, std::string(upcoming.substr(0, kUpcomingKept))},
                failTyping);
  }
  void Sleep(std::chrono::nanoseconds duration) override {
    calls.emplace_back(SleepCall{duration});
  }
  std::optional<std::vector<TopLevelWindow>> ListOnScreenWindows() override {
    ++windowListings;
    return windows;
  }
  std::vector<DesktopDisplay> ListDisplays() override {
    ++displayListings;
    return displays;
  }
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                  const PixelRect& area) override;

 private:
  template <typename T>
  bool Post(T&& event, bool failKind) {
    const size_t index = m_posts++;
    if (failKind || (failPostsFrom && index >= *failPostsFrom) || failPosts.count(index)) {
      return false;
    }
    calls.emplace_back(std::forward<T>(event));
    return true;
  }
  size_t m_posts = 0;
};

}  // namespace morel_xy
