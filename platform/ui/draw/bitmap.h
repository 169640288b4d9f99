#pragma once
// A bitmap: 32-bit pixels in memory (a Cairo image surface). Copies of a Bitmap share the
// same pixels, as handles do; Clone() makes an independent copy.
//
// Files: BMP (1, 4, 8-bit palette, 16, 24 and 32-bit, bottom-up and top-down, uncompressed
// or bit-field) and PNG, from a file or from memory. Bad or truncated files are refused with
// an error text, never read past their end.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/geometry.h"

typedef struct _cairo_surface cairo_surface_t;

namespace draw {

class Bitmap {
 public:
  Bitmap() = default;  // the null bitmap

  // A blank bitmap filled with `fill` (black by default, like a fresh screen-compatible one).
  // Null when the size is not positive or too large (more than 16384 on a side).
  static Bitmap Create(int width, int height, Color fill = kBlack);
  // Black and white only, like a bitmap made for a memory DC that has none selected: every
  // colour drawn on it becomes black or white (by brightness) and text is not smoothed, so
  // glyph pixels can be read as dots. Starts black.
  static Bitmap CreateMonochrome(int width, int height);
  // With an alpha channel (pixels start fully transparent); drawn over their target.
  static Bitmap CreateWithAlpha(int width, int height);
  // BMP or PNG, chosen by the file's first bytes. Null and `error` set on failure.
  static Bitmap LoadFile(const std::string& path, std::string* error = nullptr);
  static Bitmap LoadMemory(const void* data, size_t size, std::string* error = nullptr);
  static Bitmap LoadBmp(const void* data, size_t size, std::string* error = nullptr);
  static Bitmap LoadPng(const void* data, size_t size, std::string* error = nullptr);
  // Takes over a Cairo image surface (one reference).
  static Bitmap FromSurface(cairo_surface_t* surface);

  bool IsNull() const { return !impl_; }
  explicit operator bool() const { return !IsNull(); }
  int Width() const;
  int Height() const;
  Size GetSize() const { return Size(Width(), Height()); }
  bool HasAlpha() const;
  bool IsMonochrome() const;

  // Out of range: kInvalidColor / ignored.
  Color GetPixel(int x, int y) const;
  void SetPixel(int x, int y, Color c);

  // Raw access: rows of Stride() bytes, each pixel a native-endian 0xAARRGGBB word
  // (alpha premultiplied, 0xFF for bitmaps without alpha). Call MarkDirty() after writing.
  uint8_t* Data();
  const uint8_t* Data() const;
  int Stride() const;
  void MarkDirty();
  cairo_surface_t* Surface() const;

  Bitmap Clone() const;
  // PNG of the pixels. False and `error` set when the file cannot be written.
  bool SavePng(const std::string& path, std::string* error = nullptr) const;
  // Uncompressed 24-bit BMP (32-bit when the bitmap has alpha).
  bool SaveBmp(const std::string& path, std::string* error = nullptr) const;
  std::vector<uint8_t> EncodeBmp() const;

  bool SameAs(const Bitmap& o) const { return impl_ == o.impl_; }

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace draw
