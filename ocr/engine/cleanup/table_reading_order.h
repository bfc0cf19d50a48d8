#pragma once

#include <cstddef>
#include <vector>

#include "engine/interfaces/pixel_box.h"

namespace ocr::engine {

// One row of a ruled table: the band between two of its rules, or the cells framed side by
// side. Rows of the same table share `table`.
struct TableRow {
  PixelBox box;
  int table = 0;
};

// The rows of a page's ruled tables, top to bottom, from its long horizontal rules and its
// frames (in one image's pixels). A table is at least three rules of about the same extent
// one above the other, or at least two rows of two or more frames side by side; a rule under
// a heading or a form's fields one above the other make none.
std::vector<TableRow> FindTableRows(const std::vector<PixelBox>& rules,
                                    const std::vector<PixelBox>& frames);

// The order to read a page's lines in, given their boxes in the recogniser's order (which
// reads a table's cells column by column, as blocks of text): each table's lines come where
// its first line came, row by row, and within a row cell by cell from left to right (lines
// that overlap across are one cell, read top to bottom). Lines whose middle lies in no
// table row keep their order. A permutation of 0 .. lines.size()-1.
std::vector<size_t> ReadingOrder(const std::vector<PixelBox>& lines,
                                 const std::vector<TableRow>& rows);

}  // namespace ocr::engine
