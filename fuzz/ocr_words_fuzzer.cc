// ocr's word segmentation over arbitrary bytes (valid UTF-8 or not): every range lies inside
// the text, ranges come in order without overlap, the merged words lie inside the physical
// words, and the word texts are exactly the bytes of their ranges.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "word_segmentation.h"

namespace {

void CheckOrdered(const std::vector<ocr::WordRange>& ranges, size_t size, const char* what) {
  size_t end = 0;
  for (const auto& r : ranges) {
    FUZZ_CHECK(r.lower < r.upper, what);
    FUZZ_CHECK(r.upper <= size, what);
    FUZZ_CHECK(r.lower >= end, what);
    end = r.upper;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto physical = ocr::MakePhysicalWordRanges(text);
  const auto logical = ocr::MakeLogicalWordRanges(text);
  CheckOrdered(physical, size, "physical ranges out of order, empty or outside the text");
  CheckOrdered(logical, size, "logical ranges out of order, empty or outside the text");
  for (const auto& r : physical) {
    const unsigned char first = static_cast<unsigned char>(text[r.lower]);
    FUZZ_CHECK(first != ' ' && first != '\t' && first != '\n' && first != '\r',
               "a physical word begins with white space");
  }

  const auto merged = ocr::MergeWordRanges(physical, logical);
  CheckOrdered(merged, size, "merged ranges out of order, empty or outside the text");
  size_t p = 0;
  for (const auto& r : merged) {
    while (p < physical.size() && physical[p].upper <= r.lower) ++p;
    FUZZ_CHECK(p < physical.size() && physical[p].lower <= r.lower && r.upper <= physical[p].upper,
               "a merged word is not inside a physical word");
  }

  const auto texts = ocr::MakeWordTexts(text, merged);
  FUZZ_CHECK(texts.size() == merged.size(), "one text per word range");
  for (size_t i = 0; i < texts.size(); ++i) {
    FUZZ_CHECK(texts[i] == text.substr(merged[i].lower, merged[i].upper - merged[i].lower),
               "a word text is not the bytes of its range");
  }
  return 0;
}
