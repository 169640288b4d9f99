#include "lis/screens/ser_send.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "lis/link_settings.h"
#include "lis/send_texts.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_class.h"

namespace {
ui::DialogTemplate SerSendTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(220, 130);
  t.Add("Button", IDC_SEND_GROUP_TOP, "", 8, 4, 204, 40, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SEND_SELECTED, "", 18, 12, 90, 12, V | TS | ui::BS_AUTORADIOBUTTON | ui::WS_GROUP);
  t.Add("Button", IDC_SEND_ALL, "", 112, 12, 90, 12, V | TS | ui::BS_AUTORADIOBUTTON);
  t.Add("Static", IDC_SEND_STATUS, "", 18, 28, 184, 12, V | ui::SS_LEFT);
  t.Add("Button", IDC_SEND_GROUP_BOTTOM, "", 8, 48, 204, 74, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassProgress, IDC_SEND_PROGRESS, "", 18, 60, 184, 12, V);
  t.Add("Button", IDC_SEND_SEND, "", 30, 88, 70, 24, V | TS);
  t.Add("Button", IDC_SEND_EXIT, "", 120, 88, 70, 24, V | TS);
  return t;
}
}  // namespace

CSerSend::CSerSend(ui::Window* parent, const lis::SendSource& source) : ui::Dialog(IDD_SER_SEND, parent), source_(source) {
  if (!ui::Resources::FindDialog(IDD_SER_SEND)) ui::Resources::AddDialog(IDD_SER_SEND, SerSendTemplate());
}

CSerSend::~CSerSend() {
  conn_.Disconnect();
  if (port_) port_->Close();
}

void CSerSend::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_SEND_STATUS, status_);
  ui::ExchangeControl(dx, IDC_SEND_EXIT, exit_);
  ui::ExchangeControl(dx, IDC_SEND_SEND, send_);
  ui::ExchangeControl(dx, IDC_SEND_PROGRESS, progress_);
  ui::ExchangeControl(dx, IDC_SEND_SELECTED, selected_);
  ui::ExchangeControl(dx, IDC_SEND_ALL, all_);
}

bool CSerSend::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  portOpen_ = false;
  const lis::SerialIndices s = lis::LoadSerialIndices(conn_);
  port_ = std::make_unique<analyzer::CSerialPort>();
  if (port_->Open(analyzer::ByteSink(), 1, lis::BaudOf(s.baud), lis::ParityOf(s.parity), lis::DataBitsOf(s.dataBits),
                  lis::StopBitsOf(s.stopBits), analyzer::kEvRxChar | analyzer::kEvCts, 512) &&
      port_->StartReader()) {
    portOpen_ = true;
  }
  const int l = AppSettings.LanguageIndex;
  if (!portOpen_) {
    // Over the network the port is not needed: only the serial link loses its Send.
    if (LisLinkState.LinkKind != 1) send_.EnableWindow(false);
    const std::string text = lis::LisText(lis::SendText::PortInitFailed, l);
    if (l <= 1) status_.SetWindowText(text);
    else ui::MessageBox(nullptr, text, "", ui::MB_OK);
  }
  selected_.SetWindowText(lis::LisText(lis::SendText::SelectedData, l));
  all_.SetWindowText(lis::LisText(lis::SendText::AllData, l));
  send_.SetWindowText(lis::LisText(lis::SendText::Send, l));
  exit_.SetWindowText(lis::LisText(lis::SendText::Exit, l));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  send_.SetBitmaps(466, 465, 464);
  exit_.SetBitmaps(472, 471, 470);
  selected_.SendMessage(ui::BM_SETCHECK, 1, 0);
  SendScope = 0;
  status_.SetBkColor(draw::RGB(205, 213, 215));
  return true;
}

void CSerSend::OnSend() {
  SendScope = all_.SendMessage(ui::BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
  lis::SendContext c;
  c.panel = this;
  c.grid = source_.grid;
  c.scope = SendScope;
  c.qcFileNo = source_.qcFileNo;
  c.conn = &conn_;
  c.port = port_.get();
  c.language = AppSettings.LanguageIndex;
  lis::DispatchSend(c, source_.kind, LisLinkState.LinkKind, portOpen_, &last_);
  SetFocus();
}

void CSerSend::OnCancel() {
  conn_.Disconnect();
  EndDialog(ui::IDCANCEL);
}

bool CSerSend::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_SEND_SEND: OnSend(); return true;
      case IDC_SEND_EXIT: OnCancel(); return true;
      case IDC_SEND_SELECTED: SendScope = 0; break;
      case IDC_SEND_ALL: SendScope = 1; break;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CSerSend::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CSerSend::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

void CSerSend::EnableSend(bool on) { send_.EnableWindow(on); }
void CSerSend::EnableExit(bool on) { exit_.EnableWindow(on); }
void CSerSend::SetStatus(const std::string& text) { status_.SetWindowText(text); }
void CSerSend::SetSendCaption(const std::string& text) { send_.SetWindowText(text); }
void CSerSend::SetProgressRange(int upper) { progress_.SetRange(0, upper); }
void CSerSend::SetProgress(int pos) { progress_.SetPos(pos); }
void CSerSend::Message(const std::string& text, int icon) {
  const unsigned type = icon == 1 ? ui::MB_ICONINFORMATION : icon == 2 ? ui::MB_ICONWARNING : icon == 3 ? ui::MB_ICONERROR : ui::MB_OK;
  ui::MessageBox(nullptr, text, "", type);
}
