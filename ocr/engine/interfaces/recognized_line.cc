#include "engine/interfaces/recognized_line.h"

#include <algorithm>
#include <optional>

namespace ocr::engine {
namespace {

void Unite(std::optional<PixelBox>& total, const PixelBox& box) {
  if (!total) {
    total = box;
    return;
  }
  total->left = std::min(total->left, box.left);
  total->top = std::min(total->top, box.top);
  total->right = std::max(total->right, box.right);
  total->bottom = std::max(total->bottom, box.bottom);
}

PixelBox Clamp(const PixelBox& box, const PixelBox& limit) {
  PixelBox clamped;
  clamped.left = std::clamp(box.left, limit.left, limit.right);
  clamped.right = std::clamp(box.right, limit.left, limit.right);
  clamped.top = std::clamp(box.top, limit.top, limit.bottom);
  clamped.bottom = std::clamp(box.bottom, limit.top, limit.bottom);
  return clamped;
}

}  // namespace

RecognizedLine::RecognizedLine(int imageWidth, int imageHeight)
    : imageWidth_(imageWidth), imageHeight_(imageHeight) {}

void RecognizedLine::AddWord(const std::string& text, const PixelBox& box,
                             std::vector<Symbol> symbols) {
  // The engine now and then reports a "word" of blanks; it holds nothing to box.
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return;
  if (!text_.empty()) text_.push_back(' ');
  PlacedWord word{text_.size(), text_.size() + text.size(), box, {}};
  text_ += text;

  std::string joined;
  for (const Symbol& symbol : symbols) joined += symbol.text;
  if (joined == text) {
    size_t position = word.begin;
    for (Symbol& symbol : symbols) {
      if (symbol.text.empty()) continue;
      word.symbols.push_back({position, position + symbol.text.size(), symbol.box});
      position += symbol.text.size();
    }
  }
  words_.push_back(std::move(word));
}

std::optional<NormalizedRect> RecognizedLine::BoundingBox(size_t begin, size_t end) const {
  if (begin >= end || end > text_.size() || imageWidth_ <= 0 || imageHeight_ <= 0) {
    return std::nullopt;
  }
  std::optional<PixelBox> total;
  for (const PlacedWord& word : words_) {
    if (word.end <= begin || word.begin >= end) continue;
    if (begin <= word.begin && word.end <= end) {
      Unite(total, word.box);
      continue;
    }
    std::optional<PixelBox> part;
    for (const PlacedSymbol& symbol : word.symbols) {
      if (symbol.begin >= begin && symbol.end <= end) Unite(part, symbol.box);
    }
    if (part) Unite(total, Clamp(*part, word.box));
  }
  if (!total) return std::nullopt;
  const double w = imageWidth_;
  const double h = imageHeight_;
  NormalizedRect rect;
  rect.x = total->left / w;
  rect.width = (total->right - total->left) / w;
  rect.y = (h - total->bottom) / h;  // lower-left origin, y upwards
  rect.height = (total->bottom - total->top) / h;
  return rect;
}

}  // namespace ocr::engine
