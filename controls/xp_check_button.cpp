#include "controls/xp_check_button.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "controls/caption_fit.h"
#include "controls/hover_tracking.h"
#include "controls/skin_loader.h"
#include "core/look.h"

namespace {

constexpr draw::Color kHoverGold = draw::RGB(250, 196, 88);
constexpr draw::Color kLabel = draw::RGB(66, 85, 92);
constexpr int kEdge = 2;  // the system's edge width and height

constexpr unsigned kLabelFormat = draw::kDtWordBreak | draw::kDtLeft | draw::kDtTop;

void DrawLabel(draw::DC& dc, const std::string& text, const MarkLayout& layout) {
  if (text.empty()) return;
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(kLabel);
  dc.SelectFont(layout.font);
  ui::Rect tr = layout.text;
  dc.DrawText(text, &tr, kLabelFormat);
}

float LayoutScale() { return CurrentLook().scale; }

// The mark drawn when its skin cannot be loaded: a white square with a tick when checked.
void DrawPlainMark(draw::DC& dc, const ui::Rect& sq, bool checked) {
  dc.SelectPen(draw::Pen::Solid(draw::RGB(78, 98, 108)));
  dc.SelectBrush(draw::Brush::Solid(draw::kWhite));
  dc.Rectangle(sq);
  if (!checked) return;
  dc.SelectPen(draw::Pen::Solid(draw::RGB(35, 75, 105), 2));
  dc.MoveTo(sq.left + 3, sq.top + sq.Height() / 2);
  dc.LineTo(sq.left + sq.Width() / 2 - 1, sq.bottom - 4);
  dc.LineTo(sq.right - 3, sq.top + 3);
}

// Check boxes and radio buttons, the controls whose labels are fitted as a group.
bool IsMarkControl(ui::Window* w) {
  return dynamic_cast<const CXPCheckButton*>(w) || dynamic_cast<const CXPRadioButton*>(w);
}

}  // namespace

std::vector<ui::Window*> MarkGroup(ui::Window* control) { return SizeGroup(control, IsMarkControl); }

draw::Font GroupLabelFont(draw::DC& dc, ui::Window* control, float scale) {
  draw::Font font = *control->GetFont();
  for (ui::Window* c : MarkGroup(control)) {
    const std::string text = c->GetWindowText();
    if (text.empty()) continue;
    const draw::Font own = LayOutMark(dc, c->GetClientRect(), text, *c->GetFont(), scale).font;
    if (std::abs(own.height) < std::abs(font.height)) font = own;
  }
  return font;
}

int MarkSide(int height, float scale) {
  const int side = static_cast<int>(std::lround(15.0 * static_cast<double>(scale)));
  return std::min(side, height);
}

MarkLayout LayOutMark(draw::DC& dc, const ui::Rect& item, const std::string& text, const draw::Font& nominal,
                      float scale) {
  MarkLayout l;
  const int side = MarkSide(item.Height(), scale);
  // The mark's 1 px rim is part of its gap to the label.
  l.textRoom = ui::Rect(item.left + side + 3, item.top, item.right, item.bottom);
  l.font = text.empty() ? nominal : FitTextFont(dc, text, nominal, l.textRoom, kLabelFormat);
  int blockTop = item.top, blockHeight = item.Height();
  if (!text.empty()) {
    const int saved = dc.SaveDC();
    dc.SelectFont(l.font);
    ui::Rect block(0, 0, std::max(l.textRoom.Width(), 1), 0);
    dc.DrawText(text, &block, kLabelFormat | draw::kDtCalcRect);
    dc.RestoreDC(saved);
    blockHeight = std::min(block.Height(), item.Height());
    blockTop = item.top + (item.Height() - blockHeight) / 2;
  }
  l.text = ui::Rect(l.textRoom.left, blockTop, l.textRoom.right, item.bottom);
  const int markTop = std::clamp(blockTop + (blockHeight - side) / 2, item.top, item.bottom - side);
  l.mark = ui::Rect::FromSize(item.left, markTop, side, side);
  return l;
}

