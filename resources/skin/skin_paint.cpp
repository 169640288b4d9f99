#include "resources/skin/skin_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/sys/atomic_file.h"
#include "platform/ui/draw/dc.h"
#include "resources/skin/skin_canvas.h"

namespace skin {

using draw::Color;
using draw::RGB;

namespace {

struct Palette {
  Color top, bottom, border, highlight;
};

constexpr Color kGold = RGB(250, 196, 88);
constexpr Color kGlyph = RGB(240, 244, 246);
constexpr Color kGlyphDisabled = RGB(214, 219, 222);

Palette ToneColours(Tone tone) {
  switch (tone) {
    case Tone::Teal: return {RGB(62, 146, 150), RGB(20, 94, 102), RGB(10, 62, 68), RGB(138, 200, 203)};
    case Tone::Slate: return {RGB(114, 130, 142), RGB(64, 80, 94), RGB(40, 52, 64), RGB(176, 188, 196)};
    case Tone::Navy: return {RGB(44, 104, 148), RGB(0, 60, 100), RGB(0, 38, 66), RGB(120, 170, 204)};
    case Tone::Blue:
    default: return {RGB(82, 132, 166), RGB(30, 78, 114), RGB(16, 50, 78), RGB(150, 188, 212)};
  }
}

// The colours of a face in a state: hover is brighter with a gold rim, disabled is a flat grey.
Palette FaceColours(Tone tone, State state) {
  Palette p = ToneColours(tone);
  if (state == State::Hover) {
    p.top = Shade(p.top, 0.14);
    p.bottom = Shade(p.bottom, 0.10);
    p.highlight = Shade(p.highlight, 0.35);
    p.border = kGold;
  } else if (state == State::Disabled) {
    p = {RGB(182, 189, 193), RGB(152, 160, 165), RGB(128, 137, 143), RGB(206, 211, 214)};
  }
  return p;
}

Color GlyphColour(State state) {
  if (state == State::Hover) return RGB(255, 255, 255);
  if (state == State::Disabled) return kGlyphDisabled;
  return kGlyph;
}

void Face(Canvas& c, int l, int t, int r, int b, int radius, const Palette& p) {
  c.RoundedFace(l, t, r, b, radius, p.top, p.bottom, p.border, p.highlight);
}

// A hover face gets a second gold ring inside the first, so the change reads at a glance.
void HoverRing(Canvas& c, int l, int t, int r, int b, int radius) {
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x)
      if (InRounded(x, y, l + 1, t + 1, r - 1, b - 1, radius - 1) &&
          !InRounded(x, y, l + 2, t + 2, r - 2, b - 2, radius - 2))
        c.Put(x, y, Mix(kGold, c.Get(x, y), 0.45));
}

// A filled triangle, pixel centres tested against its three edges.
void Triangle(Canvas& c, double x0, double y0, double x1, double y1, double x2, double y2, Color col) {
  auto edge = [](double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  int minx = static_cast<int>(std::floor(std::min({x0, x1, x2})));
  int maxx = static_cast<int>(std::ceil(std::max({x0, x1, x2})));
  int miny = static_cast<int>(std::floor(std::min({y0, y1, y2})));
  int maxy = static_cast<int>(std::ceil(std::max({y0, y1, y2})));
  for (int y = miny; y <= maxy; ++y)
    for (int x = minx; x <= maxx; ++x) {
      double px = x + 0.5, py = y + 0.5;
      double e0 = edge(x0, y0, x1, y1, px, py), e1 = edge(x1, y1, x2, y2, px, py), e2 = edge(x2, y2, x0, y0, px, py);
      if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0)) c.Put(x, y, col);
    }
}

// A thick line segment: every pixel whose centre is within `half` of the segment.
void Segment(Canvas& c, double ax, double ay, double bx, double by, double half, Color col) {
  int minx = static_cast<int>(std::floor(std::min(ax, bx) - half)), maxx = static_cast<int>(std::ceil(std::max(ax, bx) + half));
  int miny = static_cast<int>(std::floor(std::min(ay, by) - half)), maxy = static_cast<int>(std::ceil(std::max(ay, by) + half));
  double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
  for (int y = miny; y <= maxy; ++y)
    for (int x = minx; x <= maxx; ++x) {
      double px = x + 0.5, py = y + 0.5;
      double t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
      double qx = ax + t * dx - px, qy = ay + t * dy - py;
      if (qx * qx + qy * qy <= half * half) c.Put(x, y, col);
    }
}

