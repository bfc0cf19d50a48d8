// ocr's JSON result document from arbitrary result models: any text bytes (invalid UTF-8
// included), any finite geometry and duration, either breakdown mode. The document must
// always be valid JSON with one entry per page.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "result_json.h"
#include "result_model.h"

namespace {

// Finite values of every magnitude a recogniser could report, and some it could not.
double Number(FuzzInput& in) {
  int64_t raw = 0;
  for (int i = 0; i < 4; ++i) raw = (raw << 8) | in.Byte();
  const double scale[] = {1.0, 0.001, 1e-9, 1e6};
  return static_cast<double>(static_cast<int32_t>(raw)) * scale[in.Byte() % 4];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  ocr::DocResult doc;
  doc.duration = Number(in);
  const int pages = in.Byte() % 4;
  for (int p = 0; p < pages; ++p) {
    ocr::PageResult page;
    page.combinedText = in.Text();
    page.duration = Number(in);
    const int words = in.Byte() % 6;
    for (int w = 0; w < words; ++w) {
      page.words.push_back({in.Text(), {Number(in), Number(in), Number(in), Number(in)}});
    }
    const int lines = in.Byte() % 4;
    for (int l = 0; l < lines; ++l) {
      ocr::Line line;
      line.text = in.Text();
      // Word ranges as the result model builds them: inside the page's words.
      const size_t lower = words ? in.Byte() % (words + 1) : 0;
      const size_t upper = lower + (words ? in.Byte() % (words + 1 - lower) : 0);
      line.wordRange = {lower, upper};
      line.boundingRectPx = {Number(in), Number(in), Number(in), Number(in)};
      page.lines.push_back(line);
    }
    doc.pages.push_back(page);
  }
  const auto mode = static_cast<ocr::BreakdownMode>(in.Byte() & 1);

  const std::string text = ocr::MakeJsonStringFromDocResult(doc, mode);
  nlohmann::json parsed = nlohmann::json::parse(text, nullptr, false);
  FUZZ_CHECK(!parsed.is_discarded(), "the document is not valid JSON (or not UTF-8)");
  FUZZ_CHECK(parsed.is_object(), "the document is not a JSON object");
  auto& results = parsed["ParsedResults"];
  FUZZ_CHECK(results.is_array() && results.size() == doc.pages.size(),
             "\"ParsedResults\" is not one entry per page");
  const bool words = mode == ocr::BreakdownMode::words;
  for (size_t p = 0; p < doc.pages.size(); ++p) {
    auto& lines = results[p]["TextOverlay"]["Lines"];
    FUZZ_CHECK(lines.is_array(), "a page without \"TextOverlay\".\"Lines\"");
    FUZZ_CHECK(results[p]["TextOverlay"]["HasOverlay"] == !lines.empty(),
               "\"HasOverlay\" disagrees with \"Lines\"");
    size_t written = 0;
    for (const auto& line : doc.pages[p].lines) {
      if (!words || line.wordRange.upper > line.wordRange.lower) ++written;
    }
    FUZZ_CHECK(lines.size() == written, "a line too many or too few");
    for (auto& line : lines) {
      FUZZ_CHECK(line["Words"].is_array() && (words || line["Words"].size() == 1),
                 "a line's \"Words\" has the wrong size");
      for (auto& word : line["Words"]) {
        for (const char* key : {"Left", "Top", "Width", "Height"})
          FUZZ_CHECK(word[key].is_number_integer(), "a word box member is not an integer");
      }
    }
  }
  return 0;
}
