#include "word_segmentation.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace ocr {
namespace {

struct BreakIteratorCloser {
  void operator()(UBreakIterator* it) const { ubrk_close(it); }
};
struct UTextCloser {
  void operator()(UText* text) const { utext_close(text); }
};
using BreakIteratorPtr = std::unique_ptr<UBreakIterator, BreakIteratorCloser>;
using UTextPtr = std::unique_ptr<UText, UTextCloser>;

// Opens a break iterator of the given type over the UTF-8 bytes of text. ICU reports
// boundaries as native indexes of the UText, which for UTF-8 are byte offsets. Returns
// null when ICU cannot build the iterator (missing data), which callers treat as "no breaks".
struct Iteration {
  UTextPtr utext;
  BreakIteratorPtr iterator;
};

Iteration OpenIteration(UBreakIteratorType type, std::string_view text) {
  Iteration result;
  UErrorCode status = U_ZERO_ERROR;
  result.utext.reset(
      utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status));
  if (U_FAILURE(status)) {
    result.utext.reset();
    return result;
  }
  // The root locale: boundaries must not depend on the user's locale settings.
  result.iterator.reset(ubrk_open(type, "", nullptr, 0, &status));
  if (U_FAILURE(status)) {
    result.iterator.reset();
    return result;
  }
  ubrk_setUText(result.iterator.get(), result.utext.get(), &status);
  if (U_FAILURE(status)) result.iterator.reset();
  return result;
}

bool StartsWithWhiteSpace(std::string_view text, size_t position) {
  int32_t offset = static_cast<int32_t>(position);
  UChar32 c = 0;
  U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), offset, static_cast<int32_t>(text.size()),
          c);
  return c >= 0 && u_hasBinaryProperty(c, UCHAR_WHITE_SPACE);
}

// ICU's word rules join letters across U+202F (narrow no-break space counts as
// ExtendNumLet), which would put whitespace inside a word: split such pieces at every
// White_Space code point instead.
void AppendWithoutWhiteSpace(std::string_view text, size_t start, size_t end,
                             std::vector<WordRange>& ranges) {
  constexpr size_t kNone = static_cast<size_t>(-1);
  size_t pieceStart = kNone;
  size_t position = start;
  while (position < end) {
    int32_t offset = static_cast<int32_t>(position);
    UChar32 c = 0;
    U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), offset, static_cast<int32_t>(end), c);
    const bool white = c >= 0 && u_hasBinaryProperty(c, UCHAR_WHITE_SPACE);
    if (white && pieceStart != kNone) {
      ranges.push_back({pieceStart, position});
      pieceStart = kNone;
    } else if (!white && pieceStart == kNone) {
      pieceStart = position;
    }
    position = static_cast<size_t>(offset);
  }
  if (pieceStart != kNone) ranges.push_back({pieceStart, end});
}

}  // namespace

std::vector<WordRange> MakePhysicalWordRanges(std::string_view text) {
  std::vector<WordRange> ranges;
  if (text.empty()) return ranges;
  Iteration characters = OpenIteration(UBRK_CHARACTER, text);
  if (!characters.iterator) return ranges;
  UBreakIterator* it = characters.iterator.get();

  bool betweenWords = true;
  size_t wordStart = 0;
  int32_t start = ubrk_first(it);
  for (int32_t end = ubrk_next(it); end != UBRK_DONE; start = end, end = ubrk_next(it)) {
    const size_t position = static_cast<size_t>(start);
    if (!StartsWithWhiteSpace(text, position)) {
      if (betweenWords) wordStart = position;
      betweenWords = false;
    } else if (!betweenWords) {
      ranges.push_back({wordStart, position});
      betweenWords = true;
    }
  }
  if (!betweenWords) ranges.push_back({wordStart, text.size()});
  return ranges;
}

std::vector<WordRange> MakeLogicalWordRanges(std::string_view text) {
  std::vector<WordRange> ranges;
  if (text.empty()) return ranges;
  Iteration words = OpenIteration(UBRK_WORD, text);
  if (!words.iterator) return ranges;
  UBreakIterator* it = words.iterator.get();

  int32_t start = ubrk_first(it);
  for (int32_t end = ubrk_next(it); end != UBRK_DONE; start = end, end = ubrk_next(it)) {
    // Statuses below UBRK_WORD_NONE_LIMIT mark spaces, punctuation and symbols.
    if (ubrk_getRuleStatus(it) >= UBRK_WORD_NONE_LIMIT) {
      AppendWithoutWhiteSpace(text, static_cast<size_t>(start), static_cast<size_t>(end), ranges);
    }
  }
  return ranges;
}

std::vector<WordRange> MergeWordRanges(const std::vector<WordRange>& physical,
                                       const std::vector<WordRange>& logical) {
  std::vector<WordRange> merged;
  merged.reserve(physical.size() + logical.size());
  std::vector<WordRange> p = physical;  // the current one is shortened from the left
  size_t i = 0;
  size_t j = 0;
  while (i < p.size()) {
    const size_t ps = p[i].lower;
    const size_t pe = p[i].upper;
    if (j == logical.size()) {
      merged.push_back({ps, pe});
      ++i;
      continue;
    }
    const size_t ls = logical[j].lower;
    const size_t le = logical[j].upper;
    if (ps >= le) {
      merged.push_back({ls, le});
      ++j;
    } else if (ls >= pe) {
      merged.push_back({ps, pe});
      ++i;
    } else {
      if (ps < ls) {
        merged.push_back({ps, ls});
        p[i] = {ls, pe};
      }
      merged.push_back({ls, le});
      ++j;
      if (le < pe) {
        p[i] = {le, pe};
      } else {
        ++i;
      }
    }
  }
  for (; j < logical.size(); ++j) merged.push_back(logical[j]);
  return merged;
}

std::vector<std::string> MakeWordTexts(std::string_view text,
                                       const std::vector<WordRange>& ranges) {
  std::vector<std::string> texts;
  texts.reserve(ranges.size());
  for (const WordRange& range : ranges) {
    // Ranges come from the segmentation of this very text; clamp anyway so a foreign
    // range can never read outside it.
    const size_t lower = std::min(range.lower, text.size());
    const size_t upper = std::min(std::max(range.upper, lower), text.size());
    texts.emplace_back(text.substr(lower, upper - lower));
  }
  return texts;
}

}  // namespace ocr
