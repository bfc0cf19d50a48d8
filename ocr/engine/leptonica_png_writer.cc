#include "engine/leptonica_png_writer.h"

#include <leptonica/allheaders.h>

#include "engine/pix_bitmap.h"
#include "engine/quiet_stderr.h"

namespace ocr::engine {

bool LeptonicaPngWriter::Write(const Bitmap& bitmap, const std::string& path) {
  const auto* pixBitmap = dynamic_cast<const PixBitmap*>(&bitmap);
  if (pixBitmap == nullptr) return false;
  const QuietStderr quiet;
  return pixWrite(path.c_str(), pixBitmap->pix(), IFF_PNG) == 0;
}

}  // namespace ocr::engine
