#include "analyzer/screens/stop_dlg.h"

#include "analyzer/screens/screen_common.h"
#include "analyzer/serial_port.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "controls/skin_loader.h"
#include "platform/sys/host.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_class.h"

namespace analyzer {
namespace {

ui::DialogTemplate StopTemplate() {
  ui::DialogTemplate t = BoardScreenTemplate(276, 92, false);
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

CStop::CStop(ui::Window* parent) : BoardScreen(StopTemplate(), parent) {}

CStop::~CStop() { conn_.Disconnect(); }

void CStop::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, kPromptId, prompt_);
  ui::ExchangeControl(dx, kFrameId, frame_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, kCornerId, corner_);
}

bool CStop::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  const bool open = OpenBorrowedPort(StopUsePort(), {});
  SetWindowText(PickText(lang, "停止使用仪器", "Stop using Instrument", "Dejar de usar el instrumento",
                         "Arrêt d'utilisation de l'instrument", "Припинення використання приладу"));
  ok_.SetWindowText(PickText(lang, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(lang, "取消", "Cancel", "Cancelar", "Annuler", "Скасувати"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(479, 481, 480);
  cancel_.SetBitmaps(479, 481, 480);
  corner_.SetBitmaps(484, 483, 0);
  prompt_.SetBkColor(draw::RGB(190, 198, 201));
  seq_ = std::make_unique<StopUseSequence>(*this, &conn_, open);
  seq_->Begin();
  Drive(seq_.get());
  return true;
}

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

void CStop::ShutdownPc() { sys::PowerOffPc(); }

void CStop::Close() { PostEnd(ui::IDCANCEL); }

void CStop::OnOK() {
  if (seq_) seq_->OnOk();
}

void CStop::OnCancel() {
  if (seq_) seq_->OnCancel();
}

const draw::Brush* CStop::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return ScreenLabelColours(dc);
  return BoardScreen::OnCtlColor(dc, control, ctlType);
}

bool CStop::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect client = GetClientRect();
  DrawBandedBackground(dc, client, 25, 9, 463, 0);
  // The pop-up's 3-pixel frame lies wholly inside it: drawn on the client edge, half of it
  // would fall outside and leave a hairline at the sides and the bottom.
  const draw::Pen pen = dc.SelectPen(draw::Pen(draw::PenStyle::InsideFrame, 3, kDialogFrameColor));
  const draw::Brush brush = dc.SelectBrush(draw::Brush::NullBrush());
  dc.Rectangle(client);
  dc.SelectBrush(brush);
  dc.SelectPen(pen);
  return true;
}

}  // namespace analyzer
