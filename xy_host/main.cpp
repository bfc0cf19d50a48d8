// morel_xy_host: the browser's native-messaging host for desktop automation.
// Wires the desktop of the session (the first back-end of the table that serves it, or one
// that refuses everything) to the host loop; `--check` reports on that desktop instead.

#include <malloc.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#include "desktop/backend_table.h"
#include "desktop/refusing_desktop.h"
#include "desktop/termination_guard.h"
#include "host/choose_desktop.h"
#include "host/run_morel_xy_host.h"
#include "host/self_check.h"

int main(int argc, char** argv) {
  // A browser that closed its end of the channel must not kill the host mid-write.
  std::signal(SIGPIPE, SIG_IGN);
  // Before any thread starts (a desktop may start one): every thread inherits the blocked
  // termination signals, which only the watching thread then takes.
  morel_xy::WatchTerminationSignals();
  // The host lives as long as the browser session. A fixed threshold keeps every large buffer
  // (a big request, a capture) in a mapping of its own that goes back to the system when freed;
  // by default glibc raises the threshold after the first such buffer, and later ones stay on
  // the heap for the rest of the session.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);

  const morel_xy::ProcessTable& processes = morel_xy::ProcessTable::System();
  const std::span<const morel_xy::Backend> backends = morel_xy::BuiltInBackends();
  morel_xy::DesktopChoice choice =
      morel_xy::ChooseDesktop(morel_xy::ProcessEnvironment(), backends, processes);
  // Browsers pass other arguments (an extension's origin; a manifest's path and an add-on id),
  // never this one alone.
  if (argc == 2 && std::strcmp(argv[1], "--check") == 0) {
    return morel_xy::RunSelfCheck(choice, backends, processes, stdout);
  }
  // Standard output is the browser's channel; the browser logs what the host says on stderr.
  if (!choice.complaint.empty()) {
    std::fprintf(stderr, "morel_xy_host: %s\n", choice.complaint.c_str());
  }
  std::unique_ptr<morel_xy::Desktop> desktop = std::move(choice.opened.desktop);
  if (!desktop) desktop = std::make_unique<morel_xy::RefusingDesktop>();
  return morel_xy::RunMorelXYHost(*desktop);
}
