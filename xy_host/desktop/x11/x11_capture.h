#pragma once

#include <optional>

#include "desktop/desktop.h"
#include "desktop/x11/screen_geometry.h"
#include "desktop/x11/x11_connection.h"

namespace morel_xy::x11 {

// Reads pixels of the root window. One shared-memory segment is kept from capture to capture
// and grown when a larger area is asked for: it only carries pixels from the server to us,
// each capture overwrites what it reads, and a fresh segment for every capture would make the
// server fault in every page of it each time (most of a capture's cost).
class X11Capture {
 public:
  explicit X11Capture(const X11Connection& connection);
  ~X11Capture();
  X11Capture(const X11Capture&) = delete;
  X11Capture& operator=(const X11Capture&) = delete;

  // The root window's pixels in `area` (which must lie inside the root) as B, G, R, unused bytes,
  // read through shared memory, or with a plain image request where shared memory is not available
  // (a remote server, no MIT-SHM). nullopt when the area is empty or the server refuses both.
  std::optional<CapturedImage> CaptureRootArea(const RootRect& area);

  // The same for the root-relative `area` of a server whose root holds no pixels (Xwayland
  // draws no root: each window is a surface of the compositor's): read from the top-level
  // windows that cover it, the topmost on top; what no window covers is black. nullopt when
  // the area is empty or a read fails.
  std::optional<CapturedImage> CaptureRootAreaFromWindows(const RootRect& area);

 private:
  // Whether the server offers MIT-SHM.
  bool HasShm();
  bool EnsureSegment(size_t bytes);
  void ReleaseSegment();
  // `area` in `drawable`'s own coordinates, inside it; `visual` and `depth` are its own.
  std::optional<CapturedImage> CaptureDrawableArea(Drawable drawable, Visual* visual, int depth,
                                                   const RootRect& area);
  std::optional<CapturedImage> CaptureWithShm(Drawable drawable, Visual* visual, int depth,
                                              const RootRect& area);

  const X11Connection& m_x;
  int m_shmid = -1;
  void* m_address = nullptr;
  size_t m_bytes = 0;
  bool m_attached = false;
  unsigned long m_shmseg = 0;    // the server's id of the attached segment
  std::optional<bool> m_hasShm;  // unknown until the first capture
};

}  // namespace morel_xy::x11
