#include "engine/leptonica/leptonica_png_writer.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "engine/leptonica/pix_bitmap.h"

namespace ocr::engine {
namespace {

// PNG copies of PDF pages are written while page workers run, and a worker reports a failure
// on stderr: writing a copy must not take stderr away from the other threads, not even for a
// moment.
TEST(LeptonicaPngWriterTest, WritingCopiesLosesNoLineAnotherThreadWritesToStderr) {
  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() / ("png_writer_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(directory);
  const std::filesystem::path log = directory / "stderr.log";
  const std::filesystem::path png = directory / "page.png";

  PixBitmap page(pixCreate(300, 200, 32));
  pixSetAllArbitrary(page.pix(), 0x20406000);

  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  FILE* sink = std::fopen(log.c_str(), "w");
  ASSERT_NE(sink, nullptr);
  ASSERT_GE(::dup2(::fileno(sink), STDERR_FILENO), 0);

  // The other thread writes for as long as the copies are being written.
  std::atomic<bool> copying{true};
  int written = 0;
  std::thread worker([&copying, &written] {
    while (copying) {
      if (::write(STDERR_FILENO, "error: a page\n", 14) == 14) ++written;
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
  });
  LeptonicaPngWriter writer;
  bool allWritten = true;
  for (int i = 0; i < 100; ++i) allWritten = writer.Write(page, png.string()) && allWritten;
  copying = false;
  worker.join();

  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  std::fclose(sink);

  EXPECT_TRUE(allWritten);
  std::ifstream in(log);
  int lines = 0;
  for (std::string line; std::getline(in, line);) lines += line == "error: a page";
  EXPECT_GT(written, 0);
  EXPECT_EQ(lines, written);
  // The copy is the page.
  PixPtr back(pixRead(png.c_str()));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(pixGetWidth(back.get()), 300);
  EXPECT_EQ(pixGetHeight(back.get()), 200);
  std::filesystem::remove_all(directory);
}

TEST(LeptonicaPngWriterTest, AFileThatCannotBeCreatedIsReportedAsNotWritten) {
  PixBitmap page(pixCreate(10, 10, 8));
  LeptonicaPngWriter writer;
  EXPECT_FALSE(writer.Write(page, "/nonexistent-folder/page.png"));
}

}  // namespace
}  // namespace ocr::engine
