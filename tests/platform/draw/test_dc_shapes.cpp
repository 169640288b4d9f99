// Lines, figures, clipping and coordinates on a pixel canvas.
#include <cairo.h>
#include <gtest/gtest.h>

#include "canvas.h"

using namespace draw;
using drawtest::Canvas;

namespace {
constexpr Color kRed = RGB(255, 0, 0);
constexpr Color kBlue = RGB(0, 0, 255);
}  // namespace

TEST(DcFigures, RectangleExcludesRightAndBottomEdges) {
  Canvas c;
  c.dc.SelectPen(Pen::Solid(kRed));
  c.dc.SelectBrush(Brush::Solid(kBlue));
  c.dc.Rectangle(10, 10, 20, 15);
  EXPECT_EQ(c.At(10, 10), kRed);
  EXPECT_EQ(c.At(19, 14), kRed);   // last column and row of the outline
  EXPECT_EQ(c.At(20, 12), kWhite); // right edge left out
  EXPECT_EQ(c.At(15, 15), kWhite); // bottom edge left out
  EXPECT_EQ(c.At(11, 11), kBlue);  // inside filled
  EXPECT_EQ(c.At(18, 13), kBlue);
  EXPECT_EQ(c.Ink(), Rect(10, 10, 20, 15));
}

TEST(DcFigures, NullPenRectangleIsOnePixelSmaller) {
  Canvas c;
  c.dc.SelectPen(Pen::NullPen());
  c.dc.SelectBrush(Brush::Solid(kBlue));
  c.dc.Rectangle(10, 10, 20, 20);
  EXPECT_EQ(c.Ink(), Rect(10, 10, 19, 19));
}

TEST(DcFigures, HollowBrushLeavesInsideAlone) {
  Canvas c;
  c.dc.SelectBrush(Brush::NullBrush());
  c.dc.Rectangle(10, 10, 30, 30);
  EXPECT_EQ(c.At(20, 20), kWhite);
  EXPECT_EQ(c.At(10, 20), kBlack);
  EXPECT_EQ(c.CountNot(kWhite), 4 * 19);
}

TEST(DcFigures, InsideFramePenStaysInsideTheBox) {
  Canvas c;
  c.dc.SelectPen(Pen(PenStyle::InsideFrame, 4, kRed));
  c.dc.SelectBrush(Brush::NullBrush());
  c.dc.Rectangle(10, 10, 40, 40);
  EXPECT_EQ(c.Ink(), Rect(10, 10, 40, 40));
  EXPECT_EQ(c.At(13, 20), kRed);
  EXPECT_EQ(c.At(14, 20), kWhite);
}

TEST(DcFigures, EllipseAndRoundRectStayInTheirBox) {
  struct Case {
    const char* name;
    void (*draw)(DC&);
  } cases[] = {
      {"ellipse", [](DC& dc) { dc.Ellipse(10, 20, 50, 40); }},
      {"round rect", [](DC& dc) { dc.RoundRect(10, 20, 50, 40, 10, 10); }},
  };
  for (const auto& k : cases) {
    Canvas c;
    c.dc.SelectBrush(Brush::Solid(kBlue));
    k.draw(c.dc);
    Rect ink = c.Ink();
    EXPECT_GE(ink.left, 10) << k.name;
    EXPECT_GE(ink.top, 20) << k.name;
    EXPECT_LE(ink.right, 50) << k.name;
    EXPECT_LE(ink.bottom, 40) << k.name;
    EXPECT_GE(ink.Width(), 38) << k.name;
    EXPECT_EQ(c.At(30, 30), kBlue) << k.name;
    EXPECT_EQ(c.At(10, 20), kWhite) << k.name;  // corners are cut
  }
}

