#include "engine/tesseract/reread_choice.h"

#include <algorithm>
#include <vector>

namespace ocr::engine {
namespace {

// The code points of UTF-8 text as Tesseract writes it (well formed); a stray byte counts
// as one.
std::vector<char32_t> CodePoints(const std::string& text) {
  std::vector<char32_t> points;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xf0 ? 4
                          : lead >= 0xe0 ? 3
                          : lead >= 0xc0 ? 2
                                         : 1;
    char32_t point = length == 1 ? lead : lead & (0x7f >> length);
    for (size_t k = 1; k < length && i + k < text.size(); ++k) {
      point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3f);
    }
    points.push_back(point);
    i += length;
  }
  return points;
}

// Chinese, Japanese and Korean characters (and what lies beyond them) are a script of
// their own beside Latin, Greek and Cyrillic letters and their punctuation.
bool HasCjk(const std::vector<char32_t>& points) {
  return std::any_of(points.begin(), points.end(), [](char32_t c) { return c >= 0x2e80; });
}

// ASCII punctuation and symbols, and the general punctuation block (quotation marks,
// dashes, ellipses): what a screen's resolution blurs.
bool HasPunctuation(const std::vector<char32_t>& points) {
  return std::any_of(points.begin(), points.end(), [](char32_t c) {
    const bool ascii = c < 0x80 && c > 0x20 && !(c >= '0' && c <= '9') && !(c >= 'A' && c <= 'Z') &&
                       !(c >= 'a' && c <= 'z');
    return ascii || (c >= 0x2000 && c <= 0x206f);
  });
}

// Levenshtein distance over code points, giving up (returning limit + 1) beyond limit.
size_t EditDistance(const std::vector<char32_t>& a, const std::vector<char32_t>& b, size_t limit) {
  const size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (gap > limit) return limit + 1;
  std::vector<size_t> previous(b.size() + 1);
  std::vector<size_t> current(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      current[j] = std::min(
          {previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    }
    std::swap(previous, current);
  }
  return previous[b.size()];
}

}  // namespace

bool WorthRereading(const std::string& text, float confidence, float unsure, int height,
                    int medianHeight) {
  if (confidence >= unsure || (medianHeight > 0 && height > 2 * medianHeight)) return false;
  return confidence < kDoubtfulConfidence || HasPunctuation(CodePoints(text));
}

bool TakeSecondReading(const std::string& first, float firstConfidence, const std::string& second,
                       float secondConfidence) {
  if (second.empty() || secondConfidence <= firstConfidence) return false;
  const std::vector<char32_t> before = CodePoints(first);
  const std::vector<char32_t> after = CodePoints(second);
  if (HasCjk(before) != HasCjk(after)) return false;
  const size_t limit = std::max<size_t>(1, before.size() / 3);
  return EditDistance(before, after, limit) <= limit;
}

}  // namespace ocr::engine
