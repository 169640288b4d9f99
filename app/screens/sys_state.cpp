#include "app/screens/sys_state.h"

#include <cstdio>

#include "analyzer/sequences/board_host.h"
#include "analyzer/board_port.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/serial_port.h"
#include "analyzer/serial_window_sink.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "app/screens/about_dlg.h"
#include "controls/screen_common.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

ui::DialogTemplate SysStateTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_STATE_OUTER, "", 4, 4, 312, 232, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_STATE_INNER, "", 20, 20, 280, 110, V | ui::BS_GROUPBOX);
  t.Add("Static", 1563, "Item", 34, 36, 80, 12, V | ui::SS_CENTER);
  t.Add("Static", 1575, "Current value", 120, 36, 80, 12, V | ui::SS_CENTER);
  t.Add("Static", 1669, "Range", 206, 36, 80, 12, V | ui::SS_CENTER);
  // Each row's label, value box and range share one band and centre their text in it, so the
  // value stands on the line of its label.
  const uint32_t ROW = V | ui::SS_CENTER | ui::SS_CENTERIMAGE;
  t.Add("Static", 1670, "Temperature", 34, 64, 80, 16, ROW);
  t.Add("Static", IDC_STATE_TEMPERATURE, "", 120, 64, 80, 16, ROW);
  t.Add("Static", 1672, "15℃ - 35℃", 206, 64, 80, 16, ROW);
  t.Add("Static", 1671, "Internal pressure", 34, 96, 80, 16, ROW);
  t.Add("Static", IDC_STATE_PRESSURE, "", 120, 96, 80, 16, ROW);
  t.Add("Static", 1673, "0  --  50 KPa", 206, 96, 80, 16, ROW);
  t.Add("Button", ui::IDOK, "Exit(&X)", 130, 206, 60, 22, V | ui::WS_TABSTOP);
  return t;
}

std::string TemperatureText(unsigned raw) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", raw / 4095.0 * 300.0);
  return buf;
}

std::string PressureText(unsigned raw) { return std::to_string(raw); }

CSysState::CSysState(ui::Window* parent) : ui::Dialog(IDD_SYS_STATE, parent) {
  if (!ui::Resources::FindDialog(IDD_SYS_STATE)) ui::Resources::AddDialog(IDD_SYS_STATE, SysStateTemplate());
}

CSysState::~CSysState() = default;

void CSysState::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_STATE_INNER, inner_);
  ui::ExchangeControl(dx, IDC_STATE_PRESSURE, pressure_);
  ui::ExchangeControl(dx, IDC_STATE_TEMPERATURE, temperature_);
  ui::ExchangeControl(dx, IDC_STATE_OUTER, outer_);
  ui::ExchangeControl(dx, ui::IDOK, exit_);
}

bool CSysState::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  port_ = std::make_unique<analyzer::CSerialPort>();
  if (!analyzer::OpenBoardPort(*port_, analyzer::WindowByteSink(this))) ReportBoardPortFailure();
  collector_.Clear();
  Send(analyzer::status::Temperature);
  SetTimer(1, 1000);
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "系统状态", "System Status", "Estado del sistema", "Etat systeme", "Стан системи"));
  SetDlgItemText(1563, PickText(lang, "项目", "Item", "Elemento", "Element", "Параметр"));
  SetDlgItemText(1575, PickText(lang, "当前值", "Current value", "Valor actual", "Valeur actuelle", "Поточне значення"));
  SetDlgItemText(1669, PickText(lang, "范围", "Range", "Rango", "Plage", "Діапазон"));
  SetDlgItemText(1670, PickText(lang, "温度", "Temperature", "Temperatura", "Temperature", "Температура"));
  SetDlgItemText(1671, PickText(lang, "内部压力", "Internal pressure", "Presion interna", "Pression interne", "Внутрішній тиск"));
  exit_.SetWindowText(ExitButtonText(lang));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  exit_.SetBitmaps(479, 481, 479);
  outer_.SetBands(true, 7);
  temperature_.SetBkColor(draw::RGB(190, 198, 201));
  pressure_.SetBkColor(draw::RGB(190, 198, 201));
  return true;
}

void CSysState::Send(uint8_t command) {
  sent_ = analyzer::BuildCommandFrame(analyzer::FrameClassStatus, command, 0, 0);
  if (port_) port_->QueueWrite(sent_.data(), sent_.size());
}

void CSysState::OnTimer(uintptr_t) {
  collector_.Clear();  // a frame half received is dropped
  sent_ = {};
  Send(analyzer::status::Temperature);
}

void CSysState::OnSerialByte(uint8_t byte, unsigned port) {
  if (port < 1 || port > 4) return;
  // Frames start at 0x7E, so a lost or extra byte costs one reading, not every frame after it.
  // The same intake as the board sequences.
  const analyzer::BoardReply reply = analyzer::TakeBoardReply(collector_, byte);
  if (!reply.complete) return;
  if (!reply.checksumOk) {
    // One warning at a time: a noisy line must not stack boxes on one another.
    if (warningOpen_) return;
    warningOpen_ = true;
    ++checksumWarnings;
    ui::MessageBox(nullptr, ChecksumErrorText(AppSettings.LanguageIndex), "", ui::MB_ICONEXCLAMATION);
    warningOpen_ = false;
    return;
  }
  const unsigned raw = reply.status * 256u + reply.param2;
  if (reply.cls == analyzer::FrameClassStatus && reply.command == analyzer::status::Temperature) {
    temperature_.SetWindowText(TemperatureText(raw));
    Send(analyzer::status::Pressure);
  } else if (reply.cls == analyzer::FrameClassStatus && reply.command == analyzer::status::Pressure) {
    pressure_.SetWindowText(PressureText(raw));
  }
  temperature_.Invalidate(true);
  pressure_.Invalidate(true);
}

ui::LResult CSysState::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == analyzer::kSerialByteMessage) {
    OnSerialByte(static_cast<uint8_t>(w), static_cast<unsigned>(l));
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CSysState::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CSysState::OnEraseBkgnd(draw::DC& dc) {
  DrawPlainScreen(dc, this, IDC_STATE_OUTER, ui::IDOK);
  return true;
}

const draw::Brush* CSysState::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
