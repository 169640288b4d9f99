#include "controls/xp_group_box.h"

#include "controls/screen_common.h"

namespace {
constexpr draw::Color kOuterEdge = draw::RGB(186, 182, 193);
constexpr draw::Color kOuterFill = draw::RGB(206, 213, 215);
constexpr draw::Color kInnerEdge = draw::RGB(230, 230, 230);
constexpr draw::Color kDefaultPanel = draw::RGB(190, 198, 201);
constexpr draw::Color kEngraveLight = draw::RGB(210, 210, 210);

void Line(draw::DC& dc, draw::Color c, int x0, int y0, int x1, int y1) {
  dc.SelectPen(draw::Pen::Solid(c));
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
}
}  // namespace

CXPGroupBox::CXPGroupBox()
    : borderColour(ui::SysColor(ui::COLOR_BTNSHADOW)),
      bodyColour(ui::SysColor(ui::COLOR_BTNFACE)),
      textColour(ui::SysColor(ui::COLOR_WINDOWTEXT)),
      font(ui::DefaultFont()) {}

bool CXPGroupBox::Create(const std::string& text, const ui::Rect& rect, ui::Window* parent, int id) {
  if (!ui::Window::Create("Button", text, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_GROUP | ui::BS_GROUPBOX | 0x40, rect,
                          parent, id))
    return false;
  font = *GetFont();
  return true;
}

void CXPGroupBox::PreSubclassWindow() {
  ui::Button::PreSubclassWindow();
  ModifyStyle(ui::WS_TABSTOP, 0x40 | ui::WS_DISABLED);
  font = *GetFont();
}

CXPGroupBox& CXPGroupBox::Repaint() {
  if (!IsWindow()) return *this;
  Invalidate(true);
  if (ui::Window* p = GetParent()) {
    const ui::Rect r = GetRectInParent();
    p->InvalidateRect(&r, true);
  }
  UpdateWindow();
  return *this;
}

CXPGroupBox& CXPGroupBox::SetBorderColor(draw::Color c) { borderColour = c; return Repaint(); }
CXPGroupBox& CXPGroupBox::SetCaptionTextColor(draw::Color c) { textColour = c; return Repaint(); }
CXPGroupBox& CXPGroupBox::SetBackgroundColor(draw::Color bar, draw::Color body) {
  captionBarColour = bar;
  bodyColour = body;
  return Repaint();
}
CXPGroupBox& CXPGroupBox::SetBackgroundColor(draw::Color both) { return SetBackgroundColor(both, both); }
CXPGroupBox& CXPGroupBox::SetWindowLook(bool on) { windowLook = on; return Repaint(); }
CXPGroupBox& CXPGroupBox::SetCaption(const std::string& text) {
  if (IsWindow()) caption = " " + text + " ";
  return Repaint();
}
CXPGroupBox& CXPGroupBox::SetFontBold(bool bold) {
  font.weight = bold ? draw::kFontWeightBold : draw::kFontWeightNormal;
  return Repaint();
}
CXPGroupBox& CXPGroupBox::SetFontName(const std::string& face, int charSet) {
  font.face = face;
  font.charset = charSet;
  return Repaint();
}
CXPGroupBox& CXPGroupBox::SetFontUnderline(bool on) { font.underline = on; return Repaint(); }
CXPGroupBox& CXPGroupBox::SetFontItalic(bool on) { font.italic = on; return Repaint(); }
CXPGroupBox& CXPGroupBox::SetFontSize(int points) {
  // A point size on the 96-dpi screen, as a character height.
  font.height = -(points * 96 + 36) / 72;
  font.width = 0;
  return Repaint();
}
CXPGroupBox& CXPGroupBox::SetCaptionFont(const draw::Font& f) { font = f; return Repaint(); }
CXPGroupBox& CXPGroupBox::SetAlignment(int a) {
  alignment = (a == 1 || a == 2) ? a : 0;
  return Repaint();
}
CXPGroupBox& CXPGroupBox::SetBands(bool on, int count) {
  bandsOn = on;
  bandCount = count;
  return *this;
}
CXPGroupBox& CXPGroupBox::SetPanelColor(draw::Color c) { panelColour = c; return *this; }
CXPGroupBox& CXPGroupBox::SetSectionCount(int n) { sectionCount = n; return *this; }
CXPGroupBox& CXPGroupBox::SetBottomRails(int leftButtonId, int rightButtonId) {
  railLeftId = leftButtonId;
  railRightId = rightButtonId;
  return *this;
}

