// Painting costs of the device context: labels, a screen's worth of labels, skins and lines.
// The labels draw new texts each time (result values change with every count), in the format a
// static label uses (word breaks, expanded tabs), so shaping is measured and not only the cache.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/ui/draw/dc.h"

using namespace draw;

static void BM_DrawTextLabel(benchmark::State& state) {
  Bitmap b = Bitmap::Create(800, 600, kWhite);
  DC dc(b);
  dc.SelectFont(Font("Arial", -16));
  dc.SetBkMode(BkMode::Transparent);
  int n = 0;
  for (auto _ : state) dc.DrawText("Sample No. " + std::to_string(n++), Rect(10, 10, 210, 40), kDtCenter | kDtVCenter | kDtSingleLine);
}
BENCHMARK(BM_DrawTextLabel);

// A value label as the test screen shows it: a new number each time, word-break format.
static void BM_DrawValueLabelWordBreak(benchmark::State& state) {
  Bitmap b = Bitmap::Create(800, 600, kWhite);
  DC dc(b);
  dc.SelectFont(Font("Arial", -16));
  dc.SetBkMode(BkMode::Transparent);
  int n = 0;
  char text[32];
  for (auto _ : state) {
    std::snprintf(text, sizeof text, "%.2f", 0.01 * (n++ % 100000));
    Rect r(10, 10, 90, 34);
    dc.DrawText(text, &r, kDtRight | kDtWordBreak | kDtExpandTabs);
  }
}
BENCHMARK(BM_DrawValueLabelWordBreak);

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
  int round = 0;
  for (auto _ : state) {
    ++round;
    dc.FillRect(Rect(0, 0, 800, 600), Brush::Solid(RGB(230, 236, 240)));
    for (int i = 0; i < 12; ++i) dc.TransparentBlt(10 + (i % 6) * 130, 540 - (i / 6) * 50, 120, 40, skin, 0, 0, 120, 40);
    for (int i = 0; i < 40; ++i) {
      Rect cell = Rect::FromSize(10 + (i % 4) * 190, 10 + (i / 4) * 40, 180, 36);
      dc.FrameRect(cell, Brush::Solid(kBlack));
      Rect r = cell;
      dc.DrawText("WBC " + std::to_string(i + 40 * (round % 1000)), &r, kDtCenter | kDtWordBreak | kDtExpandTabs);
    }
  }
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
