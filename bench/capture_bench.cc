// Capturing a 1920 x 1080 browser window from a private Xvfb, as "find_rectangle" does.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "actions/displays.h"
#include "actions/windows.h"
#include "desktop/x11/x11_desktop.h"
#include "test_window.h"
#include "xvfb_server.h"

namespace {

void BM_CaptureActiveWindow1920x1080(benchmark::State& state) {
  morel_test::XvfbServer server({.width = 1920, .height = 1080});
  if (!server.ok()) {
    state.SkipWithError(server.error().c_str());
    return;
  }
  setenv("DISPLAY", server.display().c_str(), 1);
  morel_test::TestWindow::Options options;
  options.klass = "Chromium";
  options.netTitle = "Benchmark";
  options.width = 1920;
  options.height = 1080;
  options.background = 0x336699;
  morel_test::TestWindow window(server.display(), options);
  std::unique_ptr<morel_xy::Desktop> desktop = morel_xy::OpenDesktop(morel_xy::x11::X11_BACKEND);
  if (!window.ok() || !desktop) {
    state.SkipWithError("no window or desktop");
    return;
  }
  const morel_xy::DesktopDisplay display = desktop->ListDisplays().at(0);
  const uint32_t displayNumber = display.number;
  const morel_xy::ProcessTable& processes = morel_xy::ProcessTable::System();
  const int part = static_cast<int>(state.range(0));
  for (auto _ : state) {
    if (part == 0) {
      // Everything "find_rectangle" does before searching.
      const std::optional<morel_xy::WindowCapture> capture =
          morel_xy::CaptureActiveWindow(*desktop, processes, display);
      if (!capture || capture->bitmap.width != 1920 || capture->bitmap.height != 1080) {
        state.SkipWithError("capture failed");
        break;
      }
      benchmark::DoNotOptimize(capture->bitmap.pixels.data());
    } else if (part == 1) {
      // The pixels alone.
      auto image =
          desktop->CaptureDisplayArea(displayNumber, morel_xy::PixelRect{0, 0, 1920, 1080});
      benchmark::DoNotOptimize(image);
    } else {
      // The window lookup alone.
      benchmark::DoNotOptimize(morel_xy::detail::GetActiveBrowserWindow(*desktop, processes));
    }
  }
}

// 0: the whole capture; 1: the display pixels only; 2: the window lookup only.
BENCHMARK(BM_CaptureActiveWindow1920x1080)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
