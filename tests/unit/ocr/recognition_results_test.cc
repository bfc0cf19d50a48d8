#include "recognition_results.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/fake/fake_engines.h"

namespace ocr {
namespace {

using engine::NormalizedRect;
using engine::RequestOutcome;
using engine::TextObservation;
using engine::fake::FakeBitmap;
using engine::fake::ScriptedText;

std::shared_ptr<ScriptedText> Text(const std::string& text) {
  return std::make_shared<ScriptedText>(text);
}

void ExpectRect(const CGRect& rect, double x, double y, double width, double height) {
  EXPECT_NEAR(rect.x, x, 1e-9);
  EXPECT_NEAR(rect.y, y, 1e-9);
  EXPECT_NEAR(rect.width, width, 1e-9);
  EXPECT_NEAR(rect.height, height, 1e-9);
}

TEST(FetchTextsQTest, AbsentResultsAreReportedWithOrWithoutAnError) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(FetchTextsQ(RequestOutcome{std::nullopt, std::string("engine broke")}));
  EXPECT_FALSE(FetchTextsQ(RequestOutcome{std::nullopt, std::nullopt}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error: Text recognition request failed: engine broke\n"
            "error: Text recognition request failed\n");
}

TEST(FetchTextsQTest, TakesTheBestCandidateOfEachObservationAndIgnoresAnErrorWithResults) {
  auto first = Text("one");
  auto second = Text("two");
  std::vector<TextObservation> observations = {{{first, Text("one'")}}, {{}}, {{second}}};
  testing::internal::CaptureStderr();
  auto texts = FetchTextsQ(RequestOutcome{observations, std::string("ignored")});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_TRUE(texts);
  ASSERT_EQ(texts->size(), 2u);
  EXPECT_EQ((*texts)[0].get(), first.get());
  EXPECT_EQ((*texts)[1].get(), second.get());

  auto empty = FetchTextsQ(RequestOutcome{std::vector<TextObservation>{}, std::nullopt});
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

TEST(ProcessTextsTest, ConvertsNormalisedBoxesToTopLeftPixelsOrPdfUnits) {
  auto word = Text("Total");
  word->WithDefaultBox(NormalizedRect{0.1, 0.8, 0.2, 0.05});
  FakeBitmap image(2550, 3300);

  PageResult pixels = ProcessTexts(image, {word}, std::nullopt);
  ASSERT_EQ(pixels.words.size(), 1u);
  ExpectRect(pixels.words[0].boundingRectPx, 255, 495, 510, 165);
  ExpectRect(pixels.lines.at(0).boundingRectPx, 255, 495, 510, 165);

  PageResult pdf = ProcessTexts(image, {word}, 300);
  ASSERT_EQ(pdf.words.size(), 1u);
  ExpectRect(pdf.words[0].boundingRectPx, 81.6, 158.4, 163.2, 52.8);
  EXPECT_EQ(pdf.combinedText, "");
  EXPECT_EQ(pdf.duration, 0);
}

TEST(ProcessTextsTest, AsksForEveryMergedWordThenTheWholeLine) {
  auto line = Text("Hello, world!");
  line->WithDefaultBox(NormalizedRect{0, 0, 1, 1});
  FakeBitmap image(100, 100);
  PageResult page = ProcessTexts(image, {line}, std::nullopt);
  using Asked = std::vector<std::pair<size_t, size_t>>;
  EXPECT_EQ(line->asked(), (Asked{{0, 5}, {5, 6}, {7, 12}, {12, 13}, {0, 13}}));
  ASSERT_EQ(page.words.size(), 4u);
  EXPECT_EQ(page.words[1].text, ",");
  EXPECT_EQ(page.lines.at(0).wordRange, (IndexRange{0, 4}));
  EXPECT_EQ(page.lines.at(0).text, "Hello, world!");
}

TEST(ProcessTextsTest, BoxFailuresDropWordsAndLinesButKeepTheRest) {
  auto first = Text("lost line");
  first->WithDefaultBox(NormalizedRect{0, 0.5, 0.5, 0.1}).WithoutBox(0, 9);
  auto second = Text("a b c");
  second->WithDefaultBox(NormalizedRect{0, 0, 0.5, 0.1}).WithoutBox(2, 3);
  FakeBitmap image(200, 100);

  testing::internal::CaptureStderr();
  PageResult page = ProcessTexts(image, {first, second}, std::nullopt);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "error: Could not get bounding box for line \"lost line\"\n"
            "error: Could not get bounding box for word \"b\" in line \"a b c\"\n");
  // The dropped line's words stay in the page; the kept line starts after them.
  ASSERT_EQ(page.words.size(), 4u);
  EXPECT_EQ(page.words[0].text, "lost");
  EXPECT_EQ(page.words[1].text, "line");
  EXPECT_EQ(page.words[2].text, "a");
  EXPECT_EQ(page.words[3].text, "c");
  ASSERT_EQ(page.lines.size(), 1u);
  EXPECT_EQ(page.lines[0].text, "a b c");
  EXPECT_EQ(page.lines[0].wordRange, (IndexRange{2, 4}));
}

TEST(ProcessTextsTest, WhitespaceOnlyAndAllFailedLinesGetEmptyRanges) {
  auto blank = Text(" \t\u00a0");
  blank->WithDefaultBox(NormalizedRect{0, 0, 1, 1});
  auto failed = Text("x y");
  failed->WithBox(0, 3, NormalizedRect{0, 0, 1, 1});  // only the line has a box
  FakeBitmap image(10, 10);
  testing::internal::CaptureStderr();
  PageResult page = ProcessTexts(image, {blank, failed}, std::nullopt);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("word \"x\" in line \"x y\""), std::string::npos);
  EXPECT_NE(errors.find("word \"y\" in line \"x y\""), std::string::npos);
  ASSERT_EQ(page.lines.size(), 2u);
  EXPECT_TRUE(page.lines[0].wordRange.IsEmpty());
  EXPECT_TRUE(page.lines[1].wordRange.IsEmpty());
  EXPECT_TRUE(page.words.empty());

  EXPECT_TRUE(ProcessTexts(image, {}, 300).lines.empty());
}

}  // namespace
}  // namespace ocr
