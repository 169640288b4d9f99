#pragma once
// A device context: draws on a Cairo surface (a bitmap, a window's back buffer or a PDF
// page) with the semantics the screens were written against:
//  - rectangles exclude their right and bottom edges; a line excludes its end point;
//  - pens (solid, dash, dot, dash-dot, null, inside-frame) outline, brushes fill;
//  - text in the selected font and text colour, over an opaque or transparent background;
//  - logical coordinates map to device pixels through the window and viewport origins and
//    extents of the mapping mode (text mode: one unit is one pixel, y grows downward);
//  - bit-wise raster operations (copy, OR, AND, XOR, invert) on bitmaps and windows;
//  - a stack of saved states and a clipping region.
//
// A DC is used by one thread at a time. Bit-wise operations (raster operations other than a
// plain copy, the XOR line mode, reading pixels) need a pixel surface; on a page device
// they fall back to a plain copy / nothing.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/brush.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/font.h"
#include "platform/ui/draw/geometry.h"
#include "platform/ui/draw/pen.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace draw {

// Formatted-text flags; the values are the ones the screens quote as numbers (0x825 …).
enum : unsigned {
  kDtTop = 0x0,
  kDtLeft = 0x0,
  kDtCenter = 0x1,
  kDtRight = 0x2,
  kDtVCenter = 0x4,        // with kDtSingleLine
  kDtBottom = 0x8,         // with kDtSingleLine
  kDtWordBreak = 0x10,
  kDtSingleLine = 0x20,
  kDtExpandTabs = 0x40,
  kDtTabStop = 0x80,
  kDtNoClip = 0x100,
  kDtExternalLeading = 0x200,
  kDtCalcRect = 0x400,     // measure only: the rectangle is adjusted, nothing is drawn
  kDtNoPrefix = 0x800,     // '&' is an ordinary character
  kDtInternal = 0x1000,
  kDtEditControl = 0x2000,
  kDtPathEllipsis = 0x4000,
  kDtEndEllipsis = 0x8000,
  kDtModifyString = 0x10000,
  kDtRtlReading = 0x20000,
  kDtWordEllipsis = 0x40000,
  kDtNoFullWidthCharBreak = 0x80000,
  kDtHidePrefix = 0x100000,  // '&' removed, nothing underlined
  kDtPrefixOnly = 0x200000,  // only the underline is drawn
};

// Reference point of TextOut (combine one horizontal and one vertical value).
enum : unsigned {
  kTaLeft = 0x0,
  kTaRight = 0x2,
  kTaCenter = 0x6,
  kTaTop = 0x0,
  kTaBottom = 0x8,
  kTaBaseline = 0x18,
};

enum class BkMode { Transparent = 1, Opaque = 2 };

// How pen and brush pixels combine with the pixels already there.
enum class Rop2 {
  Black = 1, NotMergePen, MaskNotPen, NotCopyPen, MaskPenNot, Not, XorPen, NotMaskPen,
  MaskPen, NotXorPen, Nop, MergeNotPen, CopyPen, MergePenNot, MergePen, White,
};

// Raster operations of the block transfers (the usual ternary codes).
enum Rop : uint32_t {
  kSrcCopy = 0x00CC0020,
  kSrcPaint = 0x00EE0086,    // OR
  kSrcAnd = 0x008800C6,
  kSrcInvert = 0x00660046,   // XOR
  kSrcErase = 0x00440328,
  kNotSrcCopy = 0x00330008,
  kNotSrcErase = 0x001100A6,
  kMergeCopy = 0x00C000CA,
  kMergePaint = 0x00BB0226,
  kPatCopy = 0x00F00021,
  kPatPaint = 0x00FB0A09,
  kPatInvert = 0x005A0049,
  kDstInvert = 0x00550009,
  kBlackness = 0x00000042,
  kWhiteness = 0x00FF0062,
};

enum class MapMode {
  Text = 1,        // 1 unit = 1 device pixel, y down
  LoMetric,        // 0.1 mm, y up
  HiMetric,        // 0.01 mm, y up
  LoEnglish,       // 0.01 inch, y up
  HiEnglish,       // 0.001 inch, y up
  Twips,           // 1/1440 inch, y up
  Isotropic,       // extents set by the caller, equal scale on both axes
  Anisotropic,     // extents set by the caller
};

