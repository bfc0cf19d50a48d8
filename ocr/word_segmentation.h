#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "result_model.h"

namespace ocr {

// All ranges are half-open UTF-8 byte ranges of the line text, in text order. The same
// byte offsets go back to the recogniser when a word's box is asked for.
using WordRange = IndexRange;

// Maximal runs of grapheme clusters whose first scalar is not Unicode White_Space.
std::vector<WordRange> MakePhysicalWordRanges(std::string_view text);

// Word-like pieces (letters, digits, ideographs...) found by ICU's word break rules; spaces
// and punctuation yield nothing, and text written without spaces is split by dictionary.
std::vector<WordRange> MakeLogicalWordRanges(std::string_view text);

// Cuts the physical words at the logical word boundaries inside them, in one linear pass.
std::vector<WordRange> MergeWordRanges(const std::vector<WordRange>& physical,
                                       const std::vector<WordRange>& logical);

std::vector<std::string> MakeWordTexts(std::string_view text, const std::vector<WordRange>& ranges);

}  // namespace ocr
