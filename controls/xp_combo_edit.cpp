#include "controls/xp_combo_edit.h"

#include "core/look.h"
#include "controls/hover_tracking.h"
#include "controls/skin_loader.h"
#include "platform/ui/message_box.h"

namespace {
constexpr draw::Color kField = draw::RGB(245, 245, 245);
constexpr draw::Color kFieldEdge = draw::RGB(150, 150, 150);
constexpr draw::Color kText = draw::RGB(66, 85, 92);
constexpr draw::Color kDisabledText = draw::RGB(180, 180, 180);
constexpr uint32_t WS_EX_LEFTSCROLLBAR = 0x4000;
}  // namespace

// --- combo box -----------------------------------------------------------------------------

void CXPComboBox::SetBitmaps(unsigned hoverId, unsigned normalId, unsigned disabledId) {
  if (hoverId == 0) {
    ui::DefaultMessageBox(nullptr, "Frist Resource ID Error!", "", ui::MB_OK);
    return;
  }
  if (normalId == 0) {
    ui::DefaultMessageBox(nullptr, "Second Resource ID Error!", "", ui::MB_OK);
    return;
  }
  if (disabledId == 0) {
    ui::DefaultMessageBox(nullptr, "Third Resource ID Error!", "", ui::MB_OK);
    return;
  }
  hoverBitmapId = hoverId;
  normalBitmapId = normalId;
  disabledBitmapId = disabledId;
}

ui::Rect CXPComboBox::TextArea() const {
  const ui::Rect rc = GetClientRect();
  ui::Rect r(rc.left, rc.top, rc.right - kSystemScrollWidth, rc.bottom);
  r = r.Inflate(-2, -2);
  r.left += 2;
  r.top += 1;
  return r;
}

void CXPComboBox::OnPaint(draw::DC& dc) {
  const ui::Rect rc = GetClientRect();
  const bool enabled = IsWindowEnabled();
  draw::Bitmap face = draw::Bitmap::Create(std::max(1, rc.Width()), std::max(1, rc.Height()), kField);
  {
    draw::DC m(face);
    m.SelectPen(draw::Pen::Solid(kField));
    m.SelectBrush(draw::Brush::Solid(kField));
    m.Rectangle(rc);
    m.SelectPen(draw::Pen::Solid(kFieldEdge));
    m.RoundRect(rc.left, rc.top, rc.right, rc.bottom, 6, 6);
    ui::Rect text = TextArea();
    m.FillSolidRect(text, kField);
    const int cur = GetCurSel();
    const std::string caption = cur >= 0 ? GetLBText(cur) : GetWindowText();
    m.SelectFont(CurrentLook().ScaledFont("Arial", 16.0f));
    m.SetBkMode(draw::BkMode::Transparent);
    m.SetTextColor(enabled ? kText : kDisabledText);
    text = text.Offset(0, 1);
    m.DrawText(caption, &text, draw::kDtLeft | draw::kDtTop | draw::kDtSingleLine);
    m.Flush();
  }
  dc.BitBlt(0, 0, rc.Width(), rc.Height(), face, 0, 0);

  unsigned id = normalBitmapId;
  const char* failure = "Load ComboBox Normal status Bitmap Error!";
  if (!enabled) {
    id = disabledBitmapId;
    failure = "Load ComboBox Disable status Bitmap Error!";
  } else if (hover) {
    id = hoverBitmapId;
    failure = "Load ComboBox Hover status Bitmap Error!";
  }
  const int left = rc.right - kSystemScrollWidth - 2;
  draw::Bitmap arrow = LoadSkinBitmap(id, failure);
  if (arrow.IsNull()) {
    // A plain arrow button in place of the skin.
    const ui::Rect b(left, rc.top, rc.right, rc.bottom);
    dc.FillSolidRect(b.Inflate(-1, -1), enabled ? draw::RGB(35, 75, 105) : draw::RGB(150, 158, 162));
    const ui::Point c = b.Center();
    const ui::Point tri[3] = {{c.x - 4, c.y - 2}, {c.x + 4, c.y - 2}, {c.x, c.y + 3}};
    dc.SelectPen(draw::Pen::Solid(draw::kWhite));
    dc.SelectBrush(draw::Brush::Solid(draw::kWhite));
    dc.Polygon(tri, 3);
    return;
  }
  dc.TransparentBlt(left, rc.top, arrow.Width(), rc.Height(), arrow, 0, 0, arrow.Width(), arrow.Height(), draw::kMagenta);
}

