#include "run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "engine/fake/fake_engines.h"

namespace ocr {
namespace {

namespace fs = std::filesystem;
using engine::RecognitionLevel;
using engine::RequestOutcome;
using engine::TextObservation;
using namespace engine::fake;

class RunTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("ocr_run_test_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    std::ofstream(dir_ / "scan.final.PDF") << "%PDF";
    std::ofstream(dir_ / "shot.png") << "png";
  }
  void TearDown() override { fs::remove_all(dir_); }

  bool RunOn(const std::string& name, std::optional<int64_t> page = std::nullopt,
             std::optional<std::string> imageDir = std::nullopt,
             RecognitionLevel level = RecognitionLevel::accurate) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ocr::RunRequest request;
    request.inputPath = (dir_ / name).string();
    request.outputPath = Out();
    request.langsQ = std::vector<std::string>{"de-DE"};
    request.recognitionLevel = level;
    request.breakdownMode = BreakdownMode::words;
    request.pdfPageNumberQ = page;
    request.pdfImageDirPathQ = std::move(imageDir);
    const bool ok = ocr::Run(engines_, request);
    stdout_ = testing::internal::GetCapturedStdout();
    stderr_ = testing::internal::GetCapturedStderr();
    return ok;
  }
  std::string Out() const { return (dir_ / "out.json").string(); }
  nlohmann::json Result() const {
    std::ifstream in(Out());
    return nlohmann::json::parse(in);
  }

  fs::path dir_;
  FakeRecognizer recognizer_;
  FakeImageDecoder decoder_;
  FakePdfOpener pdf_;
  FakePngWriter png_;
  FakeRecognizerFactory factory_;
  FakePagePipeline pipeline_;
  Engines engines_{recognizer_, decoder_, pdf_, png_, factory_, pipeline_};
  std::string stdout_;
  std::string stderr_;
};

TEST_F(RunTest, ImageIsRecognisedInPixelUnitsWithoutDpi) {
  recognizer_.outcomes = {OneLine("Hallo Welt")};
  ASSERT_TRUE(RunOn("shot.png", std::nullopt, std::nullopt, RecognitionLevel::fast));
  EXPECT_EQ(stdout_, "");
  EXPECT_EQ(stderr_, "");
  ASSERT_EQ(recognizer_.calls.size(), 1u);
  EXPECT_EQ(recognizer_.calls[0].request.dpi, std::nullopt);
  EXPECT_EQ(recognizer_.calls[0].request.level, RecognitionLevel::fast);
  EXPECT_EQ(recognizer_.calls[0].request.languages, (std::vector<std::string>{"de-DE"}));
  const auto json = Result();
  EXPECT_EQ(json["ParsedResults"].size(), 1u);
  EXPECT_EQ(json["ParsedResults"][0]["ParsedText"], "Hallo Welt");
  EXPECT_EQ(json["ParsedResults"][0]["TextOverlay"]["Lines"][0]["Words"][0]["Left"], 64);
}

TEST_F(RunTest, PdfPagesAreRenderedAt300DpiUprightAndReportedProgressively) {
  pdf_.pages = std::vector<ScriptedPdfPage>{
      {{0, 0, 612, 792}, 0},         // US Letter
      {{0, 0, 595, 842}, 90},        // A4, turned a quarter: sides swap
      {{100, 200, 512, 592}, 180}};  // origin off zero: size from the box alone
  recognizer_.outcomes = {OneLine("one"), OneLine("two"), OneLine("three")};
  const std::string images = (dir_ / "pages/deep").string();
  ASSERT_TRUE(RunOn("scan.final.PDF", std::nullopt, images));
  EXPECT_EQ(stdout_,
            "Processing PDF page 1 / 3 ...\nProcessing PDF page 2 / 3 ...\n"
            "Processing PDF page 3 / 3 ...\n");
  EXPECT_EQ(stderr_, "");
  ASSERT_EQ(pdf_.renders.size(), 3u);
  EXPECT_EQ(pdf_.renders[0].widthPx, 2550);
  EXPECT_EQ(pdf_.renders[0].heightPx, 3300);
  EXPECT_EQ(pdf_.renders[1].widthPx, 3508);
  EXPECT_EQ(pdf_.renders[1].heightPx, 2479);
  EXPECT_EQ(pdf_.renders[2].widthPx, 2133);
  EXPECT_EQ(pdf_.renders[2].heightPx, 2466);
  EXPECT_EQ(pdf_.renders[0].dpi, 300);
  EXPECT_TRUE(fs::is_directory(images));
  EXPECT_EQ(png_.paths,
            (std::vector<std::string>{images + "/scan.final-p1.png", images + "/scan.final-p2.png",
                                      images + "/scan.final-p3.png"}));
  ASSERT_EQ(recognizer_.calls.size(), 3u);
  EXPECT_EQ(recognizer_.calls[1].request.dpi, 300);
  const auto json = Result();
  ASSERT_EQ(json["ParsedResults"].size(), 3u);
  EXPECT_EQ(json["ParsedResults"][2]["ParsedText"], "three");
  // 0.1 of 2550 px at 96 units per inch.
  EXPECT_EQ(json["ParsedResults"][0]["TextOverlay"]["Lines"][0]["Words"][0]["Left"], 82);
}

