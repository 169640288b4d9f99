// Device context: construction, state, coordinates, clipping and the state stack.
#include "platform/ui/draw/dc.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/ui/draw/bitmap_impl.h"
#include "platform/ui/draw/dc_impl.h"

namespace draw {

DC::Impl::~Impl() {
  if (cr) cairo_destroy(cr);
  if (surface) cairo_surface_destroy(surface);
}

void DC::Impl::Attach(cairo_surface_t* s) {
  if (cr) cairo_destroy(cr);
  if (surface) cairo_surface_destroy(surface);
  surface = s;
  cr = s ? cairo_create(s) : nullptr;
  if (cr) cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  if (s && cairo_surface_get_type(s) == CAIRO_SURFACE_TYPE_IMAGE) {
    info.width = cairo_image_surface_get_width(s);
    info.height = cairo_image_surface_get_height(s);
  }
  clipDirty = true;
}

bool DC::Impl::Raster() const {
  return surface && cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE && info.surfaceScale == 1.0;
}

double DC::Impl::ScaleX() const { return double(st.vpExt.cx) / st.winExt.cx; }
double DC::Impl::ScaleY() const { return double(st.vpExt.cy) / st.winExt.cy; }
double DC::Impl::Dx(double lx) const { return (lx - st.winOrg.x) * ScaleX() + st.vpOrg.x; }
double DC::Impl::Dy(double ly) const { return (ly - st.winOrg.y) * ScaleY() + st.vpOrg.y; }
double DC::Impl::Lx(double dx) const { return (dx - st.vpOrg.x) / ScaleX() + st.winOrg.x; }
double DC::Impl::Ly(double dy) const { return (dy - st.vpOrg.y) / ScaleY() + st.winOrg.y; }

Rect DC::Impl::DevRect(int l, int t, int r, int b) const {
  return Rect(static_cast<int>(std::lround(Dx(l))), static_cast<int>(std::lround(Dy(t))),
              static_cast<int>(std::lround(Dx(r))), static_cast<int>(std::lround(Dy(b))))
      .Normalized();
}

Rect DC::Impl::SurfaceBounds() const {
  return Rect(0, 0, info.physicalWidth ? info.physicalWidth : info.width,
              info.physicalHeight ? info.physicalHeight : info.height);
}

const std::vector<Rect>& DC::Impl::EffectiveClip() const {
  if (!clipDirty) return effClip;
  clipDirty = false;
  effClip.clear();
  std::vector<Rect> base;
  Rect bounds = SurfaceBounds();
  if (devClip.empty()) {
    base.push_back(bounds);
  } else {
    for (const Rect& r : devClip) {
      Rect i = r.Intersect(bounds);
      if (!i.IsEmpty()) base.push_back(i);
    }
  }
  if (!st.clip) {
    effClip = base;
  } else {
    for (const Rect& c : *st.clip) {
      Rect cs = c.Offset(devOrigin.x, devOrigin.y);
      for (const Rect& b : base) {
        Rect i = cs.Intersect(b);
        if (!i.IsEmpty()) effClip.push_back(i);
      }
    }
  }
  return effClip;
}

void DC::Impl::Begin() const {
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_scale(cr, info.surfaceScale, info.surfaceScale);
  cairo_new_path(cr);
  const auto& clip = EffectiveClip();
  for (const Rect& r : clip) cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
  if (clip.empty()) cairo_rectangle(cr, 0, 0, 0, 0);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr);
  cairo_translate(cr, devOrigin.x, devOrigin.y);
}

void DC::Impl::End() const { cairo_restore(cr); }

uint32_t* DC::Impl::Row(int y) const {
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface) +
                                     static_cast<size_t>(y) * cairo_image_surface_get_stride(surface));
}
int DC::Impl::SurfW() const { return cairo_image_surface_get_width(surface); }
int DC::Impl::SurfH() const { return cairo_image_surface_get_height(surface); }
void DC::Impl::PixelsBegin() const { cairo_surface_flush(surface); }
void DC::Impl::PixelsEnd() const { cairo_surface_mark_dirty(surface); }

void DC::Impl::ApplyMapModeDefaults() {
  int units = 0;
  switch (st.mapMode) {
    case MapMode::Text: st.winExt = Size(1, 1); st.vpExt = Size(1, 1); return;
    case MapMode::LoMetric: units = 254; break;
    case MapMode::HiMetric: units = 2540; break;
    case MapMode::LoEnglish: units = 100; break;
    case MapMode::HiEnglish: units = 1000; break;
    case MapMode::Twips: units = 1440; break;
    case MapMode::Isotropic:
    case MapMode::Anisotropic: return;  // keep the current extents
  }
  st.winExt = Size(units, units);
  st.vpExt = Size(info.dpiX, -info.dpiY);
}

