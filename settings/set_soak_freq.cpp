#include "settings/set_soak_freq.h"

#include "analyzer/sequences/soak_reminder.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "settings/int_field.h"
#include "settings/sys_setting_row.h"

namespace settings {

std::string CheckSoakLimits(const std::string& times, const std::string& days, int l, int* sampleLimit,
                            int* dayLimit, int* faultId) {
  // Spanish and French show the English messages.
  const int m = (l == 0 || l == 4) ? l : 1;
  *faultId = IDC_SOAK_TIMES;
  switch (CheckIntegerField(times, 100, 800, sampleLimit)) {
    case IntFieldCheck::kNotInteger:
      return PickText(m, "请输入整数作为浸泡频率(次)！", "Please input integer for soak freq(times)!", "", "",
                      "Введіть ціле число для частоти замочування (разів)!");
    case IntFieldCheck::kOutOfRange:
      return PickText(m, "浸泡频率(次)应在100到800之间！", "Soak freq(times) should be between 100 and 800!", "", "",
                      "Частота замочування (разів) має бути від 100 до 800!");
    case IntFieldCheck::kOk: break;
  }
  *faultId = IDC_SOAK_DAYS;
  switch (CheckIntegerField(days, 1, 7, dayLimit)) {
    case IntFieldCheck::kNotInteger:
      return PickText(m, "请输入整数作为浸泡频率(天)！", "Please input integer for soak freq(days)!", "", "",
                      "Введіть ціле число для частоти замочування (днів)!");
    case IntFieldCheck::kOutOfRange:
      return PickText(m, "浸泡频率(天)应在1到7之间！", "Soak freq(days) should be between 1 and 7!", "", "",
                      "Частота замочування (днів) має бути від 1 до 7!");
    case IntFieldCheck::kOk: break;
  }
  *faultId = 0;
  return {};
}

}  // namespace settings

namespace {

ui::DialogTemplate SoakTemplate() {
  const uint32_t V = ui::WS_VISIBLE, B = V | ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(180, 100);
  t.Add("Button", IDC_SOAK_FRAME, "", 4, 2, 172, 60, V | ui::BS_GROUPBOX);
  t.Add("Edit", IDC_SOAK_TIMES, "", 14, 14, 50, 13, B | ui::WS_BORDER);
  t.Add("Static", IDC_SOAK_TIMES_LABEL, "[100 - 800] Times", 70, 16, 100, 8, V);
  t.Add("Edit", IDC_SOAK_DAYS, "", 14, 38, 50, 13, B | ui::WS_BORDER);
  t.Add("Static", IDC_SOAK_DAYS_LABEL, "[1-7] Days", 70, 40, 100, 8, V);
  t.Add("Button", IDC_SOAK_FRAME2, "", 4, 64, 172, 34, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SOAK_KEYBOARD, "", 6, 75, 24, 13, B | ui::BS_OWNERDRAW);
  t.Add("Button", ui::IDOK, "OK", 34, 70, 50, 22, B);
  t.Add("Button", ui::IDCANCEL, "Cancel", 100, 70, 50, 22, B);
  return t;
}

}  // namespace

CSetSoakFreq::CSetSoakFreq(ui::Window* parent) : ui::Dialog(IDD_SET_SOAK_FREQ, parent) {
  if (!ui::Resources::FindDialog(IDD_SET_SOAK_FREQ)) ui::Resources::AddDialog(IDD_SET_SOAK_FREQ, SoakTemplate());
}

void CSetSoakFreq::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_SOAK_FRAME, frames_[0]);
  ui::ExchangeControl(dx, IDC_SOAK_FRAME2, frames_[1]);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_SOAK_KEYBOARD, keyboard_);
}

bool CSetSoakFreq::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_SOAK_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CSetSoakFreq::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  int times = 200, days = 7;
  settings::ReadSoakLimits(conn_, &times, &days);
  const int l = AppSettings.LanguageIndex;
  const int m = (l == 0 || l == 4) ? l : 1;
  SetDlgItemText(IDC_SOAK_TIMES_LABEL, PickText(m, "[100 - 800] 次", "[100 - 800] Times", "", "", "[100 - 800] разів"));
  SetDlgItemText(IDC_SOAK_DAYS_LABEL, PickText(m, "[1-7] 天", "[1-7] Days", "", "", "[1-7] днів"));
  ok_.SetWindowText(PickText(l, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Скасувати"));
  SetDlgItemText(IDC_SOAK_TIMES, StrPrintf("%d", times));
  SetDlgItemText(IDC_SOAK_DAYS, StrPrintf("%d", days));
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(466, 465, 464);
  cancel_.SetBitmaps(472, 471, 470);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  return true;
}

void CSetSoakFreq::OnOK() {
  int times = 0, days = 0, fault = 0;
  const std::string refused = settings::CheckSoakLimits(GetDlgItemText(IDC_SOAK_TIMES), GetDlgItemText(IDC_SOAK_DAYS),
                                                        AppSettings.LanguageIndex, &times, &days, &fault);
  if (!refused.empty()) {
    ui::MessageBox(this, refused, "", ui::MB_ICONWARNING);
    if (ui::Window* w = GetDlgItem(fault)) w->SetFocus();
    return;
  }
  analyzer::SetSoakLimits(times, days);
  settings::WriteSoakLimits(conn_, times, days);  // an engine error is reported; the limits hold in memory
  conn_.Disconnect();
  EndDialog(ui::IDOK);
}

void CSetSoakFreq::OnCancel() {
  conn_.Disconnect();
  EndDialog(ui::IDCANCEL);
}

bool CSetSoakFreq::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CSetSoakFreq::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CSetSoakFreq::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