void PaintFace(Canvas& c, const SkinBitmap& e, int radius) {
  Palette p = FaceColours(e.tone, e.state);
  Face(c, 0, 0, e.width, e.height, radius, p);
  if (e.state == State::Hover) HoverRing(c, 0, 0, e.width, e.height, radius);
}

void PaintMenuTile(Canvas& c, const SkinBitmap& e) {
  PaintFace(c, e, 10);
  // A soft lighter band across the upper part gives the tile some depth.
  Palette p = FaceColours(e.tone, e.state);
  for (int y = 3; y < e.height / 2; ++y)
    for (int x = 0; x < e.width; ++x)
      if (InRounded(x, y, 3, 3, e.width - 3, e.height - 3, 8))
        c.Put(x, y, Mix(c.Get(x, y), p.highlight, 0.10 * (1.0 - static_cast<double>(y) / (e.height / 2))));
}

void PaintPower(Canvas& c, const SkinBitmap& e) {
  PaintFace(c, e, 6);
  Color g = e.state == State::Hover ? kGold : kGlyph;
  double cx = e.width / 2.0, cy = e.height / 2.0 + 1, r = 7.5;
  for (int y = 0; y < e.height; ++y)
    for (int x = 0; x < e.width; ++x) {
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = std::sqrt(dx * dx + dy * dy);
      bool gap = dy < 0 && std::fabs(dx) < 3.5;
      if (d >= r - 1.1 && d <= r + 0.9 && !gap) c.Put(x, y, g);
    }
  Segment(c, cx, cy - r - 1, cx, cy - 1.5, 0.9, g);
}

void PaintClose(Canvas& c, const SkinBitmap& e) {
  Palette p = ToneColours(Tone::Slate);
  if (e.state == State::Hover) p = {RGB(214, 96, 80), RGB(168, 52, 40), RGB(120, 30, 24), RGB(236, 160, 150)};
  Face(c, 0, 0, e.width, e.height, 4, p);
  double m = 6, w = e.width, h = e.height;
  Segment(c, m, m, w - m, h - m, 1.0, kGlyph);
  Segment(c, w - m, m, m, h - m, 1.0, kGlyph);
}

void PaintComboArrow(Canvas& c, const SkinBitmap& e) {
  PaintFace(c, e, 4);
  double cx = e.width / 2.0, cy = e.height / 2.0;
  Triangle(c, cx - 4.5, cy - 2, cx + 4.5, cy - 2, cx, cy + 3, GlyphColour(e.state));
}

void PaintSpin(Canvas& c, const SkinBitmap& e) {
  Palette p = FaceColours(e.tone, e.state);
  int mid = e.height / 2;
  Face(c, 0, 0, e.width, mid, 3, p);
  Face(c, 0, mid, e.width, e.height, 3, p);
  Color g = GlyphColour(e.state);
  double cx = e.width / 2.0;
  double uy = mid / 2.0, dy = mid + (e.height - mid) / 2.0;
  Triangle(c, cx, uy - 3, cx + 4.5, uy + 2, cx - 4.5, uy + 2, g);
  Triangle(c, cx - 4.5, dy - 2, cx + 4.5, dy - 2, cx, dy + 3, g);
}

void PaintCheck(Canvas& c, const SkinBitmap& e, bool ticked) {
  c.RoundedFace(0, 0, e.width, e.height, 3, RGB(255, 255, 255), RGB(226, 232, 235), RGB(66, 85, 92),
                RGB(255, 255, 255));
  if (ticked) {
    Color t = RGB(0, 96, 150);
    Segment(c, 3.5, 7.5, 6.2, 10.5, 1.1, t);
    Segment(c, 6.2, 10.5, 11.5, 4.0, 1.1, t);
  }
}

