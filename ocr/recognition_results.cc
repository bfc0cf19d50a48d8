#include "recognition_results.h"

#include <string>

#include "print_error.h"
#include "word_segmentation.h"

namespace ocr {
namespace {

CGRect ToOutputRect(const engine::NormalizedRect& n, double width, double height,
                    std::optional<double> scale) {
  const double rx = n.x * width;
  const double ry = n.y * height;
  const double rw = n.width * width;
  const double rh = n.height * height;
  CGRect rect{rx, height - ry - rh, rw, rh};
  if (scale) {
    rect.x /= *scale;
    rect.y /= *scale;
    rect.width /= *scale;
    rect.height /= *scale;
  }
  return rect;
}

}  // namespace

std::optional<RecognizedTexts> FetchTextsQ(const engine::RequestOutcome& request) {
  if (!request.results) {
    if (request.error) {
      PrintError("Text recognition request failed: " + *request.error);
    } else {
      PrintError("Text recognition request failed");
    }
    return std::nullopt;
  }
  RecognizedTexts texts;
  for (const engine::TextObservation& observation : *request.results) {
    // Only the best candidate counts; an observation without one contributes nothing.
    if (!observation.topCandidates.empty() && observation.topCandidates.front()) {
      texts.push_back(observation.topCandidates.front());
    }
  }
  return texts;
}

PageResult ProcessTexts(const engine::Bitmap& image, const RecognizedTexts& texts,
                        std::optional<int> pdfDpiQ) {
  PageResult page;
  const double width = image.Width();
  const double height = image.Height();
  std::optional<double> scale;
  if (pdfDpiQ) scale = *pdfDpiQ / 96.0;

  for (const auto& candidate : texts) {
    Line line;
    line.text = candidate->String();
    const size_t firstWord = page.words.size();

    const std::vector<WordRange> merged =
        MergeWordRanges(MakePhysicalWordRanges(line.text), MakeLogicalWordRanges(line.text));
    const std::vector<std::string> wordTexts = MakeWordTexts(line.text, merged);
    for (size_t k = 0; k < merged.size(); ++k) {
      const auto box = candidate->BoundingBox(merged[k].lower, merged[k].upper);
      if (!box) {
        PrintError("Could not get bounding box for word \"" + wordTexts[k] + "\" in line \"" +
                   line.text + "\"");
        continue;
      }
      page.words.push_back({wordTexts[k], ToOutputRect(*box, width, height, scale)});
    }
    line.wordRange = {firstWord, page.words.size()};

    const auto lineBox = candidate->BoundingBox(0, line.text.size());
    if (!lineBox) {
      PrintError("Could not get bounding box for line \"" + line.text + "\"");
      continue;
    }
    line.boundingRectPx = ToOutputRect(*lineBox, width, height, scale);
    page.lines.push_back(std::move(line));
  }
  return page;
}

}  // namespace ocr
