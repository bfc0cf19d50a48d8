// ocr's command line: the argument parser with the tool's seven options over arbitrary
// argument vectors (NUL-separated in the input), and the option value readers. Parsing either
// succeeds with values taken from the arguments or throws its own error type; the page number
// reader agrees with a wide-integer reading; the language list splits and joins back.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "argument_parser/argument_parser.h"
#include "fuzz_check.h"
#include "options.h"
#include "tool_options.h"

namespace {

using ocr::argument_parser::ArgumentParser;
using ocr::argument_parser::ArgumentParserError;

std::optional<int64_t> ReferencePageNumber(const std::string& value) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  if (i == value.size()) return std::nullopt;
  __int128 v = 0;
  for (; i < value.size(); ++i) {
    if (value[i] < '0' || value[i] > '9') return std::nullopt;
    v = v * 10 + (value[i] - '0');
    if (v > static_cast<__int128>(INT64_MAX) + 1) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > INT64_MAX || v < INT64_MIN) return std::nullopt;
  return static_cast<int64_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (!current.empty() || size == 0) arguments.push_back(current);

  // Parsing only reads the option table, so one serves every input.
  static const ocr::ToolOptions tool = ocr::MakeToolOptions();
  static const std::vector<std::shared_ptr<const ocr::argument_parser::OptionArgument>> options = {
      tool.in, tool.lang, tool.mode, tool.createWords, tool.pdfPage, tool.saveImages, tool.out,
  };
  try {
    const ArgumentParser::Outcome outcome = tool.parser.ParseOrRequestHelp(arguments);
    if (!outcome.helpRequested) {
      for (const auto& option : options) {
        const std::optional<std::string> value = outcome.result.Get(*option);
        if (!value) continue;
        // A value is a whole argument or the text after the first "=" of one.
        bool fromArguments = false;
        for (const std::string& argument : arguments) {
          const size_t eq = argument.find('=');
          if (argument == *value || (eq != std::string::npos && argument.substr(eq + 1) == *value))
            fromArguments = true;
        }
        FUZZ_CHECK(fromArguments, "an option value that is not in the arguments");
      }
    }
  } catch (const ArgumentParserError& e) {
    FUZZ_CHECK(e.what() != nullptr && *e.what() != '\0', "an argument error without a message");
  }

  for (const std::string& argument : arguments) {
    FUZZ_CHECK(ocr::ParsePdfPageNumber(argument) == ReferencePageNumber(argument),
               "the page number reader disagrees with the reference");

    const std::vector<std::string> languages = ocr::MakeLanguageList(argument);
    FUZZ_CHECK(!languages.empty(), "a language list without pieces");
    std::string joined;
    for (size_t i = 0; i < languages.size(); ++i) joined += (i ? "," : "") + languages[i];
    bool isShortCode = false;
    for (const auto& [shortCode, recognizerCode] : ocr::kShortLanguageCodes) {
      if (argument == shortCode) {
        isShortCode = true;
        FUZZ_CHECK(joined == recognizerCode, "a short code was not replaced");
      }
    }
    if (!isShortCode) FUZZ_CHECK(joined == argument, "the language pieces do not join back");

    const std::string listText = ocr::MakeLanguageListText(languages);
    const nlohmann::json list = nlohmann::json::parse(listText, nullptr, false);
    FUZZ_CHECK(list.is_array(), "the language list text is not a JSON array");
    for (const auto& code : list)
      FUZZ_CHECK(code.is_string() && code.get<std::string>().size() == 3,
                 "a listed language is not a three-letter code");
  }
  return 0;
}