void PaintKeyboard(Canvas& c, const SkinBitmap& e) {
  PaintFace(c, e, 5);
  // A small keyboard: a light plate with three rows of keys and a space bar.
  int pl = 9, pt = 6, pr = e.width - 9, pb = e.height - 6;
  c.RoundedFace(pl, pt, pr, pb, 2, RGB(236, 240, 242), RGB(206, 214, 218), RGB(200, 208, 212), RGB(250, 250, 250));
  Color key = RGB(60, 92, 116);
  for (int row = 0; row < 2; ++row)
    for (int x = pl + 3; x + 2 <= pr - 2; x += 4) {
      int y = pt + 3 + row * 4;
      c.Put(x, y, key), c.Put(x + 1, y, key), c.Put(x, y + 1, key), c.Put(x + 1, y + 1, key);
    }
  int sy = pb - 4;
  for (int x = pl + 9; x < pr - 9; ++x) c.Put(x, sy, key), c.Put(x, sy + 1, key);
}

void PaintTitleBand(Canvas& c, const SkinBitmap& e) {
  Palette p = ToneColours(Tone::Navy);
  c.VGradient(0, 0, e.width, e.height, Shade(p.top, 0.06), p.bottom);
  c.HLine(0, e.width, 0, p.highlight);
  c.HLine(0, e.width, e.height - 1, p.border);
  // A quiet lighter sweep toward the left, where the titles start.
  for (int y = 1; y < e.height - 1; ++y)
    for (int x = 0; x < e.width; ++x) {
      double t = 1.0 - static_cast<double>(x) / e.width;
      c.Put(x, y, Mix(c.Get(x, y), p.highlight, 0.12 * t * t));
    }
}

// The screens stretch a rail over the strip between the frame and a bottom button, so the end
// that meets the button is square (it runs into the button) and the far end is rounded.
void PaintRail(Canvas& c, const SkinBitmap& e) {
  const bool openLeft = e.kind == Kind::RailRight, openRight = e.kind == Kind::RailLeft;
  const int t = e.height / 2 - 10, b = e.height / 2 + 10;
  // A rounded face drawn wider than the bitmap on an open side leaves that end square.
  const int l = openLeft ? -8 : 0, r = openRight ? e.width + 8 : e.width;
  c.RoundedFace(l, t, r, b, 6, RGB(226, 232, 234), RGB(190, 198, 201), RGB(150, 162, 170), RGB(246, 248, 249));
  const int y = e.height / 2;
  const int gl = openLeft ? 0 : 8, gr = openRight ? e.width : e.width - 8;
  c.HLine(gl, gr, y - 1, RGB(0, 76, 120));
  c.HLine(gl, gr, y, RGB(120, 160, 186));
}

// The main menu's footer: the lower part of the instrument picture and the whole lower strip
// are one flat band, on which the menu writes its status line (operator, F1 hint, clock) in grey.
constexpr Color kFooterBand = RGB(0, 60, 98);

void PaintStrip(Canvas& c, const SkinBitmap& e, bool upper) {
  Palette p = ToneColours(Tone::Navy);
  if (upper) {
    c.VGradient(0, 0, e.width, e.height, Shade(p.top, 0.10), p.bottom);
    c.HLine(0, e.width, 0, p.highlight);
    c.HLine(0, e.width, 1, Shade(p.highlight, -0.15));
    c.HLine(0, e.width, e.height - 1, p.border);
  } else {
    // The status line runs into the strip's top rows: they continue the footer band unchanged.
    c.Fill(kFooterBand);
    c.HLine(0, e.width, e.height - 1, Shade(p.border, -0.3));
  }
}

