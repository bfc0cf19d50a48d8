#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desktop/wlroots/logic/wlroots_desktop.h"
#include "desktop/wlroots/logic/wlroots_ports.h"
#include "desktop/wlroots/sway/sway_tree.h"

namespace morel_xy::wlroots::testing {

// Records every request as a line ("move 10 20 100 50", "button 272 down", "wheel 0 -1",
// "frame"); `failing` makes every request fail from then on.
class FakePointer : public PointerDevice {
 public:
  bool MoveAbsolute(uint32_t x, uint32_t y, uint32_t xExtent, uint32_t yExtent) override {
    return Record("move " + std::to_string(x) + " " + std::to_string(y) + " " +
                  std::to_string(xExtent) + " " + std::to_string(yExtent));
  }
  bool Button(uint32_t button, bool down) override {
    return Record("button " + std::to_string(button) + (down ? " down" : " up"));
  }
  bool WheelSteps(uint32_t axis, int32_t steps) override {
    return Record("wheel " + std::to_string(axis) + " " + std::to_string(steps));
  }
  bool Frame() override { return Record("frame"); }

  std::vector<std::string> events;
  bool failing = false;

 private:
  bool Record(std::string event) {
    if (failing) return false;
    events.push_back(std::move(event));
    return true;
  }
};

// Records keys ("key 30 down"), modifier masks ("mods 1") and keymaps ("keymap").
class FakeKeyboard : public KeyboardDevice {
 public:
  bool SetKeymap(const std::string& xkbKeymap) override {
    if (failing || refuseKeymaps) return false;
    keymaps.push_back(xkbKeymap);
    events.push_back("keymap");
    return true;
  }
  bool Key(uint32_t keycode, bool down) override {
    if (failing) return false;
    events.push_back("key " + std::to_string(keycode) + (down ? " down" : " up"));
    return true;
  }
  bool Modifiers(uint32_t depressed) override {
    if (failing) return false;
    events.push_back("mods " + std::to_string(depressed));
    return true;
  }

  std::vector<std::string> events;
  std::vector<std::string> keymaps;
  bool failing = false;
  bool refuseKeymaps = false;
};

// A clipboard holding `contents`; `unreadable` makes Read fail. Each paste is read
// `readsPerPaste` times (none when `nobodyTakes`), every read after the first only by a wait of
// `laterReadsAfter` or longer; a wait for a read that does not come times out at once. The
// timeout of every wait is kept in `asked`, what each read got in `served`, every Set in
// `history`.
class FakeClipboard : public Clipboard {
 public:
  std::optional<ClipboardContents> Read() override {
    ++reads;
    if (unreadable) return std::nullopt;
    return contents;
  }
  bool Set(const ClipboardContents& newContents) override {
    if (refuseSet) return false;
    later.reset();
    contents = newContents;
    history.push_back(newContents);
    return true;
  }
  bool SetLater(const ClipboardContents& newContents, std::chrono::milliseconds delay) override {
    later = newContents;
    laterDelay = delay;
    return true;
  }
  bool CancelLater() override {
    const bool pending = later.has_value();
    later.reset();
    return pending;
  }
  // What the compositor's clock does to a SetLater.
  void FireLater() {
    if (!later) return;
    const ClipboardContents pending = std::move(*later);
    Set(pending);
  }
  std::optional<uint64_t> WaitForReads(uint64_t seen, std::chrono::milliseconds timeout) override {
    if (seen == 0) ++waits;
    asked.push_back(timeout);
    const uint64_t available = nobodyTakes ? 0 : readsPerPaste;
    if (seen >= available || (seen > 0 && timeout < laterReadsAfter)) return seen;
    served.push_back(contents);
    return seen + 1;
  }

  ClipboardContents contents;
  std::vector<ClipboardContents> history;
  std::optional<ClipboardContents> later;
  std::chrono::milliseconds laterDelay{0};
  int reads = 0;
  int waits = 0;  // pastes waited for
  uint64_t readsPerPaste = 2;
  std::chrono::milliseconds laterReadsAfter{0};
  std::vector<std::chrono::milliseconds> asked;
  std::vector<ClipboardContents> served;
  bool unreadable = false;
  bool nobodyTakes = false;
  bool refuseSet = false;
};

class FakeOutputs : public OutputSource {
 public:
  std::optional<std::vector<OutputInfo>> Outputs() override {
    if (gone) return std::nullopt;
    return outputs;
  }

  std::vector<OutputInfo> outputs;
  bool gone = false;
};

// Answers with a blank image of the asked size, filled with `fill`, and records the areas.
class FakeCapturer : public ScreenCapturer {
 public:
  std::optional<CapturedImage> Capture(uint32_t outputId, const PixelRect& area) override {
    calls.push_back({outputId, area});
    if (failing) return std::nullopt;
    CapturedImage image;
    image.width = static_cast<int32_t>(area.width);
    image.height = static_cast<int32_t>(area.height);
    image.bytesPerRow = static_cast<size_t>(area.width) * 4;
    image.bgrx.assign(image.bytesPerRow * static_cast<size_t>(area.height), fill);
    return image;
  }

  std::vector<std::pair<uint32_t, PixelRect>> calls;
  bool failing = false;
  uint8_t fill = 0x7f;
};

// sway's windows from a "get_tree" answer the test writes.
class FakeTree : public WindowSource {
 public:
  std::optional<std::vector<CompositorWindow>> Windows() override {
    if (!tree) return std::nullopt;
    return ParseSwayTree(*tree);
  }

  std::optional<std::string> tree;
};

// One fake of each port, for a fixture to derive from; Parts() wires all but the clipboard
// (a desktop without one has no paste) into a desktop's parts.
struct FakeDevices {
  WlrootsParts Parts() {
    WlrootsParts parts;
    parts.pointer = &pointer;
    parts.keyboard = &keyboard;
    parts.outputs = &outputs;
    parts.capturer = &capturer;
    parts.windows = &tree;
    return parts;
  }

  FakePointer pointer;
  FakeKeyboard keyboard;
  FakeClipboard clipboard;
  FakeOutputs outputs;
  FakeCapturer capturer;
  FakeTree tree;
};

inline OutputInfo Output(uint32_t id, std::string connector, int32_t x, int32_t y, int32_t width,
                         int32_t height, double scale = 1.0) {
  OutputInfo output;
  output.id = id;
  output.connector = std::move(connector);
  output.x = x;
  output.y = y;
  output.width = width;
  output.height = height;
  output.pixelWidth = static_cast<int32_t>(width * scale);
  output.pixelHeight = static_cast<int32_t>(height * scale);
  output.integerScale = static_cast<int32_t>(scale + 0.99);
  return output;
}

}  // namespace morel_xy::wlroots::testing
