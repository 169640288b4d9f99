#pragma once
// Points, sizes and rectangles in integer units. A rectangle includes its left and top
// edges and excludes its right and bottom ones.
#include <algorithm>

namespace draw {

struct Point {
  int x = 0, y = 0;
  constexpr Point() = default;
  constexpr Point(int px, int py) : x(px), y(py) {}
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0, cy = 0;
  constexpr Size() = default;
  constexpr Size(int w, int h) : cx(w), cy(h) {}
  friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr Rect() = default;
  constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  static constexpr Rect FromSize(int x, int y, int w, int h) { return Rect(x, y, x + w, y + h); }

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr Point TopLeft() const { return Point(left, top); }
  constexpr Point BottomRight() const { return Point(right, bottom); }
  constexpr Point Center() const { return Point((left + right) / 2, (top + bottom) / 2); }

  constexpr Rect Offset(int dx, int dy) const { return Rect(left + dx, top + dy, right + dx, bottom + dy); }
  constexpr Rect Inflate(int dx, int dy) const { return Rect(left - dx, top - dy, right + dx, bottom + dy); }
  // Left <= right and top <= bottom.
  constexpr Rect Normalized() const {
    return Rect(std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom));
  }
  // The common part; an empty rectangle (all zero) when they do not meet.
  constexpr Rect Intersect(const Rect& o) const {
    Rect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom));
    return r.IsEmpty() ? Rect() : r;
  }
  // The smallest rectangle holding both; an empty one does not count.
  constexpr Rect Union(const Rect& o) const {
    if (IsEmpty()) return o;
    if (o.IsEmpty()) return *this;
    return Rect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom));
  }
  constexpr bool Intersects(const Rect& o) const { return !Intersect(o).IsEmpty(); }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace draw