ui::Window* NextDialogGroupItem(ui::Window* control) {
  ui::Window* parent = control ? control->GetParent() : nullptr;
  if (!parent) return nullptr;
  const auto& kids = parent->Children();
  size_t i = 0;
  while (i < kids.size() && kids[i] != control) ++i;
  if (i == kids.size()) return nullptr;
  if (i + 1 < kids.size() && !(kids[i + 1]->GetStyle() & ui::WS_GROUP)) return kids[i + 1];
  // Back to the first control of the group.
  size_t start = i;
  while (start > 0 && !(kids[start]->GetStyle() & ui::WS_GROUP)) --start;
  return kids[start];
}

// --- check box -----------------------------------------------------------------------------

// The kind bits become owner-drawn whatever they were: a plain radio button's kind 4 with the
// owner-drawn bits added would make 0xF, which paints as no kind at all.

int CXPCheckButton::OnCreate() {
  ModifyStyle(ui::BS_TYPEMASK, ui::BS_OWNERDRAW);
  return ui::Button::OnCreate();
}

void CXPCheckButton::PreSubclassWindow() {
  ui::Button::PreSubclassWindow();
  ModifyStyle(ui::BS_TYPEMASK, ui::BS_OWNERDRAW);
}

ui::LResult CXPCheckButton::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == ui::BM_GETCHECK) return checked ? 1 : 0;
  if (msg == ui::BM_SETCHECK) {
    checked = w != 0;
    Invalidate(true);
    return 0;
  }
  return ui::Button::WindowProc(msg, w, l);
}

bool CXPCheckButton::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), backColour);
  return true;
}

void CXPCheckButton::OnLButtonDown(unsigned flags, ui::Point pt) {
  checked = !checked;
  Invalidate(true);
  ui::Button::OnLButtonDown(flags, pt);
}

void CXPCheckButton::OnMouseMove(unsigned flags, ui::Point pt) {
  StartHoverTracking(this, tracking);
  ui::Button::OnMouseMove(flags, pt);
}

void CXPCheckButton::OnMouseHover(unsigned, ui::Point) {
  hover = true;
  Invalidate(true);
}

void CXPCheckButton::OnMouseLeave() {
  hover = false;
  tracking = false;
  Invalidate(true);
}

void CXPCheckButton::DrawItem(ui::DrawItemInfo& info) {
  draw::DC& dc = *info.dc;
  const int saved = dc.SaveDC();
  // A repaint without erase (a focus change) must not draw the label over itself.
  dc.FillSolidRect(info.rcItem, backColour);
  const std::string text = GetWindowText();
  const MarkLayout layout = LayOutMark(dc, info.rcItem, text, GroupLabelFont(dc, this, LayoutScale()), LayoutScale());
  labelFont = layout.font;
  textRect = layout.textRoom;
  ui::Rect sq = layout.mark;
  draw::Bitmap bmp = LoadSkinBitmap(checked ? checkedBitmapId : uncheckedBitmapId, "Load CheckBox BMP Error!");
  if (bmp.IsNull()) {
    DrawPlainMark(dc, sq, checked);
  } else {
    dc.TransparentBlt(sq.left, sq.top, sq.Width(), sq.Height(), bmp, 0, 0, bmp.Width(), bmp.Height(), draw::kMagenta);
  }
  sq = sq.Inflate(-1, -1);
  if (hover) {
    dc.SelectPen(draw::Pen(draw::PenStyle::InsideFrame, 2, kHoverGold));
    dc.SelectBrush(draw::Brush::NullBrush());
    dc.Rectangle(sq.Inflate(1, 1));
  }
  DrawLabel(dc, text, layout);
  dc.RestoreDC(saved);
}

// --- radio button --------------------------------------------------------------------------

int CXPRadioButton::OnCreate() {
  ModifyStyle(ui::BS_TYPEMASK, ui::BS_OWNERDRAW);
  return ui::Button::OnCreate();
}

