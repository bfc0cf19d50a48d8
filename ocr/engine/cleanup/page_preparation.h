#pragma once

#include <optional>
#include <vector>

#include "engine/cleanup/page_plan.h"
#include "engine/cleanup/table_reading_order.h"
#include "engine/leptonica/pix_bitmap.h"

struct Pix;

namespace ocr::engine {

// A page made ready for the recogniser, and the plan it was made by.
struct PreparedPage {
  PagePlan plan;
  // The image to recognise: the page itself, or one of the copies held below. Its size is
  // the page's scaled by what was done (plan.scale where the scaling succeeded).
  Pix* image = nullptr;
  // The image's resolution, to tell the recogniser.
  int resolution = kScreenResolution;
  // The rows of the ruled tables found while clearing, in the image's pixels.
  std::vector<TableRow> tableRows;
  PixPtr cleared;
  PixPtr scaled;
  PixPtr inverted;
};

// The page clean-up before recognition, as one step: measures page (any depth Leptonica
// reads) for the level, plans it (PlanPage), and carries the plan out: rules, frames and
// filled boxes cleared where any are found, the page scaled, turned grey or inverted. A
// step Leptonica cannot take is left out and the rest still done, so image is never null
// for a non-null page. requestDpi: the resolution the page was rendered at, when known;
// otherwise a plausible one the image declares is taken. Thread-safe for distinct pages.
PreparedPage PreparePage(Pix* page, const LevelConfig& config, std::optional<int> requestDpi);

}  // namespace ocr::engine
