// What the recogniser's clean-up of ruling lines and filled boxes does to images, for
// choosing its limits (bench/ocr_rules.py) and for looking at its output.
//
// ruled_page_probe [--out DIR] [--limit name=value ...] dpi image...
// prints per image: changed pixels, frames, filled boxes, whether lines were found, and the
// time taken; with --out, writes the cleared image as DIR/<name>.
#include <leptonica/allheaders.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/cleanup/ruled_page.h"
#include "engine/leptonica/leptonica_image_decoder.h"
#include "engine/leptonica/pix_bitmap.h"

namespace {

using ocr::engine::BoxLimits;
using ocr::engine::PixPtr;
using ocr::engine::RuleLimits;

bool SetLimit(const std::string& assignment, RuleLimits& rules, BoxLimits& boxes) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos) return false;
  const std::string name = assignment.substr(0, equals);
  const double value = std::atof(assignment.c_str() + equals + 1);
  struct Entry {
    const char* name;
    double* field;
  };
  const Entry entries[] = {
      {"longHorizontal", &rules.longHorizontal}, {"longVertical", &rules.longVertical},
      {"maxThickness", &rules.maxThickness},     {"frameSide", &rules.frameSide},
      {"frameMinWidth", &rules.frameMinWidth},   {"frameMinHeight", &rules.frameMinHeight},
      {"cornerSlack", &rules.cornerSlack},       {"boxMinWidth", &boxes.minWidth},
      {"boxMinHeight", &boxes.minHeight}};
  for (const Entry& entry : entries) {
    if (name == entry.name) {
      *entry.field = value;
      return true;
    }
  }
  return false;
}

int ChangedPixels(Pix* before, Pix* after) {
  if (after == nullptr) return 0;
  PixPtr converted;
  if (pixGetDepth(before) != pixGetDepth(after)) {
    converted.reset(pixConvertTo8(before, 0));
    before = converted.get();
  }
  l_int32 same = 0;
  pixEqual(before, after, &same);
  if (same) return 0;
  int changed = 0;
  for (int y = 0; y < pixGetHeight(after); ++y) {
    for (int x = 0; x < pixGetWidth(after); ++x) {
      l_uint32 a = 0, b = 0;
      pixGetPixel(before, x, y, &a);
      pixGetPixel(after, x, y, &b);
      changed += a != b;
    }
  }
  return changed;
}

}  // namespace

int main(int argc, char** argv) {
  ocr::engine::SilenceLeptonica();
  RuleLimits rules;
  BoxLimits boxes;
  std::string outDir;
  int arg = 1;
  for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; arg += 2) {
    if (arg + 1 >= argc) return 2;
    if (std::strcmp(argv[arg], "--out") == 0) {
      outDir = argv[arg + 1];
    } else if (std::strcmp(argv[arg], "--limit") != 0 || !SetLimit(argv[arg + 1], rules, boxes)) {
      std::fprintf(stderr, "bad option %s %s\n", argv[arg], argv[arg + 1]);
      return 2;
    }
  }
  if (arg + 1 >= argc) {
    std::fprintf(stderr, "usage: %s [--out DIR] [--limit name=value] dpi image...\n", argv[0]);
    return 2;
  }
  const int dpi = std::atoi(argv[arg++]);
  for (; arg < argc; ++arg) {
    PixPtr image(pixRead(argv[arg]));
    if (!image) {
      std::printf("%s unreadable\n", argv[arg]);
      continue;
    }
    ocr::engine::RuledPageFindings counts;
    const auto start = std::chrono::steady_clock::now();
    PixPtr cleared = ocr::engine::ClearRulesAndBoxes(image.get(), dpi, &counts, rules, boxes);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%s changed=%d frames=%d boxes=%d drawings=%d lines=%d ms=%.1f\n", argv[arg],
                ChangedPixels(image.get(), cleared.get()), counts.frames, counts.filledBoxes,
                counts.drawings, counts.lines ? 1 : 0, took.count());
    if (!outDir.empty() && cleared) {
      const std::string name = std::filesystem::path(argv[arg]).filename().string();
      pixWrite((outDir + "/" + name).c_str(), cleared.get(), IFF_PNG);
    }
  }
  return 0;
}
