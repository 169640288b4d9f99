#include "controls/tool_tip.h"

#include "platform/ui/controls/controls.h"

namespace {
draw::Font TipFont(int height) { return draw::Font("Arial", height); }
}  // namespace

ToolTipInfo* CMFECToolTip::Find(unsigned ctrlId) {
  for (auto& t : tools)
    if (t->controlId == ctrlId) return t.get();
  return nullptr;
}

bool CMFECToolTip::AddTool(unsigned ctrlId, const std::vector<std::string>& lines, draw::Color back, draw::Color text) {
  auto info = std::make_unique<ToolTipInfo>();
  info->controlId = ctrlId;
  info->lines = lines;
  info->lineCount = static_cast<int>(lines.size());
  info->backColour = back;
  info->textColour = text;
  tools.push_back(std::move(info));
  return true;
}

bool CMFECToolTip::RemoveTool(unsigned ctrlId) {
  for (auto it = tools.begin(); it != tools.end(); ++it) {
    if ((*it)->controlId != ctrlId) continue;
    if (currentId == ctrlId) HideTip(ctrlId);
    tools.erase(it);
    break;
  }
  return true;
}

void CMFECToolTip::CalcTipSize(const std::vector<std::string>& lines) {
  lineCountShown = static_cast<int>(lines.size());
  size_t best = 0;
  longestLine = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int n = static_cast<int>(ui::Utf8Length(lines[i]));
    if (n > longestLine) {
      longestLine = n;
      best = i;
    }
  }
  std::unique_ptr<draw::DC> owned = parent ? parent->GetDC() : nullptr;
  draw::DC scratch;
  draw::DC& dc = owned ? *owned : scratch;
  dc.SelectFont(TipFont(fontHeight));
  const draw::Size ext = dc.GetTextExtent(lines.empty() ? std::string() : lines[best]);
  tipWidth = ext.cx + 10;
  tipHeight = ext.cy * lineCountShown + 12;
}

void CMFECToolTip::CalcTipRect(unsigned ctrlId, ui::Rect& rect) {
  if (!parent) return;
  ui::Window* control = parent->GetDlgItem(static_cast<int>(ctrlId));
  const ui::Rect P = parent->GetClientRect();
  const ui::Rect C = control ? control->GetRectInParent() : ui::Rect();
  const int middleY = C.bottom - C.Height() / 2;
  if (middleY + tipHeight <= P.bottom) {
    rect.top = middleY;
    rect.bottom = middleY + tipHeight;
  } else {
    if (tipHeight > P.Height()) {
      fontHeight = 14;
      if (ToolTipInfo* info = Find(ctrlId)) {
        CalcTipSize(info->lines);
      } else {
        tipHeight = P.Height();
        tipWidth = static_cast<int>((tipWidth - 10) * 0.8235) + 10;
      }
    }
    rect.bottom = P.bottom - 1;
    rect.top = rect.bottom - tipHeight;
  }
  const int mx = (C.left + C.right) / 2;
  if (mx + tipWidth <= P.right) {
    rect.left = mx;
    rect.right = mx + tipWidth;
  } else if (mx - tipWidth > P.left) {
    rect.left = mx - tipWidth;
    rect.right = mx;
  } else {
    rect.left = P.left + 1;
    rect.right = P.left + 1 + tipWidth;
  }
}

void CMFECToolTip::Paint(ToolTipInfo& info) {
  if (!parent || info.lines.empty()) return;
  CalcTipSize(info.lines);
  ui::Rect r;
  CalcTipRect(info.controlId, r);
  auto dc = parent->GetDC();
  if (!dc) return;
  dc->SetBkMode(draw::BkMode::Transparent);
  dc->SetTextColor(info.textColour);
  dc->FillSolidRect(r, info.backColour);
  // Etched edge: a sunken outer line and a raised inner one.
  dc->FrameRect(r, draw::Brush::Solid(ui::SysColor(ui::COLOR_BTNSHADOW)));
  dc->FrameRect(r.Inflate(-1, -1), draw::Brush::Solid(ui::SysColor(ui::COLOR_BTNHIGHLIGHT)));
  dc->SelectFont(TipFont(fontHeight));
  for (size_t i = 0; i < info.lines.size(); ++i)
    dc->TextOut(r.left + 3, r.top + 5 + static_cast<int>(i) * (fontHeight - 1), info.lines[i]);
  dc->Flush();
}

void CMFECToolTip::ShowTip(unsigned ctrlId) {
  ToolTipInfo* info = Find(ctrlId);
  currentId = info ? ctrlId : 0;
  if (info) Paint(*info);
}

void CMFECToolTip::HideTip(unsigned ctrlId) {
  if (!parent || tipHeight == 0 || tipWidth == 0) return;
  ui::Rect r;
  CalcTipRect(ctrlId, r);
  r = r.Inflate(2, 2);
  parent->InvalidateRect(&r, true);
  parent->UpdateWindow();
  tipHeight = 0;
  tipWidth = 0;
}

void CMFECToolTip::RelayMouseMove(ui::Point pt) {
  if (!parent) return;
  unsigned id = 0;
  for (ui::Window* child : parent->Children()) {
    if (child->IsWindowVisible() && child->GetRectInParent().Contains(pt)) {
      id = static_cast<unsigned>(child->GetDlgCtrlID());
      break;
    }
  }
  if (id == currentId) return;
  HideTip(currentId);
  ShowTip(id);
}
