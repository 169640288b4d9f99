#include "controls/xp_button.h"

#include <cstdlib>

#include "controls/caption_fit.h"
#include "controls/caption_font.h"
#include "controls/hover_tracking.h"
#include "controls/skin_loader.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"

namespace {

constexpr draw::Color kArrowColour = draw::RGB(166, 175, 182);
constexpr draw::Color kTextColour = draw::RGB(235, 235, 235);

// The look drawn when a skin bitmap cannot be loaded: a plain rounded face per state.
void DrawPlainFace(draw::DC& dc, const ui::Rect& r, bool enabled, bool hover) {
  const draw::Color face = !enabled ? draw::RGB(150, 158, 162) : hover ? draw::RGB(58, 110, 150) : draw::RGB(35, 75, 105);
  dc.SelectPen(draw::Pen::Solid(draw::RGB(20, 45, 65)));
  dc.SelectBrush(draw::Brush::Solid(face));
  dc.RoundRect(r.left, r.top, r.right, r.bottom, 6, 6);
}

}  // namespace

bool XPButtonArrowPoints(int style, int width, int height, bool down, ui::Point out[3]) {
  int x0 = width / 2 - 8, y0 = height / 2 - 8;
  if (down) {
    ++x0;
    ++y0;
  }
  const int x1 = x0 + 16, y1 = y0 + 16, xm = x0 + 8, ym = y0 + 8;
  switch (style) {
    case 1: out[0] = {xm, y0}; out[1] = {x1, y1}; out[2] = {x0, y1}; return true;
    case 2: out[0] = {xm, y1}; out[1] = {x0, y0}; out[2] = {x1, y0}; return true;
    case 3: out[0] = {x0, ym}; out[1] = {x1, y0}; out[2] = {x1, y1}; return true;
    case 4: out[0] = {x1, ym}; out[1] = {x0, y1}; out[2] = {x0, y0}; return true;
    default: return false;
  }
}

void CXPButton::SetBitmaps(unsigned normalId, unsigned hoverId, unsigned disabledId) {
  if (normalId == 0) {
    ui::MessageBox(nullptr, "BTN First Resource ID Error!");
    return;
  }
  if (hoverId == 0) {
    ui::MessageBox(nullptr, "BTN Second Resource ID Error!");
    return;
  }
  normalBitmapId = normalId;
  hoverBitmapId = hoverId;
  disabledBitmapId = disabledId;
}

void CXPButton::MakeOwnerDrawn() { ModifyStyle(uint32_t{ui::WS_TABSTOP} | ui::BS_TYPEMASK, ui::BS_OWNERDRAW); }

int CXPButton::OnCreate() {
  MakeOwnerDrawn();
  return ui::Button::OnCreate();
}

void CXPButton::PreSubclassWindow() {
  ui::Button::PreSubclassWindow();
  MakeOwnerDrawn();
}

bool CXPButton::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN && msg.wParam == ui::VK_SPACE) return true;
  return ui::Button::PreTranslateMessage(msg);
}

void CXPButton::OnMouseMove(unsigned flags, ui::Point pt) {
  StartHoverTracking(this, tracking);
  ui::Button::OnMouseMove(flags, pt);
}

void CXPButton::OnMouseHover(unsigned, ui::Point) {
  hover = true;
  Invalidate(true);
}

void CXPButton::OnMouseLeave() {
  hover = false;
  tracking = false;
  Invalidate(false);
}

draw::Font CXPButton::OwnCaptionFont(draw::DC& dc, const ui::Rect& face) {
  const draw::Font nominal = ButtonCaptionFont();
  const ui::Rect room = CaptionRoom(face);
  const std::string text = GetWindowText();
  if (!fitted_ || fittedText_ != text || !(fittedNominal_ == nominal) || !(fittedRoom_ == room)) {
    const draw::Font font = FitCaptionFont(dc, text, nominal, room);
    ownChanged_ = ownChanged_ || !fitted_ || !(font == ownFont_);
    ownFont_ = font;
    fittedText_ = text, fittedNominal_ = nominal, fittedRoom_ = room, fitted_ = true;
  }
  return ownFont_;
}

