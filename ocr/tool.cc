#include "tool.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "argument_parser/argument_parser.h"
#include "options.h"
#include "print_error.h"
#include "result_json.h"
#include "tool_options.h"

namespace ocr {
namespace {

using argument_parser::ArgumentParser;

constexpr int kFailed = 1;
constexpr int kListedLanguages = 2;

// Writes the support line to standard error (no line feed): the last word of every refused
// command line, which callers match. Returns the status the tool then exits with.
int RefuseCommandLine() {
  static constexpr char kSupportLine[] = "Error #201 - Contact Orvane Tech Support";
  std::fflush(stdout);
  ssize_t ignored = ::write(STDERR_FILENO, kSupportLine, sizeof kSupportLine - 1);
  (void)ignored;
  return kFailed;
}

int Refuse(const std::string& message) {
  PrintError(message);
  return RefuseCommandLine();
}

int WriteLanguageList(engine::Recognizer& recognizer, const std::string& outputPath) {
  std::string error;
  std::optional<std::vector<std::string>> codes = recognizer.SupportedLanguages(&error);
  if (!codes) {
    PrintError("error #121 - contact tech support");
    codes.emplace();
  }
  (void)WriteJsonStringToPath(MakeLanguageListText(*codes), outputPath);
  return kListedLanguages;
}

// The tool's work once the command line is parsed; its exit status.
int RunParsed(const ToolOptions& options, const ArgumentParser::Result& result, Engines& engines) {
  RunRequest request;
  const std::optional<std::string> outputPath = result.Get(*options.out);
  if (!outputPath) return Refuse("Vantor OCR: Missing output path");
  request.outputPath = *outputPath;
  const std::optional<std::string> inputPath = result.Get(*options.in);
  if (!inputPath) return Refuse("Missing input path");
  request.inputPath = *inputPath;
  if (*inputPath == "get-installed-lng") return WriteLanguageList(engines.recognizer, *outputPath);

  if (const auto value = result.Get(*options.lang)) request.langsQ = MakeLanguageList(*value);

  if (const auto value = result.Get(*options.mode)) {
    if (*value == "fast") {
      request.recognitionLevel = engine::RecognitionLevel::fast;
    } else if (*value != "accurate") {
      return Refuse("Bad mode: " + *value);
    }
  }

  if (const auto value = result.Get(*options.createWords)) {
    if (*value == "true") {
      request.breakdownMode = BreakdownMode::words;
    } else if (*value != "false") {
      return Refuse("Bad CreateWords flag: " + *value);
    }
  }

  if (const auto value = result.Get(*options.pdfPage)) {
    request.pdfPageNumberQ = ParsePdfPageNumber(*value);
    if (!request.pdfPageNumberQ) return Refuse("Bad PDF page number: " + *value);
  }

  request.pdfImageDirPathQ = result.Get(*options.saveImages);
  return Run(engines, request) ? 0 : kFailed;
}

}  // namespace

int RunTool(const std::vector<std::string>& arguments, Engines& engines) {
  const ToolOptions options = MakeToolOptions();
  ArgumentParser::Outcome parsed;
  try {
    parsed = options.parser.ParseOrRequestHelp(arguments);
  } catch (const argument_parser::ArgumentParserError&) {
    // The parser's own description is deliberately not shown: callers match the support line.
    return RefuseCommandLine();
  }
  if (parsed.helpRequested) {
    options.parser.PrintUsage(std::cout, argument_parser::InvokedProgramName());
    std::cout.flush();
    return 0;
  }
  const int status = RunParsed(options, parsed.result, engines);
  std::fflush(stdout);
  return status;
}

}  // namespace ocr
