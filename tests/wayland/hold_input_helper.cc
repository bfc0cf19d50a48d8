// Opens the wlroots desktop, moves the pointer to the point given, holds the left button and
// Shift down, says "held" on stdout and waits to be ended: the test then sends a termination
// signal and watches the release arrive.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "desktop/termination_guard.h"
#include "desktop/wlroots/open_wlroots_desktop.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  // As the host does: the signals are watched before any thread starts.
  morel_xy::WatchTerminationSignals();
  std::string why;
  std::unique_ptr<morel_xy::Desktop> desktop =
      morel_xy::OpenDesktop(morel_xy::wlroots::WLROOTS_BACKEND, &why);
  if (!desktop) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 3;
  }
  const morel_xy::Point at{std::atof(argv[1]), std::atof(argv[2])};
  if (!desktop->PressButton(morel_xy::PointerButton::Left, true, at) ||
      !desktop->PressKey(morel_xy::keysym::kShiftL, true)) {
    return 4;
  }
  std::puts("held");
  std::fflush(stdout);
  for (;;) pause();
}
