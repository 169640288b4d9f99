#include "analyzer/screens/stop_dlg.h"

#include "analyzer/board_port.h"
#include "analyzer/screens/screen_common.h"
#include "analyzer/serial_port.h"
#include "analyzer/serial_window_sink.h"
#include "app/app_settings.h"
#include "app/dialog_layout.h"
#include "app/layout.h"
#include "platform/sys/clock.h"
#include "platform/sys/host.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_class.h"

namespace analyzer {
namespace {

ui::DialogTemplate StopTemplate() {
  ui::DialogTemplate t;
  t.cx = 276;
  t.cy = 92;
  t.style = uint32_t{ui::WS_POPUP} | ui::WS_CAPTION | ui::DS_CENTER;
  t.fontFace = "Arial";
  t.fontPoints = 9;
  t.Add(ui::kClassButton, CStop::kFrameId, "", 8, 16, 260, 46, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, CStop::kPromptId, "", 14, 24, 248, 34, ui::WS_VISIBLE);
  t.Add(ui::kClassButton, ui::IDOK, "OK", 120, 68, 60, 18, uint32_t{ui::WS_VISIBLE} | ui::WS_TABSTOP | ui::BS_DEFPUSHBUTTON);
  t.Add(ui::kClassButton, ui::IDCANCEL, "Cancel", 196, 68, 60, 18, uint32_t{ui::WS_VISIBLE} | ui::WS_TABSTOP);
  t.Add(ui::kClassButton, CStop::kCornerId, "", 260, 0, 16, 12, ui::WS_VISIBLE);
  return t;
}

}  // namespace

CSerialPort& StopUsePort() {
  static CSerialPort port;
  return port;
}

CStop::CStop(ui::Window* parent) : ui::Dialog(StopTemplate(), parent) {}

CStop::~CStop() { conn_.Disconnect(); }

bool CStop::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  const bool open = OpenBoardPort(StopUsePort(), WindowByteSink(this)) == 1;
  if (!open) ShowBox(this, PortFailedText(false, lang), BoxIcon::None);
  SetWindowText(PickText(lang, "停止使用仪器", "Stop using Instrument", "Dejar de usar el instrumento",
                         "Arrêt d'utilisation de l'instrument", "Припинення використання приладу"));
  SetDlgItemText(ui::IDOK, PickText(lang, "确定", "OK", "Aceptar", "OK", "OK"));
  SetDlgItemText(ui::IDCANCEL, PickText(lang, "取消", "Cancel", "Cancelar", "Annuler", "Скасувати"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  seq_ = std::make_unique<StopUseSequence>(*this, &conn_, open);
  seq_->Begin();
  SetTimer(kPollTimer, 1000);
  return true;
}

void CStop::Send(const CommandFrame& frame) { StopUsePort().QueueWrite(frame.data(), frame.size()); }

void CStop::SetPrompt(const std::string& text) {
  SetDlgItemText(kPromptId, text);
  Invalidate();
}

void CStop::EnableOk(bool enable) {
  if (Window* w = GetDlgItem(ui::IDOK)) w->EnableWindow(enable);
}

void CStop::EnableCancel(bool enable) {
  if (Window* w = GetDlgItem(ui::IDCANCEL)) w->EnableWindow(enable);
}

void CStop::Message(const std::string& text, BoxIcon icon) { ShowBox(this, text, icon); }

void CStop::ShutdownPc() { sys::PowerOffPc(); }

void CStop::Close() { PostMessage(kEndScreenMessage); }

void CStop::OnOK() {
  if (seq_) seq_->OnOk();
}

void CStop::OnCancel() {
  if (seq_) seq_->OnCancel();
}

void CStop::OnTimer(uintptr_t id) {
  if (id == kPollTimer && seq_) seq_->Poll(sys::Clock::TickMs());
}

ui::LResult CStop::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == kSerialByteMessage) {
    if (!seq_) return 0;
    const int r = seq_->OnSerialByte(static_cast<uint8_t>(w), static_cast<unsigned>(l));
    return r;
  }
  if (msg == kEndScreenMessage) {
    KillTimer(kPollTimer);
    StopUsePort().Close();
    EndDialog(ui::IDCANCEL);
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CStop::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect client = GetClientRect();
  dc.FillSolidRect(ui::Rect(0, 0, client.right, 25), draw::RGB(0, 76, 120));
  const int top = 25, bands = 9;
  const int h = (client.bottom - top) / bands;
  for (int i = 0; i < bands; ++i) {
    const int y0 = top + i * h, y1 = i == bands - 1 ? client.bottom : y0 + h;
    dc.FillSolidRect(ui::Rect(0, y0, client.right, y1), i % 2 == 0 ? draw::RGB(205, 213, 215) : draw::RGB(190, 198, 201));
  }
  DrawDialogFrame(dc, this, 3);
  return true;
}

}  // namespace analyzer
