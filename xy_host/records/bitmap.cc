#include "records/bitmap.h"

#include <cstdio>
#include <memory>

namespace morel_xy {

namespace {

void PutLe16(unsigned char* at, uint16_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
}

void PutLe32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

void Bitmap::Save(const std::string& path) const {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return;

  // The size field is 32 bits: the row size rounds up to whole 32-bit words (division toward
  // zero), computed wide and then wrapped, so no size can overflow into undefined behaviour.
  const int64_t rowBytes = ((static_cast<int64_t>(width) * 32 + 31) / 32) * 4;
  const uint32_t fileSize =
      static_cast<uint32_t>(static_cast<uint64_t>(height) * static_cast<uint64_t>(rowBytes) + 54u);
  const uint32_t w = static_cast<uint32_t>(width);
  const uint32_t h = static_cast<uint32_t>(height);

  unsigned char header[54] = {};
  header[0] = 'B';
  header[1] = 'M';
  PutLe32(header + 2, fileSize);
  PutLe32(header + 10, 54);
  PutLe32(header + 14, 40);
  PutLe32(header + 18, w);
  PutLe32(header + 22, h);
  PutLe16(header + 26, 1);
  PutLe16(header + 28, 32);
  std::fwrite(header, 1, sizeof header, file.get());

  // A bitmap whose pixels do not fill it gets the header only, never a read past its storage.
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(w) * h) return;
  std::vector<unsigned char> row(static_cast<size_t>(w) * 4);
  for (int32_t y = height - 1; y >= 0; --y) {
    const Color* from = pixels.data() + static_cast<size_t>(y) * w;
    for (uint32_t x = 0; x < w; ++x) {
      row[4 * x + 0] = from[x].b;
      row[4 * x + 1] = from[x].g;
      row[4 * x + 2] = from[x].r;
      row[4 * x + 3] = 0;
    }
    std::fwrite(row.data(), 1, row.size(), file.get());
  }
}

}  // namespace morel_xy
