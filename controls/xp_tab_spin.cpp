#include "controls/xp_tab_spin.h"

#include "core/look.h"
#include "controls/hover_tracking.h"
#include "controls/skin_loader.h"

namespace {
constexpr draw::Color kBack = draw::RGB(240, 240, 240);
constexpr draw::Color kPanel = draw::RGB(205, 213, 215);
constexpr draw::Color kBand = draw::RGB(190, 198, 201);
constexpr draw::Color kDarkTab = draw::RGB(35, 75, 105);
}  // namespace

std::string FitWithEllipsis(draw::DC& dc, const std::string& text, int width) {
  if (dc.GetTextExtent(text).cx <= width) return text;
  std::string s = text;
  while (!s.empty()) {
    // Drop one whole UTF-8 character from the end.
    size_t n = s.size() - 1;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    s.erase(n);
    if (dc.GetTextExtent(s + "...").cx <= width) return s + "...";
  }
  return "...";
}

// --- tab control ---------------------------------------------------------------------------

CXPTabCtrl::CXPTabCtrl() : font(CurrentLook().ScaledFont("微软雅黑", 19.0f)) {}

int CXPTabCtrl::InsertItem(intptr_t data, const std::string& text, int index, int image) {
  hasItems = true;
  return ui::TabControl::InsertItem(index, text, static_cast<uintptr_t>(data), image);
}

void CXPTabCtrl::OnSize(int type, int cx, int cy) {
  ui::TabControl::OnSize(type, cx, cy);
  if (!hasItems) return;
  const int row = GetItemCount() > 0 ? GetItemRect(0).Height() + 2 : 0;
  for (ui::Window* child : Children()) {
    if (!child->IsWindowVisible()) continue;
    child->MoveWindow(0, 0, cx, cy - row);
    break;
  }
}

void CXPTabCtrl::OnPaint(draw::DC& dc) {
  const ui::Rect rc = GetClientRect();
  draw::Bitmap image = draw::Bitmap::Create(std::max(1, rc.Width()), std::max(1, rc.Height()), kBack);
  {
    draw::DC m(image);
    m.SelectPen(draw::Pen::Solid(draw::RGB(245, 245, 245)));
    m.SelectBrush(draw::Brush::Solid(kBack));
    m.RoundRect(rc.left, rc.top, rc.right, rc.bottom, 8, 8);
    const int count = GetItemCount();
    if (count > 0) {
      const int row = GetItemRect(0).Height();
      m.SelectPen(draw::Pen::Solid(draw::RGB(230, 230, 230)));
      m.SelectBrush(draw::Brush::Solid(kPanel));
      m.RoundRect(rc.left - 3, rc.top + row, rc.right - 1, rc.bottom + 3, 8, 8);
      m.SelectFont(font);
      m.SetBkMode(draw::BkMode::Transparent);
      for (int i = 0; i < count; ++i) {
        ui::Rect t = GetItemRect(i);
        m.FillSolidRect(t, kBack);
        t = t.Inflate(-1, -1);
        const bool selected = i == GetCurSel();
        if (selected) {
          m.SelectPen(draw::Pen::Solid(kBand));
          m.SelectBrush(draw::Brush::Solid(kPanel));
          m.RoundRect(t.left, t.top, t.right, t.bottom, 6, 6);
          // Merge into the panel below.
          m.FillSolidRect(ui::Rect(t.left + 1, t.bottom - 3, t.right - 1, t.bottom + 1), kPanel);
          m.SelectPen(draw::Pen::Solid(kBand, 2));
          m.MoveTo(t.left + 2, t.bottom - 2);
          m.LineTo(t.left + 2, t.top + 3);
        } else {
          m.SelectPen(draw::Pen::Solid(kPanel));
          m.SelectBrush(draw::Brush::Solid(kDarkTab));
          m.RoundRect(t.left, t.top, t.right, t.bottom, 6, 6);
          m.SetPixel(t.left, t.top, kPanel);
          m.SetPixel(t.right - 1, t.top, kDarkTab);
        }
        const std::string text = FitWithEllipsis(m, " " + GetItemText(i) + " ", t.Width());
        m.SetTextColor(selected ? draw::RGB(41, 89, 124) : draw::kWhite);
        m.DrawText(text, t, draw::kDtCenter | draw::kDtVCenter | draw::kDtSingleLine | draw::kDtNoPrefix);
      }
    }
    m.Flush();
  }
  dc.BitBlt(0, 0, rc.Width(), rc.Height(), image, 0, 0);
}

