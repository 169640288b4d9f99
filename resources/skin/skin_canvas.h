#pragma once
// Pixel-level painting for the skin: gradients and rounded shapes with hard edges, so that
// every pixel is either fully a colour or fully the magenta key (no blended fringe that a
// transparent copy would leave behind as a pink halo).
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/color.h"

namespace skin {

// Linear mix of two colours; t = 0 gives a, t = 1 gives b.
draw::Color Mix(draw::Color a, draw::Color b, double t);
// Lighter (amount > 0, toward white) or darker (amount < 0, toward black).
draw::Color Shade(draw::Color c, double amount);

// True when the pixel (x, y) lies inside the rounded rectangle [l, r) x [t, b) with corner
// radius `radius` (pixel centres tested).
bool InRounded(int x, int y, int l, int t, int r, int b, int radius);

class Canvas {
 public:
  explicit Canvas(draw::Bitmap& bmp);
  ~Canvas();  // marks the pixels changed
  int Width() const { return w_; }
  int Height() const { return h_; }
  void Put(int x, int y, draw::Color c);
  draw::Color Get(int x, int y) const;
  void Fill(draw::Color c);
  // A rounded face: vertical gradient from `top` to `bottom`, a one-pixel `border`, and a
  // one-pixel highlight just inside the top edge.
  void RoundedFace(int l, int t, int r, int b, int radius, draw::Color top, draw::Color bottom,
                   draw::Color border, draw::Color highlight);
  // Vertical gradient over the rectangle (no rounding).
  void VGradient(int l, int t, int r, int b, draw::Color top, draw::Color bottom);
  void HLine(int l, int r, int y, draw::Color c);

 private:
  uint32_t* Row(int y) const;
  draw::Bitmap& bmp_;
  int w_, h_;
};

}  // namespace skin
