// Block transfers: copies, raster operations, stretching and the colour-keyed copy.
#include <cairo.h>

#include <cmath>
#include <optional>

#include "platform/ui/draw/dc.h"
#include "platform/ui/draw/dc_impl.h"

namespace draw {

namespace {

struct Source {
  cairo_surface_t* surface = nullptr;  // an image surface
  Rect rect;                           // in its pixels; may reach outside it
  bool mono = false;                   // a monochrome bitmap
  Color bk = kWhite;                   // the source DC's background colour
};

bool UsesSource(uint32_t rop) {
  unsigned c = (rop >> 16) & 0xFF;
  return ((c >> 2) & 0x33) != (c & 0x33);
}
bool UsesPattern(uint32_t rop) {
  unsigned c = (rop >> 16) & 0xFF;
  return ((c >> 4) & 0x0F) != (c & 0x0F);
}

// Premultiplied source over an opaque destination.
uint32_t Over(uint32_t s, uint32_t d) {
  uint32_t a = s >> 24;
  if (a == 0xFF) return s;
  if (a == 0) return d | 0xFF000000u;
  uint32_t inv = 255 - a, out = 0xFF000000u;
  for (int sh = 0; sh <= 16; sh += 8) {
    uint32_t v = ((s >> sh) & 0xFF) + (((d >> sh) & 0xFF) * inv + 127) / 255;
    out |= std::min<uint32_t>(v, 255) << sh;
  }
  return out;
}

}  // namespace

struct BlitOps {
  DC::Impl& d;

  // Copies `src` onto the device rectangle `dev` under `rop`; with `key`, source pixels
  // of that colour are left out.
  bool Transfer(const Rect& dev, const Source& src, uint32_t rop, std::optional<Color> key) {
    if (dev.IsEmpty()) return true;
    const bool needSrc = UsesSource(rop) || key;
    if (needSrc && (!src.surface || src.rect.IsEmpty())) return false;
    const bool srcAlpha = src.surface && cairo_image_surface_get_format(src.surface) == CAIRO_FORMAT_ARGB32;
    const bool sameSize = !needSrc || (src.rect.Width() == dev.Width() && src.rect.Height() == dev.Height());
    const bool smooth = d.st.stretchMode == StretchMode::Smooth && !sameSize;
    if (!d.Raster() || (smooth && rop == kSrcCopy && !key)) return CairoCopy(dev, src, rop, key, smooth);

    const uint32_t pat = (d.st.brush.style == BrushStyle::Null) ? ToPixel(kBlack) : ToPixel(d.Ink(d.st.brush.color));
    const uint32_t keyPx = key ? (ToPixel(*key) & 0xFFFFFF) : 0;
    const uint8_t* sdata = nullptr;
    int sstride = 0, sw = 0, sh = 0;
    if (needSrc) {
      cairo_surface_flush(src.surface);
      sdata = cairo_image_surface_get_data(src.surface);
      sstride = cairo_image_surface_get_stride(src.surface);
      sw = cairo_image_surface_get_width(src.surface);
      sh = cairo_image_surface_get_height(src.surface);
    }
    // Between colour and monochrome: going to black and white, the source's background
    // colour becomes white and everything else black; coming from black and white, white
    // becomes this DC's background colour and black its text colour (the mask technique).
    const bool toMono = needSrc && d.mono && !src.mono, fromMono = needSrc && src.mono && !d.mono;
    const uint32_t srcBkPx = ToPixel(src.bk) & 0xFFFFFF;
    const uint32_t white = ToPixel(kWhite), black = ToPixel(kBlack);
    const uint32_t bkPx = ToPixel(d.st.bkColor & 0xFFFFFF), textPx = ToPixel(d.st.textColor & 0xFFFFFF);
    const Rect sdev = dev.Offset(d.devOrigin.x, d.devOrigin.y);
    d.PixelsBegin();
    if (needSrc && sameSize && rop == kSrcCopy && !srcAlpha && !d.mono && !src.mono) {
      // An unscaled opaque copy, the skins' case: source pixels map one to one, and a copy
      // keeps the source's colour with full alpha (what the raster operation gives).
      CopyRows(sdev, src, sdata, sstride, sw, sh, key.has_value(), keyPx);
      d.PixelsEnd();
      return true;
    }
    for (const Rect& c : d.EffectiveClip()) {
      const Rect i = sdev.Intersect(c);
      for (int y = i.top; y < i.bottom; ++y) {
        uint32_t* row = d.Row(y);
        int sy = 0;
        if (needSrc) {
          sy = src.rect.top + static_cast<int>((static_cast<int64_t>(y - sdev.top) * src.rect.Height()) / dev.Height());
          if (sy < 0 || sy >= sh) continue;
        }
        const uint32_t* srow = needSrc ? reinterpret_cast<const uint32_t*>(sdata + static_cast<size_t>(sy) * sstride) : nullptr;
        for (int x = i.left; x < i.right; ++x) {
          uint32_t s = 0;
          if (needSrc) {
            int sx = src.rect.left + static_cast<int>((static_cast<int64_t>(x - sdev.left) * src.rect.Width()) / dev.Width());
            if (sx < 0 || sx >= sw) continue;
            s = srow[sx];
            if (key && (s & 0xFFFFFF) == keyPx) continue;
            if (toMono) s = (s & 0xFFFFFF) == srcBkPx ? white : black;
            else if (fromMono) s = (s & 0xFFFFFF) == 0xFFFFFF ? bkPx : textPx;
          }
          uint32_t v = (srcAlpha && rop == kSrcCopy) ? Over(s, row[x]) : ApplyRop3(rop, pat, s, row[x]);
          if (d.mono) v = ToPixel(d.Ink(FromPixel(v)));
          row[x] = v;
        }
      }
    }
    d.PixelsEnd();
    return true;
  }

