#pragma once
// A white pixel canvas with a DC on it, and small pixel queries for the drawing tests.
#include <string>

#include "platform/ui/draw/dc.h"

namespace drawtest {

struct Canvas {
  draw::Bitmap bmp;
  draw::DC dc;
  explicit Canvas(int w = 100, int h = 100, draw::Color fill = draw::kWhite)
      : bmp(draw::Bitmap::Create(w, h, fill)), dc(bmp) {}
  draw::Color At(int x, int y) const { return bmp.GetPixel(x, y); }
  // Pixels in the rectangle that differ from `bg`.
  int CountNot(draw::Color bg, draw::Rect r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (At(x, y) != bg) ++n;
    return n;
  }
  int CountNot(draw::Color bg) const { return CountNot(bg, draw::Rect(0, 0, bmp.Width(), bmp.Height())); }
  // Bounding box of the pixels that differ from `bg` (empty when none).
  draw::Rect Ink(draw::Color bg = draw::kWhite) const {
    draw::Rect box;
    for (int y = 0; y < bmp.Height(); ++y)
      for (int x = 0; x < bmp.Width(); ++x)
        if (At(x, y) != bg) box = box.Union(draw::Rect(x, y, x + 1, y + 1));
    return box;
  }
};

}  // namespace drawtest