// ---------------------------------------------------------------------------------------

DC::DC() : DC(Bitmap::Create(1, 1)) {}

DC::DC(const Bitmap& target) : impl_(std::make_unique<Impl>()) {
  impl_->memory = true;
  impl_->st.bitmap = target;
  impl_->mono = target.IsMonochrome();
  if (target) impl_->Attach(cairo_surface_reference(target.Surface()));
}

DC::DC(cairo_surface_t* surface, const DeviceInfo& info) : impl_(std::make_unique<Impl>()) {
  impl_->info = info;
  if (impl_->info.dpiX <= 0) impl_->info.dpiX = 96;
  if (impl_->info.dpiY <= 0) impl_->info.dpiY = 96;
  if (impl_->info.surfaceScale <= 0) impl_->info.surfaceScale = 1.0;
  if (surface) impl_->Attach(surface);
}

DC::~DC() = default;
DC::DC(DC&&) noexcept = default;
DC& DC::operator=(DC&&) noexcept = default;

DC DC::CreateCompatible(const DC* like) {
  DC dc;
  if (like && like->impl_) {
    dc.impl_->info.dpiX = like->impl_->info.dpiX;
    dc.impl_->info.dpiY = like->impl_->info.dpiY;
  }
  return dc;
}

bool DC::IsValid() const { return impl_ && impl_->cr; }

void DC::SetDeviceOrigin(int x, int y) {
  impl_->devOrigin = Point(x, y);
  impl_->clipDirty = true;
}
Point DC::GetDeviceOrigin() const { return impl_->devOrigin; }
void DC::SetDeviceClip(const std::vector<Rect>& rects) {
  impl_->devClip = rects;
  // An explicit but empty visible region must still clip everything away.
  if (rects.empty()) impl_->devClip.clear();
  impl_->clipDirty = true;
}
void DC::ReplaceSurface(cairo_surface_t* surface) { impl_->Attach(surface); }
const DeviceInfo& DC::Info() const { return impl_->info; }

int DC::GetDeviceCaps(DeviceCap cap) const {
  const DeviceInfo& i = impl_->info;
  switch (cap) {
    case DeviceCap::HorzSize: return static_cast<int>(std::lround(i.width * 25.4 / i.dpiX));
    case DeviceCap::VertSize: return static_cast<int>(std::lround(i.height * 25.4 / i.dpiY));
    case DeviceCap::HorzRes: return i.width;
    case DeviceCap::VertRes: return i.height;
    case DeviceCap::LogPixelsX: return i.dpiX;
    case DeviceCap::LogPixelsY: return i.dpiY;
    case DeviceCap::PhysicalWidth: return i.physicalWidth ? i.physicalWidth : i.width;
    case DeviceCap::PhysicalHeight: return i.physicalHeight ? i.physicalHeight : i.height;
    case DeviceCap::PhysicalOffsetX: return i.offsetX;
    case DeviceCap::PhysicalOffsetY: return i.offsetY;
    case DeviceCap::BitsPixel: return i.printer ? 24 : 32;
    case DeviceCap::Planes: return 1;
    case DeviceCap::Technology: return i.printer ? 2 : 1;
  }
  return 0;
}

Pen DC::SelectPen(const Pen& pen) { return std::exchange(impl_->st.pen, pen); }
Brush DC::SelectBrush(const Brush& brush) { return std::exchange(impl_->st.brush, brush); }
Font DC::SelectFont(const Font& font) { return std::exchange(impl_->st.font, font); }
Bitmap DC::SelectBitmap(const Bitmap& bitmap) {
  if (!impl_->memory || !bitmap) return Bitmap();
  Bitmap old = std::exchange(impl_->st.bitmap, bitmap);
  impl_->mono = bitmap.IsMonochrome();
  impl_->Attach(cairo_surface_reference(bitmap.Surface()));
  return old;
}
const Pen& DC::GetPen() const { return impl_->st.pen; }
const Brush& DC::GetBrush() const { return impl_->st.brush; }
const Font& DC::GetFont() const { return impl_->st.font; }
Bitmap DC::GetBitmap() const { return impl_->memory ? impl_->st.bitmap : Bitmap(); }

