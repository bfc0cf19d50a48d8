#pragma once

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace ocr::argument_parser {

// A declared single-valued option of string kind. The handle returned by AddOption is what
// a Result is asked with.
struct OptionArgument {
  std::string name;  // long name, begins with "-"
  std::optional<std::string> shortName;
  std::optional<std::string> usage;  // options without usage are not listed in the help
};

class ArgumentParserError : public std::runtime_error {
 public:
  enum class Kind { unknownOption, expectedValue, unexpectedArgument };
  ArgumentParserError(Kind kind, std::string subject);
  Kind kind() const { return kind_; }
  // The option as typed (before any "="), the option's long name, or the argument.
  const std::string& subject() const { return subject_; }

 private:
  Kind kind_;
  std::string subject_;
};

class ArgumentParser {
 public:
  class Result {
   public:
    // The value stored for option, or nothing when the option did not occur.
    std::optional<std::string> Get(const OptionArgument& option) const;

   private:
    friend class ArgumentParser;
    std::map<std::string, std::string> results_;  // keyed by long name
  };

  // What parsing found: a result, or a request for help where an option name was expected.
  struct Outcome {
    bool helpRequested = false;
    Result result;
  };

  ArgumentParser(std::optional<std::string> commandName, std::string usage, std::string overview,
                 std::optional<std::string> seeAlso);

  // Declares a single-valued option taking the next argument (or the text after "=").
  // A name that does not begin with "-" is a programming error and stops the process.
  // Later declarations with the same name win the lookup.
  std::shared_ptr<const OptionArgument> AddOption(std::string name,
                                                  std::optional<std::string> shortName,
                                                  std::optional<std::string> usage);

  // Parses arguments (the program name removed). Throws ArgumentParserError. On "-h",
  // "-help" or "--help" where an option name is expected, prints the usage on standard
  // output and exits the process with status 0.
  Result Parse(const std::vector<std::string>& arguments) const;

  // Parse without the process-wide effect of help; for callers that handle it themselves.
  Outcome ParseOrRequestHelp(const std::vector<std::string>& arguments) const;

  // The usage text; programName stands on the USAGE line when no command name was given.
  std::string UsageText(const std::string& programName) const;
  void PrintUsage(std::ostream& out, const std::string& programName) const;

 private:
  std::optional<std::string> commandName_;
  std::string usage_;
  std::string overview_;
  std::optional<std::string> seeAlso_;
  std::vector<std::shared_ptr<const OptionArgument>> optionArguments_;
};

// The last "/"-separated component of the name the process was started with.
std::string InvokedProgramName();

}  // namespace ocr::argument_parser