void CXPGroupBox::PaintBottomRails(draw::DC& dc) {
  ui::Window* parent = GetParent();
  if (!parent || !railLeftId || !railRightId) return;
  ui::Window* left = parent->GetDlgItem(railLeftId);
  ui::Window* right = parent->GetDlgItem(railRightId);
  if (!left || !right) return;
  // The buttons' rectangles in this box's client coordinates.
  const ui::Rect box = GetRectInParent();
  DrawBottomRails(dc, GetClientRect(), left->GetRectInParent().Offset(-box.left, -box.top),
                  right->GetRectInParent().Offset(-box.left, -box.top));
}

std::vector<int> CXPGroupBox::SectionLineYs(const ui::Rect& r, int n) {
  std::vector<int> ys;
  if (n <= 1) return ys;
  const int step = r.Height() / (n + 1);
  ys.push_back(step);
  for (int i = 1; i <= n - 2; ++i) ys.push_back(r.top + step + i * (r.bottom - r.top - step) / (n - 1));
  return ys;
}

void CXPGroupBox::OnPaint(draw::DC& dc) {
  ui::Rect r = GetClientRect().Offset(-2, -2).Inflate(-1, -1);
  dc.SelectFont(font);
  caption = GetWindowText();
  if (!caption.empty()) caption = " " + caption + " ";
  const draw::Size ext = caption.empty() ? draw::Size() : dc.GetTextExtent(caption);
  const int w = ext.cx, h = ext.cy;
  ui::Rect capRect;
  if (!windowLook) {
    capRect.top = r.top;
    capRect.bottom = r.top + h;
    if (alignment == 1) {
      capRect.left = r.left + (r.Width() - w) / 2;
      capRect.right = capRect.left + w;
    } else if (alignment == 2) {
      capRect.right = r.right - 10;
      capRect.left = capRect.right - w;
    } else {
      capRect.left = r.left + 10;
      capRect.right = capRect.left + w;
    }
    const int midY = r.top + h / 2;
    dc.SelectPen(draw::Pen::Solid(kOuterEdge));
    dc.SelectBrush(draw::Brush::Solid(kOuterFill));
    dc.RoundRect(r.left, r.top, r.right, r.bottom, 8, 8);
    r = r.Inflate(-1, -1);
    const draw::Color panel = panelColour == 0 ? kDefaultPanel : panelColour;
    dc.SelectPen(draw::Pen::Solid(kInnerEdge));
    dc.SelectBrush(draw::Brush::Solid(panel));
    dc.RoundRect(r.left, r.top, r.right, r.bottom, 8, 8);
    for (int y : SectionLineYs(r, sectionCount)) {
      Line(dc, kOuterEdge, r.left, y, r.right, y);
      Line(dc, kEngraveLight, r.left, y + 1, r.right, y + 1);
    }
    r = r.Inflate(-1, -1);
    if (bandsOn && bandCount > 0) {
      const int rh = r.Height();
      for (int i = 1; i <= bandCount; ++i) {
        const int top = r.top + (i - 1) * rh / bandCount + 1;
        const int bottom = i == bandCount ? r.bottom : r.top + i * rh / bandCount + 1;
        Line(dc, kOuterFill, r.left, top, r.right, top);
        Line(dc, panel, r.left, top + 1, r.right, top + 1);
        dc.FillSolidRect(ui::Rect(r.left, top + 1, r.right, bottom), (i % 2) ? kOuterFill : panel);
      }
    }
    if (!caption.empty()) Line(dc, captionBarColour, capRect.left, midY, capRect.right, midY);
  } else {
    dc.SelectPen(draw::Pen::Solid(borderColour));
    dc.SelectBrush(draw::Brush::Solid(captionBarColour));
    dc.RoundRect(r.left, r.top, r.right, r.bottom, 10, 10);
    dc.SelectBrush(draw::Brush::Solid(bodyColour));
    dc.Rectangle(r.left, r.top + h + 4, r.right, r.bottom);
    capRect.top = r.top + 2;
    capRect.bottom = capRect.top + h;
    if (alignment == 1) {
      capRect.left = r.left + (r.Width() - w) / 2;
    } else if (alignment == 2) {
      capRect.left = r.right - 2 - w;
    } else {
      capRect.left = r.left + 2;
    }
    capRect.right = capRect.left + w;
  }
  if (!caption.empty()) {
    dc.SetTextColor(textColour);
    dc.SetBkMode(draw::BkMode::Transparent);
    dc.DrawText(caption, &capRect, draw::kDtSingleLine | draw::kDtVCenter | draw::kDtNoClip);
  }
  PaintBottomRails(dc);
}
