#include "measurement/screen/dormancy_dlg.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "controls/screen_common.h"
#include "controls/skin_loader.h"
#include "platform/ui/app.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"

ui::DialogTemplate DormancyTemplate() {
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  return t;
}

std::string StandByText(int language) {
  return PickText(language, "待机中...", "Stand by...", "Stand by...", "En veille...", "Очікування");
}

bool WakesOnMove(ui::Point start, ui::Point now) {
  return std::abs(now.x - start.x) >= 50 || std::abs(now.y - start.y) >= 50;
}

CDormancyDlg::CDormancyDlg(ui::Window* parent) : ui::Dialog(IDD_DORMANCY, parent) {
  if (!ui::Resources::FindDialog(IDD_DORMANCY)) ui::Resources::AddDialog(IDD_DORMANCY, DormancyTemplate());
}

bool CDormancyDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  SetForegroundWindow();
  const ui::Size screen = ui::GetScreenSize();
  screenWidth = screen.cx;
  screenHeight = screen.cy;
  // The template covers 640 x 480 and 800 x 600 exactly; a larger display is covered too.
  MoveWindow(0, 0, screenWidth, screenHeight, false);
  startPoint = ui::GetCursorPos();
  ui::ShowCursor(false);
  return true;
}

void CDormancyDlg::OnPaint(draw::DC& dc) {
  draw::Bitmap off = draw::Bitmap::Create(screenWidth, screenHeight, draw::kBlack);
  {
    draw::DC m(off);
    draw::Bitmap picture = LoadSkinBitmap(358, "Load stand-by Bitmap Error!");
    // From the top-left corner at its own size (a smaller display shows its top-left part);
    // stretched over a display larger than it, so that it is not cut off by black margins.
    if (picture.IsNull()) {
    } else if (screenWidth > picture.Width() || screenHeight > picture.Height()) {
      m.StretchBlt(0, 0, screenWidth, screenHeight, picture, 0, 0, picture.Width(), picture.Height());
    } else {
      m.BitBlt(0, 0, picture.Width(), picture.Height(), picture, 0, 0);
    }
    m.SetTextColor(draw::RGB(128, 128, 0));
    m.SetBkMode(draw::BkMode::Transparent);
    m.SelectFont(draw::Font("Arial", static_cast<int>(30.0 * AppSettings.LayoutScale)));
    const std::string text = StandByText(AppSettings.LanguageIndex);
    const ui::Size ext = m.GetTextExtent(text);
    m.TextOut((screenWidth - ext.cx) / 2, (screenHeight - ext.cy) / 2, text);
    m.Flush();
  }
  // The window covers the display from its top-left corner: client and screen coincide.
  const ui::Point o = ScreenToClient(ui::Point(0, 0));
  dc.BitBlt(o.x, o.y, screenWidth, screenHeight, off, 0, 0);
}

void CDormancyDlg::Wake() {
  if (waking_) return;
  waking_ = true;
  PostMessage(ui::WM_CLOSE);
}

void CDormancyDlg::OnLButtonDown(unsigned, ui::Point) { Wake(); }
void CDormancyDlg::OnRButtonDown(unsigned, ui::Point) { Wake(); }

void CDormancyDlg::OnMouseMove(unsigned, ui::Point pt) {
  if (WakesOnMove(startPoint, ClientToScreen(pt))) Wake();
}

bool CDormancyDlg::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN) {
    if (msg.wParam == ui::VK_RETURN) {
      Wake();
      return true;
    }
    if (msg.wParam == ui::VK_ESCAPE) {
      OnCancel();
      return true;
    }
    return true;
  }
  return ui::Dialog::PreTranslateMessage(msg);
}
