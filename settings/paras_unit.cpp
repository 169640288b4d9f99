#include "settings/paras_unit.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "settings/limit_tables.h"

const UnitScreenRow kUnitScreenRows[14] = {
    {"WBC，LYM#，MID#，GRA#:", kUnitWBC, "", 1054, 1056, 0},
    {"LYM%，MID%，GRA%:", -1, "%", 0, 1059, 1},
    {"RBC:", kUnitRBC, "", 1055, 1057, 2},
    {"HGB:", kUnitHGB, "", 1089, 1091, 3},
    {"HCT:", kUnitHCT, "", 1095, 1096, 4},
    {"MCV:", -1, "fL", 0, 1058, 5},
    {"MCH:", -1, "pg", 0, 1093, 6},
    {"MCHC:", kUnitMCHC, "", 1090, 1092, 7},
    {"RDW-SD:", -1, "fL", 0, 1097, 8},
    {"RDW-CV:", -1, "%", 0, 1094, 9},
    {"PLT:", kUnitPLT, "", 1047, 1048, 10},
    {"MPV:", -1, "fL", 0, 1049, 11},
    {"PCT:", kUnitPCT, "", 1098, 1099, 12},
    {"PDW，P-LCR:", -1, "%", 0, 1100, 13},
};

int FirstDecimalOffered(int slot) { return slot == 12 ? 1 : 0; }
int DecimalsOffered(int slot) { return slot == 4 ? 4 : 3; }

namespace {

ui::DialogTemplate ParasUnitTemplate() {
  const uint32_t V = ui::WS_VISIBLE, B = V | ui::WS_TABSTOP;
  const uint32_t CB = B | ui::CBS_DROPDOWNLIST | ui::WS_VSCROLL;
  ui::DialogTemplate t = ScreenTemplate(300, 240);
  t.caption = "Unit Setting";
  t.Add("Button", IDC_PU_FRAME, "", 4, 2, 222, 234, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_PU_ITEM_HEAD, "Item", 10, 8, 90, 8, V);
  t.Add("Static", IDC_PU_UNIT_HEAD, "Unit", 112, 8, 60, 8, V);
  t.Add("Static", IDC_PU_DECIMAL_HEAD, "Decimal figure", 172, 8, 52, 8, V);
  for (int r = 0; r < 14; ++r) {
    const UnitScreenRow& row = kUnitScreenRows[r];
    const int y = 22 + r * 15;
    t.Add("Static", IDC_PU_ROW_LABEL_FIRST + r, row.label, 10, y + 2, 100, 8, V);
    if (row.unitComboId != 0) t.Add("ComboBox", row.unitComboId, "", 112, y, 56, 80, CB);
    else t.Add("Static", IDC_PU_FIXED_UNIT_FIRST + r, row.fixedUnit, 114, y + 2, 50, 8, V);
    t.Add("ComboBox", row.decimalsComboId, "", 176, y, 40, 80, CB);
  }
  t.Add("Button", ui::IDOK, "OK", 236, 40, 56, 30, B);
  t.Add("Button", ui::IDCANCEL, "Cancel", 236, 90, 56, 30, B);
  t.Add("Button", IDC_PU_DEFAULT, "Default", 236, 140, 56, 30, B);
  return t;
}

}  // namespace

CParasUnit::CParasUnit(ui::Window* parent) : ui::Dialog(IDD_PARAS_UNIT, parent) {
  if (!ui::Resources::FindDialog(IDD_PARAS_UNIT)) ui::Resources::AddDialog(IDD_PARAS_UNIT, ParasUnitTemplate());
}

void CParasUnit::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_PU_FRAME, frame_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_PU_DEFAULT, default_);
  for (int r = 0; r < 14; ++r) {
    if (kUnitScreenRows[r].unitComboId != 0) ui::ExchangeControl(dx, kUnitScreenRows[r].unitComboId, units_[r]);
    ui::ExchangeControl(dx, kUnitScreenRows[r].decimalsComboId, decimals_[r]);
  }
}