TEST(DcFigures, PolygonFillsAndPolylineLeavesLastPoint) {
  Canvas c;
  c.dc.SelectPen(Pen::Solid(kRed));
  c.dc.SelectBrush(Brush::Solid(kBlue));
  Point tri[] = {{10, 10}, {50, 10}, {10, 50}};
  c.dc.Polygon(tri, 3);
  EXPECT_EQ(c.At(15, 15), kBlue);
  EXPECT_EQ(c.At(45, 45), kWhite);
  EXPECT_EQ(c.At(50, 10), kRed);  // a closed outline reaches every vertex

  Canvas d;
  Point pl[] = {{10, 60}, {40, 60}, {40, 80}};
  d.dc.Polyline(pl, 3);
  EXPECT_EQ(d.At(40, 60), kBlack);   // inner vertex drawn
  EXPECT_EQ(d.At(40, 79), kBlack);
  EXPECT_EQ(d.At(40, 80), kWhite);   // last point left out
}

TEST(DcLines, LineExcludesItsEndPoint) {
  struct Case {
    Point from, to;
    int pixels;
  } cases[] = {
      {{5, 5}, {15, 5}, 10},    // horizontal
      {{5, 5}, {5, 25}, 20},    // vertical
      {{15, 5}, {5, 5}, 10},    // right to left
      {{5, 5}, {15, 15}, 10},   // diagonal
      {{5, 5}, {5, 5}, 0},      // nothing
  };
  for (const auto& k : cases) {
    Canvas c(40, 40);
    c.dc.MoveTo(k.from.x, k.from.y);
    c.dc.LineTo(k.to.x, k.to.y);
    EXPECT_EQ(c.CountNot(kWhite), k.pixels) << k.to.x << "," << k.to.y;
    if (k.pixels) {
      EXPECT_EQ(c.At(k.from.x, k.from.y), kBlack);
      EXPECT_EQ(c.At(k.to.x, k.to.y), kWhite);
    }
    EXPECT_EQ(c.dc.GetCurrentPosition(), k.to);
  }
}

TEST(DcLines, PenStylesMakeTheirPatterns) {
  struct Case {
    PenStyle style;
    int on;  // pixels drawn along a 96-pixel line
  } cases[] = {
      {PenStyle::Solid, 96},
      {PenStyle::Dash, 72},        // 18 on 6 off, four times
      {PenStyle::Dot, 48},         // 3 on 3 off
      {PenStyle::DashDot, 48},     // 9 6 3 6, four times
      {PenStyle::DashDotDot, 60},  // 9 3 3 3 3 3: 15 of every 24
      {PenStyle::Null, 0},
  };
  for (const auto& k : cases) {
    Canvas c(120, 10);
    c.dc.SetBkMode(BkMode::Transparent);
    c.dc.SelectPen(Pen(k.style, 1, kBlack));
    c.dc.MoveTo(0, 5);
    c.dc.LineTo(96, 5);
    EXPECT_EQ(c.CountNot(kWhite), k.on) << static_cast<int>(k.style);
  }
}

TEST(DcLines, OpaqueBackgroundFillsDashGaps) {
  Canvas c(60, 10);
  c.dc.SetBkMode(BkMode::Opaque);
  c.dc.SetBkColor(kBlue);
  c.dc.SelectPen(Pen(PenStyle::Dash, 1, kRed));
  c.dc.MoveTo(0, 5);
  c.dc.LineTo(48, 5);
  EXPECT_EQ(c.At(0, 5), kRed);
  EXPECT_EQ(c.At(20, 5), kBlue);
  EXPECT_EQ(c.CountNot(kWhite), 48);
}

TEST(DcLines, XorLineDrawnTwiceErases) {
  Canvas c(60, 60, RGB(10, 200, 30));
  c.dc.FillRect(Rect(20, 0, 40, 60), Brush::Solid(RGB(90, 20, 250)));
  Bitmap before = c.bmp.Clone();
  c.dc.SetROP2(Rop2::XorPen);
  c.dc.SelectPen(Pen::Solid(kWhite));
  for (int pass = 0; pass < 2; ++pass) {
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(59, 45);
    c.dc.Rectangle(5, 5, 50, 50);
    if (pass == 0) {
      EXPECT_EQ(c.At(0, 0), RGB(255 - 10, 255 - 200, 255 - 30));
      EXPECT_EQ(c.At(5, 30), RGB(255 - 10, 255 - 200, 255 - 30));  // rectangle edge
    }
  }
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(c.At(x, y), before.GetPixel(x, y)) << x << "," << y;
}

