#include "tool.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "argument_parser/argument_parser.h"
#include "options.h"
#include "print_error.h"
#include "result_json.h"
#include "tool_options.h"

namespace ocr {
namespace {

using argument_parser::ArgumentParser;

[[noreturn]] void ExitAfterFlush(int status) {
  std::fflush(stdout);
  std::exit(status);
}

[[noreturn]] void ReportAndDie(const std::string& message) {
  PrintError(message);
  PrintUsageAndDie();
}

[[noreturn]] void WriteLanguageList(engine::Recognizer& recognizer, const std::string& outputPath) {
  std::string error;
  std::optional<std::vector<std::string>> codes = recognizer.SupportedLanguages(&error);
  if (!codes) {
    PrintError("error #121 - contact tech support");
    codes.emplace();
  }
  (void)WriteJsonStringToPath(MakeLanguageListText(*codes), outputPath);
  ExitAfterFlush(2);
}

}  // namespace

void PrintUsageAndDie() {
  static constexpr char kSupportLine[] = "Error #201 - Contact Orvane Tech Support";
  std::fflush(stdout);
  ssize_t ignored = ::write(STDERR_FILENO, kSupportLine, sizeof kSupportLine - 1);
  (void)ignored;
  std::exit(1);
}

void RunTool(const std::vector<std::string>& arguments, Engines& engines) {
  const ToolOptions options = MakeToolOptions();
  ArgumentParser::Result result;
  try {
    result = options.parser.Parse(arguments);
  } catch (const argument_parser::ArgumentParserError&) {
    // The parser's own description is deliberately not shown: callers match the support line.
    PrintUsageAndDie();
  }

  const std::optional<std::string> outputPath = result.Get(*options.out);
  if (!outputPath) ReportAndDie("Vantor OCR: Missing output path");
  const std::optional<std::string> inputPath = result.Get(*options.in);
  if (!inputPath) ReportAndDie("Missing input path");
  if (*inputPath == "get-installed-lng") WriteLanguageList(engines.recognizer, *outputPath);

  std::optional<std::vector<std::string>> langsQ;
  if (const auto value = result.Get(*options.lang)) langsQ = MakeLanguageList(*value);

  engine::RecognitionLevel level = engine::RecognitionLevel::accurate;
  if (const auto value = result.Get(*options.mode)) {
    if (*value == "fast") {
      level = engine::RecognitionLevel::fast;
    } else if (*value != "accurate") {
      ReportAndDie("Bad mode: " + *value);
    }
  }

  BreakdownMode breakdown = BreakdownMode::lines;
  if (const auto value = result.Get(*options.createWords)) {
    if (*value == "true") {
      breakdown = BreakdownMode::words;
    } else if (*value != "false") {
      ReportAndDie("Bad CreateWords flag: " + *value);
    }
  }

  std::optional<int64_t> pdfPageNumberQ;
  if (const auto value = result.Get(*options.pdfPage)) {
    pdfPageNumberQ = ParsePdfPageNumber(*value);
    if (!pdfPageNumberQ) ReportAndDie("Bad PDF page number: " + *value);
  }

  const std::optional<std::string> pdfImageDirPathQ = result.Get(*options.saveImages);
  const bool written = Run(engines, *inputPath, langsQ, level, breakdown, pdfPageNumberQ,
                           pdfImageDirPathQ, *outputPath);
  ExitAfterFlush(written ? 0 : 1);
}

}  // namespace ocr
