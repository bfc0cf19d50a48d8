#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "records/bitmap.h"
#include "records/color.h"
#include "records/display_info.h"
#include "records/rect.h"

namespace morel_xy {
namespace {

std::vector<uint8_t> SaveAndRead(const Bitmap& bitmap) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("records_test_" + std::to_string(getpid()) + ".bmp");
  bitmap.Save(path.string());
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  return bytes;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The 54 header bytes of a w × h 32-bit BMP, field by field.
std::vector<uint8_t> Header(uint32_t w, uint32_t h) {
  std::vector<uint8_t> b(54, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, 54 + 4 * w * h);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  b[26] = 1;
  b[28] = 32;
  return b;
}

TEST(RecordsTest, RectAndDisplayJsonHaveSortedKeysAndFloatScale) {
  EXPECT_EQ((Rect{1, 2, 3, 4}.ToJson().dump()), R"({"height":4,"width":3,"x":1,"y":2})");
  DisplayInfo display{"69733378", "Built-in", true, 1.0, {0, 0, 1440, 900}, {0, 25, 1440, 875}};
  EXPECT_EQ(display.ToJson().dump(),
            R"({"backingScaleFactor":1.0,"frame":{"height":900,"width":1440,"x":0,"y":0},)"
            R"("id":"69733378","isPrimary":true,"name":"Built-in",)"
            R"("visibleFrame":{"height":875,"width":1440,"x":0,"y":25}})");
  display.backingScaleFactor = 2;
  EXPECT_TRUE(display.ToJson()["backingScaleFactor"].is_number_float());
  EXPECT_NE(display.ToJson().dump().find("\"backingScaleFactor\":2.0"), std::string::npos);
}

TEST(RecordsTest, RectContainmentIsHalfOpen) {
  const Rect r{2, 3, 4, 5};
  EXPECT_TRUE(r.Contains(2, 3));
  EXPECT_TRUE(r.Contains(5, 7));
  EXPECT_FALSE(r.Contains(6, 3));
  EXPECT_FALSE(r.Contains(2, 8));
  EXPECT_FALSE(r.Contains(1, 3));
  EXPECT_FALSE((Rect{2147483647, 0, 1, 1}.Contains(-2147483647 - 1, 0)));
}

TEST(RecordsTest, ColorTextIsBlueFirstSixHexDigits) {
  EXPECT_EQ(ColorFromText("#00FF00"), (Color{0, 255, 0}));
  EXPECT_EQ(ColorFromText("00FF00"), (Color{0, 255, 0}));
  EXPECT_EQ(ColorFromText("#1a2B3c"), (Color{0x1A, 0x2B, 0x3C}));
  EXPECT_EQ(ColorFromText("#0000FF"), (Color{0, 0, 255}));  // red on screen
  EXPECT_EQ(ColorFromText("FF0000"), (Color{255, 0, 0}));   // blue on screen
}

TEST(RecordsTest, ColorTextOfOtherShapesIsBlackOrStopsAtTheFirstNonDigit) {
  EXPECT_EQ(ColorFromText("00ff0"), Color{});
  EXPECT_EQ(ColorFromText("#00ff00ff"), Color{});
  EXPECT_EQ(ColorFromText("x00ff00"), Color{});
  EXPECT_EQ(ColorFromText(""), Color{});
  EXPECT_EQ(ColorFromText("zzzzzz"), Color{});
  EXPECT_EQ(ColorFromText("12xyzw"), (Color{0, 0, 0x12}));
  EXPECT_EQ(ColorFromText("0x1234"), (Color{0, 0x12, 0x34}));  // strtol's prefix
  EXPECT_EQ(ColorFromText(" 1234f"), (Color{0x01, 0x23, 0x4F}));
  EXPECT_EQ(ColorFromText("#-00001"), (Color{0xFF, 0xFF, 0xFF}));  // sign accepted, -1
  EXPECT_EQ(ColorFromText(std::string("12\0"
                                      "456",
                                      6)),
            (Color{0, 0, 0x12}));
}

TEST(RecordsTest, SavesTwoByOneBitmapByteForByte) {
  Bitmap bitmap{2, 1, {{1, 2, 3}, {4, 5, 6}}};
  const std::vector<uint8_t> bytes = SaveAndRead(bitmap);
  std::vector<uint8_t> expected = Header(2, 1);
  for (uint8_t b : {1, 2, 3, 0, 4, 5, 6, 0}) expected.push_back(b);
  ASSERT_EQ(bytes.size(), 62u);
  EXPECT_EQ(Le32(bytes, 2), 62u);
  EXPECT_EQ(bytes, expected);
}

TEST(RecordsTest, SavesRowsBottomUp) {
  Bitmap bitmap{1, 2, {{1, 2, 3}, {4, 5, 6}}};
  std::vector<uint8_t> expected = Header(1, 2);
  for (uint8_t b : {4, 5, 6, 0, 1, 2, 3, 0}) expected.push_back(b);
  EXPECT_EQ(SaveAndRead(bitmap), expected);

  Bitmap wide{3, 2, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5}, {6, 6, 6}}};
  const std::vector<uint8_t> bytes = SaveAndRead(wide);
  ASSERT_EQ(bytes.size(), 54u + 24u);
  EXPECT_EQ(bytes[54], 4);  // bottom row first, left to right
  EXPECT_EQ(bytes[58], 5);
  EXPECT_EQ(bytes[66], 1);
  EXPECT_EQ(bytes[77], 0);
}

TEST(RecordsTest, SavesEmptyBitmapAsHeaderOnly) {
  EXPECT_EQ(SaveAndRead(Bitmap{}), Header(0, 0));
}

TEST(RecordsTest, SaveToAnUncreatableFileWritesNothingAndReturns) {
  Bitmap bitmap{1, 1, {{1, 2, 3}}};
  // A directory we could create, so that Save creating it (or the file) would show.
  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / ("records_test_missing_" + std::to_string(getpid()));
  ASSERT_FALSE(std::filesystem::exists(missing));
  EXPECT_NO_THROW(bitmap.Save((missing / "x.bmp").string()));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(RecordsTest, SaveOfABitmapShortOfPixelsWritesOnlyTheHeader) {
  Bitmap broken{4, 4, {{1, 2, 3}}};
  const std::vector<uint8_t> bytes = SaveAndRead(broken);
  ASSERT_EQ(bytes.size(), 54u);
  EXPECT_EQ(Le32(bytes, 2), 54u + 64u);  // the header still states the bitmap's own size
}

}  // namespace
}  // namespace morel_xy
