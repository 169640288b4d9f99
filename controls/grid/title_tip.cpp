#include "controls/grid/title_tip.h"

#include "controls/grid/grid_defs.h"
#include "platform/sys/clock.h"
#include "platform/ui/window_class.h"

namespace {
constexpr const char* kTitleTipClass = "ZTitleTip";
constexpr uint32_t kSaveBits = 0x800;
constexpr int kColorInfoBk = 24;
constexpr int kColorInfoText = 23;
}  // namespace

CTitleTip::CTitleTip() {
  if (!ui::IsWindowClassRegistered(kTitleTipClass)) ui::RegisterWindowClass(kTitleTipClass, kSaveBits);
}

bool CTitleTip::Create(ui::Window* parent) {
  if (created_ && IsWindow()) return true;
  parent_ = parent;
  created_ = ui::Window::Create(kTitleTipClass, "", ui::WS_POPUP | ui::WS_BORDER, draw::Rect(0, 0, 1, 1), parent,
                                0, ui::WS_EX_TOPMOST);
  return created_;
}

void CTitleTip::DestroyWindow() {
  created_ = false;
  ui::Window::DestroyWindow();
}

void CTitleTip::Show(draw::Rect titleRect, const std::string& text, int offset, const draw::Rect* hoverRect,
                     const draw::Font* font, draw::Color textColour, draw::Color backColour) {
  if (!IsWindow() && !Create(parent_)) return;
  if (!parent_ || titleRect.IsEmpty() || IsWindowVisible()) return;
  if (!ui::Window::GetFocus()) return;
  draw::Rect hover = hoverRect ? *hoverRect : titleRect;
  hover.right += 1;
  hover.bottom += 1;
  textRect_ = draw::Rect(-offset - 1, -1, titleRect.Width() - offset, titleRect.Height() + 1);
  const draw::Rect screen = parent_->ClientToScreen(titleRect);
  text_ = " " + text + " ";
  font_ = font ? *font : *parent_->GetFont();
  textColour_ = textColour == CLR_DEFAULT ? ui::SysColor(kColorInfoText) : textColour;
  backColour_ = backColour == CLR_DEFAULT ? ui::SysColor(kColorInfoBk) : backColour;
  draw::DC measure;
  measure.SelectFont(font_);
  const int w = measure.GetTextExtent(text_).cx + offset;
  if (screen.left + w + offset <= screen.right - offset) return;  // it fits: no tip
  // The hover rectangle, relative to where the tip will stand.
  const draw::Point origin(screen.left + offset, screen.top);
  const draw::Point hoverScreen = parent_->ClientToScreen(draw::Point(hover.left, hover.top));
  hoverRect_ = draw::Rect(hoverScreen.x - origin.x, hoverScreen.y - origin.y,
                          hoverScreen.x - origin.x + hover.Width(), hoverScreen.y - origin.y + hover.Height());
  SetWindowPos(ui::ZOrder::TopMost, origin.x, origin.y, w, screen.Height(), ui::SWP_NOACTIVATE);
  ShowWindow(ui::SW_SHOWNOACTIVATE);
  Invalidate(true);
  SetCapture();
}

void CTitleTip::Hide() {
  if (!IsWindow()) return;
  if (GetCapture() == this) ReleaseCapture();
  ShowWindow(ui::SW_HIDE);
}

void CTitleTip::OnPaint(draw::DC& dc) {
  const draw::Rect c = GetClientRect();
  dc.FillSolidRect(c, backColour_);
  dc.SelectFont(font_);
  dc.SetTextColor(textColour_);
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.TextOut(0, 0, text_);
}

void CTitleTip::OnMouseMove(unsigned flags, draw::Point pt) {
  if (hoverRect_.Contains(pt)) return;
  Hide();
  if (!parent_ || !parent_->IsWindow()) return;
  const draw::Point p = parent_->ScreenToClient(ClientToScreen(pt));
  parent_->PostMessage(ui::WM_MOUSEMOVE, flags, ui::MakePointLParam(p.x, p.y));
}

bool CTitleTip::PreTranslateMessage(ui::Message& msg) {
  if (!parent_ || !parent_->IsWindow()) return false;
  switch (msg.message) {
    case ui::WM_LBUTTONDOWN:
    case ui::WM_LBUTTONDBLCLK:
    case ui::WM_RBUTTONDOWN:
    case ui::WM_MBUTTONDOWN: {
      uint32_t message = msg.message;
      if (message == ui::WM_LBUTTONDOWN) {
        // The first press of a double tap hid the tip and went to the grid, which shows the
        // tip again over the same cut-off text; the second press lands on the tip, so the
        // tip itself must tell the grid that the two presses make a double click.
        const int64_t now = sys::Clock::TickMs();
        if (lastClickTime_ >= 0 && now - lastClickTime_ <= doubleClickTime_) message = ui::WM_LBUTTONDBLCLK;
        lastClickTime_ = now;
      }
      const draw::Point p = parent_->ScreenToClient(ClientToScreen(ui::PointFromLParam(msg.lParam)));
      Hide();
      parent_->PostMessage(message, msg.wParam, ui::MakePointLParam(p.x, p.y));
      return true;
    }
    case ui::WM_KEYDOWN:
    case ui::WM_SYSKEYDOWN:
      Hide();
      parent_->PostMessage(msg.message, msg.wParam, msg.lParam);
      return true;
    default:
      return false;
  }
}