TEST_F(RunTest, ASelectedPageIsTheOnlyOneAndAnUnknownPageGivesNoPages) {
  pdf_.pages = std::vector<ScriptedPdfPage>(3);
  ASSERT_TRUE(RunOn("scan.final.PDF", 2));
  EXPECT_EQ(stdout_, "Processing PDF page 2 / 3 ...\n");
  EXPECT_EQ(Result()["ParsedResults"].size(), 1u);
  for (int64_t page : {0, -1, 4}) {
    ASSERT_TRUE(RunOn("scan.final.PDF", page));
    EXPECT_EQ(stdout_, "");
    EXPECT_TRUE(Result()["ParsedResults"].empty());
  }
}

TEST_F(RunTest, AFailureOnAnyPageWritesNothing) {
  pdf_.pages = std::vector<ScriptedPdfPage>(10);
  recognizer_.outcomes = {OneLine("1"), OneLine("2"), OneLine("3"), OneLine("4"), std::nullopt};
  recognizer_.performError = "unsupported recognition language \"xx\"";
  EXPECT_FALSE(RunOn("scan.final.PDF"));
  EXPECT_EQ(stderr_,
            "error: Unable to perform text recognition: unsupported recognition language "
            "\"xx\"\n");
  // Page 6 may have been read ahead, but nothing of it shows.
  EXPECT_EQ(stdout_.substr(stdout_.rfind("Processing")), "Processing PDF page 5 / 10 ...\n");
  EXPECT_LE(recognizer_.calls.size(), 6u);
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(RunTest, PageLevelFailuresAreReportedWithThePageNumber) {
  pdf_.pages = std::vector<ScriptedPdfPage>{{}, {}};
  (*pdf_.pages)[1].missing = true;
  EXPECT_FALSE(RunOn("scan.final.PDF"));
  EXPECT_EQ(stderr_, "error: Could not get PDF page 2\n");

  pdf_.renders.clear();
  pdf_.pages = std::vector<ScriptedPdfPage>{{{0, 0, 20000, 20000}, 0}};  // 6.9 GB of pixels
  EXPECT_FALSE(RunOn("scan.final.PDF"));
  EXPECT_EQ(stderr_, "error: Could not create CGContext for PDF page 1\n");
  EXPECT_TRUE(pdf_.renders.empty());  // refused before anything was rendered

  pdf_.pages = std::vector<ScriptedPdfPage>{{{0, 0, 0.1, 100}, 0}};  // under one pixel wide
  EXPECT_FALSE(RunOn("scan.final.PDF"));
  EXPECT_EQ(stderr_, "error: Could not create CGContext for PDF page 1\n");

  pdf_.pages = std::vector<ScriptedPdfPage>{{{0, 0, std::nan(""), 100}, 0}};  // no size at all
  EXPECT_FALSE(RunOn("scan.final.PDF"));
  EXPECT_EQ(stderr_, "error: Could not create CGContext for PDF page 1\n");

  pdf_.pages = std::vector<ScriptedPdfPage>{{}};
  (*pdf_.pages)[0].renderStatus = engine::RenderStatus::noImage;
  EXPECT_FALSE(RunOn("scan.final.PDF"));
  EXPECT_EQ(stderr_, "error: Could not create CGImage for PDF page 1\n");
  EXPECT_FALSE(fs::exists(Out()));

  pdf_.pages.reset();
  EXPECT_FALSE(RunOn("scan.final.PDF"));
  EXPECT_EQ(stderr_, "error: Bad input PDF\n");
}

TEST_F(RunTest, AnUnsavedPageCopyIsReportedAndTheRunGoesOn) {
  pdf_.pages = std::vector<ScriptedPdfPage>(2);
  png_.succeed = false;
  ASSERT_TRUE(RunOn("scan.final.PDF", std::nullopt, dir_.string()));
  EXPECT_EQ(stderr_,
            "error: Could not save CGImage for PDF page 1\n"
            "error: Could not save CGImage for PDF page 2\n");
  EXPECT_EQ(Result()["ParsedResults"].size(), 2u);
}

TEST_F(RunTest, InputAndDirectoryChecksComeFirst) {
  const std::string images = (dir_ / "never").string();
  EXPECT_FALSE(RunOn("missing.png", std::nullopt, images));
  EXPECT_EQ(stderr_, "error: Bad input image path: " + (dir_ / "missing.png").string() + "\n");
  EXPECT_FALSE(fs::exists(images));  // checked before the directory is made

  std::ofstream(dir_ / "file") << "x";
  const std::string blocked = (dir_ / "file" / "sub").string();
  EXPECT_FALSE(RunOn("shot.png", std::nullopt, blocked));
  EXPECT_EQ(stderr_.rfind("error: Could not create PDF images directory \"" + blocked + "\": ", 0),
            0u);
  EXPECT_TRUE(decoder_.paths.empty());

  // An image input still creates the directory, and writes nothing into it.
  ASSERT_TRUE(RunOn("shot.png", std::nullopt, images));
  EXPECT_TRUE(fs::is_directory(images));
  EXPECT_TRUE(png_.paths.empty());
}

TEST_F(RunTest, ImageDecodingFailuresHaveTheirOwnMessages) {
  decoder_.status = engine::DecodeStatus::undecodable;
  EXPECT_FALSE(RunOn("shot.png"));
  EXPECT_EQ(stderr_, "error: Bad input image\n");
  decoder_.status = engine::DecodeStatus::notDrawable;
  EXPECT_FALSE(RunOn("shot.png"));
  EXPECT_EQ(stderr_, "error: Could not create CGImage from input image\n");
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(RunTest, RequestWithoutResultsStillGivesAnEmptyPage) {
  recognizer_.outcomes = {RequestOutcome{std::nullopt, std::string("timeout")}};
  ASSERT_TRUE(RunOn("shot.png"));
  EXPECT_EQ(stderr_, "error: Text recognition request failed: timeout\n");
  const auto json = Result();
  ASSERT_EQ(json["ParsedResults"].size(), 1u);
  EXPECT_EQ(json["ParsedResults"][0]["ParsedText"], "");
  EXPECT_EQ(json["ParsedResults"][0]["TextOverlay"]["HasOverlay"], false);
}

// A recogniser that takes a known time over each request.
class SlowRecognizer final : public engine::Recognizer {
 public:
  explicit SlowRecognizer(engine::Recognizer& inner) : inner_(inner) {}
  std::optional<RequestOutcome> Perform(const engine::Bitmap& image,
                                        const engine::RecognitionRequest& request,
                                        std::string* error) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return inner_.Perform(image, request, error);
  }
  std::optional<std::vector<std::string>> SupportedLanguages(std::string* error) override {
    return inner_.SupportedLanguages(error);
  }

 private:
  engine::Recognizer& inner_;
};

TEST_F(RunTest, PageTextJoinsLinesAndTimesTheRequest) {
  auto a = std::make_shared<ScriptedText>("first");
  a->WithDefaultBox({0, 0, 1, 1});
  auto b = std::make_shared<ScriptedText>("second");
  b->WithDefaultBox({0, 0, 1, 1});
  FakeRecognizer recognizer;
  recognizer.outcomes = {RequestOutcome{std::vector<TextObservation>{{{a}}, {{b}}}, std::nullopt}};
  FakeBitmap image(10, 10);
  SlowRecognizer slow(recognizer);
  auto page = RunPage(slow, image, std::nullopt, RecognitionLevel::accurate, std::nullopt);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->combinedText, "first\nsecond");
  EXPECT_GE(page->duration, 0.03) << "the page's duration covers its recognition request";
  EXPECT_EQ(recognizer.calls.at(0).request.languages, std::nullopt);
}

}  // namespace
}  // namespace ocr
