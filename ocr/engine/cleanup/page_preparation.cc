#include "engine/cleanup/page_preparation.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>

#include "engine/cleanup/page_ink.h"
#include "engine/cleanup/ruled_page.h"
#include "engine/cleanup/striped_rows.h"

namespace ocr::engine {
namespace {

// Whether most of the page is dark, judged from a copy small enough to measure at once.
bool PageLooksDark(Pix* page) {
  constexpr int kProbeSide = 1000;
  const int longest = std::max(pixGetWidth(page), pixGetHeight(page));
  const PixPtr grey = GreyAtDetectionScale(page, std::max(1, longest / kProbeSide));
  return grey && MostlyDark(grey.get());
}

// The page turned from light-on-dark to dark-on-light: colour pages keep their colours
// (Tesseract thresholds each channel), anything else becomes inverted grey (a copy: the page
// itself is left as it is). Nothing when Leptonica cannot.
PixPtr Inverted(Pix* pix) {
  if (pixGetDepth(pix) == 32) return PixPtr(pixInvert(nullptr, pix));
  PixPtr grey(pixConvertTo8(pix, 0));
  if (grey) pixInvert(grey.get(), grey.get());
  return grey;
}

// source scaled by scale for recognition, or nothing when Leptonica cannot.
PixPtr Scaled(Pix* source, double scale) {
  const auto factor = static_cast<float>(scale);
  if (scale < 1.0 && pixGetDepth(source) == 32) {
    // Shrinking a colour page: grey first, so the area map reads a quarter of the bytes.
    PixPtr grey(pixConvertRGBToGrayFast(source));
    return grey ? PixPtr(pixScaleAreaMap(grey.get(), factor, factor)) : nullptr;
  }
  if (pixGetDepth(source) == 1) return PixPtr(pixScaleBinary(source, factor, factor));
  return PixPtr(pixScale(source, factor, factor));
}

}  // namespace

PreparedPage PreparePage(Pix* page, const LevelConfig& config, std::optional<int> requestDpi) {
  PreparedPage prepared;
  prepared.image = page;
  if (page == nullptr) return prepared;

  PageMeasures measures;
  measures.width = pixGetWidth(page);
  measures.height = pixGetHeight(page);
  measures.knownDpi = requestDpi;
  if (!measures.knownDpi) {
    // An image file: trust a plausible resolution it declares (scans, page images).
    const int declared = pixGetXRes(page);
    if (declared >= 150 && declared <= 2400) measures.knownDpi = declared;
  }
  std::optional<PageInk> pageInk;
  if (NeedsLetterHeight(config, measures)) {
    pageInk = FindPageInk(page, measures.knownDpi.value_or(kScreenResolution));
    measures.letterHeight = TypicalLetterHeight(*pageInk);
  }
  if (config.invertDarkImages) measures.mostlyDark = PageLooksDark(page);
  const PagePlan& plan = prepared.plan = PlanPage(config, measures);

  Pix*& image = prepared.image;
  prepared.resolution = plan.sourceResolution;
  RuledPageFindings found;
  if (plan.clear == ClearStep::beforeScaling) {
    prepared.cleared = pageInk ? ClearRulesAndBoxes(image, *pageInk, &found)
                               : ClearRulesAndBoxes(image, prepared.resolution, &found);
    if (prepared.cleared) image = prepared.cleared.get();
  }
  if (plan.scale != 1.0) {
    prepared.scaled = Scaled(image, plan.scale);
    if (prepared.scaled) {
      image = prepared.scaled.get();
      prepared.resolution = plan.resolution;
      // What was found before scaling, where it now lies.
      const auto scale = [&](std::vector<PixelBox>& boxes) {
        for (PixelBox& box : boxes) {
          box = {static_cast<int>(box.left * plan.scale), static_cast<int>(box.top * plan.scale),
                 static_cast<int>(std::ceil(box.right * plan.scale)),
                 static_cast<int>(std::ceil(box.bottom * plan.scale))};
        }
      };
      scale(found.ruleBoxes);
      scale(found.frameBoxes);
    }
  } else if (plan.grey && pixGetDepth(image) == 32) {
    prepared.scaled.reset(pixConvertRGBToLuminance(image));
    if (prepared.scaled) image = prepared.scaled.get();
  }
  if (plan.clear == ClearStep::afterScaling) {
    PixPtr cleared = ClearRulesAndBoxes(image, prepared.resolution, &found);
    if (cleared) {
      prepared.cleared = std::move(cleared);
      image = prepared.cleared.get();
    }
  }
  prepared.tableRows = FindTableRows(found.ruleBoxes, found.frameBoxes);
  int tables = 0;
  for (const TableRow& row : prepared.tableRows) tables = std::max(tables, row.table + 1);
  for (TableRow& row : FindStripedRows(image, prepared.resolution, tables)) {
    prepared.tableRows.push_back(row);
  }
  if (plan.invert) {
    prepared.inverted = Inverted(image);
    if (prepared.inverted) image = prepared.inverted.get();
  }
  return prepared;
}

}  // namespace ocr::engine