// The instrument picture: the analyzer drawn small in its upper two thirds, right of the
// shut-down button's corner, and the footer band across the whole lower third, where the
// status line sits (its rectangle starts at about 72 % of the picture's height at both sizes).
void PaintInstrument(draw::Bitmap& bmp, const SkinBitmap& e) {
  const int art = e.height * 2 / 3;  // rows 0 .. art-1 hold the artwork
  {
    Canvas c(bmp);
    c.VGradient(0, 0, e.width, art, RGB(226, 233, 236), RGB(190, 200, 206));
    c.HLine(0, e.width, 0, RGB(246, 249, 250));
    for (int y = art; y < e.height; ++y) c.HLine(0, e.width, y, kFooterBand);
    // The analyzer, drawn as simple blocks: a cabinet, its touch screen and a sample probe.
    double s = art / 36.0;
    auto S = [s](double v) { return static_cast<int>(std::lround(v * s)); };
    int l = S(70), t = S(3), r = S(70 + 64), b = art - S(3);
    c.RoundedFace(l, t, r, b, S(4), RGB(246, 248, 249), RGB(200, 208, 213), RGB(112, 128, 140), RGB(255, 255, 255));
    c.RoundedFace(l + S(6), t + S(5), l + S(36), b - S(5), S(2), RGB(40, 110, 150), RGB(8, 58, 92), RGB(20, 40, 56),
                  RGB(100, 160, 196));
    // A histogram-like trace on the little screen.
    const int sl = l + S(8), sr = l + S(34), sb = b - S(7);
    for (int x = sl; x < sr; ++x) {
      double u = static_cast<double>(x - sl) / (sr - sl);
      double v = std::exp(-std::pow((u - 0.35) / 0.14, 2)) * 0.8 + std::exp(-std::pow((u - 0.72) / 0.1, 2)) * 0.45;
      int y = sb - static_cast<int>(std::lround(v * (sb - t - S(9))));
      for (int yy = y; yy < sb; ++yy) c.Put(x, yy, yy == y ? RGB(140, 230, 220) : RGB(30, 120, 130));
    }
    c.RoundedFace(l + S(42), t + S(6), l + S(58), t + S(10), S(1), RGB(230, 236, 238), RGB(180, 190, 196),
                  RGB(112, 128, 140), RGB(255, 255, 255));
    c.RoundedFace(l + S(46), b - S(11), l + S(53), b - S(3), S(1), RGB(215, 125, 10), RGB(176, 92, 8),
                  RGB(120, 60, 0), RGB(250, 196, 88));
    // A fine guide line to the right of the cabinet.
    for (int x = r + S(140); x < e.width - S(16); ++x) {
      c.Put(x, art / 2 + S(9), RGB(176, 188, 196));
      c.Put(x, art / 2 + S(10), RGB(236, 241, 243));
    }
  }
  if (*e.text) {
    draw::DC dc(bmp);
    dc.SetBkMode(draw::BkMode::Transparent);
    dc.SelectFont(draw::Font("Arial", -art * 11 / 20, draw::kFontWeightBold));
    dc.SetTextColor(RGB(0, 76, 120));
    int x = static_cast<int>(art / 36.0 * 150);
    dc.DrawText(e.text, draw::Rect(x, 0, e.width - 10, art), draw::kDtSingleLine | draw::kDtVCenter | draw::kDtNoPrefix);
    dc.Flush();
  }
}

// The stand-by picture: sixteen colours at most (it is stored as a 4-bit file), flat and quiet.
// The screen writes its "Stand by..." text in olive at the centre of the display, so the middle
// stays one plain light colour; the product name sits small in the lower band.
void PaintDormant(draw::Bitmap& bmp, const SkinBitmap& e) {
  constexpr Color kLight = RGB(236, 241, 243), kTopBand = RGB(0, 60, 100), kBottomBand = RGB(0, 38, 66);
  constexpr Color kRule = RGB(120, 170, 204), kCellFill = RGB(222, 231, 236), kCellEdge = RGB(200, 214, 223);
  constexpr Color kName = RGB(214, 228, 238);
  const int top = e.height * 48 / 600, bottom = e.height - e.height * 40 / 600;
  {
    Canvas c(bmp);
    c.Fill(kLight);
    for (int y = 0; y < top; ++y) c.HLine(0, e.width, y, kTopBand);
    c.HLine(0, e.width, top, kRule);
    c.HLine(0, e.width, top + 1, kRule);
    for (int y = bottom; y < e.height; ++y) c.HLine(0, e.width, y, kBottomBand);
    c.HLine(0, e.width, bottom, kRule);
    // A few faint cells toward the corners, well away from the centre.
    struct Cell { double x, y, r; };
    const Cell cells[] = {{0.15, 0.29, 0.075}, {0.86, 0.72, 0.1}, {0.76, 0.22, 0.045},
                          {0.26, 0.76, 0.055}, {0.9, 0.39, 0.028}};
    for (const Cell& g : cells) {
      const double cx = g.x * e.width, cy = g.y * e.height, r = g.r * e.width;
      for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
        for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
          const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
          if (d < r) c.Put(x, y, d > r - 3 ? kCellEdge : kCellFill);
        }
    }
  }
  if (*e.text) {
    draw::DC dc(bmp);
    dc.SetTextSmoothing(false);  // glyph pixels in the name's colour only
    dc.SetBkMode(draw::BkMode::Transparent);
    dc.SelectFont(draw::Font("Arial", -(e.height - bottom) / 2, draw::kFontWeightBold));
    dc.SetTextColor(kName);
    dc.DrawText(e.text, draw::Rect(0, bottom + 1, e.width - e.width / 40, e.height),
                draw::kDtRight | draw::kDtSingleLine | draw::kDtVCenter | draw::kDtNoPrefix);
    dc.Flush();
  }
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  return sys::WriteFileAtomic(path, std::string(bytes.begin(), bytes.end()), error);
}

}  // namespace

