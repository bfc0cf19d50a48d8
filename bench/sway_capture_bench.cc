// Capturing a 1600x1000 area of an output under sway, as find_rectangle does: through
// screencopy with the wlroots desktop, or through Xwayland with the X11 desktop (the window
// that covers the area is read, as Xwayland's root holds no pixels). Run under a headless sway:
//   tests/wayland/run_sway_tests.py --scenario scale1 -- build/bench/sway_capture_bench wlroots
//   tests/wayland/run_sway_tests.py --scenario xwayland -- build/bench/sway_capture_bench x11
// Prints the median and fastest wall and CPU time of one capture over the runs.
#include <X11/Xlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "desktop/wlroots/open_wlroots_desktop.h"
#include "desktop/x11/x11_desktop.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string backend = argc > 1 ? argv[1] : "wlroots";
  const int runs = argc > 2 ? std::atoi(argv[2]) : 50;
  std::unique_ptr<morel_xy::Desktop> desktop;
  Display* x = nullptr;
  if (backend == "x11") {
    // A window to read: mapped, sway tiles it over the whole output.
    x = XOpenDisplay(nullptr);
    if (!x) {
      std::fprintf(stderr, "no X display\n");
      return 1;
    }
    const Window window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1600, 1000, 0, 0,
                                              WhitePixel(x, DefaultScreen(x)));
    XMapWindow(x, window);
    XSync(x, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    desktop = morel_xy::OpenDesktop(morel_xy::x11::X11_BACKEND);
  } else {
    std::string why;
    desktop = morel_xy::OpenDesktop(morel_xy::wlroots::WLROOTS_BACKEND, &why);
    if (!desktop) std::fprintf(stderr, "%s\n", why.c_str());
  }
  if (!desktop) return 1;
  const std::vector<morel_xy::DesktopDisplay> displays = desktop->ListDisplays();
  const auto main = std::find_if(displays.begin(), displays.end(),
                                 [](const morel_xy::DesktopDisplay& d) { return d.main; });
  if (main == displays.end()) return 1;
  const morel_xy::PixelRect area{0, 0, 1600, 1000};
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs + 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    const std::optional<morel_xy::CapturedImage> image =
        desktop->CaptureDisplayArea(main->number, area);
    const double cpuUsed = CpuSeconds() - cpuStart;
    const double wallUsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!image || image->width != 1600 || image->height != 1000) {
      std::fprintf(stderr, "capture failed\n");
      return 1;
    }
    if (i < 3) continue;  // warm-up: memory mapped and faulted in
    wall.push_back(wallUsed);
    cpu.push_back(cpuUsed);
  }
  std::printf(
      "%s capture 1600x1000: wall median %.2f ms, fastest %.2f ms; cpu median %.2f ms "
      "(%d runs)\n",
      backend.c_str(), Median(wall) * 1e3, *std::min_element(wall.begin(), wall.end()) * 1e3,
      Median(cpu) * 1e3, runs);
  desktop.reset();
  if (x) XCloseDisplay(x);
  return 0;
}
