#include "argument_parser/argument_parser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tool_options.h"

namespace ocr::argument_parser {
namespace {

using Kind = ArgumentParserError::Kind;

Kind ErrorKindOf(const ArgumentParser& parser, const std::vector<std::string>& arguments,
                 std::string* subject) {
  try {
    parser.ParseOrRequestHelp(arguments);
  } catch (const ArgumentParserError& error) {
    *subject = error.subject();
    return error.kind();
  }
  ADD_FAILURE() << "parsing succeeded";
  return Kind::unexpectedArgument;
}

TEST(ArgumentParserTest, ValuesNextOrAttachedAndShortNamesShareTheKey) {
  // The tool's own declarations, so the checks see what users see.
  const ToolOptions tool = MakeToolOptions();
  auto outcome = tool.parser.ParseOrRequestHelp({"--in=a=b", "-o", "x.json", "-m=", "-l", "-x"});
  ASSERT_FALSE(outcome.helpRequested);
  EXPECT_EQ(outcome.result.Get(*tool.in), "a=b");  // split at the first "=" only
  EXPECT_EQ(outcome.result.Get(*tool.out), "x.json");
  EXPECT_EQ(outcome.result.Get(*tool.mode), "");    // present and empty, not absent
  EXPECT_EQ(outcome.result.Get(*tool.lang), "-x");  // the next argument, whatever it is
  EXPECT_EQ(outcome.result.Get(*tool.pdfPage), std::nullopt);

  auto empty = tool.parser.ParseOrRequestHelp({});
  EXPECT_FALSE(empty.helpRequested);
  EXPECT_EQ(empty.result.Get(*tool.in), std::nullopt);
  EXPECT_EQ(empty.result.Get(*tool.out), std::nullopt);
}

TEST(ArgumentParserTest, RepeatedOptionKeepsTheLastValueAcrossLongAndShortNames) {
  const ToolOptions tool = MakeToolOptions();
  auto outcome =
      tool.parser.ParseOrRequestHelp({"--in", "a", "-i", "b", "--mode", "fast", "--mode=accurate"});
  EXPECT_EQ(outcome.result.Get(*tool.in), "b");
  EXPECT_EQ(outcome.result.Get(*tool.mode), "accurate");

  auto swallowed = tool.parser.ParseOrRequestHelp({"--in", "--out"});
  EXPECT_EQ(swallowed.result.Get(*tool.in), "--out");
  EXPECT_EQ(swallowed.result.Get(*tool.out), std::nullopt);
}

TEST(ArgumentParserTest, FailuresNameWhatWentWrong) {
  const ToolOptions tool = MakeToolOptions();
  std::string subject;
  EXPECT_EQ(ErrorKindOf(tool.parser, {"--in"}, &subject), Kind::expectedValue);
  EXPECT_EQ(subject, "--in");
  EXPECT_EQ(ErrorKindOf(tool.parser, {"--out", "o", "-i"}, &subject), Kind::expectedValue);
  EXPECT_EQ(subject, "--in");  // the declared long name, though the short one was typed
  EXPECT_EQ(ErrorKindOf(tool.parser, {"--"}, &subject), Kind::unknownOption);
  EXPECT_EQ(subject, "--");
  EXPECT_EQ(ErrorKindOf(tool.parser, {"-"}, &subject), Kind::unknownOption);
  EXPECT_EQ(subject, "-");
  EXPECT_EQ(ErrorKindOf(tool.parser, {"--quiet=yes"}, &subject), Kind::unknownOption);
  EXPECT_EQ(subject, "--quiet");
  EXPECT_EQ(ErrorKindOf(tool.parser, {"--help=x"}, &subject), Kind::unknownOption);
  EXPECT_EQ(subject, "--help");
  EXPECT_EQ(ErrorKindOf(tool.parser, {"-io"}, &subject), Kind::unknownOption);  // no clusters
  EXPECT_EQ(ErrorKindOf(tool.parser, {"-i", "a", "stray"}, &subject), Kind::unexpectedArgument);
  EXPECT_EQ(subject, "stray");
  EXPECT_EQ(ErrorKindOf(tool.parser, {""}, &subject), Kind::unexpectedArgument);

  ArgumentParser bare(std::nullopt, "", "", std::nullopt);
  EXPECT_EQ(ErrorKindOf(bare, {"--in"}, &subject), Kind::unknownOption);
}

TEST(ArgumentParserTest, ErrorDescriptions) {
  EXPECT_STREQ(ArgumentParserError(Kind::unknownOption, "--x").what(),
               "unknown option --x; use --help to list available options");
  EXPECT_STREQ(ArgumentParserError(Kind::expectedValue, "--in").what(),
               "option --in requires a value; provide a value using '--in <value>' or "
               "'--in=<value>'");
  EXPECT_STREQ(ArgumentParserError(Kind::unexpectedArgument, "w").what(),
               "unexpected argument w; use --help to list available arguments");
}

TEST(ArgumentParserTest, HelpOnlyWhereAnOptionNameIsExpected) {
  const ToolOptions tool = MakeToolOptions();
  for (const char* help : {"-h", "-help", "--help"}) {
    EXPECT_TRUE(tool.parser.ParseOrRequestHelp({help}).helpRequested) << help;
    EXPECT_TRUE(tool.parser.ParseOrRequestHelp({"--in", "a", help}).helpRequested) << help;
  }
  // Help wins even when later arguments would fail.
  EXPECT_TRUE(tool.parser.ParseOrRequestHelp({"-h", "--bogus"}).helpRequested);
  auto asValue = tool.parser.ParseOrRequestHelp({"--out", "--help"});
  EXPECT_FALSE(asValue.helpRequested);
  EXPECT_EQ(asValue.result.Get(*tool.out), "--help");
}

// Every usage of the tool's help starts in column 27, after 26 characters.
std::string Entry(const std::string& names, const std::string& usage) {
  std::string line = "  " + names;
  line.resize(26, ' ');
  return line + usage + "\n";
}

TEST(ArgumentParserTest, ToolUsageLayout) {
  const ToolOptions tool = MakeToolOptions();
  const std::string expected =
      "OVERVIEW: \n\nUSAGE: ocr <options>\n\nOPTIONS:\n" +
      Entry("--createWords, -w", "CreateWords flag: \"true\" or \"false\" (default)") +
      Entry("--in, -i", "Input image file") +
      Entry("--lang, -l",
            "Language(s), e.g. \"en\" or \"en-US,de-DE,fr-FR,it-IT,es-ES,pt-BR,zh-Hans,zh-Hant\" "
            "(optional)") +
      Entry("--mode, -m", "Detection mode: \"fast\" or \"accurate\" (default)") +
      Entry("--out, -o", "Output json file") +
      Entry("--pdf-page, -p", "PDF page number to process (optional; defaults to all pages)") +
      Entry("--save-pdf-images, -s", "Directory to save PDF images to (no saving if unspecified)") +
      Entry("--help", "Display available options");
  EXPECT_EQ(tool.parser.UsageText("ocr"), expected);
  // Spelled out once: 11 characters of names, 15 spaces, the usage in column 27.
  EXPECT_NE(expected.find("\n  --out, -o" + std::string(15, ' ') + "Output json file\n"),
            std::string::npos);
}

TEST(ArgumentParserTest, UsageColumnsLongNamesHiddenOptionsAndSeeAlso) {
  ArgumentParser parser("cmd", "[args]", "Does things", "man cmd");
  parser.AddOption("--b", "-b", "bee");
  parser.AddOption("--a", std::nullopt, "ay");
  parser.AddOption("--hidden", std::nullopt, std::nullopt);
  // Width = longest name text + 3 = 11, counting the unlisted "--hidden" (8) but not
  // "--help"; every usage starts after 13 characters.
  EXPECT_EQ(parser.UsageText("ignored"),
            "OVERVIEW: Does things\n\nUSAGE: cmd [args]\n\nOPTIONS:\n"
            "  --a        ay\n"
            "  --b, -b    bee\n"
            "  --help     Display available options\n\nSEE ALSO: man cmd\n");

  ArgumentParser wide(std::nullopt, "u", "", std::nullopt);
  wide.AddOption("--a-very-long-option-name", "-v", "long");           // 28 characters
  wide.AddOption("--exactly-22-chars-xx", std::nullopt, "edge");       // 21: fits in width 24
  wide.AddOption("--exactly-22-chars-xxx", std::nullopt, "own line");  // 22: does not
  EXPECT_EQ(wide.UsageText("prog"),
            "OVERVIEW: \n\nUSAGE: prog u\n\nOPTIONS:\n"
            "  --a-very-long-option-name, -v\n" +
                std::string(26, ' ') +
                "long\n"
                "  --exactly-22-chars-xx   edge\n"
                "  --exactly-22-chars-xxx\n" +
                std::string(26, ' ') +
                "own line\n"
                "  --help                  Display available options\n");
}

TEST(ArgumentParserTest, LaterDeclarationWinsTheLookup) {
  ArgumentParser parser(std::nullopt, "", "", std::nullopt);
  auto first = parser.AddOption("--x", "-x", "first");
  auto second = parser.AddOption("--y", "-x", "second");
  auto outcome = parser.ParseOrRequestHelp({"-x", "v"});
  EXPECT_EQ(outcome.result.Get(*second), "v");
  EXPECT_EQ(outcome.result.Get(*first), std::nullopt);
}

TEST(ArgumentParserDeathTest, OptionNameWithoutDashStopsTheProcess) {
  ArgumentParser parser(std::nullopt, "", "", std::nullopt);
  EXPECT_DEATH(parser.AddOption("in", std::nullopt, "x"), "must begin with '-'");
}

}  // namespace
}  // namespace ocr::argument_parser
