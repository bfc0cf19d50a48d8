#include "desktop/x11/x11_capture.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstring>
#include <vector>

namespace morel_xy::x11 {
namespace {

// One channel of a TrueColor pixel: where its mask sits, worked out once per image rather
// than per pixel.
class Channel {
 public:
  explicit Channel(unsigned long mask)
      : m_mask(mask),
        m_shift(mask ? std::countr_zero(mask) : 0),
        m_bits(std::popcount(mask)),
        m_max(m_bits > 0 && m_bits < 8 ? (1ul << m_bits) - 1 : 0) {}

  // The channel of `pixel` scaled to 8 bits.
  uint8_t operator()(unsigned long pixel) const {
    if (m_mask == 0) return 0;
    const unsigned long value = (pixel & m_mask) >> m_shift;
    if (m_bits >= 8) return static_cast<uint8_t>(value >> (m_bits - 8));
    return static_cast<uint8_t>(value * 255 / m_max);
  }

 private:
  unsigned long m_mask;
  int m_shift;
  int m_bits;
  unsigned long m_max;
};

// The image's pixels as B, G, R, unused: copied row by row in the usual 24-bit TrueColor layout,
// which is that already, and converted pixel by pixel otherwise.
CapturedImage ToBgrx(XImage* image) {
  CapturedImage out;
  out.width = image->width;
  out.height = image->height;
  out.bytesPerRow = static_cast<size_t>(image->width) * 4;
  out.bgrx.resize(out.bytesPerRow * static_cast<size_t>(image->height));
  const bool bgrx = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                    image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                    image->blue_mask == 0xFF;
  const Channel red(image->red_mask), green(image->green_mask), blue(image->blue_mask);
  for (int y = 0; y < image->height; ++y) {
    uint8_t* to = out.bgrx.data() + static_cast<size_t>(y) * out.bytesPerRow;
    if (bgrx) {
      std::memcpy(to,
                  reinterpret_cast<const uint8_t*>(image->data) +
                      static_cast<size_t>(y) * image->bytes_per_line,
                  out.bytesPerRow);
    } else {
      for (int x = 0; x < image->width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        to[4 * x + 0] = blue(pixel);
        to[4 * x + 1] = green(pixel);
        to[4 * x + 2] = red(pixel);
      }
    }
  }
  return out;
}

std::optional<CapturedImage> CaptureWithGetImage(const X11Connection& x, Drawable drawable,
                                                 const RootRect& area) {
  X11ErrorTrap trap(x);
  XImage* image = XGetImage(x.display(), drawable, static_cast<int>(area.x),
                            static_cast<int>(area.y), static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  const bool ok = trap.Finish();
  if (!image) return std::nullopt;
  std::optional<CapturedImage> result;
  if (ok) result = ToBgrx(image);
  XDestroyImage(image);
  return result;
}

}  // namespace

X11Capture::X11Capture(const X11Connection& connection) : m_x(connection) {}

X11Capture::~X11Capture() {
  ReleaseSegment();
}

void X11Capture::ReleaseSegment() {
  if (m_attached && m_x.alive()) {
    XShmSegmentInfo segment{};
    segment.shmseg = m_shmseg;
    segment.shmid = m_shmid;
    segment.shmaddr = static_cast<char*>(m_address);
    X11ErrorTrap trap(m_x);
    XShmDetach(m_x.display(), &segment);
    trap.Finish();
  }
  if (m_address) shmdt(m_address);
  m_attached = false;
  m_address = nullptr;
  m_shmid = -1;
  m_bytes = 0;
}

bool X11Capture::EnsureSegment(size_t bytes) {
  if (m_attached && m_bytes >= bytes) return true;
  ReleaseSegment();
  const int shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shmid < 0) return false;
  void* address = shmat(shmid, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(shmid, IPC_RMID, nullptr);
    return false;
  }
  XShmSegmentInfo segment{};
  segment.shmid = shmid;
  segment.shmaddr = static_cast<char*>(address);
  segment.readOnly = False;
  X11ErrorTrap trap(m_x);
  XShmAttach(m_x.display(), &segment);
  const bool attached = trap.Finish();
  // Marked for removal at once: the segment goes away with its last user, even if we die.
  shmctl(shmid, IPC_RMID, nullptr);
  if (!attached) {
    shmdt(address);
    return false;
  }
  m_shmid = shmid;
  m_address = address;
  m_bytes = bytes;
  m_attached = true;
  m_shmseg = segment.shmseg;
  return true;
}

std::optional<CapturedImage> X11Capture::CaptureWithShm(Drawable drawable, Visual* visual,
                                                        int depth, const RootRect& area) {
  Display* display = m_x.display();
  XShmSegmentInfo segment{};
  XImage* image =
      XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &segment,
                      static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
  if (!image) return std::nullopt;
  const size_t bytes =
      static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
  std::optional<CapturedImage> result;
  if (EnsureSegment(bytes)) {
    segment.shmseg = m_shmseg;
    segment.shmid = m_shmid;
    segment.shmaddr = image->data = static_cast<char*>(m_address);
    segment.readOnly = False;
    X11ErrorTrap trap(m_x);
    const Bool got = XShmGetImage(display, drawable, image, static_cast<int>(area.x),
                                  static_cast<int>(area.y), AllPlanes);
    if (got && trap.Finish()) {
      result = ToBgrx(image);
    } else {
      ReleaseSegment();  // start afresh next time
    }
  }
  image->data = nullptr;
  XDestroyImage(image);
  return result;
}

bool X11Capture::HasShm() {
  // Asked once: the answer is a round trip and does not change for a connection.
  if (!m_hasShm) {
    int major = 0, minor = 0;
    Bool pixmaps = False;
    m_hasShm = XShmQueryVersion(m_x.display(), &major, &minor, &pixmaps) != False;
  }
  return *m_hasShm;
}

std::optional<CapturedImage> X11Capture::CaptureDrawableArea(Drawable drawable, Visual* visual,
                                                             int depth, const RootRect& area) {
  if (!m_x.alive() || area.width <= 0 || area.height <= 0) return std::nullopt;
  if (HasShm()) {
    if (auto image = CaptureWithShm(drawable, visual, depth, area)) return image;
    if (!m_x.alive()) return std::nullopt;
  }
  return CaptureWithGetImage(m_x, drawable, area);
}

std::optional<CapturedImage> X11Capture::CaptureRootArea(const RootRect& area) {
  Display* display = m_x.display();
  return CaptureDrawableArea(m_x.root(), DefaultVisual(display, m_x.screen()),
                             DefaultDepth(display, m_x.screen()), area);
}

std::optional<CapturedImage> X11Capture::CaptureRootAreaFromWindows(const RootRect& area) {
  if (!m_x.alive() || area.width <= 0 || area.height <= 0) return std::nullopt;
  Display* display = m_x.display();
  Window rootReturn = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  {
    X11ErrorTrap trap(m_x);
    const Status listed = XQueryTree(display, m_x.root(), &rootReturn, &parent, &children, &count);
    if (!trap.Finish() || !listed) return std::nullopt;
  }
  // The viewable windows over the area, bottom to top as XQueryTree lists them; a window
  // that went away meanwhile is simply not there.
  struct Layer {
    Window window;
    XWindowAttributes attributes;
    RootRect part;    // of the area, in root coordinates
    RootRect inside;  // the window's inside, in root coordinates
  };
  std::vector<Layer> layers;
  for (unsigned i = 0; i < count; ++i) {
    Layer layer{children[i], {}, {}, {}};
    X11ErrorTrap trap(m_x);
    const Status got = XGetWindowAttributes(display, children[i], &layer.attributes);
    if (!trap.Finish() || !got || layer.attributes.map_state != IsViewable ||
        layer.attributes.c_class != InputOutput) {
      continue;
    }
    const XWindowAttributes& a = layer.attributes;
    layer.inside = RootRect{a.x + a.border_width, a.y + a.border_width, a.width, a.height};
    layer.part = Intersect(area, layer.inside);
    if (layer.part.width > 0 && layer.part.height > 0) layers.push_back(layer);
  }
  if (children) XFree(children);
  const auto read = [this](const Layer& layer) {
    return CaptureDrawableArea(
        layer.window, layer.attributes.visual, layer.attributes.depth,
        RootRect{layer.part.x - layer.inside.x, layer.part.y - layer.inside.y, layer.part.width,
                 layer.part.height});
  };
  // Most often one window (the browser's) covers the whole area: its pixels are the answer.
  if (!layers.empty() && layers.back().part == area) return read(layers.back());

  CapturedImage out;
  out.width = static_cast<int32_t>(area.width);
  out.height = static_cast<int32_t>(area.height);
  out.bytesPerRow = static_cast<size_t>(area.width) * 4;
  out.bgrx.assign(out.bytesPerRow * static_cast<size_t>(area.height), 0);
  for (const Layer& layer : layers) {
    const std::optional<CapturedImage> image = read(layer);
    if (!image) {
      if (!m_x.alive()) return std::nullopt;
      continue;
    }
    const RootRect& part = layer.part;
    for (int64_t row = 0; row < part.height; ++row) {
      std::memcpy(out.bgrx.data() + static_cast<size_t>(part.y - area.y + row) * out.bytesPerRow +
                      static_cast<size_t>(part.x - area.x) * 4,
                  image->bgrx.data() + static_cast<size_t>(row) * image->bytesPerRow,
                  static_cast<size_t>(part.width) * 4);
    }
  }
  return out;
}

}  // namespace morel_xy::x11
