#include "engine/cleanup/table_reading_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace ocr::engine {
namespace {

PixelBox Rule(int left, int right, int y) {
  return {left, y, right, y + 1};
}

std::vector<PixelBox> Rules(int left, int right, std::vector<int> ys) {
  std::vector<PixelBox> rules;
  for (const int y : ys) rules.push_back(Rule(left, right, y));
  return rules;
}

TEST(TableReadingOrderTest, ThreeRulesOfOneExtentMakeATableOfTwoRows) {
  // Ends a few pixels apart still agree; a rule under a heading elsewhere makes no table.
  std::vector<PixelBox> rules = Rules(40, 700, {100, 140});
  rules.push_back(Rule(43, 698, 180));
  rules.push_back(Rule(40, 400, 20));
  const std::vector<TableRow> rows = FindTableRows(rules, {});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].box.top, 101);
  EXPECT_EQ(rows[0].box.bottom, 140);
  EXPECT_EQ(rows[1].box.top, 141);
  EXPECT_EQ(rows[1].box.bottom, 180);
  EXPECT_EQ(rows[0].box.left, 40);
  EXPECT_EQ(rows[1].box.right, 700);
  EXPECT_EQ(rows[0].table, rows[1].table);
  // Two rules, or rules of different extents, are no table.
  EXPECT_TRUE(FindTableRows(Rules(40, 700, {100, 140}), {}).empty());
  EXPECT_TRUE(
      FindTableRows({Rule(40, 700, 100), Rule(40, 500, 140), Rule(200, 700, 180)}, {}).empty());
}

TEST(TableReadingOrderTest, FramedCellsSideBySideMakeRowsAndAFormsFieldsDoNot) {
  const std::vector<PixelBox> cells = {{40, 100, 200, 134},  {200, 100, 500, 134},
                                       {40, 134, 200, 168},  {200, 134, 500, 168},
                                       {600, 300, 900, 330}, {600, 340, 900, 370}};
  const std::vector<TableRow> rows = FindTableRows({}, cells);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].box.left, 40);
  EXPECT_EQ(rows[0].box.right, 500);
  EXPECT_EQ(rows[1].box.top, 134);
  EXPECT_EQ(rows[0].table, rows[1].table);
  // One field per row, one above the other: a form.
  EXPECT_TRUE(FindTableRows({}, {{120, 16, 400, 46}, {120, 56, 400, 86}}).empty());
}

TEST(TableReadingOrderTest, CellsReadColumnByColumnComeRowByRow) {
  // Two tables of two rows and a paragraph between them, read as the recogniser gives them:
  // each column of a table as a block, the second column's first cell wrapping.
  const std::vector<TableRow> rows = {{{40, 100, 500, 140}, 0},
                                      {{40, 140, 500, 180}, 0},
                                      {{40, 400, 500, 440}, 1},
                                      {{40, 440, 500, 480}, 1}};
  const std::vector<PixelBox> lines = {
      {50, 20, 450, 36},     // 0: a heading above the table
      {50, 110, 100, 126},   // 1: row 1, cell 1
      {50, 150, 100, 166},   // 2: row 2, cell 1
      {210, 104, 480, 120},  // 3: row 1, cell 2, first line
      {210, 121, 300, 137},  // 4: row 1, cell 2, second line
      {210, 150, 400, 166},  // 5: row 2, cell 2
      {50, 300, 450, 316},   // 6: a paragraph between the tables
      {210, 410, 400, 426},  // 7: second table, row 1, cell 2
      {50, 410, 100, 426},   // 8: second table, row 1, cell 1
      {50, 450, 100, 466},   // 9: second table, row 2, cell 1
      {50, 600, 450, 616},   // 10: below every table
  };
  EXPECT_EQ(ReadingOrder(lines, rows), (std::vector<size_t>{0, 1, 3, 4, 2, 5, 6, 8, 7, 9, 10}));
  // Without tables the order is the recogniser's.
  EXPECT_EQ(ReadingOrder(lines, {}), (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

}  // namespace
}  // namespace ocr::engine
