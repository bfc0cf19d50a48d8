#pragma once

namespace ocr::engine {

// A decoded or rendered page image. Its pixels belong to the engine that made it; the logic
// only needs the size. Implementations are immutable once made.
class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

}  // namespace ocr::engine
