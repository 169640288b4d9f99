#pragma once
// COScopeCtrl: a small strip chart. A black plot with a centre line and two guide lines drawn
// as dotted lines; each appended value becomes a small circle joined to the previous one,
// stepping a fixed number of pixels to the right. A vertical cursor moves left and right by
// the same step. Negative values are neither drawn nor joined.
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/window.h"

class COScopeCtrl : public ui::Window {
 public:
  COScopeCtrl();
  ~COScopeCtrl() override;

  bool Create(uint32_t style, const ui::Rect& rect, ui::Window* parent, int id);
  // The value range and the guide lines' distances from the centre line in quarters of the
  // plot height. An empty range (upper equal to lower) puts every value on the centre line.
  void SetRange(double lower, double upper, double guideAbove = 1.0, double guideBelow = 1.0);
  void SetXStep(int pixels) { xStep = pixels; }
  // Clears both layers and starts a new plot.
  void InvalidateCtrl();
  // Draws the value; returns the value appended before.
  double AppendPoint(double value);
  // 1 one step right, 0 one step left, anything else redraws the cursor in place. The cursor
  // never leaves the plot.
  void MoveCursor(int direction);
  void SetLabel1(const std::string& text) { label1 = text; InvalidateCtrl(); }
  void SetLabel2(const std::string& text) { label2 = text; InvalidateCtrl(); }
  void SetAxisColour(draw::Color c) { axisColour = c; InvalidateCtrl(); }
  void SetPlotColour(draw::Color c) { plotColour = c; InvalidateCtrl(); }
  void SetBackColour(draw::Color c) { backColour = c; InvalidateCtrl(); }

  // The plot row of a value (client coordinates).
  int ValueToY(double v) const;
  int CursorX() const { return cursorX; }
  const ui::Rect& PlotRect() const { return plotRect; }

  draw::Color backColour = draw::kBlack;
  draw::Color axisColour = draw::RGB(0, 255, 255);
  draw::Color plotColour = draw::RGB(255, 255, 255);
  std::string label1, label2;
  double value = 0.0;
  double previousValue = 0.0;
  double lower = 0.0, upper = 0.0, range = 0.0, pixelsPerUnit = 0.0;
  ui::Rect clientRect, plotRect;
  int plotHeight = 0, plotWidth = 0;
  int cursorX = 0;
  bool firstPoint = true;
  int xStep = 8;
  int xOffset = 0;
  int guideAboveY = 0, centreY = 0, guideBelowY = 0;
  double guideAbove = 1.0, guideBelow = 1.0;
  bool hasPrevious = false;

 protected:
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }

 private:
  void Measure();
  void EnsureLayers();
  draw::Bitmap gridLayer_, plotLayer_;
  ui::Point penPos_;
};
