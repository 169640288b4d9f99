// Lines and figures. One-pixel pens on pixel surfaces are drawn pixel by pixel, so end
// points, corners, dash patterns and the XOR mode come out exactly; everything else goes
// through Cairo paths without anti-aliasing.
#include <cairo.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "platform/ui/draw/dc.h"
#include "platform/ui/draw/dc_impl.h"

namespace draw {

namespace {

// On/off run lengths of the pen styles, in pixels for a one-pixel pen.
const std::vector<int>& Pattern(PenStyle s) {
  static const std::vector<int> none, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3};
  switch (s) {
    case PenStyle::Dash: return dash;
    case PenStyle::Dot: return dot;
    case PenStyle::DashDot: return dashDot;
    case PenStyle::DashDotDot: return dashDotDot;
    default: return none;
  }
}

// Walks a pen pattern one pixel at a time; it carries on across the segments of a figure.
struct Styler {
  const std::vector<int>& pat;
  int index = 0, left = 0;
  explicit Styler(const std::vector<int>& p) : pat(p) { left = pat.empty() ? 0 : pat[0]; }
  bool On() const { return pat.empty() || (index % 2) == 0; }
  void Step() {
    if (pat.empty()) return;
    if (--left <= 0) {
      index = (index + 1) % static_cast<int>(pat.size());
      left = pat[index];
    }
  }
};

long Round(double v) { return std::lround(v); }

}  // namespace

// Helpers that need the inside of the DC live in this class to reach Impl.
struct ShapeOps {
  DC::Impl& d;

  int PenWidth() const {
    const Pen& p = d.st.pen;
    if (p.width <= 0) return 1;
    return std::max(1, static_cast<int>(Round(p.width * std::fabs(d.ScaleX()))));
  }
  bool PixelPen() const { return d.Raster() && PenWidth() == 1 && d.st.pen.style != PenStyle::Null; }

  bool InClip(int sx, int sy) const {
    for (const Rect& r : d.EffectiveClip())
      if (r.Contains(Point(sx, sy))) return true;
    return false;
  }

  // One pixel at surface coordinates through the binary raster operation.
  void Plot(int sx, int sy, Color c) const {
    if (!InClip(sx, sy)) return;
    uint32_t* px = d.Row(sy) + sx;
    *px = ApplyRop2(d.st.rop2, ToPixel(d.Ink(c)), *px);
  }

  // Device coordinates; the end point is left out unless `withEnd`.
  void PixelLine(Point a, Point b, bool withEnd, Styler& style) const {
    const bool opaqueGaps = d.st.bkMode == BkMode::Opaque;
    const Color on = d.st.pen.color, off = d.st.bkColor;
    int x = a.x + d.devOrigin.x, y = a.y + d.devOrigin.y;
    const int x1 = b.x + d.devOrigin.x, y1 = b.y + d.devOrigin.y;
    const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (true) {
      const bool last = x == x1 && y == y1;
      if (last && !withEnd) break;
      if (style.On())
        Plot(x, y, on);
      else if (opaqueGaps)
        Plot(x, y, off);
      style.Step();
      if (last) break;
      int e2 = 2 * err;
      if (e2 >= dy) { err += dy; x += sx; }
      if (e2 <= dx) { err += dx; y += sy; }
    }
  }

  Point Dev(int x, int y) const { return Point(static_cast<int>(Round(d.Dx(x))), static_cast<int>(Round(d.Dy(y)))); }

  // Runs `draw` (which builds and fills or strokes a path in device coordinates) in colour c,
  // combining with the surface through the binary raster operation when it is not a copy.
  void Paint(Color c, const std::function<void(cairo_t*)>& draw) const {
    Rop2 rop = d.st.rop2;
    if (rop == Rop2::Nop) return;
    if (rop == Rop2::CopyPen || rop == Rop2::Black || rop == Rop2::White || rop == Rop2::NotCopyPen ||
        !d.Raster()) {
      Color use = rop == Rop2::Black ? kBlack : rop == Rop2::White ? kWhite
                : rop == Rop2::NotCopyPen ? (~c & 0xFFFFFF) : c;
      d.Begin();
      SetSource(d.cr, d.Ink(use));
      draw(d.cr);
      d.End();
      return;
    }
    // Draw the figure into a mask, then combine pixel by pixel where the mask is set.
    const int w = d.SurfW(), h = d.SurfH();
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* m = cairo_create(mask);
    cairo_set_antialias(m, CAIRO_ANTIALIAS_NONE);
    for (const Rect& r : d.EffectiveClip()) cairo_rectangle(m, r.left, r.top, r.Width(), r.Height());
    cairo_clip(m);
    cairo_translate(m, d.devOrigin.x, d.devOrigin.y);
    cairo_set_source_rgba(m, 0, 0, 0, 1);
    draw(m);
    cairo_destroy(m);
    cairo_surface_flush(mask);
    const uint8_t* md = cairo_image_surface_get_data(mask);
    const int ms = cairo_image_surface_get_stride(mask);
    d.PixelsBegin();
    const uint32_t pen = ToPixel(d.Ink(c));
    for (int y = 0; y < h; ++y) {
      const uint8_t* mr = md + static_cast<size_t>(y) * ms;
      uint32_t* row = nullptr;
      for (int x = 0; x < w; ++x) {
        if (!mr[x]) continue;
        if (!row) row = d.Row(y);
        row[x] = ApplyRop2(rop, pen, row[x]);
      }
    }
    d.PixelsEnd();
    cairo_surface_destroy(mask);
  }

