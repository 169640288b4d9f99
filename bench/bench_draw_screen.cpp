// Painting costs of the device context: a screen's worth of labels, skins and lines.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/ui/draw/dc.h"

using namespace draw;

static void BM_DrawTextLabel(benchmark::State& state) {
  Bitmap b = Bitmap::Create(800, 600, kWhite);
  DC dc(b);
  dc.SelectFont(Font("Arial", -16));
  dc.SetBkMode(BkMode::Transparent);
  for (auto _ : state) dc.DrawText("Sample No. 12345", Rect(10, 10, 210, 40), kDtCenter | kDtVCenter | kDtSingleLine);
}
BENCHMARK(BM_DrawTextLabel);

static void BM_DrawTextChinese(benchmark::State& state) {
  Bitmap b = Bitmap::Create(800, 600, kWhite);
  DC dc(b);
  dc.SelectFont(Font("宋体", -16));
  dc.SetBkMode(BkMode::Transparent);
  for (auto _ : state) dc.DrawText("正在打印，请稍候......", Rect(10, 10, 310, 40), kDtLeft | kDtVCenter | kDtSingleLine);
}
BENCHMARK(BM_DrawTextChinese);

// A full 800x600 screen: background, 40 labels in a grid, 12 skin buttons with magenta
// corners, and the grid lines.
static void BM_PaintScreen(benchmark::State& state) {
  Bitmap screen = Bitmap::Create(800, 600, kWhite);
  Bitmap skin = Bitmap::Create(120, 40, RGB(40, 90, 160));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) skin.SetPixel(x, y, kMagenta);
  DC dc(screen);
  dc.SelectFont(Font("Arial", -14));
  dc.SetBkMode(BkMode::Transparent);
  for (auto _ : state) {
    dc.FillRect(Rect(0, 0, 800, 600), Brush::Solid(RGB(230, 236, 240)));
    for (int i = 0; i < 12; ++i) dc.TransparentBlt(10 + (i % 6) * 130, 540 - (i / 6) * 50, 120, 40, skin, 0, 0, 120, 40);
    for (int i = 0; i < 40; ++i) {
      Rect cell = Rect::FromSize(10 + (i % 4) * 190, 10 + (i / 4) * 40, 180, 36);
      dc.FrameRect(cell, Brush::Solid(kBlack));
      dc.DrawText("WBC " + std::to_string(i), cell, kDtCenter | kDtVCenter | kDtSingleLine);
    }
  }
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