bool CParasUnit::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  settings::UnitRow row;
  rowExisted_ = settings::ReadUnitRow(conn_, &row);
  for (int r = 0; r < 14; ++r) {
    const UnitScreenRow& def = kUnitScreenRows[r];
    if (def.unitSlot >= 0) {
      CXPComboBox& box = units_[r];
      box.ResetContent();
      for (const std::string& u : settings::UnitChoices(def.unitSlot)) box.AddString(u);
      const std::string& stored = rowExisted_ ? row.units[def.unitSlot] : std::string();
      int at = stored.empty() ? 0 : box.FindStringExact(-1, stored);
      // A stored unit the list does not offer stays what it is until the operator picks another.
      if (at < 0) at = box.AddString(stored);
      box.SetCurSel(at);
      box.SetBitmaps(393, 394, 396);
    }
    CXPComboBox& dec = decimals_[r];
    dec.ResetContent();
    const int first = FirstDecimalOffered(def.decimalSlot);
    for (int k = 0; k < DecimalsOffered(def.decimalSlot); ++k) dec.AddString(StrPrintf("%d", first + k));
    SelectDecimals(r, UnitDecimals[def.decimalSlot]);
    dec.SetBitmaps(393, 394, 396);
  }
  // The previous units are what the row held (an empty column counts as the base unit).
  previous_ = rowExisted_ ? row.units : UnitTextSet{};
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "单位设置", "Unit Setting", "Ajuste de unidades", "Reglage des unites", "Налаштування одиниць"));
  SetDlgItemText(IDC_PU_ITEM_HEAD, PickText(l, "项目", "Item", "Elemento", "Element", "Параметр"));
  SetDlgItemText(IDC_PU_UNIT_HEAD, PickText(l, "单位", "Unit", "Unidad", "Unite", "Одиниця"));
  SetDlgItemText(IDC_PU_DECIMAL_HEAD, PickText(l, "小数位数", "Decimal figure", "Decimales", "Decimales", "Знаків після коми"));
  ok_.SetWindowText(PickText(l, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Скасувати"));
  default_.SetWindowText(PickText(l, "默认", "Default", "Predeterminado", "Par defaut", "За замовчуванням"));
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(466, 465, 464);
  cancel_.SetBitmaps(472, 471, 470);
  default_.SetBitmaps(469, 468, 467);
  frame_.SetBands(true, 15);
  return true;
}

UnitTextSet CParasUnit::ChosenUnits() const {
  UnitTextSet u;
  for (int r = 0; r < 14; ++r) {
    const int slot = kUnitScreenRows[r].unitSlot;
    if (slot < 0) continue;
    const int sel = units_[r].GetCurSel();
    u[slot] = sel >= 0 ? units_[r].GetLBText(sel) : std::string();
  }
  return u;
}

void CParasUnit::SelectDecimals(int r, int count) {
  const int slot = kUnitScreenRows[r].decimalSlot;
  const int pos = count - FirstDecimalOffered(slot);
  decimals_[r].SetCurSel(pos >= 0 && pos < DecimalsOffered(slot) ? pos : -1);
}

void CParasUnit::OnDefault() {
  const auto d = DefaultUnitDecimals(ChosenUnits());
  for (int r = 0; r < 14; ++r) SelectDecimals(r, d[kUnitScreenRows[r].decimalSlot]);
}

void CParasUnit::OnUnitChanged(int r) {
  const auto d = DefaultUnitDecimals(ChosenUnits());
  SelectDecimals(r, d[kUnitScreenRows[r].decimalSlot]);
}

void CParasUnit::OnOK() {
  settings::UnitRow chosen;
  chosen.units = ChosenUnits();
  for (int r = 0; r < 14; ++r) {
    const int slot = kUnitScreenRows[r].decimalSlot;
    const int sel = decimals_[r].GetCurSel();
    chosen.decimals[slot] = sel >= 0 ? sel + FirstDecimalOffered(slot) : UnitDecimals[slot];
  }
  // The row, the decimals in force and the rescaled values change together or not at all; a
  // failure has been reported by the data layer and the screen stays open.
  if (!settings::SaveUnitsAndRescale(conn_, previous_, chosen, rowExisted_)) return;
  rowExisted_ = true;
  previous_ = chosen.units;
  conn_.Disconnect();
  ui::MessageBox(this, settings::SettingSavedText(AppSettings.LanguageIndex), "", ui::MB_ICONINFORMATION);
  EndDialog(ui::IDOK);
}

void CParasUnit::OnCancel() {
  conn_.Disconnect();
  EndDialog(ui::IDCANCEL);
}

bool CParasUnit::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_PU_DEFAULT && code == ui::BN_CLICKED) {
    OnDefault();
    return true;
  }
  if (code == ui::CBN_SELCHANGE)
    for (int r = 0; r < 14; ++r)
      if (kUnitScreenRows[r].unitComboId == id) {
        OnUnitChanged(r);
        return true;
      }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CParasUnit::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CParasUnit::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CParasUnit::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CParasUnit::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