  void CopyRows(const Rect& sdev, const Source& src, const uint8_t* sdata, int sstride, int sw, int sh, bool keyed,
                uint32_t keyPx) {
    const int dx = src.rect.left - sdev.left, dy = src.rect.top - sdev.top;
    // Destination pixels whose source pixel lies inside the source bitmap.
    const Rect inside = Rect(-dx, -dy, sw - dx, sh - dy);
    for (const Rect& c : d.EffectiveClip()) {
      const Rect i = sdev.Intersect(c).Intersect(inside);
      for (int y = i.top; y < i.bottom; ++y) {
        uint32_t* row = d.Row(y);
        const uint32_t* srow = reinterpret_cast<const uint32_t*>(sdata + static_cast<size_t>(y + dy) * sstride);
        if (keyed) {
          for (int x = i.left; x < i.right; ++x) {
            const uint32_t px = srow[x + dx];
            if ((px & 0xFFFFFF) != keyPx) row[x] = px | 0xFF000000u;
          }
        } else {
          for (int x = i.left; x < i.right; ++x) row[x] = srow[x + dx] | 0xFF000000u;
        }
      }
    }
  }

  // Through Cairo: page devices and smooth stretching. Only plain copies (and fills) are
  // possible here; bit-wise operations draw as a copy.
  bool CairoCopy(const Rect& dev, const Source& src, uint32_t rop, std::optional<Color> key, bool smooth) {
    cairo_t* cr = d.cr;
    if (!UsesSource(rop) && !key) {
      unsigned code = (rop >> 16) & 0xFF;
      Color c;
      if (code == 0x00) c = kBlack;
      else if (code == 0xFF) c = kWhite;
      else if (code == 0xF0) c = d.st.brush.color;
      else return true;  // needs the destination's pixels
      d.Begin();
      SetSource(cr, d.Ink(c));
      cairo_rectangle(cr, dev.left, dev.top, dev.Width(), dev.Height());
      cairo_fill(cr);
      d.End();
      return true;
    }
    cairo_surface_t* s = src.surface;
    cairo_surface_t* keyed = nullptr;
    Rect sr = src.rect;
    if (key) {
      // A copy of the source part where the key colour is transparent.
      keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sr.Width(), sr.Height());
      cairo_surface_flush(s);
      cairo_surface_flush(keyed);
      const uint8_t* sd = cairo_image_surface_get_data(s);
      const int ss = cairo_image_surface_get_stride(s), sw = cairo_image_surface_get_width(s),
                sh = cairo_image_surface_get_height(s);
      uint8_t* kd = cairo_image_surface_get_data(keyed);
      const int ks = cairo_image_surface_get_stride(keyed);
      const uint32_t kp = ToPixel(*key) & 0xFFFFFF;
      for (int y = 0; y < sr.Height(); ++y) {
        uint32_t* out = reinterpret_cast<uint32_t*>(kd + static_cast<size_t>(y) * ks);
        int yy = sr.top + y;
        for (int x = 0; x < sr.Width(); ++x) {
          int xx = sr.left + x;
          uint32_t v = 0;
          if (yy >= 0 && yy < sh && xx >= 0 && xx < sw) {
            v = reinterpret_cast<const uint32_t*>(sd + static_cast<size_t>(yy) * ss)[xx];
            if ((v & 0xFFFFFF) == kp) v = 0;
          }
          out[x] = v;
        }
      }
      cairo_surface_mark_dirty(keyed);
      s = keyed;
      sr = Rect(0, 0, sr.Width(), sr.Height());
    }
    d.Begin();
    cairo_rectangle(cr, dev.left, dev.top, dev.Width(), dev.Height());
    cairo_clip(cr);
    cairo_translate(cr, dev.left, dev.top);
    cairo_scale(cr, double(dev.Width()) / sr.Width(), double(dev.Height()) / sr.Height());
    cairo_set_source_surface(cr, s, -sr.left, -sr.top);
    cairo_pattern_set_filter(cairo_get_source(cr), smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    d.End();
    if (keyed) cairo_surface_destroy(keyed);
    return true;
  }
};

namespace {
Source FromDC(const DC& src, int sx, int sy, int sw, int sh) {
  Source s;
  cairo_surface_t* surf = src.Surface();
  if (!surf || cairo_surface_get_type(surf) != CAIRO_SURFACE_TYPE_IMAGE) return s;
  s.surface = surf;
  Point a = src.LPtoDP(Point(sx, sy)), b = src.LPtoDP(Point(sx + sw, sy + sh));
  Point o = src.GetDeviceOrigin();
  s.rect = Rect(a.x + o.x, a.y + o.y, b.x + o.x, b.y + o.y).Normalized();
  s.mono = src.GetBitmap().IsMonochrome();
  s.bk = src.GetBkColor() & 0xFFFFFF;
  return s;
}
Source FromBitmap(const Bitmap& bmp, int sx, int sy, int sw, int sh) {
  Source s;
  if (!bmp) return s;
  s.surface = bmp.Surface();
  s.rect = Rect(sx, sy, sx + sw, sy + sh).Normalized();
  s.mono = bmp.IsMonochrome();
  return s;
}
}  // namespace

bool DC::BitBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, uint32_t rop) {
  return StretchBlt(x, y, w, h, src, sx, sy, w, h, rop);
}
bool DC::BitBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, uint32_t rop) {
  return StretchBlt(x, y, w, h, src, sx, sy, w, h, rop);
}

