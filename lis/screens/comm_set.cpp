#include "lis/screens/comm_set.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "lis/link_settings.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"

namespace {
const int kCombos[4] = {IDC_COMMSET_BAUD, IDC_COMMSET_DATABITS, IDC_COMMSET_PARITY, IDC_COMMSET_STOPBITS};
const int kLabels[4] = {IDC_COMMSET_BAUD_LABEL, IDC_COMMSET_DATABITS_LABEL, IDC_COMMSET_PARITY_LABEL,
                        IDC_COMMSET_STOPBITS_LABEL};

ui::DialogTemplate CommSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(207, 236);
  t.Add("Button", 1962, "", 8, 6, 191, 170, V | ui::BS_GROUPBOX);
  t.Add("Button", 1961, "", 8, 180, 191, 48, V | ui::BS_GROUPBOX);
  for (int i = 0; i < 4; ++i) {
    t.Add("Static", kLabels[i], "", 20, 24 + 36 * i, 70, 20, V | ui::SS_LEFT);
    t.Add("ComboBox", kCombos[i], "", 100, 22 + 36 * i, 84, 80, V | TS | ui::CBS_DROPDOWNLIST);
  }
  t.Add("Button", ui::IDOK, "OK", 30, 196, 60, 22, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 118, 196, 60, 22, V | TS);
  return t;
}
}  // namespace

CCommSet::CCommSet(ui::Window* parent) : ui::Dialog(IDD_COMM_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_COMM_SET)) ui::Resources::AddDialog(IDD_COMM_SET, CommSetTemplate());
}

void CCommSet::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  for (int i = 0; i < 4; ++i) ui::ExchangeControl(dx, kCombos[i], combos_[i]);
}

bool CCommSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const lis::SerialIndices s = lis::LoadSerialIndices(conn_);
  baud = s.baud;
  dataBits = s.dataBits;
  parity = s.parity;
  stopBits = s.stopBits;
  const char* lists[4][5] = {{"9600", "19200", "38400", "57600", "115200"},
                             {"5", "6", "7", "8", nullptr},
                             {"None", "Even", "Odd", "Mark", "Space"},
                             {"1", "2", nullptr, nullptr, nullptr}};
  const int values[4] = {baud, dataBits, parity, stopBits};
  for (int i = 0; i < 4; ++i) {
    combos_[i].ResetContent();
    for (const char* item : lists[i])
      if (item) combos_[i].AddString(item);
    combos_[i].SetCurSel(values[i]);
    combos_[i].SetBitmaps(393, 394, 396);
  }
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "通信设置", "Communication Setting", "Escenario del comunicacion",
                         "Configuration communication", "Зв'язок"));
  SetDlgItemText(IDC_COMMSET_BAUD_LABEL,
                 PickText(l, "波特率", "Baud rate", "Gama de Baudios", "Vitesse en baud", "Швидкість\nпередачі даних"));
  SetDlgItemText(IDC_COMMSET_DATABITS_LABEL, PickText(l, "数据位", "Bit", "Bits de datos", "Bit donnees", "Біти"));
  SetDlgItemText(IDC_COMMSET_PARITY_LABEL, PickText(l, "检验位", "Parity", "Paridad", "Verification", "Парність"));
  SetDlgItemText(IDC_COMMSET_STOPBITS_LABEL, PickText(l, "停止位", "Stop bit", "Bit de parada", "Bit Stop", "Стоп біт"));
  ok_.SetWindowText(PickText(l, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  return true;
}

void CCommSet::OnOK() {
  baud = combos_[0].GetCurSel();
  dataBits = combos_[1].GetCurSel();
  parity = combos_[2].GetCurSel();
  stopBits = combos_[3].GetCurSel();
  lis::SaveSerialIndices(conn_, {baud, dataBits, parity, stopBits});
  conn_.Disconnect();
  EndDialog(ui::IDOK);
}

bool CCommSet::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CCommSet::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CCommSet::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CCommSet::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
