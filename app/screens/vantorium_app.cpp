#include "app/screens/vantorium_app.h"

#include "analyzer/board_port.h"
#include "analyzer/raw_rewrite_queue.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "analyzer/sequences/shutdown_sequence.h"
#include "analyzer/serial_port.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "controls/screen_common.h"
#include "core/screen_registry.h"
#include "app/screens/backup_files.h"
#include "app/screens/vantorium_dlg.h"
#include "core/write_log.h"
#include "controls/caption_fit.h"
#include "controls/message_box_dlg.h"
#include "lis/lis_link.h"
#include "measurement/count_note.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "printing/thermal_printer.h"

CVantoriumApp::CVantoriumApp() = default;
CVantoriumApp::~CVantoriumApp() {
  if (helpKey_ >= 0) RemoveHelpKey(helpKey_);
}

bool InstallCrashDumpFilter() { return InstallCrashDumps(); }

bool CVantoriumApp::InitInstance() {
  steps.clear();
  CheckScreenSize();
  steps.push_back("screen");
  if (!AcquireSingleInstance(instance_, lockFolder)) {
    steps.push_back("second-instance");
    return false;
  }
  steps.push_back("single-instance");
  InstallProgramMessageBox();
  InstallLabelTextFitting();
  InstallDbErrorReporting();
  helpKey_ = InstallHelpKey();
  if (helpKey_ < 0) DoMessageBox("RegisterHotKey error!", ui::MB_ICONEXCLAMATION, 0);
  steps.push_back("help-key");

  // A restore whose switch was cut off is finished before the settings or the store are read,
  // so they never start on new raw files with the old store.
  std::string restoreError;
  if (!FinishInterruptedRestore(sys::ProgramDir(), &restoreError))
    WriteLog("Finishing an interrupted restore failed: " + restoreError, "");
  steps.push_back("restore");

  CADOConn conn;
  RunCoreStartup(conn);
  steps.push_back("core");

  // A delete or purge of raw records cut off last time is finished (or, before its commit,
  // undone) before the LIS link, the start-up purge or a count can use the files.
  std::string rawError;
  if (!analyzer::RecoverRawRewrite(AppSettings.ProgramFolder, &rawError))
    WriteLog("Finishing the rewrite of the raw-data files failed: " + rawError, "");
  steps.push_back("raw-files");

  // The LIS link's three threads run from here until the program ends.
  lis::StartLisThreads();
  steps.push_back("lis-link");

  RegisterCoreScreens();
  RunScreen("CSysStart");
  steps.push_back("start-up-screen");

  // A result shown and then lost when the program last ended (killed, or the power failed
  // before its row was stored) is named in the system log now, in the language the start-up
  // settled, and on the test screen when it opens.
  if (conn.IsConnected())
    measurement::LostCountNotice =
        measurement::NameLostCount(conn, AppSettings.ProgramFolder, AppSettings.LanguageIndex);

  if (!PrinterOpen(printerPort)) {
    if (const char* text = PrinterPortFailedText(AppSettings.LanguageIndex))
      DoMessageBox(text, ui::MB_ICONEXCLAMATION, 0);
    steps.push_back("printer-failed");
  } else {
    steps.push_back("printer");
  }

  boardPort_ = std::make_unique<analyzer::CSerialPort>();
  if (!boardPort_->Open(analyzer::ByteSink(), analyzer::kBoardPortNumber, analyzer::kBoardBaud,
                        analyzer::kBoardParity, analyzer::kBoardDataBits, analyzer::kBoardStopBits,
                        analyzer::kBoardEventMask, analyzer::kBoardWriteBufferSize)) {
    const int lang = AppSettings.LanguageIndex;
    if (lang == 0) {
      WriteLog(kBoardPortLogText, "");
      DoMessageBox(BoardPortFailedText(0), ui::MB_ICONEXCLAMATION, 0);
    } else if (const char* text = BoardPortFailedText(lang)) {
      DoMessageBox(text, ui::MB_OK, 0);
    }
    steps.push_back("board-port-failed");
  } else {
    steps.push_back("board-port");
  }

  conn.Disconnect();
  if (boardCheckWaitMs > 0) sys::Clock::SleepMs(boardCheckWaitMs);
  boardPort_.reset();
  steps.push_back("board-port-released");

  steps.push_back("main-menu");
  CVantoriumDlg menu(nullptr);
  menu.DoModal();
  steps.push_back("main-menu-ended");
  return false;
}

int CVantoriumApp::ExitInstance() {
  if (helpKey_ >= 0) {
    RemoveHelpKey(helpKey_);
    helpKey_ = -1;
  }
  PrinterClose();
  lis::StopLisThreads();
  // A delete's rewrite of the raw files still queued or running ends before the program does.
  analyzer::FinishRawRewrites();
  if (endedBySignal_) {
    CADOConn conn;
    analyzer::SaveOnTermination(conn);
    AppSettings.PowerOffFlag = 0;
    return 0;
  }
  PowerOffIfRequested();
  return 0;
}

void CVantoriumApp::EndOnTimedRun() {
  if (!endedBySignal_) WriteLog("Quorvex: ended after the seconds asked for", "");
  endedBySignal_ = true;
  ui::PostQuitMessage(0);
}

void CVantoriumApp::EndOnSignal() {
  if (!endedBySignal_) WriteLog("Quorvex: ended by a termination signal", "");
  endedBySignal_ = true;
  ui::PostQuitMessage(0);
}

void CVantoriumApp::EndOnDisplayLost() {
  if (!endedBySignal_) WriteLog("Quorvex: ended because its display went away", "");
  endedBySignal_ = true;
  ui::PostQuitMessage(0);
}

bool CVantoriumApp::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_HOTKEY && msg.wParam == 1) OpenHelp();
  return ui::PreTranslate(msg);
}

int CVantoriumApp::DoMessageBox(const std::string& prompt, unsigned type, unsigned helpId) {
  CMessageBox box(prompt, type, helpId, nullptr);
  return box.DoModal();
}

void CVantoriumApp::CleanUpStartupFiles() { ::CleanUpStartupFiles(); }