enum class PolyFillMode { Alternate = 1, Winding = 2 };
enum class StretchMode { Nearest = 1, Smooth = 2 };

enum class DeviceCap {
  HorzSize,         // width of the printable area, mm
  VertSize,         // height, mm
  HorzRes,          // width, device pixels
  VertRes,          // height, device pixels
  LogPixelsX,       // device pixels per inch
  LogPixelsY,
  PhysicalWidth,    // whole page, device pixels
  PhysicalHeight,
  PhysicalOffsetX,  // left edge of the printable area on the page, device pixels
  PhysicalOffsetY,
  BitsPixel,
  Planes,
  Technology,       // 1 = raster display / bitmap, 2 = raster printer
};

// What a DC draws on, as its owner describes it.
struct DeviceInfo {
  int width = 0;              // device pixels
  int height = 0;
  int dpiX = 96, dpiY = 96;
  double surfaceScale = 1.0;  // surface units per device pixel (72/600 for a 600-dpi PDF page)
  int offsetX = 0, offsetY = 0;       // printable area on the physical page, device pixels
  int physicalWidth = 0, physicalHeight = 0;  // 0: the same as width/height
  bool printer = false;
};

class DC {
 public:
  // A memory DC holding a 1x1 black bitmap until SelectBitmap gives it another.
  DC();
  // A DC drawing on `target` (like a memory DC with the bitmap selected).
  explicit DC(const Bitmap& target);
  // A DC on any Cairo surface (a PDF page); one reference to `surface` is taken.
  DC(cairo_surface_t* surface, const DeviceInfo& info);
  ~DC();
  DC(DC&&) noexcept;
  DC& operator=(DC&&) noexcept;
  DC(const DC&) = delete;
  DC& operator=(const DC&) = delete;

  // A memory DC with the resolution of `like` (nullptr: the screen).
  static DC CreateCompatible(const DC* like);

  bool IsValid() const;

  // --- set by the owner (window system, printer), not changed by SaveDC/RestoreDC --------
  // Shifts everything drawn by (x, y) device pixels: a window's place on the screen.
  void SetDeviceOrigin(int x, int y);
  Point GetDeviceOrigin() const;
  // The part of the surface the DC may touch, in surface pixels (a window's visible
  // rectangles); an empty list means the whole surface.
  void SetDeviceClip(const std::vector<Rect>& rects);
  // Re-targets the DC (a page device starting a new page); keeps the state.
  void ReplaceSurface(cairo_surface_t* surface);
  const DeviceInfo& Info() const;
  int GetDeviceCaps(DeviceCap cap) const;

  // --- objects; each Select returns what was selected before -----------------------------
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  Font SelectFont(const Font& font);
  // Memory DCs only: draws on `bitmap` from now on; returns the previous bitmap.
  Bitmap SelectBitmap(const Bitmap& bitmap);
  const Pen& GetPen() const;
  const Brush& GetBrush() const;
  const Font& GetFont() const;
  Bitmap GetBitmap() const;  // the target bitmap of a memory DC, else null

  // --- attributes -------------------------------------------------------------------------
  Color SetTextColor(Color c);
  Color GetTextColor() const;
  Color SetBkColor(Color c);
  Color GetBkColor() const;
  BkMode SetBkMode(BkMode m);
  BkMode GetBkMode() const;
  unsigned SetTextAlign(unsigned align);
  unsigned GetTextAlign() const;
  Rop2 SetROP2(Rop2 mode);
  Rop2 GetROP2() const;
  // Anti-aliased text (the default, except on monochrome bitmaps); returns the old setting.
  bool SetTextSmoothing(bool on);
  PolyFillMode SetPolyFillMode(PolyFillMode m);
  StretchMode SetStretchBltMode(StretchMode m);

  // --- coordinates ------------------------------------------------------------------------
  MapMode SetMapMode(MapMode m);
  MapMode GetMapMode() const;
  Point SetWindowOrg(int x, int y);
  Point OffsetWindowOrg(int dx, int dy);
  Point GetWindowOrg() const;
  Point SetViewportOrg(int x, int y);
  Point OffsetViewportOrg(int dx, int dy);
  Point GetViewportOrg() const;
  // Only in the isotropic and anisotropic modes (ignored otherwise); return the old extent.
  Size SetWindowExt(int cx, int cy);
  Size GetWindowExt() const;
  Size SetViewportExt(int cx, int cy);
  Size GetViewportExt() const;
  Point LPtoDP(Point p) const;
  Point DPtoLP(Point p) const;
  Rect LPtoDP(const Rect& r) const;
  Rect DPtoLP(const Rect& r) const;

