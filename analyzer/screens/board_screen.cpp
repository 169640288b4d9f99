#include "analyzer/screens/board_screen.h"

#include "analyzer/board_port.h"
#include "analyzer/screens/screen_common.h"
#include "analyzer/serial_port.h"
#include "analyzer/serial_window_sink.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/write_log.h"
#include "platform/sys/clock.h"
#include "platform/sys/path_map.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_class.h"

namespace analyzer {
namespace {

// Full screen: the status line and the progress bar over the background picture.
ui::DialogTemplate ProgressTemplate() {
  ui::DialogTemplate t = BoardScreenTemplate(320, 240, false);
  t.Add(ui::kClassStatic, ProgressScreen::kStatusId, "", 40, 170, 240, 14, uint32_t{ui::WS_VISIBLE} | ui::SS_CENTER);
  t.Add(ui::kClassProgress, ProgressScreen::kProgressId, "", 40, 190, 240, 10, ui::WS_VISIBLE);
  return t;
}

}  // namespace

BoardScreen::BoardScreen(const ui::DialogTemplate& tmpl, ui::Window* parent) : ui::Dialog(tmpl, parent) {}

BoardScreen::~BoardScreen() = default;

void BoardScreen::ReportPortFailure(const PortFailure& how) {
  const int lang = AppSettings.LanguageIndex;
  if (lang == 0 && how.logInChinese) WriteLog("请检查前端板与主板之间的串口线！");
  ShowBox(this, PortFailedText(how.withNumber, lang), lang == 0 && how.warnInChinese ? BoxIcon::Warning : BoxIcon::None);
}

bool BoardScreen::OpenOwnPort(const PortFailure& how) {
  ClosePort();
  ownPort_ = OpenWindowBoardPort(this);
  port_ = ownPort_.get();
  if (!port_) ReportPortFailure(how);
  return port_ != nullptr;
}

bool BoardScreen::OpenBorrowedPort(CSerialPort& port, const PortFailure& how) {
  ClosePort();
  if (OpenBoardPort(port, WindowByteSink(this)) == 1) {
    port_ = &port;
    return true;
  }
  ReportPortFailure(how);
  return false;
}

void BoardScreen::ClosePort() {
  if (ownPort_) {
    ownPort_.reset();  // stops its reader
  } else if (port_) {
    port_->Close();
  }
  port_ = nullptr;
}

void BoardScreen::Send(const CommandFrame& frame) {
  if (port_) port_->QueueWrite(frame.data(), frame.size());
}

void BoardScreen::Message(const std::string& text, BoxIcon icon) { ShowBox(this, text, icon); }

void BoardScreen::Drive(BoardDriven* sequence) {
  sequence_ = sequence;
  SetTimer(kPollTimer, 1000);
}

void BoardScreen::PostEnd(int result) {
  endResult_ = result;
  PostMessage(kEndScreenMessage);
}

void BoardScreen::EndScreen(int result) {
  KillTimer(kPollTimer);
  KillScreenTimers();
  ClosePort();
  EndDialog(result);
}

void BoardScreen::OnTimer(uintptr_t id) {
  if (id == kPollTimer && sequence_) sequence_->Poll(sys::Clock::TickMs());
}

bool BoardScreen::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN) {
    if (swallowEnter_ && msg.wParam == ui::VK_RETURN) return true;
    if (swallowEscape_ && msg.wParam == ui::VK_ESCAPE) return true;
  }
  if (swallowAltF4_ && msg.message == ui::WM_SYSKEYDOWN && msg.wParam == ui::VK_F4) {
    OnAltF4();
    return true;
  }
  return ui::Dialog::PreTranslateMessage(msg);
}

ui::LResult BoardScreen::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == kSerialByteMessage)
    return sequence_ ? sequence_->OnSerialByte(static_cast<uint8_t>(w), static_cast<unsigned>(l)) : 0;
  if (msg == kEndScreenMessage) {
    EndScreen(endResult_);
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

ProgressScreen::ProgressScreen(ui::Window* parent) : BoardScreen(ProgressTemplate(), parent) {
  swallowEnter_ = swallowEscape_ = swallowAltF4_ = true;
}

void ProgressScreen::DoDataExchange(ui::DataExchange& dx) { ui::ExchangeControl(dx, kStatusId, status_); }

void ProgressScreen::ShowStatus(const std::string& text) {
  SetDlgItemText(kStatusId, text);
  Invalidate();
}

void ProgressScreen::SetProgress(int position) {
  SendDlgItemMessage(kProgressId, ui::PBM_SETPOS, static_cast<ui::WParam>(position));
}

void ProgressScreen::SetProgressRange(int last) {
  SendDlgItemMessage(kProgressId, ui::PBM_SETRANGE, 0, static_cast<ui::LParam>(ui::MakeLong(1, last)));
}

void ProgressScreen::LoadBackground(const std::string& relativePath) {
  background_ = draw::Bitmap::LoadFile(sys::MapPath(AppSettings.ProgramFolder + relativePath));
}

bool ProgressScreen::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect client = GetClientRect();
  if (background_) {
    dc.StretchBlt(0, 0, client.Width(), client.Height(), background_, 0, 0, background_.Width(), background_.Height());
  } else {
    dc.FillSolidRect(client, draw::RGB(205, 213, 215));
  }
  DrawDialogFrame(dc, this, 7);
  return true;
}

}  // namespace analyzer