  void SetStrokeStyle(cairo_t* cr, double width, bool dashed) const {
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, width > 1 ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, width > 1 ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    const auto& pat = Pattern(d.st.pen.style);
    if (dashed && !pat.empty()) {
      std::vector<double> dashes;
      for (int v : pat) dashes.push_back(v * width);
      if (width > 1) cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
    } else {
      cairo_set_dash(cr, nullptr, 0, 0);
    }
  }

  // Strokes the path `build` makes with the current pen (gaps in the background colour
  // when the background is opaque).
  void Stroke(const std::function<void(cairo_t*)>& build) const {
    const Pen& p = d.st.pen;
    if (p.style == PenStyle::Null) return;
    const double w = PenWidth();
    const bool styled = !Pattern(p.style).empty();
    if (styled && d.st.bkMode == BkMode::Opaque) {
      Paint(d.st.bkColor, [&](cairo_t* cr) {
        build(cr);
        SetStrokeStyle(cr, w, false);
        cairo_stroke(cr);
      });
    }
    Paint(p.color, [&](cairo_t* cr) {
      build(cr);
      SetStrokeStyle(cr, w, true);
      cairo_stroke(cr);
    });
  }

  void Fill(const std::function<void(cairo_t*)>& build) const {
    const Brush& b = d.st.brush;
    if (b.style == BrushStyle::Null) return;
    Paint(b.color, [&](cairo_t* cr) {
      build(cr);
      cairo_set_fill_rule(cr, d.st.fillMode == PolyFillMode::Winding ? CAIRO_FILL_RULE_WINDING
                                                                    : CAIRO_FILL_RULE_EVEN_ODD);
      cairo_fill(cr);
    });
  }

  // A closed outline through device points, pixel by pixel.
  void PixelOutline(const std::vector<Point>& pts) const {
    Styler style(Pattern(d.st.pen.style));
    d.PixelsBegin();
    for (size_t i = 0; i < pts.size(); ++i) PixelLine(pts[i], pts[(i + 1) % pts.size()], false, style);
    d.PixelsEnd();
  }

  // The outline rectangle of a closed figure in device coordinates (pixel edges).
  struct Box { double l, t, r, b; };
  Box Outline(const Rect& dev) const {
    double w = PenWidth();
    if (d.st.pen.style == PenStyle::InsideFrame)
      return Box{dev.left + w / 2, dev.top + w / 2, dev.right - w / 2, dev.bottom - w / 2};
    return Box{dev.left + 0.5, dev.top + 0.5, dev.right - 0.5, dev.bottom - 0.5};
  }
};

Point DC::MoveTo(int x, int y) { return std::exchange(impl_->st.cur, Point(x, y)); }
Point DC::GetCurrentPosition() const { return impl_->st.cur; }

void DC::LineTo(int x, int y) {
  Point from = impl_->st.cur;
  impl_->st.cur = Point(x, y);
  Point pts[2] = {from, Point(x, y)};
  Polyline(pts, 2);
}

void DC::Polyline(const Point* pts, int count) {
  if (!IsValid() || !pts || count < 2) return;
  ShapeOps ops{*impl_};
  if (impl_->st.pen.style == PenStyle::Null) return;
  if (ops.PixelPen()) {
    Styler style(Pattern(impl_->st.pen.style));
    impl_->PixelsBegin();
    for (int i = 0; i + 1 < count; ++i)
      ops.PixelLine(ops.Dev(pts[i].x, pts[i].y), ops.Dev(pts[i + 1].x, pts[i + 1].y), false, style);
    impl_->PixelsEnd();
    return;
  }
  ops.Stroke([&](cairo_t* cr) {
    for (int i = 0; i < count; ++i) {
      double x = impl_->Dx(pts[i].x) + 0.5, y = impl_->Dy(pts[i].y) + 0.5;
      if (i == 0)
        cairo_move_to(cr, x, y);
      else
        cairo_line_to(cr, x, y);
    }
  });
}

