#include "argument_parser/argument_parser.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace ocr::argument_parser {
namespace {

bool IsHelp(const std::string& argument) {
  return argument == "-h" || argument == "-help" || argument == "--help";
}

std::string DescribeError(ArgumentParserError::Kind kind, const std::string& subject) {
  switch (kind) {
    case ArgumentParserError::Kind::unknownOption:
      return "unknown option " + subject + "; use --help to list available options";
    case ArgumentParserError::Kind::expectedValue:
      return "option " + subject + " requires a value; provide a value using '" + subject +
             " <value>' or '" + subject + "=<value>'";
    case ArgumentParserError::Kind::unexpectedArgument:
      return "unexpected argument " + subject + "; use --help to list available arguments";
  }
  return subject;
}

// Counts characters, not bytes, so a non-ASCII name pads like its visible width.
size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

void WriteEntry(std::ostream& out, const std::string& text, const std::string& usage,
                size_t columnWidth) {
  constexpr size_t kPadding = 2;
  out << '\n' << std::string(kPadding, ' ') << text;
  const size_t count = CharacterCount(text);
  if (count < columnWidth - kPadding) {
    out << std::string(columnWidth - count, ' ') << usage;
  } else {
    out << '\n' << std::string(columnWidth + kPadding, ' ') << usage;
  }
}

std::string NameText(const OptionArgument& option) {
  return option.shortName ? option.name + ", " + *option.shortName : option.name;
}

}  // namespace

ArgumentParserError::ArgumentParserError(Kind kind, std::string subject)
    : std::runtime_error(DescribeError(kind, subject)), kind_(kind), subject_(std::move(subject)) {}

std::optional<std::string> ArgumentParser::Result::Get(const OptionArgument& option) const {
  auto found = results_.find(option.name);
  if (found == results_.end()) return std::nullopt;
  return found->second;
}

ArgumentParser::ArgumentParser(std::optional<std::string> commandName, std::string usage,
                               std::string overview, std::optional<std::string> seeAlso)
    : commandName_(std::move(commandName)),
      usage_(std::move(usage)),
      overview_(std::move(overview)),
      seeAlso_(std::move(seeAlso)) {}

std::shared_ptr<const OptionArgument> ArgumentParser::AddOption(
    std::string name, std::optional<std::string> shortName, std::optional<std::string> usage) {
  if (name.empty() || name.front() != '-') {
    std::fprintf(stderr, "option name must begin with '-': %s\n", name.c_str());
    std::abort();
  }
  auto option = std::make_shared<const OptionArgument>(
      OptionArgument{std::move(name), std::move(shortName), std::move(usage)});
  optionArguments_.push_back(option);
  return option;
}

ArgumentParser::Outcome ArgumentParser::ParseOrRequestHelp(
    const std::vector<std::string>& arguments) const {
  // Rebuilt on every call, so parsing never changes the parser.
  std::map<std::string, const OptionArgument*> lookup;
  for (const auto& option : optionArguments_) {
    lookup[option->name] = option.get();
    if (option->shortName) lookup[*option->shortName] = option.get();
  }

  Outcome outcome;
  size_t cursor = 0;
  while (cursor < arguments.size()) {
    const std::string& argument = arguments[cursor];
    // Help counts only here, where an option name is expected, never as a value.
    if (IsHelp(argument)) {
      outcome.helpRequested = true;
      return outcome;
    }
    ++cursor;
    if (argument.empty() || argument.front() != '-') {
      // No positional arguments are declared: every bare word is unexpected.
      throw ArgumentParserError(ArgumentParserError::Kind::unexpectedArgument, argument);
    }
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    auto found = lookup.find(name);
    if (found == lookup.end()) {
      throw ArgumentParserError(ArgumentParserError::Kind::unknownOption, name);
    }
    const OptionArgument& option = *found->second;
    std::string value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (cursor < arguments.size()) {
      value = arguments[cursor++];  // taken whatever it looks like, even "-x" or "--help"
    } else {
      throw ArgumentParserError(ArgumentParserError::Kind::expectedValue, option.name);
    }
    outcome.result.results_[option.name] = std::move(value);  // the last occurrence wins
  }
  return outcome;
}

ArgumentParser::Result ArgumentParser::Parse(const std::vector<std::string>& arguments) const {
  Outcome outcome = ParseOrRequestHelp(arguments);
  if (outcome.helpRequested) {
    PrintUsage(std::cout, InvokedProgramName());
    std::cout.flush();
    std::exit(0);
  }
  return std::move(outcome.result);
}

std::string ArgumentParser::UsageText(const std::string& programName) const {
  std::ostringstream out;
  PrintUsage(out, programName);
  return out.str();
}

void ArgumentParser::PrintUsage(std::ostream& out, const std::string& programName) const {
  size_t longest = 0;
  for (const auto& option : optionArguments_) {
    longest = std::max(longest, CharacterCount(NameText(*option)));
  }
  const size_t columnWidth = !optionArguments_.empty() && longest < 24 ? longest + 3 : 24;

  out << "OVERVIEW: " << overview_;
  out << "\n\nUSAGE: " << commandName_.value_or(programName) << ' ' << usage_;
  if (!optionArguments_.empty()) {
    out << "\n\nOPTIONS:";
    std::vector<const OptionArgument*> sorted;
    for (const auto& option : optionArguments_) sorted.push_back(option.get());
    std::stable_sort(
        sorted.begin(), sorted.end(),
        [](const OptionArgument* a, const OptionArgument* b) { return a->name < b->name; });
    for (const OptionArgument* option : sorted) {
      if (option->usage) WriteEntry(out, NameText(*option), *option->usage, columnWidth);
    }
    WriteEntry(out, "--help", "Display available options", columnWidth);
  }
  if (seeAlso_) out << "\n\nSEE ALSO: " << *seeAlso_;
  out << '\n';
  out.flush();
}

std::string InvokedProgramName() {
  return program_invocation_short_name;
}

}  // namespace ocr::argument_parser
