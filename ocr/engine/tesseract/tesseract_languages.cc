#include "engine/tesseract/tesseract_languages.h"

namespace ocr::engine {

std::optional<std::string> TesseractLanguageFor(std::string_view code) {
  for (const auto& [recognizerCode, traineddata] : kTesseractLanguages) {
    if (code == recognizerCode) return std::string(traineddata);
  }
  static constexpr std::pair<std::string_view, std::string_view> kPlain[] = {
      {"en", "eng"}, {"fr", "fra"}, {"de", "deu"}, {"it", "ita"}, {"es", "spa"}, {"pt", "por"},
  };
  for (const auto& [plain, traineddata] : kPlain) {
    if (code == plain) return std::string(traineddata);
  }
  return std::nullopt;
}

}  // namespace ocr::engine
