#include "engine/cleanup/striped_rows.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {
namespace {

void Fill(Pix* pix, int x, int y, int w, int h, l_uint32 grey) {
  Box* box = boxCreate(x, y, w, h);
  pixSetInRectArbitrary(pix, box, grey);
  boxDestroy(&box);
}

TEST(StripedRowsTest, ZebraRowsAreTheBandsAndTheRowsBetweenThem) {
  // Five rows of 30 px from y = 40, the 2nd and 4th on a light grey band, with "text" in
  // every cell (dark blocks that break the bands' runs but not their margins).
  PixPtr page(pixCreate(700, 260, 8));
  pixSetAllArbitrary(page.get(), 255);
  for (const int band : {1, 3}) Fill(page.get(), 40, 40 + 30 * band, 600, 30, 242);
  for (int r = 0; r < 5; ++r) {
    for (const int x : {50, 250, 450}) Fill(page.get(), x, 48 + 30 * r, 120, 14, 30);
  }
  // A paragraph's grey box elsewhere is a band alone: no table.
  Fill(page.get(), 40, 220, 600, 30, 230);
  const std::vector<TableRow> rows = FindStripedRows(page.get(), 96, 3);
  ASSERT_EQ(rows.size(), 5u);
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(rows[r].box.top, 40 + 30 * r) << r;
    EXPECT_EQ(rows[r].box.bottom, 70 + 30 * r) << r;
    EXPECT_EQ(rows[r].box.left, 40) << r;
    EXPECT_EQ(rows[r].box.right, 640) << r;
    EXPECT_EQ(rows[r].table, 3) << r;
  }
  // Nothing striped: nothing found.
  PixPtr plain(pixCreate(700, 260, 8));
  pixSetAllArbitrary(plain.get(), 255);
  EXPECT_TRUE(FindStripedRows(plain.get(), 96, 0).empty());
}

}  // namespace
}  // namespace ocr::engine