  // --- state stack ------------------------------------------------------------------------
  // Returns the new level (1, 2, …) or 0 on failure.
  int SaveDC();
  // level > 0: back to the state saved at that level; level < 0: that many levels up.
  bool RestoreDC(int level);

  // --- clipping (logical coordinates) -----------------------------------------------------
  // Replaces the clipping region by a rectangle; SelectClipRect(nullptr) removes it.
  void SelectClipRect(const Rect* r);
  void IntersectClipRect(const Rect& r);
  void ExcludeClipRect(const Rect& r);
  // The bounding box of what can be drawn, logical coordinates.
  Rect GetClipBox() const;
  bool PtVisible(Point p) const;

  // --- lines and figures ------------------------------------------------------------------
  Point MoveTo(int x, int y);           // returns the old current position
  Point GetCurrentPosition() const;
  void LineTo(int x, int y);            // current position up to, not including, (x, y)
  void Polyline(const Point* pts, int count);
  void Polygon(const Point* pts, int count);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const Rect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const Rect& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
  void FillRect(const Rect& r, const Brush& brush);
  void FillSolidRect(const Rect& r, Color c) { FillRect(r, Brush::Solid(c)); }
  void FrameRect(const Rect& r, const Brush& brush);  // one-unit frame in the brush's colour
  void InvertRect(const Rect& r);
  void DrawFocusRect(const Rect& r);                  // dotted XOR frame
  Color SetPixel(int x, int y, Color c);             // returns the colour set
  Color GetPixel(int x, int y) const;                // kInvalidColor outside / no pixels

  // --- text (UTF-8) -----------------------------------------------------------------------
  // At (x, y) per the text alignment; with the escapement of the font rotated about (x, y).
  void TextOut(int x, int y, std::string_view text);
  // With a background rectangle (opaque: filled with the background colour) and clipping.
  enum : unsigned { kEtoOpaque = 2, kEtoClipped = 4 };
  void ExtTextOut(int x, int y, unsigned options, const Rect* rect, std::string_view text);
  // Returns the height of the text in logical units (0 on failure). With kDtCalcRect the
  // rectangle is changed to bound the text and nothing is drawn.
  int DrawText(std::string_view text, Rect* rect, unsigned format);
  int DrawText(std::string_view text, const Rect& rect, unsigned format) {
    Rect r = rect;
    return DrawText(text, &r, format);
  }
  Size GetTextExtent(std::string_view text) const;
  // For each UTF-8 character of `text`, the distance from the text's start to the
  // character's right edge, logical units (caret positions, fitting text to a width).
  std::vector<int> GetTextPositions(std::string_view text) const;
  TextMetrics GetTextMetrics() const;
  std::string GetTextFace() const;

  // --- bitmaps ----------------------------------------------------------------------------
  // Copies (x, y, w, h) of `src` from (sx, sy) with a raster operation.
  bool BitBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, uint32_t rop = kSrcCopy);
  bool BitBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, uint32_t rop = kSrcCopy);
  // Fills with the brush under a raster operation (kPatCopy, kPatInvert, kDstInvert, …).
  bool PatBlt(int x, int y, int w, int h, uint32_t rop);
  bool StretchBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw, int sh,
                  uint32_t rop = kSrcCopy);
  bool StretchBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, int sw, int sh,
                  uint32_t rop = kSrcCopy);
  // Copies, stretching if needed, leaving out every source pixel of colour `key`.
  bool TransparentBlt(int x, int y, int w, int h, const DC& src, int sx, int sy, int sw, int sh,
                      Color key = kMagenta);
  bool TransparentBlt(int x, int y, int w, int h, const Bitmap& src, int sx, int sy, int sw, int sh,
                      Color key = kMagenta);
  // Draws the whole bitmap at (x, y), its alpha respected (icons).
  void DrawBitmap(int x, int y, const Bitmap& bmp);

  // --- output -----------------------------------------------------------------------------
  // Pending drawing reaches the surface.
  void Flush();
  // PNG of the target surface (pixel surfaces only).
  bool SavePng(const std::string& path, std::string* error = nullptr) const;
  cairo_surface_t* Surface() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace draw
