#pragma once
// Pens are plain values: selecting one into a device context copies it, so
// nothing has to be deleted and a pen may outlive the context or the other way round.
#include "platform/ui/draw/color.h"

namespace draw {

enum class PenStyle {
  Solid,
  Dash,         // 18 on, 6 off (scaled by the width for wide pens)
  Dot,          // 3 on, 3 off
  DashDot,      // 9, 6, 3, 6
  DashDotDot,   // 9, 3, 3, 3, 3, 3
  Null,         // draws nothing
  InsideFrame,  // solid; a closed figure's outline is kept inside its bounding rectangle
};

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;  // in logical units; 0 means one device pixel whatever the mapping
  Color color = kBlack;

  constexpr Pen() = default;
  constexpr Pen(PenStyle s, int w, Color c) : style(s), width(w), color(c) {}
  static constexpr Pen Solid(Color c, int w = 1) { return Pen(PenStyle::Solid, w, c); }
  static constexpr Pen NullPen() { return Pen(PenStyle::Null, 0, kBlack); }
  friend constexpr bool operator==(const Pen&, const Pen&) = default;
};

}  // namespace draw
