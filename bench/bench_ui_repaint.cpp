// A full repaint of an 800 x 600 screen holding 100 controls, offscreen: every control is
// erased and painted, and the screen composed. Aim: below 5 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window_class.h"

namespace {

ui::DialogTemplate BusyScreen() {
  ui::DialogTemplate t;
  t.cx = 400;
  t.cy = 300;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE;
  t.fontFace = "Arial";
  t.fontPoints = 9;
  const uint32_t v = ui::WS_VISIBLE;
  int id = 100;
  // Ten rows of ten controls of mixed kinds, like a results screen.
  for (int row = 0; row < 10; ++row) {
    for (int col = 0; col < 10; ++col) {
      const int x = 4 + col * 39, y = 4 + row * 29;
      switch ((row + col) % 6) {
        case 0: t.Add(ui::kClassStatic, id, "WBC 7.45", x, y, 36, 10, v | ui::SS_LEFT); break;
        case 1: t.Add(ui::kClassButton, id, "Print", x, y, 36, 14, v | ui::BS_PUSHBUTTON); break;
        case 2: t.Add(ui::kClassEdit, id, "123.4", x, y, 36, 12, v | ui::WS_BORDER); break;
        case 3: t.Add(ui::kClassButton, id, "Auto", x, y, 36, 10, v | ui::BS_AUTOCHECKBOX); break;
        case 4: t.Add(ui::kClassStatic, id, "Пробa 样本", x, y, 36, 10, v | ui::SS_CENTER); break;
        default: t.Add(ui::kClassProgress, id, "", x, y, 36, 8, v); break;
      }
      ++id;
    }
  }
  return t;
}

void BM_FullRepaint100Controls(benchmark::State& state) {
  sys::Clock::UseManual();
  ui::InitOptions o;
  o.backend = ui::BackendKind::Offscreen;
  o.width = 800;
  o.height = 600;
  ui::Init(o);
  {
    ui::Dialog dlg(BusyScreen());
    dlg.CreateModeless();
    ui::PumpPending();
    for (auto _ : state) {
      dlg.Invalidate(true);
      dlg.UpdateWindow();
    }
    state.counters["controls"] = static_cast<double>(dlg.Children().size());
  }
  ui::Shutdown();
}
BENCHMARK(BM_FullRepaint100Controls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