Color DC::SetTextColor(Color c) { return std::exchange(impl_->st.textColor, c); }
Color DC::GetTextColor() const { return impl_->st.textColor; }
Color DC::SetBkColor(Color c) { return std::exchange(impl_->st.bkColor, c); }
Color DC::GetBkColor() const { return impl_->st.bkColor; }
BkMode DC::SetBkMode(BkMode m) { return std::exchange(impl_->st.bkMode, m); }
BkMode DC::GetBkMode() const { return impl_->st.bkMode; }
unsigned DC::SetTextAlign(unsigned a) { return std::exchange(impl_->st.textAlign, a); }
unsigned DC::GetTextAlign() const { return impl_->st.textAlign; }
Rop2 DC::SetROP2(Rop2 m) {
  if (static_cast<int>(m) < 1 || static_cast<int>(m) > 16) return impl_->st.rop2;
  return std::exchange(impl_->st.rop2, m);
}
Rop2 DC::GetROP2() const { return impl_->st.rop2; }
bool DC::SetTextSmoothing(bool on) { return std::exchange(impl_->textSmoothing, on); }
PolyFillMode DC::SetPolyFillMode(PolyFillMode m) { return std::exchange(impl_->st.fillMode, m); }
StretchMode DC::SetStretchBltMode(StretchMode m) { return std::exchange(impl_->st.stretchMode, m); }

MapMode DC::SetMapMode(MapMode m) {
  MapMode old = std::exchange(impl_->st.mapMode, m);
  impl_->ApplyMapModeDefaults();
  return old;
}
MapMode DC::GetMapMode() const { return impl_->st.mapMode; }
Point DC::SetWindowOrg(int x, int y) { return std::exchange(impl_->st.winOrg, Point(x, y)); }
Point DC::OffsetWindowOrg(int dx, int dy) {
  Point o = impl_->st.winOrg;
  impl_->st.winOrg = Point(o.x + dx, o.y + dy);
  return o;
}
Point DC::GetWindowOrg() const { return impl_->st.winOrg; }
Point DC::SetViewportOrg(int x, int y) { return std::exchange(impl_->st.vpOrg, Point(x, y)); }
Point DC::OffsetViewportOrg(int dx, int dy) {
  Point o = impl_->st.vpOrg;
  impl_->st.vpOrg = Point(o.x + dx, o.y + dy);
  return o;
}
Point DC::GetViewportOrg() const { return impl_->st.vpOrg; }

namespace {
// Isotropic mode keeps one scale on both axes: the larger viewport extent shrinks.
void FixIsotropic(DcState& st) {
  if (st.mapMode != MapMode::Isotropic) return;
  double sx = std::fabs(double(st.vpExt.cx) / st.winExt.cx), sy = std::fabs(double(st.vpExt.cy) / st.winExt.cy);
  if (sx < sy) {
    int v = std::max(1, static_cast<int>(std::lround(std::abs(st.winExt.cy) * sx)));
    st.vpExt.cy = st.vpExt.cy < 0 ? -v : v;
  } else if (sy < sx) {
    int v = std::max(1, static_cast<int>(std::lround(std::abs(st.winExt.cx) * sy)));
    st.vpExt.cx = st.vpExt.cx < 0 ? -v : v;
  }
}
}  // namespace

Size DC::SetWindowExt(int cx, int cy) {
  Size old = impl_->st.winExt;
  MapMode m = impl_->st.mapMode;
  if ((m != MapMode::Isotropic && m != MapMode::Anisotropic) || cx == 0 || cy == 0) return old;
  impl_->st.winExt = Size(cx, cy);
  FixIsotropic(impl_->st);
  return old;
}
Size DC::GetWindowExt() const { return impl_->st.winExt; }
Size DC::SetViewportExt(int cx, int cy) {
  Size old = impl_->st.vpExt;
  MapMode m = impl_->st.mapMode;
  if ((m != MapMode::Isotropic && m != MapMode::Anisotropic) || cx == 0 || cy == 0) return old;
  impl_->st.vpExt = Size(cx, cy);
  FixIsotropic(impl_->st);
  return old;
}
Size DC::GetViewportExt() const { return impl_->st.vpExt; }

Point DC::LPtoDP(Point p) const {
  return Point(static_cast<int>(std::lround(impl_->Dx(p.x))), static_cast<int>(std::lround(impl_->Dy(p.y))));
}
Point DC::DPtoLP(Point p) const {
  return Point(static_cast<int>(std::lround(impl_->Lx(p.x))), static_cast<int>(std::lround(impl_->Ly(p.y))));
}
Rect DC::LPtoDP(const Rect& r) const {
  Point a = LPtoDP(r.TopLeft()), b = LPtoDP(r.BottomRight());
  return Rect(a.x, a.y, b.x, b.y);
}
Rect DC::DPtoLP(const Rect& r) const {
  Point a = DPtoLP(r.TopLeft()), b = DPtoLP(r.BottomRight());
  return Rect(a.x, a.y, b.x, b.y);
}

