#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/interfaces/pixel_box.h"
#include "engine/interfaces/recognizer.h"

namespace ocr::engine {

// One text line as an engine that finds words and characters reports it: the words in
// reading order, each with its box and its characters' boxes. The line text is the words
// joined by single spaces; boxes of byte ranges of it are answered from the word and
// character boxes.
class RecognizedLine final : public RecognizedText {
 public:
  struct Symbol {
    std::string text;
    PixelBox box;
  };

  RecognizedLine(int imageWidth, int imageHeight);

  // Appends a word (ignored when text is empty or blank). Symbols whose texts do not add up to the
  // word's text are ignored: only whole-word ranges of that word then have a box.
  void AddWord(const std::string& text, const PixelBox& box, std::vector<Symbol> symbols);
  bool Empty() const { return words_.empty(); }

  const std::string& String() const override { return text_; }

  // A range covering a whole word takes that word's box (the engine's word boxes are
  // reliable); a range cutting into a word takes the union of the boxes of the characters
  // wholly inside it, clamped to the word's box. The union over the words touched, or
  // nothing when no character lies in the range.
  std::optional<NormalizedRect> BoundingBox(size_t begin, size_t end) const override;

 private:
  struct PlacedSymbol {
    size_t begin;
    size_t end;
    PixelBox box;
  };
  struct PlacedWord {
    size_t begin;
    size_t end;
    PixelBox box;
    std::vector<PlacedSymbol> symbols;
  };

  int imageWidth_;
  int imageHeight_;
  std::string text_;
  std::vector<PlacedWord> words_;
};

}  // namespace ocr::engine
