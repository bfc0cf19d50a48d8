#include "tool_options.h"

#include <optional>
#include <utility>

namespace ocr {

ToolOptions MakeToolOptions() {
  argument_parser::ArgumentParser parser(std::nullopt, "<options>", "", std::nullopt);
  auto in = parser.AddOption("--in", "-i", "Input image file");
  auto lang = parser.AddOption(
      "--lang", "-l",
      "Language(s), e.g. \"en\" or \"en-US,de-DE,fr-FR,it-IT,es-ES,pt-BR,zh-Hans,zh-Hant\" "
      "(optional)");
  auto mode =
      parser.AddOption("--mode", "-m", "Detection mode: \"fast\" or \"accurate\" (default)");
  auto createWords =
      parser.AddOption("--createWords", "-w", "CreateWords flag: \"true\" or \"false\" (default)");
  auto pdfPage = parser.AddOption("--pdf-page", "-p",
                                  "PDF page number to process (optional; defaults to all pages)");
  auto saveImages = parser.AddOption("--save-pdf-images", "-s",
                                     "Directory to save PDF images to (no saving if unspecified)");
  auto out = parser.AddOption("--out", "-o", "Output json file");
  return ToolOptions{std::move(parser),     std::move(in),          std::move(lang),
                     std::move(mode),       std::move(createWords), std::move(pdfPage),
                     std::move(saveImages), std::move(out)};
}

}  // namespace ocr
