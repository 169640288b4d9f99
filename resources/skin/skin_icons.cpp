// The icons: small pictures with an alpha channel, built from simple shapes whose edges are
// smoothed by sampling each pixel sixteen times (icons are drawn over any background, so a
// soft edge is wanted here, unlike the magenta-keyed bitmaps).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "resources/skin/skin_canvas.h"
#include "resources/skin/skin_paint.h"

namespace skin {

using draw::Color;
using draw::RGB;

namespace {

using Shape = std::function<bool(double, double)>;
using Shader = std::function<Color(double, double)>;

class IconPainter {
 public:
  // The shapes are laid out on a 32 x 32 grid; `bmp` may be of another size.
  explicit IconPainter(draw::Bitmap& bmp) : bmp_(bmp), k_(32.0 / std::max(1, bmp.Width())) {}
  ~IconPainter() { bmp_.MarkDirty(); }

  // Covers `shape` with `shade`, blended over what is there by the share of samples inside.
  void Fill(const Shape& shape, const Shader& shade) {
    for (int y = 0; y < bmp_.Height(); ++y)
      for (int x = 0; x < bmp_.Width(); ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx) hits += shape((x + (sx + 0.5) / 4) * k_, (y + (sy + 0.5) / 4) * k_);
        if (hits) Over(x, y, shade((x + 0.5) * k_, (y + 0.5) * k_), hits / 16.0);
      }
  }
  void Fill(const Shape& shape, Color c) {
    Fill(shape, [c](double, double) { return c; });
  }

 private:
  void Over(int x, int y, Color c, double a) {
    uint32_t* px = reinterpret_cast<uint32_t*>(bmp_.Data() + static_cast<size_t>(y) * bmp_.Stride()) + x;
    auto blend = [a](double src, uint32_t dst) { return static_cast<uint32_t>(std::lround(src * a + dst * (1 - a))); };
    const uint32_t da = *px >> 24, dr = (*px >> 16) & 0xFF, dg = (*px >> 8) & 0xFF, db = *px & 0xFF;
    *px = blend(255, da) << 24 | blend(draw::GetRValue(c), dr) << 16 | blend(draw::GetGValue(c), dg) << 8 |
          blend(draw::GetBValue(c), db);
  }
  draw::Bitmap& bmp_;
  double k_;
};

// Shapes in pixel coordinates (the point tested is a sample position).
Shape RoundRect(double l, double t, double r, double b, double radius) {
  return [=](double x, double y) {
    if (x < l || x > r || y < t || y > b) return false;
    const double cx = std::clamp(x, l + radius, r - radius), cy = std::clamp(y, t + radius, b - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  };
}
Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}
Shape Capsule(double ax, double ay, double bx, double by, double half) {
  return [=](double x, double y) {
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0, 1.0) : 0.0;
    const double qx = ax + t * dx - x, qy = ay + t * dy - y;
    return qx * qx + qy * qy <= half * half;
  };
}
Shader VGrad(double t, double b, Color top, Color bottom) {
  return [=](double, double y) { return Mix(top, bottom, (y - t) / std::max(1.0, b - t)); };
}

constexpr Color kNavyTop = RGB(44, 104, 148), kNavyBottom = RGB(0, 52, 90), kNavyEdge = RGB(0, 34, 60);
constexpr Color kBloodDark = RGB(128, 12, 24);
constexpr Color kSlate = RGB(66, 85, 92), kPaper = RGB(252, 252, 250);

// A drop: a circle below and a point above, joined by the two tangents.
Shape Drop(double cx, double cy, double r, double tipY) {
  return [=](double x, double y) {
    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) return true;
    if (y < tipY || y > cy) return false;
    // Half width of the cone at height y, from the tip (0) to the circle's tangent points.
    const double h = cy - tipY, k = r / std::sqrt(std::max(1e-9, h * h - r * r));
    return std::fabs(x - cx) <= (y - tipY) * k;
  };
}