bool DC::StretchBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw, int sh, uint32_t rop) {
  if (!IsValid()) return false;
  Source s;
  if (UsesSource(rop)) {
    if (!src.IsValid()) return false;
    // Cairo may still hold drawing for the source.
    src.impl_->PixelsBegin();
    s = FromDC(src, sx, sy, sw, sh);
  }
  BlitOps ops{*impl_};
  return ops.Transfer(impl_->DevRect(x, y, x + w, y + h), s, rop, std::nullopt);
}

bool DC::StretchBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, int sw, int sh, uint32_t rop) {
  if (!IsValid()) return false;
  BlitOps ops{*impl_};
  return ops.Transfer(impl_->DevRect(x, y, x + w, y + h), FromBitmap(src, sx, sy, sw, sh), rop, std::nullopt);
}

bool DC::TransparentBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw, int sh, Color key) {
  if (!IsValid() || !src.IsValid()) return false;
  src.impl_->PixelsBegin();
  BlitOps ops{*impl_};
  return ops.Transfer(impl_->DevRect(x, y, x + w, y + h), FromDC(src, sx, sy, sw, sh), kSrcCopy, key & 0xFFFFFF);
}

bool DC::TransparentBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, int sw, int sh, Color key) {
  if (!IsValid()) return false;
  BlitOps ops{*impl_};
  return ops.Transfer(impl_->DevRect(x, y, x + w, y + h), FromBitmap(src, sx, sy, sw, sh), kSrcCopy, key & 0xFFFFFF);
}

bool DC::PatBlt(int x, int y, int w, int h, uint32_t rop) {
  if (!IsValid() || UsesSource(rop)) return false;
  (void)UsesPattern;
  BlitOps ops{*impl_};
  return ops.Transfer(impl_->DevRect(x, y, x + w, y + h), Source{}, rop, std::nullopt);
}

void DC::DrawBitmap(int x, int y, const Bitmap& bmp) {
  if (!bmp) return;
  StretchBlt(x, y, bmp.Width(), bmp.Height(), bmp, 0, 0, bmp.Width(), bmp.Height(), kSrcCopy);
}

}  // namespace draw
