#include "controls/oscope_ctrl.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/window_class.h"

namespace {

constexpr const char* kClassName = "OScopeCtrl";
constexpr draw::Color kGuideColour = draw::RGB(180, 118, 45);
constexpr draw::Color kGuideRestored = draw::RGB(140, 101, 46);
constexpr draw::Color kCentreColour = draw::RGB(47, 167, 217);

int Truncate(double v) {
  if (!std::isfinite(v)) return 0;
  v = std::clamp(v, -1.0e6, 1.0e6);
  return static_cast<int>(v);
}

}  // namespace

COScopeCtrl::COScopeCtrl() = default;
COScopeCtrl::~COScopeCtrl() = default;

bool COScopeCtrl::Create(uint32_t style, const ui::Rect& rect, ui::Window* parent, int id) {
  if (!ui::IsWindowClassRegistered(kClassName)) ui::RegisterWindowClass(kClassName, ui::CS_HREDRAW | ui::CS_VREDRAW);
  if (!ui::Window::Create(kClassName, "", style, rect, parent, id)) return false;
  Measure();
  InvalidateCtrl();
  return true;
}

void COScopeCtrl::Measure() {
  clientRect = GetClientRect();
  plotRect = ui::Rect(2, 0, clientRect.right - 2, clientRect.bottom - 2);
  plotHeight = plotRect.bottom - plotRect.top;
  plotWidth = plotRect.right - plotRect.left;
  pixelsPerUnit = range > 0.0 ? plotHeight / range : 0.0;
}

void COScopeCtrl::OnSize(int, int, int) { Measure(); }

void COScopeCtrl::SetRange(double lo, double up, double above, double below) {
  lower = lo;
  upper = up;
  range = up - lo;
  // An empty or reversed range has no scale: nothing may divide by it.
  pixelsPerUnit = range > 0.0 ? plotHeight / range : 0.0;
  guideAbove = above;
  guideBelow = below;
  InvalidateCtrl();
}

int COScopeCtrl::ValueToY(double v) const {
  if (!(range > 0.0)) return centreY;
  return plotRect.bottom - Truncate((v - lower) * pixelsPerUnit);
}

void COScopeCtrl::EnsureLayers() {
  const int w = std::max(1, clientRect.Width()), h = std::max(1, clientRect.Height());
  if (gridLayer_.IsNull() || gridLayer_.Width() != w || gridLayer_.Height() != h) gridLayer_ = draw::Bitmap::Create(w, h);
  if (plotLayer_.IsNull() || plotLayer_.Width() != w || plotLayer_.Height() != h) plotLayer_ = draw::Bitmap::Create(w, h);
}

void COScopeCtrl::InvalidateCtrl() {
  if (!IsWindow()) return;
  hasPrevious = false;
  Measure();
  EnsureLayers();
  {
    draw::DC g(gridLayer_);
    g.SetBkColor(backColour);
    g.FillSolidRect(clientRect, backColour);
    plotRect.left = clientRect.left + 2;
    plotWidth = plotRect.right - plotRect.left;
    g.SelectPen(draw::Pen::Solid(axisColour, 2));
    g.MoveTo(plotRect.left, plotRect.top);
    g.LineTo(plotRect.left, plotRect.bottom);
    cursorX = plotRect.left;
    centreY = (plotRect.top + plotRect.bottom) / 2;
    const int quarter = plotHeight / 4;
    guideAboveY = centreY - Truncate(guideAbove * quarter);
    guideBelowY = centreY + Truncate(guideBelow * quarter);
    for (int x = plotRect.left; x < plotRect.right; x += 4) {
      g.SetPixel(x, guideAboveY, kGuideColour);
      g.SetPixel(x, centreY, kCentreColour);
      g.SetPixel(x, guideBelowY, kGuideColour);
    }
    g.Flush();
  }
  {
    draw::DC p(plotLayer_);
    p.SetBkColor(backColour);
    p.FillSolidRect(clientRect, backColour);
    p.Flush();
  }
  previousValue = 0.0;
  firstPoint = true;
  xOffset = 0;
  Invalidate(true);
}

double COScopeCtrl::AppendPoint(double v) {
  const double before = value;
  value = v;
  if (plotLayer_.IsNull()) return before;
  draw::DC p(plotLayer_);
  p.SelectPen(draw::Pen::Solid(plotColour, 0));
  p.SelectBrush(draw::Brush::Solid(draw::kWhite));
  auto circle = [&](int x, int y) { p.Ellipse(x - 2, y - 2, x + 2, y + 2); };
  if (firstPoint) {
    previousValue = v;
    const int x = plotRect.left + xOffset;
    if (v >= 0) circle(x, ValueToY(v));
  } else {
    if (previousValue >= 0) {
      penPos_ = ui::Point(plotRect.left + xOffset, ValueToY(previousValue));
      hasPrevious = true;
    }
    xOffset += xStep;
    const int x = plotRect.left + xOffset;
    if (v >= 0) {
      const int y = ValueToY(v);
      circle(x, y);
      if (hasPrevious) {
        p.MoveTo(penPos_.x, penPos_.y);
        p.LineTo(x, y);
        penPos_ = ui::Point(x, y);
      }
    }
  }
  previousValue = v;
  p.Flush();
  Invalidate(true);
  firstPoint = false;
  return before;
}

void COScopeCtrl::MoveCursor(int direction) {
  if (gridLayer_.IsNull()) return;
  draw::DC g(gridLayer_);
  const draw::Pen axis = draw::Pen::Solid(axisColour, 2);
  g.SelectPen(axis);
  g.SetROP2(draw::Rop2::XorPen);
  g.MoveTo(cursorX, plotRect.top);
  g.LineTo(cursorX, plotRect.bottom);
  g.SetPixel(cursorX, guideAboveY, kGuideRestored);
  g.SetPixel(cursorX, centreY, kCentreColour);
  g.SetPixel(cursorX, guideBelowY, kGuideRestored);
  g.SetROP2(draw::Rop2::CopyPen);
  if (direction == 1) cursorX += xStep;
  else if (direction == 0) cursorX -= xStep;
  // The cursor stays on the plot, however far it is pushed.
  cursorX = std::clamp(cursorX, plotRect.left, std::max(plotRect.left, plotRect.right - 1));
  g.MoveTo(cursorX, plotRect.top);
  g.LineTo(cursorX, plotRect.bottom);
  g.Flush();
  Invalidate(true);
}

void COScopeCtrl::OnPaint(draw::DC& dc) {
  if (gridLayer_.IsNull() || plotLayer_.IsNull()) return;
  const int w = gridLayer_.Width(), h = gridLayer_.Height();
  draw::Bitmap frame = draw::Bitmap::Create(w, h);
  {
    draw::DC m(frame);
    m.BitBlt(0, 0, w, h, gridLayer_, 0, 0, draw::kSrcCopy);
    m.BitBlt(0, 0, w, h, plotLayer_, 0, 0, draw::kSrcPaint);
    m.Flush();
  }
  dc.BitBlt(0, 0, w, h, frame, 0, 0, draw::kSrcCopy);
}
