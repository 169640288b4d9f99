#pragma once
// Inside of the device context, shared by its source files.
#include <cairo.h>

#include <cstring>

#include <optional>
#include <vector>

#include "platform/ui/draw/dc.h"

namespace draw {

struct DcState {
  Pen pen;
  Brush brush;
  Font font;
  Bitmap bitmap;  // memory DCs: the selected bitmap
  Color textColor = kBlack;
  Color bkColor = kWhite;
  BkMode bkMode = BkMode::Opaque;
  unsigned textAlign = 0;
  Rop2 rop2 = Rop2::CopyPen;
  PolyFillMode fillMode = PolyFillMode::Alternate;
  StretchMode stretchMode = StretchMode::Nearest;
  MapMode mapMode = MapMode::Text;
  Point winOrg, vpOrg;
  Size winExt{1, 1}, vpExt{1, 1};
  std::optional<std::vector<Rect>> clip;  // device pixels, before the device origin
  Point cur;
};

struct DC::Impl {
  cairo_surface_t* surface = nullptr;  // one reference held
  cairo_t* cr = nullptr;
  bool memory = false;
  bool mono = false;           // the target is a monochrome bitmap
  bool textSmoothing = true;
  DeviceInfo info;
  Point devOrigin;
  std::vector<Rect> devClip;  // surface pixels; empty: whole surface
  DcState st;
  std::vector<DcState> saved;

  // Effective clip in surface pixels (raster surfaces) — recomputed when dirty.
  mutable bool clipDirty = true;
  mutable std::vector<Rect> effClip;

  ~Impl();
  void Attach(cairo_surface_t* s);  // takes one reference
  bool Raster() const;              // pixels can be read and combined
  // Device pixel <-> logical, as doubles.
  double Dx(double lx) const;
  double Dy(double ly) const;
  double ScaleX() const;  // device pixels per logical unit
  double ScaleY() const;
  double Lx(double dx) const;
  double Ly(double dy) const;
  Rect DevRect(int l, int t, int r, int b) const;  // normalised, rounded device rectangle
  // Starts a drawing operation: device-pixel user space, clip applied. Pair with End().
  void Begin() const;
  void End() const;
  const std::vector<Rect>& EffectiveClip() const;  // surface pixels
  Rect SurfaceBounds() const;
  void ApplyMapModeDefaults();
  // The colour really drawn: black or white on a monochrome target.
  Color Ink(Color c) const {
    if (!mono) return c & 0xFFFFFF;
    return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) >= 128000 ? kWhite : kBlack;
  }
  cairo_antialias_t TextAntialias() const {
    return (mono || !textSmoothing) ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY;
  }

  // Pixel access on raster surfaces (surface pixel coordinates).
  uint32_t* Row(int y) const;
  int SurfW() const;
  int SurfH() const;
  void PixelsBegin() const;
  void PixelsEnd() const;
};

// Surface pixel word for a colour (native 0xAARRGGBB, opaque).
inline uint32_t ToPixel(Color c) {
  return 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) |
         (static_cast<uint32_t>(GetGValue(c)) << 8) | static_cast<uint32_t>(GetBValue(c));
}
inline Color FromPixel(uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
inline void SetSource(cairo_t* cr, Color c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}
// Sets `n` pixels to `v`, four at a time (a run of solid colour is most of a screen's area).
inline void FillPixels(uint32_t* p, int n, uint32_t v) {
  typedef uint32_t Px4 __attribute__((vector_size(16)));
  const Px4 q = {v, v, v, v};
  int i = 0;
  for (; i + 4 <= n; i += 4) std::memcpy(p + i, &q, sizeof q);
  for (; i < n; ++i) p[i] = v;
}
// The binary raster operation of `mode` on pen pixel p and destination pixel d (colour bits).
inline uint32_t ApplyRop2(Rop2 mode, uint32_t p, uint32_t d) {
  unsigned code = static_cast<unsigned>(mode) - 1;  // truth table over (pen, dest)
  uint32_t r = 0;
  if (code & 1) r |= ~p & ~d;
  if (code & 2) r |= ~p & d;
  if (code & 4) r |= p & ~d;
  if (code & 8) r |= p & d;
  return (r & 0x00FFFFFFu) | 0xFF000000u;
}
// The ternary raster operation (pattern, source, destination) of `rop`.
inline uint32_t ApplyRop3(uint32_t rop, uint32_t p, uint32_t s, uint32_t d) {
  unsigned code = (rop >> 16) & 0xFF;
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(code & (1u << i))) continue;
    uint32_t pp = (i & 4) ? p : ~p, ss = (i & 2) ? s : ~s, dd = (i & 1) ? d : ~d;
    r |= pp & ss & dd;
  }
  return (r & 0x00FFFFFFu) | 0xFF000000u;
}

}  // namespace draw
