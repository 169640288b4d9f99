#include "lis/screens/dlg_lis.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_class.h"

namespace {
ui::DialogTemplate DlgLisTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(256, 165);
  t.Add("Button", 2119, "", 8, 4, 240, 126, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_LIS_AUTO, "", 16, 12, 220, 12, V | TS | ui::BS_AUTORADIOBUTTON | ui::WS_GROUP);
  t.Add("Button", IDC_LIS_FIXED, "", 16, 26, 220, 12, V | TS | ui::BS_AUTORADIOBUTTON);
  const int labels[4] = {IDC_LIS_OWN_LABEL, IDC_LIS_MASK_LABEL, IDC_LIS_GATEWAY_LABEL, IDC_LIS_SERVER_LABEL};
  const int fields[4] = {IDC_LIS_OWN, IDC_LIS_MASK, IDC_LIS_GATEWAY, IDC_LIS_SERVER};
  for (int i = 0; i < 4; ++i) {
    t.Add("Static", labels[i], "", 24, 42 + 15 * i, 90, 10, V | ui::SS_LEFT);
    t.Add(ui::kClassIpAddress, fields[i], "", 120, 40 + 15 * i, 100, 13, V | TS);
  }
  t.Add("Static", IDC_LIS_PORT_LABEL, "", 24, 102, 90, 10, V | ui::SS_LEFT);
  t.Add("Edit", IDC_LIS_PORT, "", 120, 100, 50, 13, V | TS | ui::WS_BORDER | ui::ES_NUMBER);
  t.Add("Button", IDC_LIS_DOUBLE, "", 16, 116, 110, 12, V | TS | ui::BS_AUTOCHECKBOX);
  t.Add("Button", IDC_LIS_WARNING, "传输报警信息", 130, 116, 110, 12, TS | ui::BS_AUTOCHECKBOX);
  t.Add("Button", IDC_LIS_KEYBOARD, "", 16, 142, 20, 13, V | TS | ui::BS_OWNERDRAW);
  t.Add("Button", ui::IDOK, "Save", 50, 138, 60, 20, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 146, 138, 60, 20, V | TS);
  return t;
}
}  // namespace

std::string LisPortEmptyText(int l) {
  return PickText(l, "端口不能为空", "The port cannot be empty", "El puerto no puede estar vacío",
                  "Port ne peut pas être vide", "Порт не може бути порожнім");
}
std::string LisPortRangeText(int l) {
  return PickText(l, "端口必须在1到65535之间", "The port must be 1 to 65535", "El puerto debe ser de 1 a 65535",
                  "Le port doit être de 1 à 65535", "Порт має бути від 1 до 65535");
}
std::string LisSavedText(int l) {
  return PickText(l, "设置数据已保存！", "Setting data saved!", "Datos de escenario almacenados!", "Reglages sauvegardes!",
                  "Налаштування збережені!");
}

CDlgLis::CDlgLis(ui::Window* parent) : ui::Dialog(IDD_DLG_LIS, parent) {
  if (!ui::Resources::FindDialog(IDD_DLG_LIS)) ui::Resources::AddDialog(IDD_DLG_LIS, DlgLisTemplate());
}

void CDlgLis::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_LIS_OWN, own_);
  ui::ExchangeControl(dx, IDC_LIS_MASK, mask_);
  ui::ExchangeControl(dx, IDC_LIS_GATEWAY, gateway_);
  ui::ExchangeControl(dx, IDC_LIS_SERVER, server_);
  ui::ExchangeControl(dx, IDC_LIS_DOUBLE, double_);
  ui::ExchangeControl(dx, IDC_LIS_WARNING, warning_);
  ui::ExchangeControl(dx, IDC_LIS_AUTO, auto_);
  ui::ExchangeControl(dx, IDC_LIS_FIXED, fixed_);
  ui::ExchangeControl(dx, IDC_LIS_KEYBOARD, keyboard_);
}

