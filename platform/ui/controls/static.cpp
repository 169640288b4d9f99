#include <cstdlib>

#include "platform/ui/controls/controls.h"
#include "platform/ui/resources.h"

namespace ui {

namespace {
TextFontFitter& StaticTextFitter() {
  static TextFontFitter fitter;
  return fitter;
}
TextFontGrouping& StaticTextGrouping() {
  static TextFontGrouping grouping;
  return grouping;
}
}  // namespace

void SetStaticTextFitter(TextFontFitter fitter, TextFontGrouping grouping) {
  StaticTextFitter() = std::move(fitter);
  StaticTextGrouping() = std::move(grouping);
}

Rect Static::TextRoom() const {
  Rect tr = GetClientRect();
  if (GetStyle() & SS_SUNKEN) tr = tr.Inflate(-2, -2);
  if (GetStyle() & WS_BORDER) tr = tr.Inflate(-1, -1);
  return tr;
}

unsigned Static::TextFormat() const {
  const uint32_t style = GetStyle();
  const uint32_t kind = style & SS_TYPEMASK;
  unsigned fmt = 0;
  if (kind == SS_CENTER) fmt |= draw::kDtCenter;
  else if (kind == SS_RIGHT) fmt |= draw::kDtRight;
  if (kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE) fmt |= draw::kDtExpandTabs;
  else fmt |= draw::kDtWordBreak | draw::kDtExpandTabs;
  if (style & SS_CENTERIMAGE) fmt = (fmt & ~draw::kDtWordBreak) | draw::kDtSingleLine | draw::kDtVCenter;
  if (style & SS_NOPREFIX) fmt |= draw::kDtNoPrefix;
  if (style & SS_ENDELLIPSIS) fmt |= draw::kDtEndEllipsis;
  return fmt;
}

draw::Font Static::OwnTextFont(draw::DC& dc) {
  const draw::Font& nominal = *GetFont();
  const Rect tr = TextRoom();
  const unsigned fmt = TextFormat();
  if (!fitted_ || fittedText_ != Text() || !(fittedNominal_ == nominal) || !(fittedRoom_ == tr) || fittedFormat_ != fmt) {
    const TextFontFitter& fitter = StaticTextFitter();
    ownFont_ = fitter ? fitter(dc, Text(), nominal, tr, fmt) : nominal;
    fittedText_ = Text(), fittedNominal_ = nominal, fittedRoom_ = tr, fittedFormat_ = fmt, fitted_ = true;
  }
  return ownFont_;
}

int Static::OnCreate() {
  // A picture static names its resource in the text: "#128" or "128".
  const uint32_t kind = GetStyle() & SS_TYPEMASK;
  if ((kind == SS_BITMAP || kind == SS_ICON) && !Text().empty()) {
    const char* s = Text().c_str();
    if (*s == '#') ++s;
    const int id = std::atoi(s);
    if (id > 0) image_ = kind == SS_ICON ? Resources::LoadIcon(id) : Resources::LoadBitmap(id);
    if (image_.IsNull() && kind == SS_ICON) image_ = Resources::LoadBitmap(id);
  }
  return 0;
}

void Static::SetBitmap(const draw::Bitmap& bmp) {
  if (ForwardToUiThread([&] { SetBitmap(bmp); })) return;
  image_ = bmp;
  Invalidate(true);
}

void Static::TakeOverState(Window& from) {
  if (auto* s = dynamic_cast<Static*>(&from)) image_ = s->image_;
}

LResult Static::WindowProc(uint32_t msg, WParam w, LParam l) {
  if (msg == STM_SETIMAGE || msg == STM_SETICON) {
    const draw::Bitmap* b = reinterpret_cast<const draw::Bitmap*>(msg == STM_SETICON ? w : l);
    SetBitmap(b ? *b : draw::Bitmap());
    return 0;
  }
  return Window::WindowProc(msg, w, l);
}

void Static::DrawItem(DrawItemInfo& info) {
  if (GetParent()) GetParent()->SendMessage(WM_DRAWITEM, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&info));
}

void Static::OnLButtonDown(unsigned, Point) {
  if (GetStyle() & SS_NOTIFY) NotifyParent(STN_CLICKED);
}

void Static::OnLButtonDblClk(unsigned, Point) {
  if (GetStyle() & SS_NOTIFY) NotifyParent(STN_DBLCLK);
}

void Static::OnPaint(draw::DC& dc) {
  const Rect rc = GetClientRect();
  const uint32_t style = GetStyle();
  const uint32_t kind = style & SS_TYPEMASK;
  switch (kind) {
    case SS_BLACKRECT: dc.FillSolidRect(rc, SysColor(COLOR_3DDKSHADOW)); return;
    case SS_GRAYRECT: dc.FillSolidRect(rc, SysColor(COLOR_BTNSHADOW)); return;
    case SS_WHITERECT: dc.FillSolidRect(rc, SysColor(COLOR_BTNHIGHLIGHT)); return;
    case SS_BLACKFRAME: dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_3DDKSHADOW))); return;
    case SS_GRAYFRAME: dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_BTNSHADOW))); return;
    case SS_WHITEFRAME: dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_BTNHIGHLIGHT))); return;
    case SS_ETCHEDFRAME:
      dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_BTNSHADOW)));
      dc.FrameRect(rc.Offset(1, 1), draw::Brush::Solid(SysColor(COLOR_BTNHIGHLIGHT)));
      return;
    case SS_OWNERDRAW: {
      DrawItemInfo info;
      info.ctlType = ODT_STATIC;
      info.ctlId = GetDlgCtrlID();
      info.itemState = IsWindowEnabled() ? 0u : unsigned{ODS_DISABLED};
      info.item = this;
      info.dc = &dc;
      info.rcItem = rc;
      DrawItem(info);
      return;
    }
    default:
      break;
  }
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_STATIC);
  if (brush) dc.FillRect(rc, *brush);
  if (kind == SS_BITMAP || kind == SS_ICON) {
    if (image_.IsNull()) return;
    int x = 0, y = 0;
    if (style & SS_CENTERIMAGE) {
      x = (rc.Width() - image_.Width()) / 2;
      y = (rc.Height() - image_.Height()) / 2;
    }
    if (kind == SS_ICON || image_.HasAlpha()) dc.DrawBitmap(x, y, image_);
    else dc.BitBlt(x, y, image_.Width(), image_.Height(), image_, 0, 0);
    return;
  }
  if (style & SS_SUNKEN) Draw3dFrame(dc, rc, true);
  if (style & WS_BORDER) dc.FrameRect(rc, draw::Brush::Solid(SysColor(COLOR_3DDKSHADOW)));
  Rect tr = TextRoom();
  const TextFontGrouping& grouping = StaticTextGrouping();
  textFont_ = grouping ? grouping(dc, *this) : OwnTextFont(dc);
  drawn_ = true;
  draw::Font old = dc.SelectFont(textFont_);
  if (!IsWindowEnabled()) dc.SetTextColor(SysColor(COLOR_GRAYTEXT));
  dc.DrawText(Text(), &tr, TextFormat());
  dc.SelectFont(old);
}

}  // namespace ui
