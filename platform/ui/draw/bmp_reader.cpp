// Reading Windows bitmap files: every header version the resources use, palette and
// true-colour pixels, bottom-up and top-down rows. Each size read from the file is checked
// against what the file really holds before a pixel is touched.
#include <cairo.h>

#include <cstring>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/bitmap_impl.h"

namespace draw {

namespace {

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// Position and width of a bit-field mask, for scaling the field to 8 bits.
struct Field {
  uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit Field(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
  }
  uint32_t Get(uint32_t v) const {
    if (!mask || !bits) return 0;
    uint32_t x = (v & mask) >> shift;
    uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
    return static_cast<uint32_t>((static_cast<uint64_t>(x) * 255 + max / 2) / max);
  }
};

Bitmap Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return Bitmap();
}

}  // namespace

Bitmap Bitmap::LoadBmp(const void* data, size_t size, std::string* error) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  if (!p || size < 14 + 12) return Fail(error, "truncated BMP header");
  if (p[0] != 'B' || p[1] != 'M') return Fail(error, "not a BMP file");
  const uint32_t pixelOffset = U32(p + 10);
  const uint32_t headerSize = U32(p + 14);
  if (headerSize < 12 || headerSize > size - 14) return Fail(error, "bad BMP header size");
  const uint8_t* h = p + 14;
  int64_t width, height;
  uint32_t bpp, compression = 0, colorsUsed = 0;
  uint32_t rMask = 0, gMask = 0, bMask = 0, aMask = 0;
  int paletteEntry = 4;
  if (headerSize == 12) {  // the old core header
    width = U16(h + 4);
    height = static_cast<int16_t>(U16(h + 6));
    bpp = U16(h + 10);
    paletteEntry = 3;
  } else {
    if (headerSize < 40) return Fail(error, "bad BMP header size");
    width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    if (U16(h + 12) != 1) return Fail(error, "bad BMP plane count");
    bpp = U16(h + 14);
    compression = U32(h + 16);
    colorsUsed = U32(h + 32);
    if (compression == 3 || compression == 6) {
      // Masks follow a 40-byte header, or sit inside the larger ones.
      const uint8_t* m = h + 40;
      size_t need = 14 + 40 + (compression == 6 ? 16 : 12);
      if (headerSize >= 52) need = 14 + 40 + 12;
      if (size < need) return Fail(error, "truncated BMP bit-field masks");
      rMask = U32(m);
      gMask = U32(m + 4);
      bMask = U32(m + 8);
      if (compression == 6 || headerSize >= 56) aMask = (size >= 14 + 56) ? U32(m + 12) : 0;
    } else if (compression != 0) {
      return Fail(error, "compressed BMP not supported");
    }
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
    return Fail(error, "bad BMP size");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail(error, "unsupported BMP bit depth");
  if ((compression == 3 || compression == 6) && bpp != 16 && bpp != 32)
    return Fail(error, "bit fields need 16 or 32 bits a pixel");
  if (bpp == 16 && compression == 0) {  // 5-5-5
    rMask = 0x7C00; gMask = 0x03E0; bMask = 0x001F;
  }
  if (bpp == 32 && compression == 0) {
    rMask = 0x00FF0000; gMask = 0x0000FF00; bMask = 0x000000FF;
  }

  // Palette.
  uint32_t palette[256] = {};
  uint32_t paletteSize = 0;
  if (bpp <= 8) {
    paletteSize = colorsUsed ? colorsUsed : (1u << bpp);
    if (paletteSize > (1u << bpp)) return Fail(error, "bad BMP palette size");
    size_t palStart = 14 + static_cast<size_t>(headerSize);
    if (compression == 3) palStart += 12;
    // Writers often store fewer entries than the depth allows: take what fits before the pixels.
    if (pixelOffset > palStart) {
      size_t room = (static_cast<size_t>(pixelOffset) - palStart) / paletteEntry;
      if (room < paletteSize) paletteSize = static_cast<uint32_t>(room);
    }
    if (palStart + static_cast<size_t>(paletteSize) * paletteEntry > size) return Fail(error, "truncated BMP palette");
    for (uint32_t i = 0; i < paletteSize; ++i) {
      const uint8_t* e = p + palStart + static_cast<size_t>(i) * paletteEntry;
      palette[i] = 0xFF000000u | (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }
  }

  const size_t rowBytes = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
  if (pixelOffset >= size || rowBytes * static_cast<size_t>(height) > size - pixelOffset)
    return Fail(error, "truncated BMP pixel data");

  cairo_surface_t* s = NewImageSurface(static_cast<int>(width), static_cast<int>(height), aMask != 0);
  if (!s) return Fail(error, "out of memory");
  cairo_surface_flush(s);
  uint8_t* out = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  Field fr(rMask), fg(gMask), fb(bMask), fa(aMask);
  bool anyAlpha = false;
  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* src = p + pixelOffset + rowBytes * static_cast<size_t>(topDown ? y : height - 1 - y);
    uint32_t* dst = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(y) * stride);
    for (int64_t x = 0; x < width; ++x) {
      uint32_t px;
      if (bpp <= 8) {
        uint32_t bitPos = static_cast<uint32_t>(x) * bpp;
        uint32_t byte = src[bitPos / 8];
        uint32_t idx = (byte >> (8 - bpp - bitPos % 8)) & ((1u << bpp) - 1);
        px = idx < paletteSize ? palette[idx] : 0xFF000000u;
      } else if (bpp == 24) {
        const uint8_t* q = src + x * 3;
        px = 0xFF000000u | (static_cast<uint32_t>(q[2]) << 16) | (static_cast<uint32_t>(q[1]) << 8) | q[0];
      } else {
        uint32_t v = bpp == 16 ? U16(src + x * 2) : U32(src + x * 4);
        uint32_t a = aMask ? fa.Get(v) : 0xFF;
        uint32_t r = fr.Get(v), g = fg.Get(v), b = fb.Get(v);
        if (aMask) {
          if (a != 0xFF) anyAlpha = true;
          r = r * a / 255; g = g * a / 255; b = b * a / 255;  // premultiplied
        }
        px = (a << 24) | (r << 16) | (g << 8) | b;
      }
      dst[x] = px;
    }
  }
  cairo_surface_mark_dirty(s);
  Bitmap b = FromSurface(s);
  // A 32-bit file whose alpha is all opaque is an ordinary opaque picture.
  if (aMask && !anyAlpha) {
    Bitmap rgb = Create(b.Width(), b.Height());
    cairo_t* cr = cairo_create(rgb.Surface());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return rgb;
  }
  return b;
}

}  // namespace draw
