#include "desktop/wlroots/logic/output_layout.h"

#include <gtest/gtest.h>

#include <limits>

#include "fake_ports.h"

namespace morel_xy::wlroots {
namespace {

using testing::Output;

TEST(OutputLayoutTest, TheOutputAtTheOriginIsMainAndFramesAreMeasuredFromIt) {
  // A monitor to the left of the main one, at negative layout coordinates.
  OutputInfo left = Output(40, "DP-2", -1280, 100, 1280, 1024);
  left.model = "Unknown";
  OutputInfo main = Output(41, "DP-1", 0, 0, 1600, 1000, 1.5);
  main.model = "Acme 27";
  const OutputLayout layout({left, main});
  ASSERT_NE(layout.Main(), nullptr);
  EXPECT_EQ(layout.Main()->id, 41u);

  const std::vector<DesktopDisplay> displays = layout.Displays();
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_EQ(displays[0].number, 40u);
  EXPECT_EQ(displays[0].name, "DP-2");  // "Unknown" names no product
  EXPECT_FALSE(displays[0].main);
  EXPECT_EQ(displays[0].frame, (PointRect{-1280, 100, 1280, 1024}));
  EXPECT_EQ(displays[0].workArea, displays[0].frame);
  EXPECT_DOUBLE_EQ(displays[0].scale, 1.0);
  EXPECT_EQ(displays[1].name, "Acme 27");
  EXPECT_TRUE(displays[1].main);
  // wl_output says 2 for a 1.5 scale; the mode against the logical size says 1.5.
  EXPECT_DOUBLE_EQ(displays[1].scale, 1.5);
  EXPECT_EQ(displays[1].frame, (PointRect{0, 0, 1600, 1000}));
}

TEST(OutputLayoutTest, WithoutAnOutputAtTheOriginTheLeftmostTopmostIsMain) {
  const OutputLayout layout({Output(1, "B", 1920, 0, 1920, 1080),
                             Output(2, "A", 0, 200, 1920, 1080),
                             Output(3, "C", 0, 1280, 800, 600)});
  EXPECT_EQ(layout.Main()->id, 2u);
  EXPECT_EQ(layout.Displays()[0].frame, (PointRect{1920, -200, 1920, 1080}));
  // A window at layout (100, 300) is 100 points below the main display's top.
  EXPECT_EQ(layout.ToGlobal(PointRect{100, 300, 10, 10}), (PointRect{100, 100, 10, 10}));
}

TEST(OutputLayoutTest, OutputsWithoutALogicalSizeAreLeftOut) {
  OutputInfo pending = Output(5, "X", 0, 0, 0, 0);
  const OutputLayout layout({pending});
  EXPECT_TRUE(layout.empty());
  EXPECT_EQ(layout.Main(), nullptr);
  EXPECT_EQ(layout.PointerMotion(Point{1, 1}), std::nullopt);
  EXPECT_TRUE(layout.Displays().empty());
}

TEST(OutputLayoutTest, PointerMotionIsRelativeToTheLayoutBoxAndStaysInside) {
  const OutputLayout layout(
      {Output(1, "left", -1280, 0, 1280, 1024), Output(2, "main", 0, 0, 1600, 1000)});
  using M = OutputLayout::Motion;
  EXPECT_EQ(layout.PointerMotion(Point{0, 0}), (M{1280, 0, 2880, 1024}));
  EXPECT_EQ(layout.PointerMotion(Point{-1280, 10.4}), (M{0, 10, 2880, 1024}));
  EXPECT_EQ(layout.PointerMotion(Point{99.6, 500}), (M{1380, 500, 2880, 1024}));
  // Beyond the layout: the last point inside it, never the extent itself.
  EXPECT_EQ(layout.PointerMotion(Point{1e9, -5}), (M{2879, 0, 2880, 1024}));
  EXPECT_EQ(layout.PointerMotion(Point{std::numeric_limits<double>::quiet_NaN(), 3}),
            (M{0, 3, 2880, 1024}));
}

TEST(OutputLayoutTest, PointsFindTheirOutput) {
  const OutputLayout layout(
      {Output(1, "main", 0, 0, 1600, 1000), Output(2, "right", 1600, 0, 800, 600, 2.0)});
  EXPECT_EQ(layout.At(Point{10, 10})->id, 1u);
  EXPECT_EQ(layout.At(Point{1600, 599})->id, 2u);
  EXPECT_EQ(layout.At(Point{1700, 700}), nullptr);
  EXPECT_DOUBLE_EQ(OutputLayout::Scale(*layout.Find(2)), 2.0);
  // 1600 pixels at 1.5 are 1066 points, whose ratio is 1.5009: the scale set was 1.5. A scale
  // off the 1/120 grid stays the ratio.
  OutputInfo fractional = testing::Output(3, "f", 0, 0, 1066, 666);
  fractional.pixelWidth = 1600;
  fractional.pixelHeight = 1000;
  EXPECT_DOUBLE_EQ(OutputLayout::Scale(fractional), 1.5);
  fractional.width = 1203;  // 1600 pixels at 1.33
  EXPECT_NEAR(OutputLayout::Scale(fractional), 1.33, 0.001);
  EXPECT_EQ(layout.Find(3), nullptr);
}

TEST(OutputLayoutTest, CaptureAreasAreClippedToTheOutputsPixels) {
  const OutputInfo output = Output(1, "main", 0, 0, 800, 500, 2.0);  // 1600 x 1000 pixels
  using R = PixelRect;
  EXPECT_EQ(OutputLayout::ClipToOutput(output, R{100, 200, 300, 400}), (R{100, 200, 300, 400}));
  EXPECT_EQ(OutputLayout::ClipToOutput(output, R{-50, 900, 200, 400}), (R{0, 900, 150, 100}));
  EXPECT_EQ(OutputLayout::ClipToOutput(output, R{1600, 0, 10, 10}), std::nullopt);
  EXPECT_EQ(OutputLayout::ClipToOutput(output, R{0, 0, 0, 10}), std::nullopt);
  EXPECT_EQ(OutputLayout::ClipToOutput(output, R{5, 5, -10, 10}), std::nullopt);
  const int64_t huge = std::numeric_limits<int64_t>::max();
  EXPECT_EQ(OutputLayout::ClipToOutput(output, R{10, 10, huge, huge}), (R{10, 10, 1590, 990}));
}

}  // namespace
}  // namespace morel_xy::wlroots
