#include "options.h"

#include <limits>

namespace ocr {

std::vector<std::string> MakeLanguageList(const std::string& langValue) {
  std::string value = langValue;
  for (const auto& [shortCode, recognizerCode] : kShortLanguageCodes) {
    if (value == shortCode) {
      value = recognizerCode;
      break;
    }
  }
  std::vector<std::string> pieces;
  size_t start = 0;
  while (true) {
    const size_t comma = value.find(',', start);
    if (comma == std::string::npos) {
      pieces.push_back(value.substr(start));
      break;
    }
    pieces.push_back(value.substr(start, comma - start));
    start = comma + 1;
  }
  return pieces;
}

std::optional<int64_t> ParsePdfPageNumber(const std::string& value) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
    negative = value[i] == '-';
    ++i;
  }
  if (i == value.size()) return std::nullopt;
  // Accumulate towards the sign's side so INT64_MIN converts and nothing overflows.
  int64_t result = 0;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; i < value.size(); ++i) {
    const char c = value[i];
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (negative) {
      if (result < (kMin + digit) / 10) return std::nullopt;
      result = result * 10 - digit;
    } else {
      if (result > (kMax - digit) / 10) return std::nullopt;
      result = result * 10 + digit;
    }
  }
  return result;
}

std::string MakeLanguageListText(const std::vector<std::string>& recognizerCodes) {
  std::string text = "[";
  for (const std::string& code : recognizerCodes) {
    for (const auto& [shortCode, recognizerCode] : kShortLanguageCodes) {
      if (code == recognizerCode) {
        text += "\"";
        text += shortCode;
        text += "\",";
        break;
      }
    }
  }
  if (text.back() == ',') text.pop_back();
  text += "]";
  return text;
}

}  // namespace ocr
