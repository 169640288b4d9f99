#pragma once
// Brushes are plain values like pens (see pen.h).
#include "platform/ui/draw/color.h"

namespace draw {

enum class BrushStyle {
  Solid,
  Null,  // hollow: figures are not filled
};

struct Brush {
  BrushStyle style = BrushStyle::Solid;
  Color color = kWhite;

  constexpr Brush() = default;
  constexpr Brush(BrushStyle s, Color c) : style(s), color(c) {}
  static constexpr Brush Solid(Color c) { return Brush(BrushStyle::Solid, c); }
  static constexpr Brush NullBrush() { return Brush(BrushStyle::Null, kBlack); }
  friend constexpr bool operator==(const Brush&, const Brush&) = default;
};

}  // namespace draw