void CXPComboBox::OnLButtonDown(unsigned, ui::Point) {
  // Opens the list without the framework's own press handling.
  pressed = true;
  SendMessage(ui::CB_SHOWDROPDOWN, 1, 0);
}

void CXPComboBox::OnLButtonUp(unsigned, ui::Point) {
  // The list that the press opened stays open for the choice; only the press ends here.
  pressed = false;
}

void CXPComboBox::OnMouseMove(unsigned, ui::Point) { StartHoverTracking(this, tracking); }

void CXPComboBox::OnMouseHover(unsigned, ui::Point) {
  hover = true;
  Invalidate(true);
}

void CXPComboBox::OnMouseLeave() {
  hover = false;
  tracking = false;
  Invalidate(true);
}

// --- edit field ----------------------------------------------------------------------------

void CXPEdit::PreSubclassWindow() {
  ui::Edit::PreSubclassWindow();
  backColour = ui::SysColor(ui::COLOR_BTNFACE);
  const uint32_t style = GetStyle();
  edgeHeight = kSystemEdge;
  edgeWidth = kSystemEdge;
  hScrollHeight = (style & ui::WS_HSCROLL) ? kSystemScrollWidth : 0;
  leftScrollWidth = rightScrollWidth = 0;
  if (style & ui::WS_VSCROLL) {
    if (GetExStyle() & WS_EX_LEFTSCROLLBAR) leftScrollWidth = kSystemScrollWidth;
    else rightScrollWidth = kSystemScrollWidth;
  }
}

void CXPEdit::OnHScroll(int code, int pos, ui::Window* bar) {
  hScrollFlip = !hScrollFlip;
  ui::Edit::OnHScroll(code, pos, bar);
}

void CXPEdit::OnVScroll(int code, int pos, ui::Window* bar) {
  vScrollFlip = !vScrollFlip;
  ui::Edit::OnVScroll(code, pos, bar);
}

const draw::Brush* CXPEdit::CtlColorReflect(draw::DC& dc, int ctlType) {
  if (ctlType != ui::CTLCOLOR_EDIT) return nullptr;
  static const draw::Brush kWindow = draw::Brush::Solid(ui::SysColor(ui::COLOR_WINDOW));
  dc.SetTextColor(textColour);
  return &kWindow;
}

void CXPEdit::OnPaint(draw::DC& dc) {
  const int saved = dc.SaveDC();
  ui::Edit::OnPaint(dc);
  dc.RestoreDC(saved);
  // Our edit draws its border inside its own rectangle, so the light frame goes on the
  // client rectangle's edge.
  const ui::Rect r = GetClientRect();
  dc.FrameRect(r, draw::Brush::Solid(draw::RGB(205, 213, 215)));
  if (IsWindowEnabled()) return;
  const ui::Rect inner = r.Inflate(-1, -1);
  dc.FillSolidRect(inner, draw::RGB(190, 198, 201));
  dc.SetBkColor(draw::RGB(190, 198, 201));
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(textColour);
  dc.SelectFont(*GetFont());
  ui::Rect tr = inner.Offset(1, 2);
  std::string text = GetWindowText();
  if (GetStyle() & ui::ES_PASSWORD) text.assign(ui::Utf8Length(text), '*');
  dc.DrawText(text, &tr, draw::kDtLeft | draw::kDtTop | draw::kDtNoPrefix);
}
