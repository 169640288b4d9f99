#include "printing/print_hint_dlg.h"

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"
#include "platform/ui/styles.h"
#include "platform/ui/window.h"
#include "controls/screen_common.h"

const char* PrintHintText(int language) {
  return PickText(language, "正在打印，请稍候......", "Printing......", "Imprimiendo......", "Impression......",
                  "Друк...");
}

bool PrintHintSwallowsKey(const ui::Message& msg) {
  return msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_RETURN);
}

ui::DialogTemplate PrintHintTemplate() {
  constexpr uint32_t kVisible = ui::WS_VISIBLE;
  ui::DialogTemplate t;
  t.cx = 218;
  t.cy = 52;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  t.Add("Button", IDC_PRINT_HINT_GROUP, "", 5, 2, 208, 46, kVisible | ui::BS_GROUPBOX);
  t.Add("Static", -1, "#492", 18, 12, 16, 16, kVisible | ui::SS_ICON);
  t.Add("Static", IDC_PRINT_HINT_TEXT, "", 48, 19, 156, 12, kVisible | ui::SS_LEFT);
  return t;
}

draw::Bitmap MakePrintHintIcon() {
  draw::Bitmap icon = draw::Bitmap::CreateWithAlpha(32, 32);
  if (!icon) return icon;
  draw::DC dc(icon);
  const draw::Color body = draw::RGB(66, 85, 92);
  dc.FillSolidRect(draw::Rect(8, 3, 24, 12), draw::kWhite);   // the sheet going in
  dc.FrameRect(draw::Rect(8, 3, 24, 12), draw::Brush::Solid(body));
  dc.FillSolidRect(draw::Rect(2, 11, 30, 24), body);          // the printer
  dc.FillSolidRect(draw::Rect(24, 14, 27, 16), draw::RGB(80, 200, 80));  // its lamp
  dc.FillSolidRect(draw::Rect(7, 20, 25, 30), draw::kWhite);  // the sheet coming out
  dc.FrameRect(draw::Rect(7, 20, 25, 30), draw::Brush::Solid(body));
  for (int y = 23; y < 29; y += 2) dc.FillSolidRect(draw::Rect(10, y, 22, y + 1), body);
  dc.Flush();
  return icon;
}

void RegisterPrintHintResources() {
  if (!ui::Resources::FindDialog(IDD_PRINT_HINT)) ui::Resources::AddDialog(IDD_PRINT_HINT, PrintHintTemplate());
  if (ui::Resources::LoadIcon(IDI_PRINT_HINT).IsNull()) ui::Resources::AddIcon(IDI_PRINT_HINT, MakePrintHintIcon());
}

CPrintHintDlg::CPrintHintDlg(ui::Window* parent) : ui::Dialog(IDD_PRINT_HINT, parent) {
  RegisterPrintHintResources();
}

void CPrintHintDlg::DoDataExchange(ui::DataExchange& dx) { ui::ExchangeControl(dx, IDC_PRINT_HINT_GROUP, group_); }

bool CPrintHintDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  SetDlgItemText(IDC_PRINT_HINT_TEXT, PrintHintText(AppSettings.LanguageIndex));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

bool CPrintHintDlg::PreTranslateMessage(ui::Message& msg) {
  // Only the print job ends the hint; the keyboard must not dismiss it.
  if (PrintHintSwallowsKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CPrintHintDlg::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CPrintHintDlg::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) {
    return ScreenLabelColours(dc);
  }
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

std::unique_ptr<CPrintHintDlg> ShowPrintHint() {
  auto hint = std::make_unique<CPrintHintDlg>(nullptr);
  if (!hint->CreateModeless(nullptr)) return nullptr;
  hint->SetWindowPos(ui::ZOrder::TopMost, 0, 0, 0, 0, ui::SWP_NOMOVE | ui::SWP_NOSIZE | ui::SWP_SHOWWINDOW);
  return hint;
}

void PrintHintHolder::Show() {
  if (hint_) return;  // one hint per screen
  hint_ = ShowPrintHint();
}

void PrintHintHolder::Hide() {
  if (!hint_) return;
  hint_->DestroyWindow();
  hint_.reset();
}

bool PostPrintProgress(ui::Window* screen, int state) {
  if (!screen) return false;
  return screen->PostMessage(WM_PRINT_PROGRESS, static_cast<ui::WParam>(state), 0);
}