bool CDlgLis::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int l = AppSettings.LanguageIndex;
  if (l == 0) GetDlgItem(IDC_LIS_WARNING)->ShowWindow(ui::SW_SHOW);
  ok_.SetWindowText(PickText(l, "保存", "Save", "Guardar", "Sauvegarder", "Зберегти"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  SetDlgItemText(IDC_LIS_SERVER_LABEL, PickText(l, "服务器IP:", "Server IP:", "El servidor IP:", "Le serveur IP:", "IP серверу:"));
  SetDlgItemText(IDC_LIS_PORT_LABEL, PickText(l, "端口:", "Port:", "Puerto:", "Port:", "Порт:"));
  double_.SetWindowText(PickText(l, "双向传输", "Bidirectional transfer", "Doble La transmisión de",
                                 "Bifilaire De la transmission", "Двостороння передача"));
  auto_.SetWindowText(PickText(l, "自动获得IP地址", "Obtain an IP address automatically", "Automáticamente IP",
                               "Automatique IP", "Отримати адресу автоматично"));
  fixed_.SetWindowText(PickText(l, "使用下面的IP地址", "Use the following IP address", "Fijo IP", "Fixe IP",
                                "Використовувати наступну IP адресу"));
  SetDlgItemText(IDC_LIS_OWN_LABEL, PickText(l, "本机IP:", "Local IP:", "Local IP:", "Local IP:", "Локальний IP:"));
  SetDlgItemText(IDC_LIS_MASK_LABEL, PickText(l, "子网掩码:", "Subnet mask:", "La máscara de subred:", "Masque:", "Підмаска:"));
  SetDlgItemText(IDC_LIS_GATEWAY_LABEL,
                 PickText(l, "默认网关:", "Default gateway:", "Gateway:", "Passerelle:", "Шлюз за замовчуванням:"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  // Five digits: every port from 1 to 65535 can be typed.
  GetDlgItem(IDC_LIS_PORT)->SendMessage(ui::EM_LIMITTEXT, 5, 0);
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  double_.SetBkColor(draw::RGB(205, 213, 215));
  warning_.SetBkColor(draw::RGB(205, 213, 215));
  auto_.SetBkColor(draw::RGB(205, 213, 215));

  settings_ = lis::LoadNetworkSettings();
  const lis::NetworkSettings& s = settings_;
  own_.SetAddress(s.own[0], s.own[1], s.own[2], s.own[3]);
  mask_.SetAddress(s.mask[0], s.mask[1], s.mask[2], s.mask[3]);
  gateway_.SetAddress(s.gateway[0], s.gateway[1], s.gateway[2], s.gateway[3]);
  server_.SetAddress(s.server[0], s.server[1], s.server[2], s.server[3]);
  double_.SendMessage(ui::BM_SETCHECK, s.bidirectional ? 1 : 0, 0);
  warning_.SendMessage(ui::BM_SETCHECK, s.alarms ? 1 : 0, 0);
  auto_.SendMessage(ui::BM_SETCHECK, s.automaticAddress ? 1 : 0, 0);
  fixed_.SendMessage(ui::BM_SETCHECK, s.automaticAddress ? 0 : 1, 0);
  SetDlgItemText(IDC_LIS_PORT, s.port > 0 ? std::to_string(s.port) : std::string("0"));
  OnAutomaticAddress();
  return true;
}

void CDlgLis::OnAutomaticAddress() {
  const bool automatic = auto_.SendMessage(ui::BM_GETCHECK, 0, 0) != 0;
  own_.EnableWindow(!automatic);
  mask_.EnableWindow(!automatic);
  gateway_.EnableWindow(!automatic);
}

void CDlgLis::OnOK() {
  const int l = AppSettings.LanguageIndex;
  const std::string portText = GetDlgItemText(IDC_LIS_PORT);
  if (portText.empty()) {
    ui::MessageBox(nullptr, LisPortEmptyText(l), "", ui::MB_ICONINFORMATION);
    return;
  }
  const int port = lis::ParsePort(portText);
  if (port == 0) {
    ui::MessageBox(nullptr, LisPortRangeText(l), "", ui::MB_ICONINFORMATION);
    return;
  }
  lis::NetworkSettings s = settings_;
  own_.GetAddress(s.own[0], s.own[1], s.own[2], s.own[3]);
  mask_.GetAddress(s.mask[0], s.mask[1], s.mask[2], s.mask[3]);
  gateway_.GetAddress(s.gateway[0], s.gateway[1], s.gateway[2], s.gateway[3]);
  server_.GetAddress(s.server[0], s.server[1], s.server[2], s.server[3]);
  s.bidirectional = double_.SendMessage(ui::BM_GETCHECK, 0, 0) != 0;
  s.alarms = warning_.SendMessage(ui::BM_GETCHECK, 0, 0) != 0;
  s.automaticAddress = auto_.SendMessage(ui::BM_GETCHECK, 0, 0) != 0;
  s.port = port;
  lis::SaveNetworkSettings(s);
  ui::MessageBox(nullptr, LisSavedText(l), "", ui::MB_ICONINFORMATION);
  EndDialog(ui::IDOK);
}

bool CDlgLis::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_LIS_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  if ((id == IDC_LIS_AUTO || id == IDC_LIS_FIXED) && code == ui::BN_CLICKED) {
    ui::Dialog::OnCommand(id, code, control);
    OnAutomaticAddress();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CDlgLis::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CDlgLis::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