TEST(DcLines, NotModeInvertsWhateverIsThere) {
  Canvas c(30, 30, RGB(0, 128, 255));
  c.dc.SetROP2(Rop2::Not);
  c.dc.SelectPen(Pen(PenStyle::Solid, 3, kRed));  // a wide pen goes through the mask path
  c.dc.MoveTo(0, 15);
  c.dc.LineTo(29, 15);
  EXPECT_EQ(c.At(10, 15), RGB(255, 127, 0));
  c.dc.MoveTo(0, 15);
  c.dc.LineTo(29, 15);
  EXPECT_EQ(c.At(10, 15), RGB(0, 128, 255));
}

TEST(DcPixels, FillFrameInvertAndSinglePixels) {
  Canvas c;
  c.dc.FillRect(Rect(0, 0, 10, 10), Brush::Solid(kRed));
  EXPECT_EQ(c.Ink(), Rect(0, 0, 10, 10));
  c.dc.FrameRect(Rect(20, 20, 30, 30), Brush::Solid(kBlue));
  EXPECT_EQ(c.CountNot(kWhite, Rect(20, 20, 30, 30)), 36);
  c.dc.InvertRect(Rect(0, 0, 5, 5));
  EXPECT_EQ(c.At(2, 2), RGB(0, 255, 255));
  EXPECT_EQ(c.dc.SetPixel(50, 50, kBlue), kBlue);
  EXPECT_EQ(c.dc.GetPixel(50, 50), kBlue);
  EXPECT_EQ(c.dc.GetPixel(500, 50), kInvalidColor);
  c.dc.DrawFocusRect(Rect(60, 60, 70, 70));
  int dotted = c.CountNot(kWhite, Rect(60, 60, 70, 70));
  EXPECT_EQ(dotted, 18);  // every other pixel of 36
  c.dc.DrawFocusRect(Rect(60, 60, 70, 70));
  EXPECT_EQ(c.CountNot(kWhite, Rect(60, 60, 70, 70)), 0);
}

TEST(DcClip, IntersectExcludeSaveAndRestore) {
  Canvas c;
  int level = c.dc.SaveDC();
  c.dc.IntersectClipRect(Rect(10, 10, 50, 50));
  c.dc.ExcludeClipRect(Rect(20, 20, 30, 30));
  EXPECT_EQ(c.dc.GetClipBox(), Rect(10, 10, 50, 50));
  c.dc.FillRect(Rect(0, 0, 100, 100), Brush::Solid(kRed));
  EXPECT_EQ(c.CountNot(kWhite), 40 * 40 - 10 * 10);
  EXPECT_EQ(c.At(25, 25), kWhite);
  EXPECT_FALSE(c.dc.PtVisible(Point(25, 25)));
  EXPECT_TRUE(c.dc.PtVisible(Point(15, 25)));
  // Text, lines and blits honour the clip as well.
  c.dc.SelectPen(Pen::Solid(kBlue));
  c.dc.MoveTo(0, 60);
  c.dc.LineTo(100, 60);
  EXPECT_EQ(c.CountNot(kWhite, Rect(0, 60, 100, 61)), 0);
  ASSERT_TRUE(c.dc.RestoreDC(level));
  c.dc.MoveTo(0, 60);
  c.dc.LineTo(100, 60);
  EXPECT_EQ(c.CountNot(kWhite, Rect(0, 60, 100, 61)), 100);
  EXPECT_FALSE(c.dc.RestoreDC(1));  // nothing left to restore
}

TEST(DcClip, SaveRestoreKeepsObjectsAndAttributes) {
  Canvas c;
  c.dc.SelectPen(Pen::Solid(kRed, 3));
  c.dc.SetTextColor(kBlue);
  c.dc.SetWindowOrg(5, 5);
  c.dc.SaveDC();
  c.dc.SaveDC();
  c.dc.SelectPen(Pen::NullPen());
  c.dc.SetTextColor(kRed);
  c.dc.SetWindowOrg(0, 0);
  ASSERT_TRUE(c.dc.RestoreDC(-1));
  EXPECT_EQ(c.dc.GetPen(), Pen::Solid(kRed, 3));
  EXPECT_EQ(c.dc.GetTextColor(), kBlue);
  EXPECT_EQ(c.dc.GetWindowOrg(), Point(5, 5));
  EXPECT_EQ(c.dc.SaveDC(), 2);  // one level was left
}

