#include "counted_sample.h"

#include <algorithm>

#include "measurement/count_cycle.h"

using namespace measurement;

bool CountedSampleTest::WaitReady(ui::TestDriver& s, CSampleTest& screen) {
  return s.RunUntil([&] { return screen.ready() && screen.cycle().sampleMode(); }, 5000);
}

bool CountedSampleTest::CountOne(ui::TestDriver& s, CSampleTest& screen) {
  int before = 0;
  s.RunUntil([&] {
    before = screen.hasResult();
    return true;
  });
  sim.PressCountKey();
  return s.RunUntil(
      [&] { return screen.hasResult() > before && screen.cycle().state() == CycleState::Idle && screen.ready(); },
      15000);
}

void CountedSampleTest::TouchLine(ui::TestDriver& s, CSampleTest& screen, int chart, int line) {
  ui::Point p;
  s.RunUntil([&] {
    CGraphView& view = screen.graph(chart);
    CXGraph& g = view.Graph();
    CXGraphAxis& x = g.GetXAxis(0);
    const ui::Rect plot = g.GetPlotRect();
    p = view.ChartWindow()->ClientToScreen(
        ui::Point(x.ValueToPixel(x.GetAxisMarker(line).value), (plot.top + plot.bottom) / 2));
    return true;
  });
  s.ClickAt(p);
}

double CountedSampleTest::LinePosition(ui::TestDriver& s, CSampleTest& screen, int chart, int line) {
  double v = 0.0;
  s.RunUntil([&] {
    v = screen.graph(chart).Graph().GetXAxis(0).GetAxisMarker(line).value;
    return true;
  });
  return v;
}

int CountedSampleTest::InkIn(ui::TestDriver& s, int id) {
  ui::Rect r;
  s.RunUntil([&] {
    if (ui::Window* w = s.Find(id)) r = w->GetWindowRect();
    return true;
  });
  const draw::Bitmap screen = s.Screen();
  int ink = 0;
  for (int y = std::max(0, r.top); y < std::min(r.bottom, screen.Height()); ++y)
    for (int x = std::max(0, r.left); x < std::min(r.right, screen.Width()); ++x) {
      const draw::Color c = screen.GetPixel(x, y);
      if (draw::GetRValue(c) + draw::GetGValue(c) + draw::GetBValue(c) < 3 * 110) ++ink;
    }
  return ink;
}

void CountedSampleTest::Leave(ui::TestDriver& s, CSampleTest& screen) {
  s.Press(IDC_EXIT);
  s.Advance(1600);
  s.RunUntil([&] { return screen.IsEnded(); }, 3000);
}
