#include "history/history_sort_jump.h"
#include "core/sys_setting.h"

#include <cstdlib>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace history {

std::string SortStyleUpdateSql(int sortStyle) {
  return SysSettingUpdate().Set("HistoryListSortStyle", sortStyle).Sql();
}

bool JumpEnterAccepted(int position) { return position >= 1 && position <= 500; }

bool JumpOkAccepted(const std::string& text, int maxPosition, int* position) {
  if (text.empty()) {
    *position = 0;
    return true;
  }
  const int v = std::atoi(text.c_str());
  if (v < 1 || v > maxPosition) return false;
  *position = v;
  return true;
}

}  // namespace history

namespace {
ui::DialogTemplate SortTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(160, 90);
  t.Add("Button", IDC_HSORT_FRAME, "", 6, 6, 148, 50, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_HSORT_BAND, "", 9, 10, 142, 43, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_HSORT_TIME, "by time", 16, 16, 120, 14, V | TS | ui::BS_AUTORADIOBUTTON | ui::WS_GROUP);
  t.Add("Button", IDC_HSORT_NUMBER, "by sample number", 16, 34, 120, 14, V | TS | ui::BS_AUTORADIOBUTTON);
  t.Add("Button", ui::IDOK, "OK", 20, 64, 50, 18, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 90, 64, 50, 18, V | TS);
  return t;
}
ui::DialogTemplate JumpTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(150, 70);
  t.Add("Static", IDC_HJUMP_LABEL, "Position:", 10, 14, 50, 12, V);
  t.Add("Edit", IDC_HJUMP_EDIT, "", 64, 12, 50, 14, V | TS | ui::WS_BORDER);
  t.Add("Button", ui::IDOK, "OK", 15, 44, 50, 18, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 85, 44, 50, 18, V | TS);
  t.Add("Button", IDC_HJUMP_KEYBOARD, "", 118, 12, 20, 13, V | TS | ui::BS_OWNERDRAW);
  return t;
}
}  // namespace

CHistorySort::CHistorySort(ui::Window* parent) : ui::Dialog(IDD_HISTORY_SORT, parent) {
  if (!ui::Resources::FindDialog(IDD_HISTORY_SORT)) ui::Resources::AddDialog(IDD_HISTORY_SORT, SortTemplate());
}

void CHistorySort::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_HSORT_BAND, band_);
  ui::ExchangeRadio(dx, IDC_HSORT_TIME, sortStyle);
}

bool CHistorySort::OnInitDialog() {
  uint8_t v = 0;
  if (TakeSetting(LoadSysSetting(conn_).row.HistoryListSortStyle, v)) sortStyle = v;
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "列表排序方式", "Sort Type", "Tipo de ordenar", "Sort Type", "Сортувати за типом"));
  SetDlgItemText(IDC_HSORT_TIME, PickText(l, "按时间排序", "Sort by time", "Ordenar por tiempo", "Sort by time",
                                          "Сортувати за часом"));
  SetDlgItemText(IDC_HSORT_NUMBER, PickText(l, "按编号排序", "Sort by sample no.", "Ordenar por numero de muestra",
                                            "Sort by sample no.", "Сортувати за № проби"));
  ok_.SetWindowText(PickText(l, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Cancel", "Відміна"));
  band_.SetBands(true, 6);
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  return true;
}

void CHistorySort::OnOK() {
  UpdateData(true);
  conn_.Execute(history::SortStyleUpdateSql(sortStyle));
  conn_.Disconnect();
  EndDialog(ui::IDOK);
}

void CHistorySort::OnCancel() {
  conn_.Disconnect();
  ui::Dialog::OnCancel();
}

CHistoryJump::CHistoryJump(ui::Window* parent) : ui::Dialog(IDD_HISTORY_JUMP, parent) {
  if (!ui::Resources::FindDialog(IDD_HISTORY_JUMP)) ui::Resources::AddDialog(IDD_HISTORY_JUMP, JumpTemplate());
}

bool CHistoryJump::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ok_.SubclassDlgItem(ui::IDOK, this);
  cancel_.SubclassDlgItem(ui::IDCANCEL, this);
  keyboard_.SubclassDlgItem(IDC_HJUMP_KEYBOARD, this);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  const int l = AppSettings.LanguageIndex;
  if (l == 0) {
    SetWindowText("跳转");
    SetDlgItemText(IDC_HJUMP_LABEL, "位置:");
  } else if (l == 1) {
    SetWindowText("");
    SetDlgItemText(IDC_HJUMP_LABEL, "Position:");
  }
  SetDlgItemText(IDC_HJUMP_EDIT, "");
  return true;
}

bool CHistoryJump::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_HJUMP_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CHistoryJump::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN && msg.wParam == ui::VK_RETURN) {
    const int v = std::atoi(GetDlgItemText(IDC_HJUMP_EDIT).c_str());
    if (!history::JumpEnterAccepted(v)) {
      const int l = AppSettings.LanguageIndex;
      ui::MessageBox(this,
                     PickText(l, "请输入1到500之间的一个数!", "Please input a number between 1 and 500!",
                              "Por favor ingrese digitos entre 1 y 500!", "Entrer un nombre entre 1 et 500 SVP!",
                              "Будь ласка, введіть номер від 1 до 500"),
                     "", l == 2 ? ui::MB_OK : ui::MB_ICONEXCLAMATION);
      return true;
    }
  }
  return ui::Dialog::PreTranslateMessage(msg);
}

void CHistoryJump::OnOK() {
  int v = 0;
  if (!history::JumpOkAccepted(GetDlgItemText(IDC_HJUMP_EDIT), maxPosition, &v)) {
    if (AppSettings.LanguageIndex == 0)
      ui::MessageBox(this, StrPrintf("请输入一个1到%d之间的数！", maxPosition), "", ui::MB_ICONEXCLAMATION);
    else if (AppSettings.LanguageIndex == 1)
      ui::MessageBox(this, StrPrintf("Please input a number between 1 and %d!", maxPosition), "",
                     ui::MB_ICONEXCLAMATION);
    return;
  }
  position = v;
  EndDialog(ui::IDOK);
}
