#include "controls/static_trans.h"

void CStaticTrans::SetBkColor(draw::Color colour) {
  backColour = colour;
  RedrawBackground();
}

void CStaticTrans::RedrawBackground() {
  ui::Window* parent = GetParent();
  if (!parent || !IsWindow()) return;
  const ui::Rect r = GetRectInParent().Inflate(-1, -1);
  // With erase: the screens paint their bands and pictures when the background is erased, so
  // a repaint without it would leave the old text under the new one.
  parent->InvalidateRect(&r, true);
  Invalidate(true);
}

bool CStaticTrans::OnEraseBkgnd(draw::DC& dc) {
  if (backColour != kNoBackground) dc.FillSolidRect(GetClientRect(), backColour);
  return true;
}

void CStaticTrans::OnSetText(const std::string& text) {
  if (redrawOnSetText) {
    if (ui::Window* parent = GetParent()) {
      const ui::Rect r = GetRectInParent();
      parent->InvalidateRect(&r, true);
    }
  }
  ui::Static::OnSetText(text);
}

const draw::Brush* CStaticTrans::CtlColorReflect(draw::DC& dc, int) {
  // The label answers its own colour request; the dialog is not asked.
  if (backColour != kNoBackground) {
    backBrush_ = draw::Brush::Solid(backColour);
    dc.SetBkColor(backColour);
  } else {
    dc.SetBkMode(draw::BkMode::Transparent);
  }
  dc.SetTextColor(textColour);
  return &backBrush_;
}
