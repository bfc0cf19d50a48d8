// The PDF driver reading pages side by side: whatever order the workers finish in, what the
// caller sees is what one page after another gives.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "engine/fake/fake_engines.h"
#include "run.h"

namespace ocr {
namespace {

namespace fs = std::filesystem;
using engine::RecognitionLevel;
using namespace engine::fake;

// What a caller of one run sees.
struct Seen {
  bool ok = false;
  std::string out;
  std::string err;
  std::string json;  // without the processing time
  std::vector<std::string> copies;
  bool operator==(const Seen&) const = default;
};

class PdfPagesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("ocr_pdf_pages_test_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    std::ofstream(dir_ / "doc.pdf") << "%PDF";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A document of `pages` pages whose page p reads "page p", scripted per page.
  void Script(int pages) {
    pdf_.pages = std::vector<ScriptedPdfPage>(static_cast<size_t>(pages));
    for (int p = 1; p <= pages; ++p) script_.outcomes[p] = OneLine("page " + std::to_string(p));
  }

  Seen RunWith(int cores, bool copies = false) {
    FakePagePipeline pipeline;
    pipeline.maxWorkers = cores;
    PageScriptedRecognizer first(script_, 0);
    FakeRecognizerFactory factory(&script_);
    FakeImageDecoder decoder;
    png_.paths.clear();
    Engines engines{first, decoder, pdf_, png_, factory, pipeline};
    const std::string out = (dir_ / "out.json").string();
    fs::remove(out);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Seen seen;
    ocr::RunRequest request;
    request.inputPath = (dir_ / "doc.pdf").string();
    request.outputPath = out;
    request.breakdownMode = BreakdownMode::words;
    if (copies) request.pdfImageDirPathQ = (dir_ / "pages").string();
    seen.ok = ocr::Run(engines, request);
    seen.out = testing::internal::GetCapturedStdout();
    seen.err = testing::internal::GetCapturedStderr();
    if (fs::exists(out)) {
      std::ifstream in(out);
      nlohmann::ordered_json json = nlohmann::ordered_json::parse(in);
      json.erase("ProcessingTimeInMilliseconds");
      seen.json = json.dump();
    }
    seen.copies = png_.paths;
    workersMade_ = factory.made;
    events_ = pipeline.events;
    mostAhead_ = pipeline.mostAhead;
    startedWorkers_ = pipeline.startedWorkers;
    return seen;
  }

  fs::path dir_;
  FakePdfOpener pdf_;
  FakePngWriter png_;
  PageScript script_;
  int workersMade_ = 0;
  std::vector<std::string> events_;
  size_t mostAhead_ = 0;
  size_t startedWorkers_ = 0;
};

TEST_F(PdfPagesTest, WorkersAreTheCoresBoundedByPagesAndMemory) {
  const int64_t letter = 2550 * 3300 * 4;
  EXPECT_EQ(PageWorkers(2, 20, letter), 2);
  EXPECT_EQ(PageWorkers(16, 3, letter), 3);
  EXPECT_EQ(PageWorkers(64, 1000, letter), 7);
  EXPECT_EQ(PageWorkers(64, 1000, 1275 * 1650 * 4), kMaxPageWorkers);  // a half-Letter page
  EXPECT_EQ(PageWorkers(1, 5, letter), 1);
  EXPECT_EQ(PageWorkers(4, 0, letter), 1);
  // Large sheets: fewer workers, never none. An A3 page at 300 DPI, an A0 sheet.
  EXPECT_EQ(PageWorkers(16, 100, int64_t{3508} * 4961 * 4), 5);
  EXPECT_EQ(PageWorkers(16, 100, int64_t{9933} * 14043 * 4), 1);
  EXPECT_EQ(PageWorkers(16, 100, kMaxPdfBitmapBytes), 1);
}

TEST_F(PdfPagesTest, PagesFinishingOutOfOrderComeOutAsOneAfterAnother) {
  Script(7);
  const Seen sequential = RunWith(1, true);
  ASSERT_TRUE(sequential.ok);
  EXPECT_EQ(workersMade_, 0);
  const Seen parallel = RunWith(3, true);
  EXPECT_EQ(parallel, sequential);
  // Three workers: two recognisers made besides the run's own, each page read once.
  EXPECT_EQ(workersMade_, 2);
  EXPECT_EQ(startedWorkers_, 3u);
  EXPECT_NE(std::find(events_.begin(), events_.end(), "work 2/2"), events_.end());
  // Later pages really did finish first: page 3 (item 2) before page 1 (item 0).
  EXPECT_LT(std::find(events_.begin(), events_.end(), "work 2/2"),
            std::find(events_.begin(), events_.end(), "work 0/0"));
  std::ostringstream progress;
  for (int p = 1; p <= 7; ++p) progress << "Processing PDF page " << p << " / 7 ...\n";
  EXPECT_EQ(parallel.out, progress.str());
  EXPECT_EQ(parallel.err, "");
  EXPECT_NE(parallel.json.find("page 7"), std::string::npos);
  EXPECT_EQ(parallel.copies.size(), 7u);
  EXPECT_EQ(parallel.copies.back(), (dir_ / "pages" / "doc-p7.png").string());
  // One recognition a page, in each of the two runs.
  EXPECT_EQ(script_.calls().size(), 7u + 7u);
  // Never more pages rendered than one beyond the workers.
  EXPECT_LE(mostAhead_, 4u);
}

TEST_F(PdfPagesTest, AFailingPageLeavesTheLinesAndTheOneErrorOfTheSequentialRun) {
  Script(9);
  script_.outcomes[4] = std::nullopt;
  script_.performError = "unsupported recognition language \"xx\"";
  const Seen sequential = RunWith(1, true);
  const Seen parallel = RunWith(4, true);
  EXPECT_EQ(parallel, sequential);
  EXPECT_FALSE(parallel.ok);
  EXPECT_EQ(parallel.json, "");
  EXPECT_EQ(parallel.out,
            "Processing PDF page 1 / 9 ...\nProcessing PDF page 2 / 9 ...\n"
            "Processing PDF page 3 / 9 ...\nProcessing PDF page 4 / 9 ...\n");
  EXPECT_EQ(parallel.err,
            "error: Unable to perform text recognition: unsupported recognition language "
            "\"xx\"\n");
  // Pages 5 to 8 were read ahead, but no copy of them was written.
  EXPECT_EQ(parallel.copies.size(), 4u);
  EXPECT_EQ(parallel.copies.back(), (dir_ / "pages" / "doc-p4.png").string());
  EXPECT_EQ(events_.back(), "finish");
}

TEST_F(PdfPagesTest, AnEarlierPagesFailureWinsOverALaterPagesRendering) {
  // Page 5 cannot be rendered and page 3 cannot be recognised: the run stops at page 3, as
  // one page after another would, though page 5 was rendered ahead of it.
  Script(6);
  (*pdf_.pages)[4].renderStatus = engine::RenderStatus::noContext;
  script_.outcomes[3] = std::nullopt;
  const Seen sequential = RunWith(1);
  const Seen parallel = RunWith(3);
  EXPECT_EQ(parallel, sequential);
  EXPECT_EQ(parallel.err, "error: Unable to perform text recognition: scripted failure\n");
  EXPECT_NE(std::find(events_.begin(), events_.end(), "prepare 4"), events_.end());

  // A page the document cannot produce, behind pages still being read.
  script_.outcomes[3] = OneLine("page 3");
  (*pdf_.pages)[4] = {};
  (*pdf_.pages)[3].missing = true;
  const Seen sequentialMissing = RunWith(1, true);
  const Seen parallelMissing = RunWith(3, true);
  EXPECT_EQ(parallelMissing, sequentialMissing);
  EXPECT_EQ(parallelMissing.err, "error: Could not get PDF page 4\n");
  EXPECT_EQ(parallelMissing.copies.size(), 3u);
  // Nothing is prepared after the page that ended the run.
  EXPECT_EQ(std::find(events_.begin(), events_.end(), "prepare 4"), events_.end());
}

TEST_F(PdfPagesTest, CopiesThatCannotBeSavedAreReportedAsBefore) {
  Script(4);
  png_.succeed = false;
  const Seen sequential = RunWith(1, true);
  const Seen parallel = RunWith(4, true);
  EXPECT_EQ(parallel, sequential);
  EXPECT_TRUE(parallel.ok);
  EXPECT_EQ(parallel.err,
            "error: Could not save CGImage for PDF page 1\n"
            "error: Could not save CGImage for PDF page 2\n"
            "error: Could not save CGImage for PDF page 3\n"
            "error: Could not save CGImage for PDF page 4\n");
}

TEST_F(PdfPagesTest, OnePageTakesOneWorkerAndNoSecondEngine) {
  Script(5);
  FakePagePipeline pipeline;
  pipeline.maxWorkers = 8;
  PageScriptedRecognizer first(script_, 0);
  FakeRecognizerFactory factory(&script_);
  FakeImageDecoder decoder;
  Engines engines{first, decoder, pdf_, png_, factory, pipeline};
  testing::internal::CaptureStdout();
  ocr::RunRequest request;
  request.inputPath = (dir_ / "doc.pdf").string();
  request.outputPath = (dir_ / "one.json").string();
  request.recognitionLevel = RecognitionLevel::fast;
  request.pdfPageNumberQ = 4;
  ASSERT_TRUE(ocr::Run(engines, request));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Processing PDF page 4 / 5 ...\n");
  EXPECT_EQ(pipeline.startedWorkers, 1u);
  EXPECT_EQ(factory.made, 0);
  ASSERT_EQ(script_.calls().size(), 1u);
  EXPECT_EQ(script_.calls()[0].page, 4);
  EXPECT_EQ(script_.calls()[0].request.level, RecognitionLevel::fast);
}

}  // namespace
}  // namespace ocr
