#include "desktop/x11/x11_capture.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstring>

namespace morel_xy {
namespace {

// One channel of a TrueColor pixel scaled to 8 bits.
uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const unsigned long value = (pixel & mask) >> shift;
  if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
  return static_cast<uint8_t>(value * 255 / ((1ul << bits) - 1));
}

CapturedImage ToRgba(XImage* image) {
  CapturedImage out;
  out.width = image->width;
  out.height = image->height;
  out.bytesPerRow = static_cast<size_t>(image->width) * 4;
  out.rgba.resize(out.bytesPerRow * static_cast<size_t>(image->height));
  const bool bgrx = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                    image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                    image->blue_mask == 0xFF;
  for (int y = 0; y < image->height; ++y) {
    uint8_t* to = out.rgba.data() + static_cast<size_t>(y) * out.bytesPerRow;
    if (bgrx) {
      // The usual 24-bit TrueColor layout: bytes B, G, R, unused.
      const uint8_t* from = reinterpret_cast<const uint8_t*>(image->data) +
                            static_cast<size_t>(y) * image->bytes_per_line;
      for (int x = 0; x < image->width; ++x) {
        to[4 * x + 0] = from[4 * x + 2];
        to[4 * x + 1] = from[4 * x + 1];
        to[4 * x + 2] = from[4 * x + 0];
        to[4 * x + 3] = 255;
      }
    } else {
      for (int x = 0; x < image->width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        to[4 * x + 0] = Channel(pixel, image->red_mask);
        to[4 * x + 1] = Channel(pixel, image->green_mask);
        to[4 * x + 2] = Channel(pixel, image->blue_mask);
        to[4 * x + 3] = 255;
      }
    }
  }
  return out;
}

bool HasShm(const X11Connection& x) {
  int major = 0, minor = 0;
  Bool pixmaps = False;
  return XShmQueryVersion(x.display(), &major, &minor, &pixmaps);
}

std::optional<CapturedImage> CaptureWithShm(const X11Connection& x, const RootRect& area) {
  Display* display = x.display();
  Visual* visual = DefaultVisual(display, x.screen());
  const unsigned depth = static_cast<unsigned>(DefaultDepth(display, x.screen()));
  XShmSegmentInfo segment{};
  XImage* image =
      XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &segment,
                      static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
  if (!image) return std::nullopt;
  const size_t bytes =
      static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
  segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (segment.shmid < 0) {
    XDestroyImage(image);
    return std::nullopt;
  }
  void* address = shmat(segment.shmid, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(segment.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return std::nullopt;
  }
  segment.shmaddr = image->data = static_cast<char*>(address);
  segment.readOnly = False;

  std::optional<CapturedImage> result;
  X11ErrorTrap attachTrap(x);
  XShmAttach(display, &segment);
  const bool attached = attachTrap.Finish();
  // Marked for removal now, so the segment goes away with the last detach even if we die.
  shmctl(segment.shmid, IPC_RMID, nullptr);
  if (attached) {
    X11ErrorTrap trap(x);
    const Bool got = XShmGetImage(display, x.root(), image, static_cast<int>(area.x),
                                  static_cast<int>(area.y), AllPlanes);
    const bool ok = got && trap.Finish();
    if (ok) result = ToRgba(image);
    XShmDetach(display, &segment);
    X11ErrorTrap detachTrap(x);
    detachTrap.Finish();
  }
  shmdt(address);
  image->data = nullptr;
  XDestroyImage(image);
  return result;
}

std::optional<CapturedImage> CaptureWithGetImage(const X11Connection& x, const RootRect& area) {
  X11ErrorTrap trap(x);
  XImage* image = XGetImage(x.display(), x.root(), static_cast<int>(area.x),
                            static_cast<int>(area.y), static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  const bool ok = trap.Finish();
  if (!image) return std::nullopt;
  std::optional<CapturedImage> result;
  if (ok) result = ToRgba(image);
  XDestroyImage(image);
  return result;
}

}  // namespace

std::optional<CapturedImage> CaptureRootArea(const X11Connection& x, const RootRect& area) {
  if (!x.alive() || area.width <= 0 || area.height <= 0) return std::nullopt;
  if (HasShm(x)) {
    if (auto image = CaptureWithShm(x, area)) return image;
    if (!x.alive()) return std::nullopt;
  }
  return CaptureWithGetImage(x, area);
}

}  // namespace morel_xy