// --- spin button ---------------------------------------------------------------------------

void CTSpinButtonCtrl::FitTo(const draw::Bitmap& bmp) {
  if (sized) return;
  const ui::Rect r = GetRectInParent();
  MoveWindow(r.left, r.top, bmp.Width(), bmp.Height(), false);
  fittedRect = GetRectInParent();
  sized = true;
}

void CTSpinButtonCtrl::OnPaint(draw::DC& dc) {
  const ui::Rect now = GetRectInParent();
  if (sized && now.Width() != fittedRect.Width()) {
    // Resized by the screen (the layout scale): the buddy takes the difference.
    const int diff = now.Width() - fittedRect.Width();
    if (ui::Window* buddy = GetBuddy()) {
      const ui::Rect b = buddy->GetRectInParent();
      buddy->MoveWindow(b.left, b.top, b.Width() + diff, b.Height());
    }
    MoveWindow(now.left + diff, now.top, fittedRect.Width(), now.Height(), false);
    fittedRect = GetRectInParent();
  }
  if (!IsWindowEnabled()) {
    draw::Bitmap bmp = LoadSkinBitmap(disabledBitmapId, "Load SpinBTN Disable Status Bitmap Error!");
    if (bmp.IsNull()) {
      ui::UpDown::OnPaint(dc);
      return;
    }
    FitTo(bmp);
    dc.TransparentBlt(0, 0, bmp.Width(), bmp.Height(), bmp, 0, 0, bmp.Width(), bmp.Height(), draw::kMagenta);
    return;
  }
  draw::Bitmap bmp = LoadSkinBitmap(normalBitmapId, "Load SpinBTN Normal Status Bitmap Error!");
  if (bmp.IsNull()) {
    ui::UpDown::OnPaint(dc);
    return;
  }
  FitTo(bmp);
  dc.TransparentBlt(0, 0, bmp.Width(), bmp.Height(), bmp, 0, 0, bmp.Width(), bmp.Height(), draw::kMagenta);
  if (!hover) return;
  draw::Bitmap hot = LoadSkinBitmap(hoverBitmapId, "Load SpinBTN Hover Status Bitmap Error!");
  if (hot.IsNull()) return;
  const ui::Rect rc = GetClientRect();
  if (pointer_.x < 0 || pointer_.x >= rc.Width()) return;
  const int half = hot.Height() / 2;
  if (pointer_.y < rc.Height() / 2) {
    dc.TransparentBlt(0, 0, hot.Width(), half, hot, 0, 0, hot.Width(), half, draw::kMagenta);
  } else {
    dc.TransparentBlt(0, half, hot.Width(), hot.Height() - half, hot, 0, half, hot.Width(), hot.Height() - half,
                      draw::kMagenta);
  }
}

void CTSpinButtonCtrl::OnMouseMove(unsigned flags, ui::Point pt) {
  StartHoverTracking(this, tracking);
  pointer_ = pt;
  ui::UpDown::OnMouseMove(flags, pt);
  Invalidate(true);
}

void CTSpinButtonCtrl::OnMouseHover(unsigned, ui::Point pt) {
  pointer_ = pt;
  hover = true;
  Invalidate(true);
}

void CTSpinButtonCtrl::OnMouseLeave() {
  hover = false;
  tracking = false;
  Invalidate(false);
}
