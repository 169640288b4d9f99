#include "analyzer/screens/sys_start.h"

#include "analyzer/screens/screen_common.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/results_purge.h"
#include "analyzer/serial_port.h"
#include "app/app_settings.h"
#include "app/dialog_layout.h"
#include "app/value_format.h"
#include "app/write_log.h"
#include "platform/sys/clock.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/host.h"
#include "platform/sys/path_map.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/keys.h"
#include "platform/ui/window_class.h"

namespace analyzer {
namespace {

bool g_systemChinese = false;

ui::DialogTemplate StartTemplate() {
  ui::DialogTemplate t;
  t.cx = 320;
  t.cy = 240;
  t.style = uint32_t{ui::WS_POPUP} | ui::DS_CENTER;
  t.fontFace = "Arial";
  t.fontPoints = 9;
  t.Add(ui::kClassStatic, CSysStart::kStatusId, "", 40, 170, 240, 14, uint32_t{ui::WS_VISIBLE} | ui::SS_CENTER);
  t.Add(ui::kClassProgress, CSysStart::kProgressId, "", 40, 190, 240, 10, ui::WS_VISIBLE);
  return t;
}

}  // namespace

void CSysStart::SetSystemLanguageChinese(bool chinese) { g_systemChinese = chinese; }

CSysStart::CSysStart(ui::Window* parent) : ui::Dialog(StartTemplate(), parent) {
  BlankHistograms.Clear();
  RunHeaderValue = 0xFFFF;
}

CSysStart::~CSysStart() { conn_.Disconnect(); }

void CSysStart::OpenPort() {
  port_ = OpenWindowBoardPort(this);
  if (!port_) {
    if (AppSettings.LanguageIndex == 0) WriteLog("请检查前端板与主板之间的串口线！");
    ShowBox(this, PortFailedText(true, AppSettings.LanguageIndex), BoxIcon::None);
  }
}

bool CSysStart::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  OpenPort();
  SendDlgItemMessage(kProgressId, ui::PBM_SETRANGE, 0, static_cast<ui::LParam>(ui::MakeLong(1, 20)));
  SendDlgItemMessage(kProgressId, ui::PBM_SETPOS, 2);
  PrepareStartupStore(conn_, values_);
  background_ = draw::Bitmap::LoadFile(sys::MapPath(AppSettings.ProgramFolder + values_.background));
  seq_ = std::make_unique<StartupSequence>(*this, values_, &conn_);
  int32_t lzlon = 1, lzlval = 0;
  ReadLzlonSettings(AppSettings.ProgramFolder + "setting.ini", &lzlon, &lzlval);
  seq_->SetLzlon(lzlon, lzlval);
  seq_->SetSystemLanguageChinese(g_systemChinese);
  SetTimer(kPollTimer, 1000);
  seq_->Begin();
  PurgeResults(conn_, values_.personCount, AppSettings.ProgramFolder);
  ScaleDialogLayout(this);
  return true;
}

void CSysStart::Send(const CommandFrame& frame) {
  if (reopening_) {
    pending_.push_back(frame);
    return;
  }
  if (port_) port_->QueueWrite(frame.data(), frame.size());
}

void CSysStart::ShowStatus(const std::string& text) {
  SetDlgItemText(kStatusId, text);
  Invalidate();
}

void CSysStart::SetProgress(int position) { SendDlgItemMessage(kProgressId, ui::PBM_SETPOS, static_cast<ui::WParam>(position)); }

void CSysStart::Message(const std::string& text, BoxIcon icon) { ShowBox(this, text, icon); }

bool CSysStart::AskOkCancel(const std::string& text) {
  if (AppSettings.LanguageIndex == 0) WriteLog("请重新插拔或更换光耦、光耦连线或电机！");
  return ShowBox(this, text, BoxIcon::Error, ui::MB_OKCANCEL) == ui::IDOK;
}

void CSysStart::ShutdownPc() { sys::PowerOffPc(); }

void CSysStart::ReopenPort() {
  // The pause runs as a timer, so the screen keeps serving its messages meanwhile.
  port_.reset();
  reopening_ = true;
  pending_.clear();
  SetTimer(kReopenTimer, 300);
}

void CSysStart::CopyTraceToLog() {
  const sys::LocalTime t = sys::Clock::Now();
  const std::string folder = AppSettings.ProgramFolder;
  sys::CreateFolder(folder + "Log");
  sys::CopyFile(folder + "serialdata.txt",
                folder + StrPrintf("Log/%d%.2d%.2d_%.2d%.2d%.2dSYSSTARTserialdata.txt", t.year, t.month, t.day, t.hour,
                                   t.minute, t.second),
                false);
}

void CSysStart::DeleteTrace() { sys::DeleteFile(AppSettings.ProgramFolder + "serialdata.txt"); }

void CSysStart::End() { PostMessage(kEndScreenMessage); }

void CSysStart::OnTimer(uintptr_t id) {
  if (id == kPollTimer && seq_) seq_->Poll(sys::Clock::TickMs());
  if (id == kReopenTimer) {
    KillTimer(kReopenTimer);
    OpenPort();
    reopening_ = false;
    std::vector<CommandFrame> frames;
    frames.swap(pending_);
    for (const CommandFrame& f : frames) Send(f);
  }
}

bool CSysStart::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_RETURN)) return true;
  if (msg.message == ui::WM_SYSKEYDOWN && msg.wParam == ui::VK_F4) {
    if (seq_) seq_->OnAltF4();
    return true;
  }
  return ui::Dialog::PreTranslateMessage(msg);
}

ui::LResult CSysStart::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == kSerialByteMessage) {
    return seq_ ? seq_->OnSerialByte(static_cast<uint8_t>(w), static_cast<unsigned>(l)) : 0;
  }
  if (msg == kEndScreenMessage) {
    KillTimer(kPollTimer);
    KillTimer(kReopenTimer);
    port_.reset();
    EndDialog(ui::IDCANCEL);
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CSysStart::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect client = GetClientRect();
  if (background_) {
    dc.StretchBlt(0, 0, client.Width(), client.Height(), background_, 0, 0, background_.Width(), background_.Height());
  } else {
    dc.FillSolidRect(client, draw::RGB(205, 213, 215));
  }
  DrawDialogFrame(dc, this, 7);
  return true;
}

int RunStartupScreen() {
  CSysStart screen(nullptr);
  return screen.DoModal();
}

}  // namespace analyzer
