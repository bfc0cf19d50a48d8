// morel_xy_host: the browser's native-messaging host for desktop automation.
// Wires the desktop of the session (X11, a wlroots compositor, or one that refuses everything)
// to the host loop.

#include <malloc.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "choose_desktop.h"
#include "desktop/refusing_desktop.h"
#include "desktop/wlroots/open_wlroots_desktop.h"
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

  morel_xy::DesktopChoice choice =
      morel_xy::ChooseDesktop([](const char* name) { return std::getenv(name); },
                              {morel_xy::OpenX11Desktop, morel_xy::OpenWlrootsDesktop});
  // Standard output is the browser's channel; the browser logs what the host says on stderr.
  if (!choice.complaint.empty())
    std::fprintf(stderr, "morel_xy_host: %s\n", choice.complaint.c_str());
  std::unique_ptr<morel_xy::Desktop> desktop = std::move(choice.desktop);
  if (!desktop) desktop = std::make_unique<morel_xy::RefusingDesktop>();
  return morel_xy::RunMorelXYHost(*desktop);
}
