#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ocr {

// The tool's three-letter language codes and the recogniser codes they stand for, in the
// order the language list reports them.
inline constexpr std::pair<std::string_view, std::string_view> kShortLanguageCodes[] = {
    {"eng", "en-US"}, {"fre", "fr-FR"}, {"ita", "it-IT"},   {"ger", "de-DE"},
    {"spa", "es-ES"}, {"por", "pt-BR"}, {"chs", "zh-Hans"}, {"cht", "zh-Hant"},
};

// A whole value equal to a three-letter code becomes its recogniser code; the value is then
// split at every "," keeping empty pieces and spaces as typed.
std::vector<std::string> MakeLanguageList(const std::string& langValue);

// The whole value as a signed 64-bit decimal: optional sign, one or more ASCII digits.
std::optional<int64_t> ParsePdfPageNumber(const std::string& value);

// The bracketed list of quoted three-letter codes for the recogniser codes given, in their
// order; codes outside the table are skipped. "[]" when nothing is listed.
std::string MakeLanguageListText(const std::vector<std::string>& recognizerCodes);

}  // namespace ocr