void PaintApplication(IconPainter& p) {
  p.Fill(RoundRect(1, 1, 31, 31, 6), kNavyEdge);
  p.Fill(RoundRect(2, 2, 30, 30, 5), VGrad(2, 30, kNavyTop, kNavyBottom));
  p.Fill(Capsule(6, 3.2, 26, 3.2, 0.6), RGB(120, 170, 204));
  p.Fill(Drop(16, 19.5, 7.5, 4), RGB(255, 255, 255));
  p.Fill(Drop(16, 19.5, 6.2, 6.2), VGrad(6, 26, RGB(226, 58, 68), kBloodDark));
  p.Fill(Capsule(12.6, 17.5, 12.6, 21.5, 1.1), RGB(246, 170, 170));
}

void PaintKeypad(IconPainter& p) {
  p.Fill(RoundRect(2, 4, 30, 29, 4), RGB(35, 75, 105));
  p.Fill(RoundRect(3, 5, 29, 28, 3), VGrad(5, 28, RGB(236, 240, 242), RGB(196, 205, 210)));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) {
      const double x = 5.5 + col * 5.5, y = 8 + row * 5;
      p.Fill(RoundRect(x, y, x + 4, y + 3.4, 0.8), RGB(44, 92, 128));
    }
  p.Fill(RoundRect(9, 23, 23, 26, 0.8), RGB(44, 92, 128));
}

void PaintPrinter(IconPainter& p) {
  // The sheet going in, the printer, its lamp and the printed sheet coming out.
  p.Fill(RoundRect(8, 2, 24, 13, 0.5), kSlate);
  p.Fill(RoundRect(9, 3, 23, 13, 0), kPaper);
  p.Fill(RoundRect(1.5, 11, 30.5, 24, 3), RGB(40, 54, 62));
  p.Fill(RoundRect(2.5, 12, 29.5, 23, 2.2), VGrad(12, 23, RGB(120, 140, 150), RGB(70, 88, 98)));
  p.Fill(Circle(25.5, 15.5, 1.5), RGB(80, 210, 90));
  p.Fill(RoundRect(6, 18.5, 26, 20, 0.5), RGB(30, 40, 46));
  p.Fill(RoundRect(7, 19, 25, 30.5, 0.5), kSlate);
  p.Fill(RoundRect(8, 19, 24, 29.5, 0), kPaper);
  for (double y = 22; y < 29; y += 2.2) p.Fill(RoundRect(10, y, y < 27 ? 22 : 18, y + 1, 0), RGB(90, 110, 120));
}

void PaintSampleTube(IconPainter& p) {
  // An upright sample tube: a blue cap, clear glass, blood in its lower part.
  p.Fill(Capsule(16, 7, 16, 26, 5.6), RGB(60, 80, 92));
  p.Fill(Capsule(16, 7, 16, 26, 4.6), RGB(230, 238, 242));
  const Shape glass = Capsule(16, 7, 16, 26, 4.6);
  p.Fill([glass](double x, double y) { return glass(x, y) && y >= 16; }, VGrad(16, 31, RGB(214, 44, 56), kBloodDark));
  p.Fill(RoundRect(13.2, 9, 14.4, 26, 0.6), RGB(255, 255, 255));
  p.Fill(RoundRect(8.5, 1, 23.5, 9, 2), RGB(20, 70, 130));
  p.Fill(RoundRect(9.5, 2, 22.5, 4.2, 1), RGB(90, 150, 210));
}

}  // namespace

draw::Bitmap PaintIcon(const SkinIcon& icon) {
  draw::Bitmap bmp = draw::Bitmap::CreateWithAlpha(icon.size, icon.size);
  if (bmp.IsNull()) return bmp;
  {
    IconPainter p(bmp);
    switch (icon.kind) {
      case IconKind::Application: PaintApplication(p); break;
      case IconKind::Keypad: PaintKeypad(p); break;
      case IconKind::Printer: PaintPrinter(p); break;
      case IconKind::SampleTube: PaintSampleTube(p); break;
    }
  }
  return bmp;
}

}  // namespace skin
