// Capturing a 1920 x 1080 browser window from a private Xvfb, as "find_rectangle" does.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "desktop/x11/x11_desktop.h"
#include "impl/displays.h"
#include "impl/windows.h"
#include "morel_xy_host.h"
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
  std::unique_ptr<morel_xy::Desktop> desktop = morel_xy::OpenX11Desktop();
  if (!window.ok() || !desktop) {
    state.SkipWithError("no window or desktop");
    return;
  }
  const morel_xy::DisplayInfo display = *morel_xy::MorelXYHost(*desktop).FindPrimaryDisplay();
  const uint32_t displayNumber = desktop->ListDisplays().at(0).number;
  const int part = static_cast<int>(state.range(0));
  for (auto _ : state) {
    if (part == 0) {
      // Everything "find_rectangle" does before searching.
      morel_xy::Bitmap bitmap;
      if (!morel_xy::impl::CaptureActiveWindow(*desktop, display, bitmap) || bitmap.width != 1920 ||
          bitmap.height != 1080) {
        state.SkipWithError("capture failed");
        break;
      }
      benchmark::DoNotOptimize(bitmap.pixels.data());
    } else if (part == 1) {
      // The pixels alone.
      auto image =
          desktop->CaptureDisplayArea(displayNumber, morel_xy::PixelRect{0, 0, 1920, 1080});
      benchmark::DoNotOptimize(image);
    } else {
      // The window lookup alone.
      morel_xy::impl::detail::WindowInfo info;
      benchmark::DoNotOptimize(morel_xy::impl::detail::GetActiveBrowserWindow(*desktop, info));
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