int DC::SaveDC() {
  impl_->saved.push_back(impl_->st);
  return static_cast<int>(impl_->saved.size());
}

bool DC::RestoreDC(int level) {
  int n = static_cast<int>(impl_->saved.size());
  if (level < 0) level = n + 1 + level;
  if (level < 1 || level > n) return false;
  bool bitmapChanged = !impl_->st.bitmap.SameAs(impl_->saved[level - 1].bitmap);
  impl_->st = impl_->saved[level - 1];
  impl_->saved.resize(level - 1);
  if (impl_->memory && bitmapChanged && impl_->st.bitmap) {
    impl_->mono = impl_->st.bitmap.IsMonochrome();
    impl_->Attach(cairo_surface_reference(impl_->st.bitmap.Surface()));
  }
  impl_->clipDirty = true;
  return true;
}

// --- clipping -----------------------------------------------------------------------------

void DC::SelectClipRect(const Rect* r) {
  if (!r) {
    impl_->st.clip.reset();
  } else {
    Rect d = impl_->DevRect(r->left, r->top, r->right, r->bottom);
    impl_->st.clip = std::vector<Rect>{};
    if (!d.IsEmpty()) impl_->st.clip->push_back(d);
  }
  impl_->clipDirty = true;
}

void DC::IntersectClipRect(const Rect& r) {
  Rect d = impl_->DevRect(r.left, r.top, r.right, r.bottom);
  std::vector<Rect> out;
  if (!impl_->st.clip) {
    if (!d.IsEmpty()) out.push_back(d);
  } else {
    for (const Rect& c : *impl_->st.clip) {
      Rect i = c.Intersect(d);
      if (!i.IsEmpty()) out.push_back(i);
    }
  }
  impl_->st.clip = std::move(out);
  impl_->clipDirty = true;
}

void DC::ExcludeClipRect(const Rect& r) {
  Rect d = impl_->DevRect(r.left, r.top, r.right, r.bottom);
  if (d.IsEmpty()) return;
  std::vector<Rect> in;
  if (impl_->st.clip) {
    in = *impl_->st.clip;
  } else {
    const int big = 1 << 24;
    in.push_back(Rect(-big, -big, big, big));
  }
  std::vector<Rect> out;
  for (const Rect& c : in) {
    Rect i = c.Intersect(d);
    if (i.IsEmpty()) {
      out.push_back(c);
      continue;
    }
    // Up to four pieces of c around i.
    if (c.top < i.top) out.emplace_back(c.left, c.top, c.right, i.top);
    if (i.bottom < c.bottom) out.emplace_back(c.left, i.bottom, c.right, c.bottom);
    if (c.left < i.left) out.emplace_back(c.left, i.top, i.left, i.bottom);
    if (i.right < c.right) out.emplace_back(i.right, i.top, c.right, i.bottom);
  }
  impl_->st.clip = std::move(out);
  impl_->clipDirty = true;
}

Rect DC::GetClipBox() const {
  Rect box;
  for (const Rect& r : impl_->EffectiveClip()) box = box.Union(r);
  if (box.IsEmpty()) return Rect();
  box = box.Offset(-impl_->devOrigin.x, -impl_->devOrigin.y);
  Rect l(static_cast<int>(std::floor(impl_->Lx(box.left))), static_cast<int>(std::floor(impl_->Ly(box.top))),
         static_cast<int>(std::ceil(impl_->Lx(box.right))), static_cast<int>(std::ceil(impl_->Ly(box.bottom))));
  return l.Normalized();
}

bool DC::PtVisible(Point p) const {
  Point d = LPtoDP(p);
  Point s(d.x + impl_->devOrigin.x, d.y + impl_->devOrigin.y);
  for (const Rect& r : impl_->EffectiveClip())
    if (r.Contains(s)) return true;
  return false;
}

// --- output -------------------------------------------------------------------------------

void DC::Flush() {
  if (impl_->surface) cairo_surface_flush(impl_->surface);
}

bool DC::SavePng(const std::string& path, std::string* error) const {
  if (!impl_->surface || cairo_surface_get_type(impl_->surface) != CAIRO_SURFACE_TYPE_IMAGE) {
    if (error) *error = "not a pixel surface";
    return false;
  }
  return WriteSurfacePng(impl_->surface, path, error);
}

cairo_surface_t* DC::Surface() const { return impl_->surface; }

}  // namespace draw