draw::Bitmap Paint(const SkinBitmap& e) {
  draw::Bitmap bmp = draw::Bitmap::Create(e.width, e.height, draw::kMagenta);
  if (bmp.IsNull()) return bmp;
  switch (e.kind) {
    case Kind::Instrument: PaintInstrument(bmp, e); return bmp;
    case Kind::Dormant: PaintDormant(bmp, e); return bmp;
    default: break;
  }
  Canvas c(bmp);
  switch (e.kind) {
    case Kind::Face: PaintFace(c, e, e.height >= 40 ? 9 : 6); break;
    case Kind::MenuTile: PaintMenuTile(c, e); break;
    case Kind::PowerButton: PaintPower(c, e); break;
    case Kind::CloseButton: PaintClose(c, e); break;
    case Kind::ComboArrow: PaintComboArrow(c, e); break;
    case Kind::Spin: PaintSpin(c, e); break;
    case Kind::CheckMark: PaintCheck(c, e, true); break;
    case Kind::CheckEmpty: PaintCheck(c, e, false); break;
    case Kind::Keyboard: PaintKeyboard(c, e); break;
    case Kind::TitleBand: PaintTitleBand(c, e); break;
    case Kind::Rail:
    case Kind::RailLeft:
    case Kind::RailRight: PaintRail(c, e); break;
    case Kind::StripUpper: PaintStrip(c, e, true); break;
    case Kind::StripLower: PaintStrip(c, e, false); break;
    default: break;
  }
  return bmp;
}

