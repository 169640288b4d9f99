#include "history/history_sel.h"

#include <cstdlib>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/utilies.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace history {

RangeError CheckColumnRange(const std::string& a, const std::string& b, int* start, int* end) {
  auto whole = [](const std::string& t) {
    if (t.empty()) return false;
    for (char c : t)
      if (c < '0' || c > '9') return false;
    return t.size() < 6;
  };
  if (!whole(a) || !whole(b)) return RangeError::NotInteger;
  const int s = std::atoi(a.c_str()), e = std::atoi(b.c_str());
  if (s < 1 || s > 100 || e < 1 || e > 100) return RangeError::OutOfRange;
  // A start after the end selects nothing the operator meant: refused rather than guessed.
  if (s > e) return RangeError::Reversed;
  *start = s;
  *end = e;
  return RangeError::None;
}

std::string RangeErrorText(RangeError e, int l) {
  switch (e) {
    case RangeError::NotInteger:
      return PickText(l, "起点和终点请输入整数！", "Please input integer for start col. and end col.!",
                      "Por favor ingrese digitos para columna de iniciar e final!",
                      "Veuillez entrer un nombre entier pour la colonne de debut et la colonne de la fin!",
                      "Будь ласка, введіть ціле на початку і в кінці");
    case RangeError::OutOfRange:
      return PickText(l, "请输入有效数字(1-100)！", "Please input valid digits (1-100)!",
                      "Por favor ingrese digitos validos (1-100)!", "SVP,entrer des chiffres valides (1-100)!",
                      "Будь ласка, введіть цифри 1-100");
    case RangeError::Reversed:
      return PickText(l, "起点不能大于终点！", "The start column must not be after the end column!",
                      "La columna inicial no puede ser posterior a la final!",
                      "La colonne de debut ne doit pas etre apres la colonne de fin!",
                      "Початкова колонка не може бути після кінцевої!");
    default: return "";
  }
}

}  // namespace history

namespace {
ui::DialogTemplate SelTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(160, 100);
  t.Add("Button", IDC_HS_FRAME, "", 6, 6, 148, 60, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_HS_START_LABEL, "Start:", 14, 20, 60, 12, V);
  t.Add("Static", IDC_HS_END_LABEL, "End:", 14, 42, 60, 12, V);
  t.Add("Edit", IDC_HS_START, "", 76, 18, 46, 14, V | TS | ui::WS_BORDER);
  t.Add("Edit", IDC_HS_END, "", 76, 40, 46, 14, V | TS | ui::WS_BORDER);
  t.Add("Button", ui::IDOK, "OK", 20, 74, 50, 18, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 90, 74, 50, 18, V | TS);
  t.Add("Button", IDC_HS_KEYBOARD, "", 128, 18, 20, 13, V | TS | ui::BS_OWNERDRAW);
  return t;
}
}  // namespace

CHistorySel::CHistorySel(ui::Window* parent) : ui::Dialog(IDD_HISTORY_SEL, parent) {
  if (!ui::Resources::FindDialog(IDD_HISTORY_SEL)) ui::Resources::AddDialog(IDD_HISTORY_SEL, SelTemplate());
}

void CHistorySel::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_HS_FRAME, frame_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_HS_KEYBOARD, keyboard_);
}

bool CHistorySel::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_HS_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CHistorySel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "选择指定范围的数据", "Input data range", "Entrada rango del datos",
                         "Entrez les donnees de limites", "Виберіть необхідні дані"));
  SetDlgItemText(IDC_HS_START_LABEL, PickText(l, "起点:", "Start:", "Iniciar:", "Debut:", "Початкова точка:"));
  SetDlgItemText(IDC_HS_END_LABEL, PickText(l, "终点:", "End:", "Final:", "Fin:", "Кінцева точка:"));
  ok_.SetWindowText(PickText(l, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  SetDlgItemText(IDC_HS_START, std::to_string(startColumn));
  SetDlgItemText(IDC_HS_END, std::to_string(endColumn));
  frame_.SetBands(true, 6);
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  return true;
}

void CHistorySel::OnOK() {
  int s = 0, e = 0;
  const history::RangeError err =
      history::CheckColumnRange(GetDlgItemText(IDC_HS_START), GetDlgItemText(IDC_HS_END), &s, &e);
  if (err != history::RangeError::None) {
    ui::MessageBox(this, history::RangeErrorText(err, AppSettings.LanguageIndex), "", ui::MB_ICONEXCLAMATION);
    return;
  }
  startColumn = s;
  endColumn = e;
  EndDialog(ui::IDOK);
}

bool CHistorySel::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CHistorySel::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
