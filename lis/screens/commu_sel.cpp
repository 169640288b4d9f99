#include "lis/screens/commu_sel.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "lis/link_settings.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"

namespace {
ui::DialogTemplate CommuSelTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(187, 98);
  t.Add("Button", IDC_COMMU_GROUP, "", 8, 6, 171, 54, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_COMMU_TYPE_LABEL, "Type", 18, 26, 40, 10, V | ui::SS_LEFT);
  t.Add("ComboBox", IDC_COMMU_TYPE, "", 60, 24, 70, 60, V | TS | ui::CBS_DROPDOWNLIST);
  t.Add("Button", IDC_COMMU_SETUP, "Set up", 134, 24, 40, 14, V | TS);
  t.Add("Button", ui::IDOK, "Save", 30, 70, 50, 20, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 106, 70, 50, 20, V | TS);
  return t;
}
}  // namespace

CCommuSel::CCommuSel(ui::Window* parent) : ui::Dialog(IDD_COMMU_SEL, parent) {
  if (!ui::Resources::FindDialog(IDD_COMMU_SEL)) ui::Resources::AddDialog(IDD_COMMU_SEL, CommuSelTemplate());
}

void CCommuSel::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_COMMU_SETUP, setUp_);
  ui::ExchangeControl(dx, IDC_COMMU_TYPE, type_);
}

bool CCommuSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(446, 448, 447);
  cancel_.SetBitmaps(446, 448, 447);
  setUp_.SetBitmaps(446, 448, 447);
  const int l = AppSettings.LanguageIndex;
  ok_.SetWindowText(PickText(l, "保存", "Save", "Guardar", "Sauvegarder", "Зберегти"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  SetDlgItemText(IDC_COMMU_TYPE_LABEL, PickText(l, "类型", "Type", "Tipos de", "Type", "Тип"));
  setUp_.SetWindowText(PickText(l, "设置", "Set up", "Siempre", "Ensemble", "Налаштування"));
  type_.ResetContent();
  type_.AddString(PickText(l, "串口", "Serial port", "Puerto serie", "Port série", "Серійний порт"));
  type_.AddString(PickText(l, "网口", "Net port", "Puerto La red", "Port Réseau", "Мережевий порт"));
  const int kind = lis::LoadLinkKind();
  type_.SetCurSel(kind == 0 || kind == 1 ? kind : -1);
  return true;
}

void CCommuSel::OnSetUp() {
  const int sel = type_.GetCurSel();
  if (sel == 0) RunScreen("CCommSet");
  else if (sel == 1) RunScreen("CDlgLis");
}

void CCommuSel::OnOK() {
  lis::SaveLinkKind(type_.GetCurSel());
  EndDialog(ui::IDOK);
}

bool CCommuSel::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_COMMU_SETUP && code == ui::BN_CLICKED) {
    OnSetUp();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CCommuSel::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CCommuSel::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
