#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "engine/interfaces/bitmap.h"
#include "engine/interfaces/recognizer.h"
#include "result_model.h"

namespace ocr {

using RecognizedTexts = std::vector<std::shared_ptr<const engine::RecognizedText>>;

// The best candidate of every observation, in order. Nothing when the request produced no
// results at all, which is reported here ("Text recognition request failed...").
std::optional<RecognizedTexts> FetchTextsQ(const engine::RequestOutcome& request);

// Builds one page: a Line per text whose box is found, and a Word per merged word range
// that has a box. Boxes are in output pixel units, top-left origin: image pixels, or 96
// units per inch when pdfDpiQ says the image is a page rendered at that resolution.
PageResult ProcessTexts(const engine::Bitmap& image, const RecognizedTexts& texts,
                        std::optional<int> pdfDpiQ);

}  // namespace ocr