TEST(DcCoordinates, OriginsAndDeviceOriginShiftDrawing) {
  Canvas c;
  c.dc.SetWindowOrg(10, 0);    // logical 10 is device 0
  c.dc.SetViewportOrg(0, 20);  // logical 0 is device 20 in y
  c.dc.SetDeviceOrigin(5, 5);  // and the whole DC sits at (5, 5) of the surface
  c.dc.FillRect(Rect(10, 0, 12, 2), Brush::Solid(kRed));
  EXPECT_EQ(c.Ink(), Rect(5, 25, 7, 27));
  EXPECT_EQ(c.dc.LPtoDP(Point(10, 0)), Point(0, 20));
  EXPECT_EQ(c.dc.DPtoLP(Point(0, 20)), Point(10, 0));
  c.dc.SetDeviceClip({Rect(0, 0, 6, 100)});
  c.dc.FillRect(Rect(0, 10, 100, 12), Brush::Solid(kBlue));
  EXPECT_EQ(c.CountNot(kWhite, Rect(0, 35, 100, 37)), 12);  // surface columns 0..5, two rows
  EXPECT_EQ(c.At(6, 35), kWhite);
}

TEST(DcCoordinates, MappingModes) {
  struct Case {
    const char* name;
    MapMode mode;
    Size win, vp;
    Point logical, device;
  } cases[] = {
      {"text", MapMode::Text, {}, {}, {7, 9}, {7, 9}},
      {"anisotropic 7200/in at 600 dpi", MapMode::Anisotropic, {12, 12}, {1, 1}, {7200, 3600}, {600, 300}},
      {"anisotropic stretched", MapMode::Anisotropic, {10, 20}, {20, 10}, {5, 40}, {10, 20}},
      {"isotropic keeps the smaller scale", MapMode::Isotropic, {10, 10}, {20, 40}, {5, 5}, {10, 10}},
      {"lo-english is y up", MapMode::LoEnglish, {}, {}, {100, -100}, {600, 600}},
  };
  for (const auto& k : cases) {
    Bitmap b = Bitmap::Create(10, 10);
    DeviceInfo info;
    info.width = info.height = 10;
    info.dpiX = info.dpiY = 600;
    DC dc(cairo_surface_reference(b.Surface()), info);
    dc.SetMapMode(k.mode);
    if (k.win.cx) {
      dc.SetWindowExt(k.win.cx, k.win.cy);
      dc.SetViewportExt(k.vp.cx, k.vp.cy);
    }
    EXPECT_EQ(dc.LPtoDP(k.logical), k.device) << k.name;
    EXPECT_EQ(dc.DPtoLP(k.device), k.logical) << k.name;
  }
}

TEST(DcCoordinates, ScaledFiguresLandOnDevicePixels) {
  Canvas c(200, 200);
  c.dc.SetMapMode(MapMode::Anisotropic);
  c.dc.SetWindowExt(12, 12);
  c.dc.SetViewportExt(1, 1);
  c.dc.FillRect(Rect(1200, 1200, 2400, 2400), Brush::Solid(kRed));
  EXPECT_EQ(c.Ink(), Rect(100, 100, 200, 200));
  // A 24-unit pen is two pixels wide.
  Canvas d(200, 200);
  d.dc.SetMapMode(MapMode::Anisotropic);
  d.dc.SetWindowExt(12, 12);
  d.dc.SetViewportExt(1, 1);
  d.dc.SelectPen(Pen::Solid(kBlack, 24));
  d.dc.MoveTo(0, 1200);
  d.dc.LineTo(1200, 1200);
  EXPECT_EQ(d.CountNot(kWhite, Rect(50, 90, 51, 110)), 2);
}
