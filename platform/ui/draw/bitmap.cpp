#include "platform/ui/draw/bitmap.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sys/atomic_file.h"
#include "platform/ui/draw/bitmap_impl.h"

namespace draw {

cairo_surface_t* NewImageSurface(int w, int h, bool alpha) {
  if (w <= 0 || h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide) return nullptr;
  cairo_surface_t* s = cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return s;
}

Bitmap Bitmap::Create(int width, int height, Color fill) {
  cairo_surface_t* s = NewImageSurface(width, height, false);
  if (!s) return Bitmap();
  cairo_surface_flush(s);
  uint8_t* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  uint32_t px = 0xFF000000u | (static_cast<uint32_t>(GetRValue(fill)) << 16) |
                (static_cast<uint32_t>(GetGValue(fill)) << 8) | GetBValue(fill);
  for (int y = 0; y < height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width; ++x) row[x] = px;
  }
  cairo_surface_mark_dirty(s);
  return FromSurface(s);
}

Bitmap Bitmap::CreateMonochrome(int width, int height) {
  Bitmap b = Create(width, height, kBlack);
  if (b.impl_) b.impl_->mono = true;
  return b;
}

Bitmap Bitmap::CreateWithAlpha(int width, int height) {
  cairo_surface_t* s = NewImageSurface(width, height, true);
  if (!s) return Bitmap();
  return FromSurface(s);  // cairo clears new surfaces to transparent
}

Bitmap Bitmap::FromSurface(cairo_surface_t* surface) {
  Bitmap b;
  if (!surface) return b;
  if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
    cairo_surface_destroy(surface);
    return b;
  }
  b.impl_ = std::make_shared<Impl>(surface);
  return b;
}

Bitmap Bitmap::LoadFile(const std::string& path, std::string* error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (error) *error = "cannot open " + path;
    return Bitmap();
  }
  std::vector<uint8_t> buf;
  // Room for the whole file at once: a screen's background is over a megabyte.
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long size = std::ftell(f);
    if (size > 0 && size <= (1L << 30)) buf.reserve(static_cast<size_t>(size));
    std::rewind(f);
  }
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    buf.insert(buf.end(), chunk, chunk + n);
    if (buf.size() > (size_t(1) << 30)) break;  // no bitmap of ours is that large
  }
  bool bad = std::ferror(f);
  std::fclose(f);
  if (bad) {
    if (error) *error = "cannot read " + path;
    return Bitmap();
  }
  std::string err;
  Bitmap b = LoadMemory(buf.data(), buf.size(), &err);
  if (!b && error) *error = path + ": " + err;
  return b;
}

Bitmap Bitmap::LoadMemory(const void* data, size_t size, std::string* error) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  if (p && size >= 2 && p[0] == 'B' && p[1] == 'M') return LoadBmp(data, size, error);
  if (p && size >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0) return LoadPng(data, size, error);
  if (error) *error = "not a BMP or PNG image";
  return Bitmap();
}

namespace {
struct PngReader {
  const uint8_t* p;
  size_t size, pos;
};
cairo_status_t ReadPngBytes(void* closure, unsigned char* out, unsigned int len) {
  auto* r = static_cast<PngReader*>(closure);
  if (r->size - r->pos < len) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, r->p + r->pos, len);
  r->pos += len;
  return CAIRO_STATUS_SUCCESS;
}
}  // namespace

Bitmap Bitmap::LoadPng(const void* data, size_t size, std::string* error) {
  PngReader r{static_cast<const uint8_t*>(data), size, 0};
  if (!data || size < 8) {
    if (error) *error = "truncated PNG";
    return Bitmap();
  }
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadPngBytes, &r);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    if (error) *error = std::string("bad PNG: ") + cairo_status_to_string(cairo_surface_status(s));
    cairo_surface_destroy(s);
    return Bitmap();
  }
  int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  if (w > kMaxBitmapSide || h > kMaxBitmapSide) {
    cairo_surface_destroy(s);
    if (error) *error = "PNG too large";
    return Bitmap();
  }
  // Opaque images become plain RGB so the raster operations see exact colours.
  if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32) {
    cairo_surface_flush(s);
    const uint8_t* d = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    bool opaque = true;
    for (int y = 0; y < h && opaque; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(d + static_cast<size_t>(y) * stride);
      for (int x = 0; x < w; ++x)
        if ((row[x] >> 24) != 0xFF) { opaque = false; break; }
    }
    if (!opaque) return FromSurface(s);
  }
  if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_RGB24) {
    cairo_surface_t* rgb = NewImageSurface(w, h, false);
    cairo_t* cr = cairo_create(rgb);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    s = rgb;
  }
  return FromSurface(s);
}

int Bitmap::Width() const { return impl_ ? cairo_image_surface_get_width(impl_->surface) : 0; }
int Bitmap::Height() const { return impl_ ? cairo_image_surface_get_height(impl_->surface) : 0; }
bool Bitmap::IsMonochrome() const { return impl_ && impl_->mono; }
bool Bitmap::HasAlpha() const {
  return impl_ && cairo_image_surface_get_format(impl_->surface) == CAIRO_FORMAT_ARGB32;
}

