// The grid window, offscreen at 800 x 600:
//  - a results-browser grid of 23 rows by 600 columns, filled with text and repainted whole
//    (aim: well under 16 ms, one frame);
//  - a 50,000-row list scrolled page by page, each page painted (aim: under 16 ms a page).
#include <benchmark/benchmark.h>

#include <string>

#include "controls/grid/grid_ctrl.h"
#include "platform/sys/clock.h"
#include "platform/ui/app.h"

namespace {

struct Screen {
  Screen() {
    sys::Clock::UseManual();
    ui::InitOptions o;
    o.backend = ui::BackendKind::Offscreen;
    o.width = 800;
    o.height = 600;
    ui::Init(o);
    host.Create("BenchHost", "", ui::WS_POPUP | ui::WS_VISIBLE, draw::Rect(0, 0, 800, 600), nullptr);
  }
  ~Screen() {
    host.DestroyWindow();
    ui::Shutdown();
  }
  ui::Window host;
};

void BM_Repaint23x600(benchmark::State& state) {
  Screen screen;
  {
    CGridCtrl grid(23, 600, 1, 1);
    grid.Create(draw::Rect(0, 0, 800, 600), &screen.host, 1000, ui::WS_CHILD | ui::WS_VISIBLE);
    grid.EnableRedraw(false);
    for (int c = 0; c < 600; ++c) {
      std::string heading = "No.";
      heading += std::to_string(c);
      grid.SetItemText(0, c, heading);
      for (int r = 1; r < 23; ++r) grid.SetItemText(r, c, "12.34");
    }
    for (int r = 1; r < 23; r += 2)
      for (int c = 1; c < 600; ++c) grid.SetItemBkColour(r, c, draw::RGB(190, 198, 201));
    grid.EnableRedraw(true, true);
    grid.SetSelectedRange(3, 3, 6, 8);
    ui::PumpPending();
    for (auto _ : state) {
      grid.Invalidate(true);
      grid.UpdateWindow();
    }
  }
}
BENCHMARK(BM_Repaint23x600)->Unit(benchmark::kMillisecond);

void BM_Scroll50000RowsByPage(benchmark::State& state) {
  Screen screen;
  {
    CGridCtrl grid(50001, 8, 1, 1);
    grid.Create(draw::Rect(0, 0, 800, 600), &screen.host, 1000, ui::WS_CHILD | ui::WS_VISIBLE);
    grid.SetListMode(true);
    grid.EnableRedraw(false);
    for (int r = 0; r <= 50000; ++r)
      for (int c = 0; c < 8; ++c) grid.SetItemText(r, c, std::to_string(r * 8 + c));
    grid.EnableRedraw(true, true);
    ui::PumpPending();
    int pages = 0;
    for (auto _ : state) {
      if (grid.GetScrollPos(ui::SB_VERT) >= grid.GetVerticalScrollMax() - 600) {
        grid.SendMessage(ui::WM_VSCROLL, ui::SB_TOP);
      }
      grid.SendMessage(ui::WM_VSCROLL, ui::SB_PAGEDOWN);
      grid.UpdateWindow();
      ++pages;
    }
    state.counters["pages"] = pages;
  }
}
BENCHMARK(BM_Scroll50000RowsByPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