void DC::Polygon(const Point* pts, int count) {
  if (!IsValid() || !pts || count < 2) return;
  ShapeOps ops{*impl_};
  auto path = [&](cairo_t* cr) {
    for (int i = 0; i < count; ++i) {
      double x = impl_->Dx(pts[i].x) + 0.5, y = impl_->Dy(pts[i].y) + 0.5;
      if (i == 0)
        cairo_move_to(cr, x, y);
      else
        cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
  };
  ops.Fill(path);
  if (impl_->st.pen.style == PenStyle::Null) return;
  if (ops.PixelPen()) {
    std::vector<Point> dev;
    for (int i = 0; i < count; ++i) dev.push_back(ops.Dev(pts[i].x, pts[i].y));
    ops.PixelOutline(dev);
    return;
  }
  ops.Stroke(path);
}

void DC::Rectangle(int left, int top, int right, int bottom) {
  if (!IsValid()) return;
  ShapeOps ops{*impl_};
  Rect dev = impl_->DevRect(left, top, right, bottom);
  if (dev.IsEmpty()) return;
  if (impl_->st.pen.style == PenStyle::Null) {
    // Without an outline the filled area is one pixel smaller on the right and bottom.
    Rect in(dev.left, dev.top, dev.right - 1, dev.bottom - 1);
    ops.Fill([&](cairo_t* cr) { cairo_rectangle(cr, in.left, in.top, in.Width(), in.Height()); });
    return;
  }
  const double w = ops.PenWidth();
  ShapeOps::Box o = ops.Outline(dev);
  const double il = o.l + w / 2, it = o.t + w / 2, ir = o.r - w / 2, ib = o.b - w / 2;
  if (ir > il && ib > it)
    ops.Fill([&](cairo_t* cr) { cairo_rectangle(cr, il, it, ir - il, ib - it); });
  if (ops.PixelPen()) {
    ops.PixelOutline({Point(dev.left, dev.top), Point(dev.right - 1, dev.top), Point(dev.right - 1, dev.bottom - 1),
                      Point(dev.left, dev.bottom - 1)});
    return;
  }
  ops.Stroke([&](cairo_t* cr) {
    cairo_rectangle(cr, o.l, o.t, o.r - o.l, o.b - o.t);
  });
}

namespace {
void RoundRectPath(cairo_t* cr, double l, double t, double r, double b, double rx, double ry) {
  rx = std::min(rx, (r - l) / 2);
  ry = std::min(ry, (b - t) / 2);
  if (rx <= 0 || ry <= 0) {
    cairo_rectangle(cr, l, t, r - l, b - t);
    return;
  }
  auto corner = [&](double cx, double cy, double a0) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, a0, a0 + M_PI / 2);
    cairo_restore(cr);
  };
  cairo_new_sub_path(cr);
  corner(r - rx, t + ry, -M_PI / 2);
  corner(r - rx, b - ry, 0);
  corner(l + rx, b - ry, M_PI / 2);
  corner(l + rx, t + ry, M_PI);
  cairo_close_path(cr);
}
}  // namespace

void DC::RoundRect(int left, int top, int right, int bottom, int ew, int eh) {
  if (!IsValid()) return;
  ShapeOps ops{*impl_};
  Rect dev = impl_->DevRect(left, top, right, bottom);
  if (dev.IsEmpty()) return;
  const double rx = std::fabs(ew * impl_->ScaleX()) / 2, ry = std::fabs(eh * impl_->ScaleY()) / 2;
  ShapeOps::Box o = ops.Outline(dev);
  if (impl_->st.pen.style == PenStyle::Null) o = ShapeOps::Box{double(dev.left), double(dev.top), dev.right - 1.0, dev.bottom - 1.0};
  auto path = [&](cairo_t* cr) { RoundRectPath(cr, o.l, o.t, o.r, o.b, rx, ry); };
  ops.Fill(path);
  ops.Stroke(path);
}

void DC::Ellipse(int left, int top, int right, int bottom) {
  if (!IsValid()) return;
  ShapeOps ops{*impl_};
  Rect dev = impl_->DevRect(left, top, right, bottom);
  if (dev.IsEmpty()) return;
  ShapeOps::Box o = ops.Outline(dev);
  if (impl_->st.pen.style == PenStyle::Null) o = ShapeOps::Box{double(dev.left), double(dev.top), dev.right - 1.0, dev.bottom - 1.0};
  auto path = [&](cairo_t* cr) {
    double cx = (o.l + o.r) / 2, cy = (o.t + o.b) / 2, rx = (o.r - o.l) / 2, ry = (o.b - o.t) / 2;
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
  };
  ops.Fill(path);
  ops.Stroke(path);
}

