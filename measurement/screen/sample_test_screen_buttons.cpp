// The test screen's buttons, timers and stand-by.
#include <memory>

#include "analyzer/sequences/shutdown_sequence.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include "measurement/screen/dormancy_dlg.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "measurement/count_settings.h"
#include "measurement/patient/profile_flags.h"
#include "measurement/result_save.h"
#include "measurement/screen/restore_dlg.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_screen.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"

namespace measurement {

namespace cmd = analyzer::cmd;

bool CSampleTest::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  switch (id) {
    case IDC_MODE: OnModeButton(); return true;
    case IDC_RETEST: OnReTest(); return true;
    case IDC_DILUENT: OnDiluent(); return true;
    case IDC_PROFILE: OnProfile(); return true;
    case IDC_PRINT: OnPrint(); return true;
    case IDC_SERVICE: OnService(); return true;
    case IDC_EXIT: OnExit(); return true;
    case IDC_LEFT_ARROW: OnMarker(0, false); return true;
    case IDC_RIGHT_ARROW: OnMarker(1, false); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

void CSampleTest::OnModeButton() {
  const int lang = Language();
  bloodMode_ = (bloodMode_ + 1) % 3;
  bloodModeText_ = BloodModeName(bloodMode_, lang);
  if (!alarmShown_) SetText(IDC_MESSAGE, "");
  diluent_.EnableWindow(bloodMode_ == 2);
  if (bloodMode_ == 0 || bloodMode_ == 2)
    for (int id : {IDC_STATUS, IDC_DATE_TIME, IDC_MESSAGE, IDC_BLOOD_MODE})
      if (ui::Window* w = GetDlgItem(id)) w->Invalidate(true);
  previousBloodMode_ = bloodMode_;
  SetText(IDC_BLOOD_MODE, bloodModeText_);
  // Factors start from 1.0 for every mode: a mode without its own row never counts with the
  // factors of the mode before it.
  LoadCalibrationFactors(db_, bloodMode_, calibration_);
}

void CSampleTest::OnReTest() {
  const int lang = Language();
  if (hasResult_ == 0) {
    Box(TestScreenText(ScreenText::NoSample, lang), ui::MB_ICONWARNING);
    return;
  }
  if (!cycle_.ready()) {
    Box(TestScreenText(ScreenText::TestUnfinished, lang), ui::MB_ICONWARNING);
    return;
  }
  const int shown = hasResult_;
  if (Box(TestScreenText(ScreenText::RetestQuestion, lang), ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK) return;
  // A count came while the question was open: the answer was about a sample no longer shown,
  // so the question is asked again about the one shown now (or refused while it counts).
  if (hasResult_ != shown || !cycle_.ready()) {
    OnReTest();
    return;
  }
  retestRequested_ = true;
  ClearResultDisplay();
  GotoDlgCtrl(&profile_);
}

void CSampleTest::OnDiluent() {
  if (bloodMode_ != 2) return;
  if (!IsScreenAvailable("CSpitDiluent")) {
    Box(TestScreenText(ScreenText::NotAvailable, Language()), ui::MB_ICONINFORMATION);
    return;
  }
  diluentRequested_ = true;
  // However the instruction screen is left (its button, Enter or Escape), dispensing ends.
  RunScreen("CSpitDiluent");
  diluentRequested_ = false;
}

void CSampleTest::OnService() {
  const int lang = Language();
  if (!cycle_.ready()) {
    Box(TestScreenText(ScreenText::TestInProgress, lang), ui::MB_ICONWARNING);
    return;
  }
  if (!noRinseRunning_) {
    Box(TestScreenText(ScreenText::RinseInProgress, lang), ui::MB_ICONWARNING);
    return;
  }
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::LeaveSampleMode);
  serviceOpen_ = true;
  port_.reset();
  if (serviceRunner_) serviceRunner_();
  else RunScreen("CServiceSel");
  if (Language() != lang) {
    headerFrame_.Invalidate(true);
    SetLanguageTexts();
    bloodModeText_ = BloodModeName(bloodMode_, Language());
    SetText(IDC_BLOOD_MODE, bloodModeText_);
  }
  if (!OpenPort()) {
    ReportPortFailure();
    return;
  }
  serviceOpen_ = false;
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
}

void CSampleTest::OnExit() {
  const int lang = Language();
  if (!cycle_.ready()) {
    Box(TestScreenText(ScreenText::TestInProgress, lang), ui::MB_ICONWARNING);
    return;
  }
  if (!noRinseRunning_) {
    Box(TestScreenText(ScreenText::RinseInProgress, lang), ui::MB_ICONWARNING);
    return;
  }
  if (exiting_) return;
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::LeaveSampleMode);
  db_.Execute(analyzer::SampleCountersUpdateSql(TestDateText));
  db_.Disconnect();
  // The screen keeps serving its messages while the board takes the command; the port is
  // released when the pause ends.
  exiting_ = true;
  SetTimer(kExitTimer, 1500);
}

void CSampleTest::OnTimer(uintptr_t id) {
  switch (id) {
    case kClockTimer: {
      const sys::LocalTime t = sys::Clock::Now();
      SetText(IDC_DATE_TIME, StrPrintf("%d-%d-%d %.2d:%.2d", t.year, t.month, t.day, t.hour, t.minute));
      break;
    }
    case kIdleTimer:
      ++idleTimerExpiries_;
      OnIdleTick();
      break;
    case kWakeTimer:
      KillTimer(kWakeTimer);
      EndStandBy();
      break;
    case kTestDataBusyTimer:
      KillTimer(kTestDataBusyTimer);
      ResultPending = 0;
      break;
    case kButtonsEnableTimer:
      KillTimer(kButtonsEnableTimer);
      EnableExitService(true);
      break;
    case kCycleTimer: {
      const DbErrorDiversion quiet = CountStoreErrors();
      cycle_.Tick();
    }
      // Idle and ready with nothing sent lately: no deadline is left until the next command.
      if (cycle_.state() == CycleState::Idle && cycle_.ready() && !cycle_.NeedsTicks() &&
          sys::Clock::TickMs() - lastSendMs_ >= 2 * CountCycle::kResendCheckMs) {
        KillTimer(kCycleTimer);
        cycleTimerOn_ = false;
      }
      break;
    case kRinseTimer: GiveUpRinse(); break;
    case kExitTimer:
      KillTimer(kExitTimer);
      KillTimer(kCycleTimer);
      cycleTimerOn_ = false;
      port_.reset();
      CloseLisSerialPort();
      EndDialog(ui::IDCANCEL);
      break;
    default: break;
  }
}

void CSampleTest::EndStandBy() {
  if (!standBy_) return;
  if (restorePopup_ != nullptr) restorePopup_->EndDialog(1);
  restorePopup_ = nullptr;
  EnableExitService(true);
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
  standBy_ = false;
}

void CSampleTest::OnIdleTick() {
  // While a question of the patient screen is open the analyzer is not sent to stand-by.
  // Nor while the screen is being left: the port goes away before a wake-up could be read.
  if (dormancyTime_ == 0 || serviceOpen_ || exiting_ || measurement::DiscardBoardInput) return;
  const uint32_t limit = IdleLimitMs();
  const bool idleOk = cycle_.ready() && noRinseRunning_;
  if (idleMs() < limit) {
    if (idleOk && !standBy_) {
      idleNow_ += 1000;
      WaitForStandByTick();
    }
    return;
  }
  if (!idleOk || standBy_) return;
  RestartIdleClock();
  if (cycle_.sampleMode()) cycle_.SendCommand(analyzer::FrameClassCommand, cmd::LeaveSampleMode);
  const std::string mainTitle = AppSettings.ProductName + TestScreenText(ScreenText::MainWindowSuffix, Language());
  if (ui::Window* main = ui::FindWindow("", mainTitle)) main->ShowWindow(ui::SW_MINIMIZE);
  standBy_ = true;
  if (standByRunner_) {
    standByRunner_();
  } else {
    CDormancyDlg screen(nullptr);
    standByScreen_ = &screen;
    screen.DoModal();
    standByScreen_ = nullptr;
  }
  ui::ShowCursor(true);
  if (IsEnded() || !standBy_) return;
  EnableExitService(false);
  wakeAwaited_ = true;
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::Wake);
  SetTimer(kWakeTimer, 40000);
  CRestoreDlg popup(nullptr);
  restorePopup_ = &popup;
  popup.DoModal();
  if (restorePopup_ == &popup) restorePopup_ = nullptr;
}

}  // namespace measurement
