// morel_xy_host: the browser's native-messaging host for desktop automation.
// Wires the desktop of the session (X11, or one that refuses everything) to the host loop.

#include <malloc.h>

#include <csignal>
#include <memory>

#include "desktop/refusing_desktop.h"
#include "desktop/x11/x11_desktop.h"
#include "run_morel_xy_host.h"

int main() {
  // A browser that closed its end of the channel must not kill the host mid-write.
  std::signal(SIGPIPE, SIG_IGN);
  // The host lives as long as the browser session. A fixed threshold keeps every large buffer
  // (a big request, a capture) in a mapping of its own that goes back to the system when freed;
  // by default glibc raises the threshold after the first such buffer, and later ones stay on
  // the heap for the rest of the session.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);

  std::unique_ptr<morel_xy::Desktop> desktop = morel_xy::OpenX11Desktop();
  if (!desktop) desktop = std::make_unique<morel_xy::RefusingDesktop>();
  return morel_xy::RunMorelXYHost(*desktop);
}
