// The X11 desktop's window-system-free helpers: browser classes, EDID names, coordinate
// conversion, window layers and process start times.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "desktop/x11/browser_classes.h"
#include "desktop/x11/edid.h"
#include "desktop/x11/process_start.h"
#include "desktop/x11/screen_geometry.h"
#include "desktop/x11/window_layers.h"

namespace morel_xy {
namespace {

TEST(BrowserClassesTest, ChromeChromiumAndFirefoxByClass) {
  const std::string chrome = "com.google.Chrome";
  const std::string firefox = "org.mozilla.firefox";
  EXPECT_EQ(BundleIdForWmClass("google-chrome", "Google-chrome"), chrome);
  EXPECT_EQ(BundleIdForWmClass("google-chrome-beta", "Google-chrome-beta"), chrome);
  EXPECT_EQ(BundleIdForWmClass("chromium", "Chromium"), chrome);
  EXPECT_EQ(BundleIdForWmClass("chromium-browser", "Chromium-browser"), chrome);
  EXPECT_EQ(BundleIdForWmClass("crx_abcdef", "Google-chrome"), chrome);  // an app window
  EXPECT_EQ(BundleIdForWmClass("Navigator", "firefox"), firefox);
  EXPECT_EQ(BundleIdForWmClass("Navigator", "Firefox"), firefox);
  EXPECT_EQ(BundleIdForWmClass("Navigator", "firefox-esr"), firefox);
  EXPECT_EQ(BundleIdForWmClass("firefox", ""), firefox);  // no class: the instance decides
}

TEST(BrowserClassesTest, OtherApplicationsAreNoBrowser) {
  EXPECT_EQ(BundleIdForWmClass("xterm", "XTerm"), std::nullopt);
  EXPECT_EQ(BundleIdForWmClass("chromium", "Gimp"), std::nullopt);  // class wins over instance
  EXPECT_EQ(BundleIdForWmClass("", ""), std::nullopt);
  EXPECT_EQ(BundleIdForWmClass("x", "chrom"), std::nullopt);
  EXPECT_EQ(BundleIdForWmClass("x", "Thunderbird"), std::nullopt);
  EXPECT_EQ(BundleIdForWmClass("x", "google-chrom"), std::nullopt);
}

std::vector<uint8_t> EdidWithName(const char* name, size_t descriptor = 72) {
  std::vector<uint8_t> edid(128, 0);
  const uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  std::memcpy(edid.data(), header, 8);
  edid[descriptor + 3] = 0xFC;
  for (size_t i = 0; i < 13; ++i) edid[descriptor + 5 + i] = ' ';
  const size_t length = std::strlen(name);
  std::memcpy(edid.data() + descriptor + 5, name, length);
  if (length < 13) edid[descriptor + 5 + length] = 0x0A;
  return edid;
}

TEST(EdidTest, ProductNameFromTheNameDescriptor) {
  EXPECT_EQ(EdidProductName(EdidWithName("DELL U2720Q")), "DELL U2720Q");
  EXPECT_EQ(EdidProductName(EdidWithName("LG HDR 4K", 108)), "LG HDR 4K");
  EXPECT_EQ(EdidProductName(EdidWithName("ABCDEFGHIJKLM")), "ABCDEFGHIJKLM");  // 13, no LF
  std::vector<uint8_t> padded = EdidWithName("Q27");
  padded[72 + 5 + 3] = ' ';  // spaces instead of the line feed
  EXPECT_EQ(EdidProductName(padded), "Q27");
}

TEST(EdidTest, NotAnEdidOrNoNameGivesEmpty) {
  EXPECT_EQ(EdidProductName({}), "");
  std::vector<uint8_t> shortEdid = EdidWithName("X");
  shortEdid.resize(127);
  EXPECT_EQ(EdidProductName(shortEdid), "");
  std::vector<uint8_t> badHeader = EdidWithName("X");
  badHeader[0] = 1;
  EXPECT_EQ(EdidProductName(badHeader), "");
  std::vector<uint8_t> serialOnly = EdidWithName("X");
  serialOnly[72 + 3] = 0xFF;  // a serial number descriptor, not a name
  EXPECT_EQ(EdidProductName(serialOnly), "");
  std::vector<uint8_t> control = EdidWithName("AB");
  control[72 + 6] = 0x07;
  EXPECT_EQ(EdidProductName(control), "A");
}

TEST(ScreenGeometryTest, BottomUpAndTopDownPointsAroundThePrimaryMonitor) {
  const RootRect primary{0, 400, 1280, 800};
  EXPECT_EQ(ToBottomUpPoints(primary, primary, 1.0), (PlatformRect{0, 0, 1280, 800}));
  EXPECT_EQ(ToBottomUpPoints({320, 0, 640, 400}, primary, 1.0),
            (PlatformRect{320, 800, 640, 400}));  // above
  EXPECT_EQ(ToBottomUpPoints({1280, 800, 1000, 600}, primary, 2.0),
            (PlatformRect{640, -100, 500, 300}));  // right, reaching below
  EXPECT_EQ(ToTopDownPoints({100, 450, 30, 20}, primary, 2.0), (PlatformRect{50, 25, 15, 10}));
  EXPECT_EQ(ToTopDownPoints({0, 0, 10, 10}, primary, 1.0), (PlatformRect{0, -400, 10, 10}));
  EXPECT_EQ(ToTopDownPoints({3, 3, 3, 3}, {0, 0, 9, 9}, 0.0), (PlatformRect{3, 3, 3, 3}));
}

TEST(ScreenGeometryTest, Intersection) {
  EXPECT_EQ(Intersect({0, 0, 100, 100}, {50, 60, 100, 100}), (RootRect{50, 60, 50, 40}));
  const RootRect none = Intersect({0, 0, 10, 10}, {10, 0, 10, 10});
  EXPECT_EQ(none.width, 0);
  EXPECT_EQ(none.height, 0);
}

TEST(WindowLayersTest, NormalAndDialogOnLayerZeroDesktopLeftOut) {
  int normalLayer = 0, desktops = 0;
  for (const WindowTypeLayer& entry : WindowTypeLayers()) {
    const std::string name = entry.typeName;
    if (name == "_NET_WM_WINDOW_TYPE_NORMAL" || name == "_NET_WM_WINDOW_TYPE_DIALOG") {
      EXPECT_EQ(entry.layer, 0) << name;
      EXPECT_FALSE(entry.desktopElement);
      ++normalLayer;
    } else if (entry.desktopElement) {
      EXPECT_EQ(name, "_NET_WM_WINDOW_TYPE_DESKTOP");
      ++desktops;
    } else {
      EXPECT_GT(entry.layer, 0) << name;
    }
  }
  EXPECT_EQ(normalLayer, 2);
  EXPECT_EQ(desktops, 1);
  EXPECT_EQ(WindowTypeLayers().size(), 14u);
}

TEST(ProcessStartTest, OwnProcessHasAStartTimeAndAParentStartedEarlier) {
  const std::optional<uint64_t> self = ProcessStartTicks(getpid());
  const std::optional<uint64_t> parent = ProcessStartTicks(getppid());
  ASSERT_TRUE(self);
  ASSERT_TRUE(parent);
  EXPECT_LE(*parent, *self);
  EXPECT_EQ(ProcessStartTicks(0), std::nullopt);
  EXPECT_EQ(ProcessStartTicks(-5), std::nullopt);
  EXPECT_EQ(ProcessStartTicks(0x7FFFFFF0), std::nullopt);
}

}  // namespace
}  // namespace morel_xy