void DC::FillRect(const Rect& r, const Brush& brush) {
  if (!IsValid() || brush.style == BrushStyle::Null) return;
  Rect dev = impl_->DevRect(r.left, r.top, r.right, r.bottom);
  if (dev.IsEmpty()) return;
  if (impl_->Raster()) {
    const uint32_t px = ToPixel(impl_->Ink(brush.color));
    Rect s = dev.Offset(impl_->devOrigin.x, impl_->devOrigin.y);
    impl_->PixelsBegin();
    for (const Rect& c : impl_->EffectiveClip()) {
      Rect i = s.Intersect(c);
      for (int y = i.top; y < i.bottom; ++y) FillPixels(impl_->Row(y) + i.left, i.right - i.left, px);
    }
    impl_->PixelsEnd();
    return;
  }
  impl_->Begin();
  SetSource(impl_->cr, impl_->Ink(brush.color));
  cairo_rectangle(impl_->cr, dev.left, dev.top, dev.Width(), dev.Height());
  cairo_fill(impl_->cr);
  impl_->End();
}

void DC::FrameRect(const Rect& r, const Brush& brush) {
  Rect n = r.Normalized();
  if (n.IsEmpty()) return;
  FillRect(Rect(n.left, n.top, n.right, n.top + 1), brush);
  FillRect(Rect(n.left, n.bottom - 1, n.right, n.bottom), brush);
  FillRect(Rect(n.left, n.top + 1, n.left + 1, n.bottom - 1), brush);
  FillRect(Rect(n.right - 1, n.top + 1, n.right, n.bottom - 1), brush);
}

void DC::InvertRect(const Rect& r) { PatBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, kDstInvert); }

void DC::DrawFocusRect(const Rect& r) {
  if (!IsValid() || !impl_->Raster()) return;
  Rect dev = impl_->DevRect(r.left, r.top, r.right, r.bottom);
  if (dev.Width() < 1 || dev.Height() < 1) return;
  ShapeOps ops{*impl_};
  impl_->PixelsBegin();
  auto inv = [&](int x, int y) {
    int sx = x + impl_->devOrigin.x, sy = y + impl_->devOrigin.y;
    if (!ops.InClip(sx, sy)) return;
    uint32_t* p = impl_->Row(sy) + sx;
    *p = (~*p & 0x00FFFFFFu) | 0xFF000000u;
  };
  // Every other pixel around the frame, each pixel once.
  std::vector<Point> border;
  for (int x = dev.left; x < dev.right; ++x) border.emplace_back(x, dev.top);
  for (int y = dev.top + 1; y < dev.bottom; ++y) border.emplace_back(dev.right - 1, y);
  if (dev.Height() > 1)
    for (int x = dev.right - 2; x >= dev.left; --x) border.emplace_back(x, dev.bottom - 1);
  if (dev.Width() > 1)
    for (int y = dev.bottom - 2; y > dev.top; --y) border.emplace_back(dev.left, y);
  for (size_t i = 0; i < border.size(); i += 2) inv(border[i].x, border[i].y);
  impl_->PixelsEnd();
}

Color DC::SetPixel(int x, int y, Color c) {
  if (!IsValid()) return kInvalidColor;
  ShapeOps ops{*impl_};
  Point dp = ops.Dev(x, y);
  if (impl_->Raster()) {
    int sx = dp.x + impl_->devOrigin.x, sy = dp.y + impl_->devOrigin.y;
    if (!ops.InClip(sx, sy)) return kInvalidColor;
    impl_->PixelsBegin();
    impl_->Row(sy)[sx] = ToPixel(impl_->Ink(c));
    impl_->PixelsEnd();
    return impl_->Ink(c);
  }
  impl_->Begin();
  SetSource(impl_->cr, impl_->Ink(c));
  cairo_rectangle(impl_->cr, dp.x, dp.y, 1, 1);
  cairo_fill(impl_->cr);
  impl_->End();
  return c & 0xFFFFFF;
}

Color DC::GetPixel(int x, int y) const {
  if (!IsValid() || !impl_->Raster()) return kInvalidColor;
  ShapeOps ops{*impl_};
  Point dp = ops.Dev(x, y);
  int sx = dp.x + impl_->devOrigin.x, sy = dp.y + impl_->devOrigin.y;
  if (!ops.InClip(sx, sy)) return kInvalidColor;
  impl_->PixelsBegin();
  return FromPixel(impl_->Row(sy)[sx]);
}

}  // namespace draw
