#include "analyzer/screens/sys_close.h"

#include "analyzer/screens/screen_common.h"
#include "analyzer/serial_port.h"
#include "app/app_settings.h"
#include "app/dialog_layout.h"
#include "app/write_log.h"
#include "platform/sys/clock.h"
#include "platform/sys/path_map.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_class.h"

namespace analyzer {
namespace {

ui::DialogTemplate CloseTemplate() {
  ui::DialogTemplate t;
  t.cx = 320;
  t.cy = 240;
  t.style = uint32_t{ui::WS_POPUP} | ui::DS_CENTER;
  t.fontFace = "Arial";
  t.fontPoints = 9;
  t.Add(ui::kClassStatic, CSysClose::kStatusId, "", 40, 170, 240, 14, uint32_t{ui::WS_VISIBLE} | ui::SS_CENTER);
  t.Add(ui::kClassProgress, CSysClose::kProgressId, "", 40, 190, 240, 10, ui::WS_VISIBLE);
  return t;
}

}  // namespace

CSysClose::CSysClose(ui::Window* parent) : ui::Dialog(CloseTemplate(), parent) {}

CSysClose::~CSysClose() { conn_.Disconnect(); }

bool CSysClose::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  port_ = OpenWindowBoardPort(this);
  if (!port_) {
    if (AppSettings.LanguageIndex == 0) WriteLog("请检查前端板与主板之间的串口线！");
    ShowBox(this, PortFailedText(false, AppSettings.LanguageIndex),
            AppSettings.LanguageIndex == 0 ? BoxIcon::Warning : BoxIcon::None);
  }
  conn_.Connect();
  {
    const bool large = AppSettings.LayoutScale > 1.0f;
    const char* name = AppSettings.LanguageIndex == 0 ? (large ? "Picture/bg_ONOFF2.bmp" : "Picture/bg_ONOFF.bmp")
                                                      : (large ? "Picture/bg_ONOFF_EN2.bmp" : "Picture/bg_ONOFF_EN.bmp");
    background_ = draw::Bitmap::LoadFile(sys::MapPath(AppSettings.ProgramFolder + name));
  }
  SendDlgItemMessage(kProgressId, ui::PBM_SETRANGE, 0, static_cast<ui::LParam>(ui::MakeLong(1, 23)));
  seq_ = std::make_unique<ShutdownSequence>(*this, &conn_);
  seq_->Begin();
  SetTimer(kPollTimer, 1000);
  return true;
}

void CSysClose::Send(const CommandFrame& frame) {
  if (port_) port_->QueueWrite(frame.data(), frame.size());
}

void CSysClose::ShowStatus(const std::string& text) {
  SetDlgItemText(kStatusId, text);
  Invalidate();
}

void CSysClose::SetProgress(int position) { SendDlgItemMessage(kProgressId, ui::PBM_SETPOS, static_cast<ui::WParam>(position)); }

void CSysClose::Message(const std::string& text, BoxIcon icon) { ShowBox(this, text, icon); }

void CSysClose::Close() { PostMessage(kEndScreenMessage); }

void CSysClose::OnTimer(uintptr_t id) {
  if (id == kPollTimer && seq_) seq_->Poll(sys::Clock::TickMs());
}

bool CSysClose::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_RETURN)) return true;
  if (msg.message == ui::WM_SYSKEYDOWN && msg.wParam == ui::VK_F4) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

ui::LResult CSysClose::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == kSerialByteMessage) return seq_ ? seq_->OnSerialByte(static_cast<uint8_t>(w), static_cast<unsigned>(l)) : 0;
  if (msg == kEndScreenMessage) {
    KillTimer(kPollTimer);
    port_.reset();
    EndDialog(ui::IDOK);
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CSysClose::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect client = GetClientRect();
  if (background_) {
    dc.StretchBlt(0, 0, client.Width(), client.Height(), background_, 0, 0, background_.Width(), background_.Height());
  } else {
    dc.FillSolidRect(client, draw::RGB(205, 213, 215));
  }
  DrawDialogFrame(dc, this, 7);
  return true;
}

int RunShutdownScreen() {
  CSysClose screen(nullptr);
  return screen.DoModal();
}

}  // namespace analyzer