std::vector<CXPButton*> CXPButton::RowButtons() const {
  std::vector<CXPButton*> row;
  ui::Window* parent = GetParent();
  if (!parent) return row;
  const ui::Rect mine = GetWindowRect();
  for (ui::Window* c : parent->Children()) {
    auto* b = dynamic_cast<CXPButton*>(c);
    if (!b || b == this || !b->IsWindowVisible() || b->arrowStyle != 0 || b->GetWindowText().empty()) continue;
    const ui::Rect r = b->GetWindowRect();
    if (r.top == mine.top && r.Height() == mine.Height()) row.push_back(b);
  }
  return row;
}

void CXPButton::DrawItem(ui::DrawItemInfo& info) {
  draw::DC& dc = *info.dc;
  const ui::Rect rc = info.rcItem;
  const int saved = dc.SaveDC();
  const std::string text = GetWindowText();
  const bool enabled = !(info.itemState & ui::ODS_DISABLED);
  pressed = (info.itemState & ui::ODS_SELECTED) != 0;

  unsigned id = 0;
  const char* failure = nullptr;
  if (enabled && !hover) {
    id = normalBitmapId;
    failure = "Load BTN Normal status Bitmap Error!";
  } else if (enabled) {
    id = hoverBitmapId;
    failure = "Load BTN Hover status Bitmap Error!";
  } else if (disabledBitmapId != 0) {
    id = disabledBitmapId;
    failure = "Load BTN Hover status Bitmap Error!";
  }
  if (failure) {
    draw::Bitmap bmp = LoadSkinBitmap(id, failure);
    if (bmp.IsNull()) {
      DrawPlainFace(dc, rc, enabled, hover);
    } else {
      dc.TransparentBlt(rc.left, rc.top, rc.Width(), rc.Height(), bmp, 0, 0, bmp.Width(), bmp.Height(), draw::kMagenta);
    }
  }

  if (arrowStyle == 0) {
    // A caption too long for the button at its font is drawn smaller until it fits, and the
    // whole row at the smallest size one of its captions needs.
    captionFont = OwnCaptionFont(dc, rc);
    const std::vector<CXPButton*> row = RowButtons();
    for (CXPButton* b : row) {
      const draw::Font f = b->OwnCaptionFont(dc, b->GetClientRect());
      if (std::abs(f.height) < std::abs(captionFont.height)) captionFont = f;
    }
    // A caption that now needs another size changes the row's size: the others draw again.
    if (ownChanged_) {
      ownChanged_ = false;
      for (CXPButton* b : row) b->Invalidate(false);
    }
    dc.SelectFont(captionFont);
    ui::Rect work = rc;
    if (enabled && pressed) work = work.Offset(1, 1);
    ui::Rect block = CaptionRoom(work);
    dc.DrawText(text, &block, draw::kDtCenter | draw::kDtWordBreak | draw::kDtCalcRect);
    const int dx = (work.Width() - block.Width()) / 2;
    const int dy = (work.Height() - block.Height()) / 2;
    block = ui::Rect::FromSize(work.left + dx, work.top + dy, block.Width(), block.Height());
    if (text == "←" || text == "→") block = block.Offset(0, -2);
    dc.SetBkMode(draw::BkMode::Transparent);
    const unsigned fmt = draw::kDtCenter | draw::kDtWordBreak;
    if (enabled) {
      dc.SetTextColor(hover ? ui::SysColor(ui::COLOR_BTNHIGHLIGHT) : kTextColour);
      dc.DrawText(text, block, fmt);
    } else {
      dc.SetTextColor(ui::SysColor(ui::COLOR_BTNHIGHLIGHT));
      dc.DrawText(text, block.Offset(1, 1), fmt);
      dc.SetTextColor(ui::SysColor(ui::COLOR_BTNSHADOW));
      dc.DrawText(text, block, fmt);
    }
  } else {
    ui::Point pts[3];
    const ui::Rect client = GetClientRect();
    if (XPButtonArrowPoints(arrowStyle, client.Width(), client.Height(), enabled && pressed, pts)) {
      dc.SelectPen(draw::Pen::Solid(kArrowColour));
      dc.SelectBrush(draw::Brush::Solid(kArrowColour));
      dc.Polygon(pts, 3);
    }
  }
  dc.RestoreDC(saved);
}