void CXPRadioButton::PreSubclassWindow() {
  ModifyStyle(ui::BS_TYPEMASK, ui::BS_OWNERDRAW);
  ui::Button::PreSubclassWindow();
}

void CXPRadioButton::CheckAndClearGroup() {
  checked = true;
  // Walk the group once round; only the radio buttons of the group are told to clear.
  std::vector<ui::Window*> visited{this};
  ui::Window* w = NextDialogGroupItem(this);
  while (w) {
    bool seen = false;
    for (ui::Window* v : visited) seen = seen || v == w;
    if (seen) break;
    visited.push_back(w);
    if (dynamic_cast<CXPRadioButton*>(w)) w->PostMessage(WM_RADIO_UNCHECK, 0, 0);
    w = NextDialogGroupItem(w);
  }
  Invalidate(true);
}

ui::LResult CXPRadioButton::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  switch (msg) {
    case ui::BM_GETCHECK:
      return checked ? 1 : 0;
    case ui::BM_SETCHECK:
      if (w != 0) {
        CheckAndClearGroup();
      } else {
        // Clearing one button of a group leaves the others as they are.
        checked = false;
        Invalidate(true);
      }
      return 0;
    case WM_RADIO_UNCHECK:
      if (checked) {
        checked = false;
        Invalidate(true);
      }
      return 0;
    default:
      return ui::Button::WindowProc(msg, w, l);
  }
}

bool CXPRadioButton::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), backColour);
  return true;
}

void CXPRadioButton::OnLButtonDown(unsigned flags, ui::Point pt) {
  ui::Button::OnLButtonDown(flags, pt);
  SendMessage(ui::BM_SETCHECK, 1, 0);
  Invalidate(true);
}

void CXPRadioButton::OnLButtonDblClk(unsigned flags, ui::Point pt) { OnLButtonDown(flags, pt); }

void CXPRadioButton::OnLButtonUp(unsigned flags, ui::Point pt) {
  ui::Button::OnLButtonUp(flags, pt);
  Invalidate(true);
}

void CXPRadioButton::OnMouseMove(unsigned flags, ui::Point pt) {
  StartHoverTracking(this, tracking);
  ui::Button::OnMouseMove(flags, pt);
}

void CXPRadioButton::OnMouseHover(unsigned, ui::Point) {
  hover = true;
  Invalidate(true);
}

void CXPRadioButton::OnMouseLeave() {
  hover = false;
  tracking = false;
  Invalidate(true);
}

void CXPRadioButton::DrawItem(ui::DrawItemInfo& info) {
  draw::DC& dc = *info.dc;
  const int saved = dc.SaveDC();
  // A repaint without erase (a focus change) must not draw the label over itself.
  dc.FillSolidRect(info.rcItem, backColour);
  const std::string text = GetWindowText();
  const MarkLayout layout = LayOutMark(dc, info.rcItem, text, GroupLabelFont(dc, this, LayoutScale()), LayoutScale());
  labelFont = layout.font;
  textRect = layout.textRoom;
  ui::Rect r = layout.mark.Inflate(-1, -1);
  dc.SelectPen(draw::Pen(draw::PenStyle::InsideFrame, 1, draw::RGB(78, 98, 108)));
  dc.SelectBrush(draw::Brush::Solid(hover ? draw::RGB(233, 232, 246) : draw::RGB(232, 233, 246)));
  dc.Ellipse(r);
  r = r.Inflate(-2, -2);
  if (hover) {
    dc.SelectPen(draw::Pen::Solid(kHoverGold, 2));
    dc.Ellipse(r);
  }
  if (checked) {
    r = r.Inflate(-kEdge, -kEdge);
    dc.SelectPen(draw::Pen(draw::PenStyle::InsideFrame, 1, draw::RGB(82, 101, 112)));
    dc.SelectBrush(draw::Brush::Solid(draw::RGB(82, 101, 112)));
    dc.Ellipse(r);
  }
  DrawLabel(dc, text, layout);
  dc.RestoreDC(saved);
}
