#include "resources/skin/skin_canvas.h"

#include <algorithm>
#include <cmath>

namespace skin {

using draw::Color;

Color Mix(Color a, Color b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return draw::RGB(ch(draw::GetRValue(a), draw::GetRValue(b)), ch(draw::GetGValue(a), draw::GetGValue(b)),
                   ch(draw::GetBValue(a), draw::GetBValue(b)));
}

Color Shade(Color c, double amount) {
  return amount >= 0 ? Mix(c, draw::kWhite, amount) : Mix(c, draw::kBlack, -amount);
}

bool InRounded(int x, int y, int l, int t, int r, int b, int radius) {
  if (x < l || x >= r || y < t || y >= b) return false;
  radius = std::min({radius, (r - l) / 2, (b - t) / 2});
  if (radius <= 0) return true;
  double px = x + 0.5, py = y + 0.5;
  double cx = px < l + radius ? l + radius : (px > r - radius ? r - radius : px);
  double cy = py < t + radius ? t + radius : (py > b - radius ? b - radius : py);
  double dx = px - cx, dy = py - cy;
  // A hair under the radius keeps corners from growing single stray pixels.
  return dx * dx + dy * dy <= (radius - 0.1) * (radius - 0.1) + 0.25;
}

Canvas::Canvas(draw::Bitmap& bmp) : bmp_(bmp), w_(bmp.Width()), h_(bmp.Height()) {}
Canvas::~Canvas() { bmp_.MarkDirty(); }

uint32_t* Canvas::Row(int y) const {
  return reinterpret_cast<uint32_t*>(bmp_.Data() + static_cast<size_t>(y) * bmp_.Stride());
}

void Canvas::Put(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  Row(y)[x] = 0xFF000000u | (static_cast<uint32_t>(draw::GetRValue(c)) << 16) |
              (static_cast<uint32_t>(draw::GetGValue(c)) << 8) | static_cast<uint32_t>(draw::GetBValue(c));
}

Color Canvas::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return draw::kInvalidColor;
  uint32_t p = Row(y)[x];
  return draw::RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void Canvas::Fill(Color c) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) Put(x, y, c);
}

void Canvas::RoundedFace(int l, int t, int r, int b, int radius, Color top, Color bottom, Color border,
                         Color highlight) {
  int h = std::max(1, b - t - 1);
  for (int y = t; y < b; ++y) {
    Color row = Mix(top, bottom, static_cast<double>(y - t) / h);
    for (int x = l; x < r; ++x) {
      if (!InRounded(x, y, l, t, r, b, radius)) continue;
      if (!InRounded(x, y, l + 1, t + 1, r - 1, b - 1, radius - 1))
        Put(x, y, border);
      else if (y == t + 1 || (y == t + 2 && !InRounded(x, y - 1, l + 1, t + 1, r - 1, b - 1, radius - 1)))
        Put(x, y, highlight);
      else
        Put(x, y, row);
    }
  }
}

void Canvas::VGradient(int l, int t, int r, int b, Color top, Color bottom) {
  int h = std::max(1, b - t - 1);
  for (int y = t; y < b; ++y) HLine(l, r, y, Mix(top, bottom, static_cast<double>(y - t) / h));
}

void Canvas::HLine(int l, int r, int y, Color c) {
  for (int x = l; x < r; ++x) Put(x, y, c);
}

}  // namespace skin