bool WriteAll(const std::string& folder, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    if (error) *error = "cannot create " + folder + ": " + ec.message();
    return false;
  }
  for (const SkinBitmap& e : kSkinBitmaps) {
    draw::Bitmap bmp = Paint(e);
    std::string path = folder + "/" + e.file;
    if (bmp.IsNull()) {
      if (error) *error = "cannot draw " + path;
      return false;
    }
    if (e.kind == Kind::Dormant) {
      const std::vector<uint8_t> bytes = EncodeBmp16(bmp);
      if (bytes.empty()) {
        if (error) *error = path + ": more than 16 colours";
        return false;
      }
      if (!WriteBytes(path, bytes, error)) return false;
    } else if (!bmp.SaveBmp(path, error)) {
      if (error && error->empty()) *error = "cannot write " + path;
      return false;
    }
  }
  for (const SkinIcon& i : kSkinIcons) {
    draw::Bitmap bmp = PaintIcon(i);
    std::string path = folder + "/" + i.file;
    if (bmp.IsNull() || !bmp.SavePng(path, error)) {
      if (error && error->empty()) *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

draw::Bitmap ContactSheet() {
  const int sheetWidth = 1640, pad = 14, label = 16;
  // Every bitmap and icon with its label; `small` ones are shown again enlarged.
  struct Item {
    draw::Bitmap bmp;
    std::string name;
    int id;
    bool keyed;  // magenta is the see-through key
  };
  std::vector<Item> items;
  for (const SkinBitmap& e : kSkinBitmaps) items.push_back({Paint(e), e.name, e.id, true});
  for (const SkinIcon& i : kSkinIcons) items.push_back({PaintIcon(i), std::string(i.name) + " icon", i.id, false});
  // Lay them out in rows; wide ones are shown at half size.
  struct Place { const Item* item; int x, y, w, h; };
  std::vector<Place> places;
  int x = pad, y = pad, rowHeight = 0;
  for (const Item& it : items) {
    int w = it.bmp.Width(), h = it.bmp.Height();
    if (w > 800 || h > 100) w /= 2, h /= 2;
    int cellW = std::max(w, 110);
    if (x + cellW + pad > sheetWidth) x = pad, y += rowHeight + label + pad, rowHeight = 0;
    places.push_back({&it, x, y, w, h});
    x += cellW + pad;
    rowHeight = std::max(rowHeight, h);
  }
  // The small parts once more at four times their size with the key colour left in, so
  // their edges can be judged pixel by pixel (icons over a dark and a light tile).
  std::vector<Place> zoomed;
  x = pad, y += rowHeight + label + pad, rowHeight = 0;
  for (const Item& it : items) {
    if (it.bmp.Width() > 40 || it.bmp.Height() > 40) continue;
    int w = it.bmp.Width() * 4, h = it.bmp.Height() * 4;
    if (x + w + pad > sheetWidth) x = pad, y += rowHeight + label + pad, rowHeight = 0;
    zoomed.push_back({&it, x, y, w, h});
    x += std::max(w, 110) + pad;
    rowHeight = std::max(rowHeight, h);
  }
  int height = y + rowHeight + label + pad;
  draw::Bitmap sheet = draw::Bitmap::Create(sheetWidth, height, RGB(205, 213, 215));
  draw::DC dc(sheet);
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SelectFont(draw::Font("Arial", -11));
  dc.SetTextColor(RGB(66, 85, 92));
  for (const Place& p : places) {
    const draw::Bitmap& bmp = p.item->bmp;
    if (p.item->keyed)
      dc.TransparentBlt(p.x, p.y, p.w, p.h, bmp, 0, 0, bmp.Width(), bmp.Height(), draw::kMagenta);
    else
      dc.DrawBitmap(p.x, p.y, bmp);
    std::string text = std::to_string(p.item->id) + " " + p.item->name;
    dc.DrawText(text, draw::Rect(p.x, p.y + p.h + 2, p.x + std::max(p.w, 110), p.y + p.h + 2 + label),
                draw::kDtSingleLine | draw::kDtNoPrefix | draw::kDtEndEllipsis);
  }
  dc.SetStretchBltMode(draw::StretchMode::Nearest);
  for (const Place& p : zoomed) {
    const draw::Bitmap& bmp = p.item->bmp;
    if (p.item->keyed) {
      dc.StretchBlt(p.x, p.y, p.w, p.h, bmp, 0, 0, bmp.Width(), bmp.Height());
    } else {
      // An icon: left half over navy, right half over white, to judge its edges on both.
      dc.FillSolidRect(draw::Rect(p.x, p.y, p.x + p.w / 2, p.y + p.h), RGB(0, 60, 100));
      dc.FillSolidRect(draw::Rect(p.x + p.w / 2, p.y, p.x + p.w, p.y + p.h), draw::kWhite);
      draw::Bitmap big = draw::Bitmap::CreateWithAlpha(p.w, p.h);
      for (int yy = 0; yy < p.h; ++yy) {
        const auto* src = reinterpret_cast<const uint32_t*>(bmp.Data() + static_cast<size_t>(yy / 4) * bmp.Stride());
        auto* dst = reinterpret_cast<uint32_t*>(big.Data() + static_cast<size_t>(yy) * big.Stride());
        for (int xx = 0; xx < p.w; ++xx) dst[xx] = src[xx / 4];
      }
      big.MarkDirty();
      dc.DrawBitmap(p.x, p.y, big);
    }
    dc.DrawText(std::to_string(p.item->id) + " x4", draw::Rect(p.x, p.y + p.h + 2, p.x + 110, p.y + p.h + 2 + label),
                draw::kDtSingleLine | draw::kDtNoPrefix);
  }
  dc.Flush();
  return sheet;
}

}  // namespace skin
