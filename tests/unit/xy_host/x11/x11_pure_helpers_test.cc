// The X11 desktop's window-system-free helpers: EDID names and coordinate conversion.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "desktop/x11/edid.h"
#include "desktop/x11/screen_geometry.h"

namespace morel_xy::x11 {
namespace {

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

// The primary monitor need not be at the root's origin: points count from its corner, both
// ways, so what is reported and where the pointer goes agree.
TEST(ScreenGeometryTest, PointsCountFromThePrimaryMonitorsCornerBothWays) {
  const PointSpace right({1024, 100, 1280, 800}, 1.0);  // primary right of another monitor
  EXPECT_EQ(right.ToPoints({100, 100, 800, 600}), (PointRect{-924, 0, 800, 600}));
  EXPECT_EQ(right.ToRoot({-924, 0}), (RootPoint{100, 100}));
  EXPECT_EQ(right.ToRoot({10, 20}), (RootPoint{1034, 120}));

  const PointSpace scaled({0, 400, 1280, 800}, 2.0);
  EXPECT_EQ(scaled.ToPoints({100, 450, 30, 20}), (PointRect{50, 25, 15, 10}));
  EXPECT_EQ(scaled.ToPoints({0, 0, 10, 10}), (PointRect{0, -200, 5, 5}));
  EXPECT_EQ(scaled.ToRoot({50.2, 25.3}), (RootPoint{100, 451}));  // the nearest pixel

  // Points beyond what an X event carries are clamped, not wrapped; a scale that is no scale
  // counts as 1.
  EXPECT_EQ(scaled.ToRoot({1e9, -1e9}), (RootPoint{32767, -32768}));
  EXPECT_EQ(scaled.ToRoot({NAN, 0}), (RootPoint{0, 400}));
  EXPECT_EQ(PointSpace({0, 0, 9, 9}, 0.0).ToPoints({3, 3, 3, 3}), (PointRect{3, 3, 3, 3}));
  EXPECT_EQ(PointSpace({0, 0, 9, 9}, NAN).ToRoot({3, 3}), (RootPoint{3, 3}));
}

TEST(ScreenGeometryTest, Intersection) {
  EXPECT_EQ(Intersect({0, 0, 100, 100}, {50, 60, 100, 100}), (RootRect{50, 60, 50, 40}));
  const RootRect none = Intersect({0, 0, 10, 10}, {10, 0, 10, 10});
  EXPECT_EQ(none.width, 0);
  EXPECT_EQ(none.height, 0);
}

}  // namespace
}  // namespace morel_xy::x11
