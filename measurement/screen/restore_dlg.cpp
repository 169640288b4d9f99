#include "measurement/screen/restore_dlg.h"

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/window_class.h"
#include "controls/screen_common.h"

namespace measurement {

ui::DialogTemplate RestoreTemplate() {
  ui::DialogTemplate t;
  t.cx = 178;
  t.cy = 42;
  t.style = uint32_t{ui::WS_POPUP} | ui::WS_VISIBLE | ui::DS_CENTER;
  t.fontFace = "Arial";
  t.fontPoints = 10;
  t.Add(ui::kClassButton, IDC_RESTORE_FRAME, "", 4, 3, 170, 36, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, IDC_RESTORE_TEXT, "", 20, 16, 140, 12, uint32_t{ui::WS_VISIBLE} | ui::SS_CENTER);
  return t;
}

CRestoreDlg::CRestoreDlg(ui::Window* parent) : ui::Dialog(RestoreTemplate(), parent) {}

void CRestoreDlg::DoDataExchange(ui::DataExchange& dx) { ui::ExchangeControl(dx, IDC_RESTORE_FRAME, frame_); }

bool CRestoreDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  SetDlgItemText(IDC_RESTORE_TEXT, TestScreenText(ScreenText::Restoring, AppSettings.LanguageIndex));
  return true;
}

bool CRestoreDlg::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_RETURN)) return true;
  if (msg.message == ui::WM_SYSKEYDOWN && msg.wParam == ui::VK_F4) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

const draw::Brush* CRestoreDlg::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return ScreenLabelColours(dc);
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

bool CRestoreDlg::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(205, 213, 215));
  DrawDialogFrame(dc, this, 7);
  return true;
}

}  // namespace measurement