Color Bitmap::GetPixel(int x, int y) const {
  if (!impl_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return kInvalidColor;
  cairo_surface_flush(impl_->surface);
  const uint8_t* d = cairo_image_surface_get_data(impl_->surface);
  uint32_t p = reinterpret_cast<const uint32_t*>(d + static_cast<size_t>(y) * Stride())[x];
  unsigned a = p >> 24;
  if (HasAlpha() && a != 0xFF) {
    if (a == 0) return kBlack;
    auto un = [a](uint32_t v) { return static_cast<int>(std::min<uint32_t>(255, (v * 255 + a / 2) / a)); };
    return RGB(un((p >> 16) & 0xFF), un((p >> 8) & 0xFF), un(p & 0xFF));
  }
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void Bitmap::SetPixel(int x, int y, Color c) {
  if (!impl_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  cairo_surface_flush(impl_->surface);
  uint8_t* d = cairo_image_surface_get_data(impl_->surface);
  if (impl_->mono) c = (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) >= 128000 ? kWhite : kBlack;
  reinterpret_cast<uint32_t*>(d + static_cast<size_t>(y) * Stride())[x] =
      0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
      GetBValue(c);
  cairo_surface_mark_dirty_rectangle(impl_->surface, x, y, 1, 1);
}

uint8_t* Bitmap::Data() {
  if (!impl_) return nullptr;
  cairo_surface_flush(impl_->surface);
  return cairo_image_surface_get_data(impl_->surface);
}
const uint8_t* Bitmap::Data() const {
  if (!impl_) return nullptr;
  cairo_surface_flush(impl_->surface);
  return cairo_image_surface_get_data(impl_->surface);
}
int Bitmap::Stride() const { return impl_ ? cairo_image_surface_get_stride(impl_->surface) : 0; }
void Bitmap::MarkDirty() {
  if (impl_) cairo_surface_mark_dirty(impl_->surface);
}
cairo_surface_t* Bitmap::Surface() const { return impl_ ? impl_->surface : nullptr; }

Bitmap Bitmap::Clone() const {
  if (!impl_) return Bitmap();
  cairo_surface_t* s = NewImageSurface(Width(), Height(), HasAlpha());
  if (!s) return Bitmap();
  cairo_surface_flush(impl_->surface);
  cairo_surface_flush(s);
  const uint8_t* src = cairo_image_surface_get_data(impl_->surface);
  uint8_t* dst = cairo_image_surface_get_data(s);
  int ss = Stride(), ds = cairo_image_surface_get_stride(s);
  for (int y = 0; y < Height(); ++y)
    std::memcpy(dst + static_cast<size_t>(y) * ds, src + static_cast<size_t>(y) * ss, static_cast<size_t>(Width()) * 4);
  cairo_surface_mark_dirty(s);
  Bitmap copy = FromSurface(s);
  if (copy.impl_) copy.impl_->mono = impl_->mono;
  return copy;
}

bool Bitmap::SavePng(const std::string& path, std::string* error) const {
  if (!impl_) {
    if (error) *error = "null bitmap";
    return false;
  }
  return WriteSurfacePng(impl_->surface, path, error);
}

bool WriteSurfacePng(cairo_surface_t* surface, const std::string& path, std::string* error) {
  cairo_surface_flush(surface);
  std::string bytes;
  cairo_status_t st = cairo_surface_write_to_png_stream(
      surface,
      [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &bytes);
  if (st != CAIRO_STATUS_SUCCESS) {
    if (error) *error = "cannot write " + path + ": " + cairo_status_to_string(st);
    return false;
  }
  return sys::WriteFileAtomic(path, bytes, error);
}

std::vector<uint8_t> Bitmap::EncodeBmp() const {
  std::vector<uint8_t> out;
  if (!impl_) return out;
  const int w = Width(), h = Height();
  const bool alpha = HasAlpha();
  const int bpp = alpha ? 32 : 24;
  const size_t rowBytes = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  const size_t imageSize = rowBytes * static_cast<size_t>(h);
  const size_t fileSize = 14 + 40 + imageSize;
  out.assign(fileSize, 0);
  auto put16 = [&](size_t at, uint32_t v) { out[at] = v & 0xFF; out[at + 1] = (v >> 8) & 0xFF; };
  auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<uint32_t>(fileSize));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));  // bottom-up
  put16(26, 1);
  put16(28, bpp);
  put32(34, static_cast<uint32_t>(imageSize));
  put32(38, 3780);  // 96 dpi
  put32(42, 3780);
  const uint8_t* d = Data();
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(d + static_cast<size_t>(h - 1 - y) * Stride());
    uint8_t* o = out.data() + 54 + rowBytes * static_cast<size_t>(y);
    for (int x = 0; x < w; ++x) {
      Color c = GetPixel(x, h - 1 - y);
      *o++ = static_cast<uint8_t>(GetBValue(c));
      *o++ = static_cast<uint8_t>(GetGValue(c));
      *o++ = static_cast<uint8_t>(GetRValue(c));
      if (alpha) *o++ = static_cast<uint8_t>(row[x] >> 24);
    }
  }
  return out;
}

bool Bitmap::SaveBmp(const std::string& path, std::string* error) const {
  std::vector<uint8_t> bytes = EncodeBmp();
  if (bytes.empty()) {
    if (error) *error = "null bitmap";
    return false;
  }
  return sys::WriteFileAtomic(path, std::string(bytes.begin(), bytes.end()), error);
}

}  // namespace draw
