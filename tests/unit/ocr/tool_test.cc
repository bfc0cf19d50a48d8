#include "tool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/fake/fake_engines.h"

namespace ocr {
namespace {

namespace fs = std::filesystem;
using engine::RecognitionLevel;
using namespace engine::fake;

constexpr char kSupportLine[] = "Error #201 - Contact Orvane Tech Support";

class ToolTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("ocr_tool_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "shot.png") << "png";
    std::ofstream(dir_ / "doc.pdf") << "%PDF";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The tool's exit status on these arguments; what it printed goes to out_ and err_.
  int Tool(std::vector<std::string> arguments) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = RunTool(arguments, engines_);
    out_ = testing::internal::GetCapturedStdout();
    err_ = testing::internal::GetCapturedStderr();
    return status;
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_;
  FakeRecognizer recognizer_;
  FakeImageDecoder decoder_;
  FakePdfOpener pdf_;
  FakePngWriter png_;
  FakeRecognizerFactory factory_;
  FakePagePipeline pipeline_;
  Engines engines_{recognizer_, decoder_, pdf_, png_, factory_, pipeline_};
  std::string out_;
  std::string err_;
};

TEST_F(ToolTest, EveryRoadEndsInItsExitStatus) {
  recognizer_.outcomes = {OneLine("Hallo")};
  EXPECT_EQ(Tool({"-i", Path("shot.png"), "-o", Path("out.json")}), 0);
  EXPECT_NE(Read("out.json").find("\"Hallo\""), std::string::npos);
  EXPECT_EQ(err_, "");

  recognizer_.languages = std::vector<std::string>{"en-US", "de-DE"};
  EXPECT_EQ(Tool({"-i", "get-installed-lng", "-o", Path("langs.json")}), 2);
  EXPECT_EQ(Read("langs.json"), "[\"eng\",\"ger\"]");

  EXPECT_EQ(Tool({"--help"}), 0);
  EXPECT_NE(out_.find("USAGE:"), std::string::npos);
  EXPECT_EQ(err_, "");

  // A failed recognition writes nothing and is no refused command line.
  EXPECT_EQ(Tool({"-i", Path("missing.png"), "-o", Path("none.json")}), 1);
  EXPECT_EQ(err_, "error: Bad input image path: " + Path("missing.png") + "\n");
  EXPECT_FALSE(fs::exists(dir_ / "none.json"));
}

TEST_F(ToolTest, RefusedCommandLinesEndWithTheSupportLineAndWriteNothing) {
  const std::string in = Path("shot.png");
  const std::string out = Path("refused.json");
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{"-i", in}, "error: Vantor OCR: Missing output path\n"},
      {{"-o", out}, "error: Missing input path\n"},
      {{"-i", in, "-o", out, "-m", "quick"}, "error: Bad mode: quick\n"},
      {{"-i", in, "-o", out, "-w", "yes"}, "error: Bad CreateWords flag: yes\n"},
      {{"-i", in, "-o", out, "-p", "2x"}, "error: Bad PDF page number: 2x\n"},
      {{"-i", in, "-o", out, "--colour", "red"}, ""},
      {{"-i"}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Tool(c.arguments), 1) << c.arguments.size() << " " << c.message;
    EXPECT_EQ(err_, c.message + kSupportLine);
    EXPECT_FALSE(fs::exists(out)) << c.message;
  }
  EXPECT_TRUE(recognizer_.calls.empty());
}

TEST_F(ToolTest, TheOptionsReachTheRecogniser) {
  pdf_.pages = std::vector<ScriptedPdfPage>(3);
  EXPECT_EQ(Tool({"-i", Path("doc.pdf"), "-o", Path("out.json"), "-l", "ger", "-m", "fast", "-w",
                  "true", "-p", "2"}),
            0);
  EXPECT_EQ(out_, "Processing PDF page 2 / 3 ...\n");
  ASSERT_EQ(recognizer_.calls.size(), 1u);
  EXPECT_EQ(recognizer_.calls[0].request.level, RecognitionLevel::fast);
  EXPECT_EQ(recognizer_.calls[0].request.languages, (std::vector<std::string>{"de-DE"}));
  EXPECT_EQ(recognizer_.calls[0].request.dpi, 300);
}

}  // namespace
}  // namespace ocr
