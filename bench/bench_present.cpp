// Getting the composed screen into a real window: what one present of an 800x600 frame costs
// when the whole frame changed, when one label changed (200x24) and when one histogram chart
// changed (300x140). Needs a display (DISPLAY, e.g. Xvfb); without one it says so and measures
// nothing. The resident memory of the whole program with a window is printed by
// scripts/window_memory.sh (empty store and 50,000 results) and followed over time by
// scripts/soak.sh.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/ui/detail/backend.h"
#include "platform/ui/draw/dc.h"

namespace {

ui::detail::Backend* Window() {
  static std::unique_ptr<ui::detail::Backend> backend = [] {
    std::unique_ptr<ui::detail::Backend> b;
    if (std::getenv("DISPLAY") == nullptr) return b;
    b = ui::detail::MakeSdlBackend();
    ui::InitOptions options;
    ui::Size size(800, 600);
    if (!b->Open(options, size)) b.reset();
    return b;
  }();
  return backend.get();
}

// Presents frames in which `area` alternates between two colours, the rest unchanged.
void PresentChanging(benchmark::State& state, draw::Rect area) {
  ui::detail::Backend* window = Window();
  if (window == nullptr) {
    state.SkipWithError("no display: run under Xvfb (DISPLAY)");
    return;
  }
  draw::Bitmap frame = draw::Bitmap::Create(800, 600, draw::RGB(205, 213, 215));
  window->Present(frame, {draw::Rect(0, 0, 800, 600)});
  bool odd = false;
  for (auto _ : state) {
    {
      draw::DC dc(frame);
      dc.FillSolidRect(area, odd ? draw::RGB(0, 76, 120) : draw::RGB(190, 198, 201));
    }
    // The window layer names the rectangle it painted.
    window->Present(frame, {area});
    odd = !odd;
  }
  state.counters["pixels"] = area.Width() * area.Height();
}

void BM_PresentFullFrame(benchmark::State& state) { PresentChanging(state, draw::Rect(0, 0, 800, 600)); }
void BM_PresentOneLabel(benchmark::State& state) { PresentChanging(state, draw::Rect(140, 50, 340, 74)); }
void BM_PresentOneChart(benchmark::State& state) { PresentChanging(state, draw::Rect(440, 80, 740, 220)); }

}  // namespace

BENCHMARK(BM_PresentFullFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentOneLabel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentOneChart)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) std::printf("resident memory of this benchmark with its window: %s\n", line.c_str() + 6);
  benchmark::Shutdown();
  return 0;
}
