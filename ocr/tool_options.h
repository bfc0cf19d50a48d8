#pragma once

#include <memory>

#include "argument_parser/argument_parser.h"

namespace ocr {

// The tool's command line: the parser with its seven options and the handles to read them
// with. One declaration serves the tool, its tests and its fuzzer, so what they check is
// what users see.
struct ToolOptions {
  argument_parser::ArgumentParser parser;
  std::shared_ptr<const argument_parser::OptionArgument> in;
  std::shared_ptr<const argument_parser::OptionArgument> lang;
  std::shared_ptr<const argument_parser::OptionArgument> mode;
  std::shared_ptr<const argument_parser::OptionArgument> createWords;
  std::shared_ptr<const argument_parser::OptionArgument> pdfPage;
  std::shared_ptr<const argument_parser::OptionArgument> saveImages;
  std::shared_ptr<const argument_parser::OptionArgument> out;
};

ToolOptions MakeToolOptions();

}  // namespace ocr
