#include "engine/leptonica/leptonica_image_decoder.h"

#include <leptonica/allheaders.h>

#include <memory>

#include "engine/leptonica/pix_bitmap.h"
#include "engine/leptonica/quiet_stderr.h"

namespace ocr::engine {
namespace {

// Brings any decoded depth to one the recogniser and the PNG writer both take: 1, 8 or 32
// bits, no colour map, and transparency flattened onto white (a transparent screenshot's
// background is often black with alpha 0).
PixPtr Normalize(PixPtr pix) {
  if (pixGetColormap(pix.get()) != nullptr) {
    pix.reset(pixRemoveColormap(pix.get(), REMOVE_CMAP_BASED_ON_SRC));
    if (!pix) return nullptr;
  }
  const int depth = pixGetDepth(pix.get());
  if (depth == 16) {
    pix.reset(pixConvert16To8(pix.get(), L_MS_BYTE));
  } else if (depth == 2 || depth == 4 || depth == 24) {
    pix.reset(pixConvertTo8(pix.get(), 0));
  }
  if (!pix) return nullptr;
  if (pixGetDepth(pix.get()) == 32 && pixGetSpp(pix.get()) == 4) {
    pix.reset(pixAlphaBlendUniform(pix.get(), 0xffffff00));
    if (!pix) return nullptr;
    pixSetSpp(pix.get(), 3);
  }
  const int finalDepth = pixGetDepth(pix.get());
  if (finalDepth != 1 && finalDepth != 8 && finalDepth != 32) return nullptr;
  return pix;
}

}  // namespace

void SilenceLeptonica() {
  setMsgSeverity(L_SEVERITY_NONE);
}

LeptonicaImageDecoder::LeptonicaImageDecoder() {
  SilenceLeptonica();
}

DecodeOutcome LeptonicaImageDecoder::Decode(const std::string& path) {
  DecodeOutcome outcome;
  const QuietStderr quiet;
  // The header alone first: a file announcing 60000 x 60000 pixels must be refused
  // before the decoder allocates anything for it.
  l_int32 format = 0, width = 0, height = 0, bps = 0, spp = 0, colormap = 0;
  if (pixReadHeader(path.c_str(), &format, &width, &height, &bps, &spp, &colormap) != 0) {
    return outcome;
  }
  if (width <= 0 || height <= 0 ||
      static_cast<int64_t>(width) * static_cast<int64_t>(height) > kMaxPixels) {
    return outcome;
  }
  PixPtr pix(pixRead(path.c_str()));
  if (!pix) return outcome;
  // The decoder trusts the header; check the image it produced as well.
  if (static_cast<int64_t>(pixGetWidth(pix.get())) * pixGetHeight(pix.get()) > kMaxPixels) {
    return outcome;
  }
  PixPtr normalized = Normalize(std::move(pix));
  if (!normalized) {
    outcome.status = DecodeStatus::notDrawable;
    return outcome;
  }
  outcome.status = DecodeStatus::ok;
  outcome.bitmap = std::make_unique<PixBitmap>(normalized.release());
  return outcome;
}

}  // namespace ocr::engine
