#include "analyzer/screens/sys_start.h"

#include "analyzer/screens/screen_common.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/results_purge.h"
#include "analyzer/serial_port.h"
#include "core/app_settings.h"
#include "core/db_errors.h"
#include "core/dialog_layout.h"
#include "core/value_format.h"
#include "core/write_log.h"
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

}  // namespace

void CSysStart::SetSystemLanguageChinese(bool chinese) { g_systemChinese = chinese; }

CSysStart::CSysStart(ui::Window* parent) : ProgressScreen(parent) {
  BlankHistograms.Clear();
  RunHeaderValue = 0xFFFF;
}

CSysStart::~CSysStart() {
  // The raw files are whole again before the next screen may read or write them.
  FinishRawRewrites();
  conn_.Disconnect();
}

void CSysStart::OpenPort() { OpenOwnPort({.withNumber = true, .warnInChinese = false, .logInChinese = true}); }

bool CSysStart::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  OpenPort();
  SetProgressRange(20);
  SetProgress(2);
  PrepareStartupStore(conn_, values_);
  LoadBackground(values_.background);
  seq_ = std::make_unique<StartupSequence>(*this, values_, &conn_);
  int32_t lzlon = 1, lzlval = 0;
  ReadLzlonSettings(AppSettings.ProgramFolder + "setting.ini", &lzlon, &lzlval);
  seq_->SetLzlon(lzlon, lzlval);
  seq_->SetSystemLanguageChinese(g_systemChinese);
  Drive(seq_.get());
  seq_->Begin();
  PurgeResults(conn_, values_.personCount, AppSettings.ProgramFolder, true);
  ScaleDialogLayout(this);
  return true;
}

void CSysStart::Send(const CommandFrame& frame) {
  if (reopening_) {
    pending_.push_back(frame);
    return;
  }
  BoardScreen::Send(frame);
}

bool CSysStart::AskOkCancel(const std::string& text) {
  if (AppSettings.LanguageIndex == 0) WriteLog("请重新插拔或更换光耦、光耦连线或电机！");
  return ShowBox(this, text, BoxIcon::Error, ui::MB_OKCANCEL) == ui::IDOK;
}

void CSysStart::ShutdownPc() { sys::PowerOffPc(); }

void CSysStart::ReopenPort() {
  // The pause runs as a timer, so the screen keeps serving its messages meanwhile.
  ClosePort();
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

void CSysStart::End() { PostEnd(ui::IDCANCEL); }

void CSysStart::OnTimer(uintptr_t id) {
  ProgressScreen::OnTimer(id);
  if (id == kReopenTimer) {
    KillTimer(kReopenTimer);
    OpenPort();
    reopening_ = false;
    std::vector<CommandFrame> frames;
    frames.swap(pending_);
    for (const CommandFrame& f : frames) Send(f);
  }
}

void CSysStart::OnAltF4() {
  if (seq_) seq_->OnAltF4();
}

void CSysStart::KillScreenTimers() { KillTimer(kReopenTimer); }

ui::LResult CSysStart::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  const DbErrorDiversion quiet([this](const std::string& text) {
    WriteLog("Start-up: " + text);
    if (IsWindow()) ShowStatus(text);
  });
  return ProgressScreen::WindowProc(msg, w, l);
}

int RunStartupScreen() {
  CSysStart screen(nullptr);
  return screen.DoModal();
}

}  // namespace analyzer
