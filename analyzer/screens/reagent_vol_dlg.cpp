#include "analyzer/screens/reagent_vol_dlg.h"

#include "analyzer/reagent.h"
#include "analyzer/screens/screen_common.h"
#include "analyzer/sequences/bottle_volumes.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "controls/skin_loader.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_class.h"
#include "core/sys_setting.h"

namespace analyzer {
namespace {

ui::DialogTemplate VolTemplate() {
  ui::DialogTemplate t = BoardScreenTemplate(297, 170, false);
  const uint32_t V = ui::WS_VISIBLE;
  t.Add(ui::kClassButton, 1835, "", 6, 6, 140, 130, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, 1839, "", 152, 6, 139, 130, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, 1998, "", 12, 14, 128, 10, V);
  t.Add(ui::kClassStatic, 1999, "", 158, 14, 128, 10, V);
  const int edits[3] = {CReagentVolDlg::kDiluentEdit, CReagentVolDlg::kLyseEdit, CReagentVolDlg::kCleanserEdit};
  const int dates[3] = {CReagentVolDlg::kDiluentDate, CReagentVolDlg::kLyseDate, CReagentVolDlg::kCleanserDate};
  const int lefts[3] = {CReagentVolDlg::kDiluentLeft, CReagentVolDlg::kLyseLeft, CReagentVolDlg::kCleanserLeft};
  for (int i = 0; i < 3; ++i) {
    const int y = 30 + i * 34;
    t.Add(ui::kClassStatic, 1832 + i, "", 12, y, 60, 10, V);
    t.Add(ui::kClassStatic, lefts[i], "", 76, y, 60, 10, V);
    t.Add(ui::kClassStatic, 1836 + i, "", 12, y + 10, 60, 20, V);
    t.Add(ui::kClassStatic, dates[i], "", 76, y + 19, 60, 10, V);  // beside the second line of its label
    t.Add(ui::kClassStatic, 1829 + i, "", 158, y, 60, 10, V);
    t.Add(ui::kClassEdit, edits[i], "", 222, y - 2, 60, 14, V | ui::WS_TABSTOP | ui::WS_BORDER);
  }
  t.Add(ui::kClassButton, CReagentVolDlg::kKeyboardId, "KBD", 6, 146, 40, 18, V | ui::WS_TABSTOP);
  t.Add(ui::kClassButton, ui::IDOK, "", 160, 146, 60, 18, V | ui::WS_TABSTOP | ui::BS_DEFPUSHBUTTON);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 228, 146, 60, 18, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

CReagentVolDlg::CReagentVolDlg(ui::Window* parent) : ui::Dialog(VolTemplate(), parent) {}

CReagentVolDlg::~CReagentVolDlg() { conn_.Disconnect(); }

namespace {
// Every label of the template, in the order of the members that take them over.
constexpr int kLabelIds[CReagentVolDlg::kLabelCount] = {
    1998, 1999, 1829, 1830, 1831, 1832, 1833, 1834, 1836, 1837, 1838,
    CReagentVolDlg::kDiluentDate, CReagentVolDlg::kLyseDate, CReagentVolDlg::kCleanserDate,
    CReagentVolDlg::kDiluentLeft, CReagentVolDlg::kLyseLeft, CReagentVolDlg::kCleanserLeft};
}  // namespace

void CReagentVolDlg::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, kDiluentEdit, edits_[0]);
  ui::ExchangeControl(dx, kLyseEdit, edits_[1]);
  ui::ExchangeControl(dx, kCleanserEdit, edits_[2]);
  for (int i = 0; i < kLabelCount; ++i) ui::ExchangeControl(dx, kLabelIds[i], labels_[i]);
  ui::ExchangeControl(dx, 1835, leftFrame_);
  ui::ExchangeControl(dx, 1839, newFrame_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, kKeyboardId, keyboard_);
}

bool CReagentVolDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  float litres[3] = {10.0f, 1.0f, 1.0f};
  std::string dates[3];
  const SysSettingRow row = LoadSysSetting(conn_).row;
  TakeSetting(row.DiluentReplDate, dates[0]);
  TakeSetting(row.LyseReplDate, dates[1]);
  TakeSetting(row.CleanerReplDate, dates[2]);
  TakeSetting(row.NewDiluentVol, litres[0]);
  TakeSetting(row.NewLyseVol, litres[1]);
  TakeSetting(row.NewCleanerVol, litres[2]);
  // A remaining volume below zero is shown as 0; what is in memory changes only on OK.
  const ReagentVolumes& v = Reagents().volumes();
  const float left[3] = {v.DiluentVol, v.LyseVol, v.CleanerVol};
  const char* const names[3][5] = {{"稀释液", "Diluent", "Diluyente", "Diluant", "Розчинник"},
                                   {"溶血剂", "Lyse", "Lisante", "Lysant", "Лізуючий реагент"},
                                   {"清洗液", "Cleanser", "Limpiador", "Nettoyant", "Очищувач"}};
  const int edits[3] = {kDiluentEdit, kLyseEdit, kCleanserEdit};
  const int dateIds[3] = {kDiluentDate, kLyseDate, kCleanserDate};
  const int leftIds[3] = {kDiluentLeft, kLyseLeft, kCleanserLeft};
  for (int i = 0; i < 3; ++i) {
    const std::string name = PickText(lang, names[i][0], names[i][1], names[i][2], names[i][3], names[i][4]);
    SetDlgItemText(edits[i], StrPrintf("%g", litres[i]));
    SetDlgItemText(dateIds[i], dates[i]);
    SetDlgItemText(leftIds[i], StrPrintf("%.2f", left[i] < 0 ? 0.0f : left[i]));
    SetDlgItemText(1832 + i, name);
    SetDlgItemText(1829 + i, name);
    SetDlgItemText(1836 + i, std::string("\n") + PickText(lang, "更换日期:", "Repl.date:", "Fecha camb.:", "Date rempl.:", "Дата заміни:"));
    if (selector_ != 0 && selector_ != i + 1)
      if (Window* w = GetDlgItem(edits[i])) w->EnableWindow(false);
  }
  SetWindowText(PickText(lang, "试剂量", "Reagent volume", "Volumen de reactivo", "Volume de réactif", "Об'єм реагенту"));
  SetDlgItemText(1998, PickText(lang, "剩余量(mL)", "Remainder(mL)", "Restante(mL)", "Restant(mL)", "Залишок(мл)"));
  SetDlgItemText(1999, PickText(lang, "新试剂量(L)", "New reagent vol.(L)", "Vol. nuevo reactivo(L)", "Vol. nouveau réactif(L)",
                                "Об'єм нового реагенту(л)"));
  SetDlgItemText(ui::IDOK, PickText(lang, "确定(&O)", "OK(&O)", "Aceptar(&O)", "OK(&O)", "OK(&O)"));
  SetDlgItemText(ui::IDCANCEL, PickText(lang, "取消(&C)", "Cancel(&C)", "Cancelar(&C)", "Annuler(&C)", "Скасувати(&C)"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(479, 481, 480);
  cancel_.SetBitmaps(479, 481, 480);
  keyboard_.SetBitmaps(274, 274, 274);
  const draw::Bitmap kb = LoadSkinBitmap(274, "Load keyboard Bitmap Error!");
  if (kb) {
    const ui::Rect r = keyboard_.GetRectInParent();
    keyboard_.MoveWindow(r.left, r.top, kb.Width(), kb.Height());
  }
  return true;
}

void CReagentVolDlg::OnOK() {
  const int lang = AppSettings.LanguageIndex;
  const std::string texts[3] = {GetDlgItemText(kDiluentEdit), GetDlgItemText(kLyseEdit), GetDlgItemText(kCleanserEdit)};
  float litres[3];
  const BottleCheck check = CheckBottleVolumes(texts, selector_, litres);
  if (check != BottleCheck::Ok) {
    ShowBox(this, BottleCheckMessage(check, lang), BoxIcon::Warning);
    return;
  }
  if (!StoreBottleVolumes(conn_, selector_, litres)) {
    // The store refused (its box was shown); the screen stays so the operator can try again.
    return;
  }
  conn_.Disconnect();
  EndDialog(ui::IDOK);
}

ui::LResult CReagentVolDlg::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == ui::WM_COMMAND && ui::LoWord(w) == kKeyboardId) {
    ShowOnScreenKeyboard();
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CReagentVolDlg::OnEraseBkgnd(draw::DC& dc) {
  DrawPlainScreen(dc, this);
  return true;
}

const draw::Brush* CReagentVolDlg::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return ScreenLabelColours(dc);
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

}  // namespace analyzer
