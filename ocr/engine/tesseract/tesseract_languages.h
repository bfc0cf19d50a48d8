#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ocr::engine {

// The recogniser codes the tool knows, with the traineddata each needs, in the order the
// language list reports them.
inline constexpr std::pair<std::string_view, std::string_view> kTesseractLanguages[] = {
    {"en-US", "eng"}, {"fr-FR", "fra"}, {"it-IT", "ita"},       {"de-DE", "deu"},
    {"es-ES", "spa"}, {"pt-BR", "por"}, {"zh-Hans", "chi_sim"}, {"zh-Hant", "chi_tra"},
};

// The traineddata name for a recogniser code ("en-US") or a plain language ("en"); nothing
// for a code the tool does not know.
std::optional<std::string> TesseractLanguageFor(std::string_view code);

}  // namespace ocr::engine
