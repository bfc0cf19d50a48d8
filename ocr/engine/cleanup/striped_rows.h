#pragma once

#include <vector>

#include "engine/cleanup/table_reading_order.h"

struct Pix;

namespace ocr::engine {

// The rows of tables striped by their background alone (zebra rows, no rules): bands of one
// light colour across the same columns, at least two, one row of the page's background
// between each two. The rows are the bands, the rows between them, and one row above the
// first band and one below the last (a header, a last row) as high as those between. In the
// image's pixels; `firstTable` numbers the first table found. image: any depth Leptonica
// reads, at resolution dpi.
std::vector<TableRow> FindStripedRows(Pix* image, int dpi, int firstTable);

}  // namespace ocr::engine
