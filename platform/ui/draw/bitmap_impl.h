#pragma once
#include <cairo.h>

#include "platform/ui/draw/bitmap.h"

namespace draw {

struct Bitmap::Impl {
  cairo_surface_t* surface = nullptr;
  bool mono = false;  // two colours: drawing on it is black or white, text not smoothed
  explicit Impl(cairo_surface_t* s) : surface(s) {}
  ~Impl() {
    if (surface) cairo_surface_destroy(surface);
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
};

constexpr int kMaxBitmapSide = 16384;

// A new image surface of that size, or nullptr.
cairo_surface_t* NewImageSurface(int w, int h, bool alpha);

// Encodes the surface as PNG in memory and writes it through the platform's file layer
// (crash-safe replacement). False with the reason in *error.
bool WriteSurfacePng(cairo_surface_t* surface, const std::string& path, std::string* error);

}  // namespace draw
