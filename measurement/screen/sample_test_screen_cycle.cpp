// The test screen's side of the count cycle and its handling of the board's other reports.
#include <cstdio>

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/soak_reminder.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "measurement/count_settings.h"
#include "measurement/patient/lis_profile.h"
#include "measurement/patient/profile_flags.h"
#include "measurement/result_globals.h"
#include "measurement/sample_number.h"
#include "measurement/screen/board_reports.h"
#include "measurement/screen/restore_dlg.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/mid_results.h"
#include "measurement/screen/sample_report.h"
#include "measurement/screen/sample_test_screen.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "core/person_row.h"

namespace measurement {

namespace cmd = analyzer::cmd;

void CSampleTest::SendFrame(const analyzer::CommandFrame& frame) {
  if (port_) port_->QueueWrite(frame.data(), frame.size());
  // A reset ends whatever the board was doing: a rinse it was running never reports its end,
  // so the screen stops waiting for it (the count key, Exit and Service work again).
  if (frame[1] == analyzer::FrameClassCommand && frame[2] == cmd::Reset && !noRinseRunning_) {
    noRinseRunning_ = true;
    cycle_.SetRinseRunning(false);
    rinseAwaited_ = false;
  }
  // Every command has its resend check and maybe a count behind it: the cycle's clock runs.
  lastSendMs_ = sys::Clock::TickMs();
  if (!cycleTimerOn_ && IsWindow()) cycleTimerOn_ = SetTimer(kCycleTimer, kCycleTimerMs) != 0;
}

bool CSampleTest::LastWriteFailed() { return port_ && port_->SendError(); }

void CSampleTest::ReopenPort() {
  port_.reset();
  OpenPort();  // a port that does not open leaves the screen without a link; the time-out ends the count
}

bool CSampleTest::ReadCountTimes(uint8_t* wbc, uint8_t* rbc) { return measurement::ReadCountTimes(db_, wbc, rbc); }

void CSampleTest::FillCountInputs(CountInputs& in) {
  for (int i = 0; i < 20; ++i) in.calibration[i] = calibration_[i];
}

void CSampleTest::SendToProfileWindow(uint32_t msg, ui::WParam w, ui::LParam l) {
  // Sent, not posted: the sample-number text lives only for the call.
  if (ui::Window* p = ui::FindWindow("", TestScreenText(ScreenText::ProfileWindowTitle, Language())))
    p->SendMessage(msg, w, l);
}

void CSampleTest::EnableExitService(bool enable) {
  exit_.EnableWindow(enable);
  service_.EnableWindow(enable);
}

void CSampleTest::EnableCountButtons(bool enable) {
  mode_.EnableWindow(enable);
  retest_.EnableWindow(enable);
  print_.EnableWindow(enable);
  diluent_.EnableWindow(enable && bloodMode_ == 2);
  EnableExitService(enable);
}

KeyDecision CSampleTest::OnKeyPress() {
  const int lang = Language();
  // After a fault stop the board is reset and the screen left: a key starts nothing.
  if (exitPending_) return KeyDecision::Ignore;
  if (ui::FindWindow("", TestScreenText(ScreenText::RinseWindowTitle, lang)) != nullptr) return KeyDecision::Ignore;
  RestartIdleClock();
  if (standBy_) {
    // The key ends the stand-by: our own stand-by screen, or the wake-up pop-up.
    if (standByScreen_ != nullptr)
      standByScreen_->PostMessage(ui::WM_CLOSE);
    else if (restorePopup_ != nullptr)
      restorePopup_->PostMessage(ui::WM_CLOSE);
    return KeyDecision::Ignore;
  }
  if (bloodMode_ == 2 && diluentRequested_) {
    if (!alarmShown_) SetText(IDC_MESSAGE, "");
    return KeyDecision::DispenseDiluent;
  }
  const bool advances = hasResult_ > 0 && !sampleNumberEntered_;
  const uint32_t base = static_cast<uint32_t>(advances ? NextSampleNo : NextSampleNo - 1);
  const SampleNumberChoice choice = ChooseSampleNumber(
      base, retestRequested_, sampleNumberEntered_,
      [this](uint32_t n) { return SampleHasResult(db_, n, TestDateText); },
      [this](uint32_t n) {
        switch (Box(ExistingSampleQuestion(n), ui::MB_YESNOCANCEL | ui::MB_ICONINFORMATION)) {
          case ui::IDYES: return ExistingSampleAnswer::Skip;
          case ui::IDNO: return ExistingSampleAnswer::Overwrite;
          default: return ExistingSampleAnswer::Cancel;
        }
      });
  if (!choice.start) {
    if (choice.noNumberLeft) Box(TestScreenText(ScreenText::NoSampleNoLeft, lang), ui::MB_ICONWARNING);
    return KeyDecision::Ignore;
  }
  if (choice.skipped > 0) {
    NextSampleNo = static_cast<int>(advances ? choice.counter : choice.counter + 1);
    SampleNoText = std::to_string(NextSampleNo);
  }
  if (choice.skipped == 0 && bloodMode_ == 2 && isModelChangePrompt_ &&
      Box(TestScreenText(ScreenText::PredilutedQuestion, lang), ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return KeyDecision::Ignore;

  ClearResultDisplay();
  if (longName_) nameTip_.HideTip(IDC_NAME);
  RefreshSampleIdentity();
  // The count's note is on the disk long before the board sends the result.
  countNote_.Begin(SampleNoText, sys::Clock::Now());
  // Ask the LIS for the patient data of the sample being counted (bidirectional transfer).
  SendCountStartOrderQuery(SampleNoText);
  {
    const std::string number = SampleNoText;
    SendToProfileWindow(WM_PROFILE_COUNT_STARTED, static_cast<ui::WParam>(bloodMode_),
                        reinterpret_cast<ui::LParam>(number.c_str()));
  }
  for (CXPButton* b : {&mode_, &retest_, &diluent_, &print_, &exit_, &service_}) b->EnableWindow(false);
  HoldNotice(storeNotice_);
  ShowWarning("");
  libraryTold_ = false;
  deferredRinse_ = 0;
  rinseCheck_ = false;
  return KeyDecision::Start;
}

void CSampleTest::ShowStatus(CycleStatus status) {
  ScreenText t = ScreenText::Ready;
  switch (status) {
    case CycleStatus::Ready: t = ScreenText::Ready; break;
    case CycleStatus::Testing: t = ScreenText::Testing; break;
    case CycleStatus::FinishTesting: t = ScreenText::FinishTesting; break;
    case CycleStatus::AddingDiluent: t = ScreenText::AddingDiluent; break;
  }
  SetText(IDC_STATUS, TestScreenText(t, Language()));
}

void CSampleTest::ShowChecksumError(const std::string& message) { Box(message, ui::MB_ICONWARNING); }

void CSampleTest::OnHgbReadings(uint16_t blank, uint16_t sample) {
  if (!ShowMidResults) return;
  SetText(IDC_HGB_BLANK, std::to_string(blank));
  SetText(IDC_HGB_SAMPLE, std::to_string(sample));
}

void CSampleTest::ProcessRunResult(bool) {
  // The patient screen has just saved another sample during this count: its row settles first.
  if (ProfileSaveHold) {
    sys::Clock::SleepMs(2000);
    ProfileSaveHold = 0;
  }
  // The patient screen refuses to save from here until the end-of-test reply, or 5 s at most.
  ResultPending = 1;
  SetTimer(kTestDataBusyTimer, 5000);
  RunInputs in;
  cycle_.FillRunInputs(in);
  in.sampleNo = SampleNoText;
  in.bloodModeText = bloodModeText_;
  for (int i = 0; i < 20; ++i) in.units[i] = UnitTexts[i];
  in.language = Language();
  in.folder = DataFolder();
  auto r = std::make_unique<RunResult>(PrepareRunResult(db_, in, cycle_.histograms()));
  // The result's own date and time: a count after midnight is keyed, checked and counted by the
  // new day.
  TestDateText = r->testDate;
  TestTimeText = r->testTime;
  PublishRunResult(*r, cycle_.histograms());
  normalLimits_ = r->normal;
  panicLimits_ = r->panic;
  ShowResult(*r);
  ++hasResult_;
  // The operator sees the result now, not after the disk has taken it: the frame is painted and
  // presented before the store's flushes. Nothing else runs on this thread until the store
  // below is done, so no button, no next count and no patient screen sees the result unstored.
  UpdateWindow();
  // Raw record (TD.dat, TDI.dat), then the row: what the screen says of the save is set from
  // here on, and only the labels it changes are painted again.
  StoreRunResult(db_, in, cycle_.histograms(), xb_, *r);
  if (r->Stored())
    countNote_.Stored();
  else
    countNote_.NotStored();
  // The notice is in the message line already; the system log keeps why, as soon as the store
  // takes the row again (at the latest with the next result).
  storeNotice_ = r->Stored() ? HeldNotice{} : StoreNotWritableNotice(Language());
  if (!r->Stored())
    unsavedLogs_.push_back(in.sampleNo + ": " + NotSavedText(Language()) + " (" + r->saveError + ")");
  HoldNotice(r->Stored() ? HeldNotice{}
                         : HeldNotice{NotSavedText(Language()), TestScreenText(ScreenText::ResultNotSaved, Language())});
  while (!unsavedLogs_.empty() && WriteSampleTestLog(unsavedLogs_.front()) == 1) unsavedLogs_.erase(unsavedLogs_.begin());
  // Each sample starts from empty patient fields, so one patient's data never lands on another
  // sample; then the patient columns the count read once (or its own insert left).
  for (std::string* f : {&CurrentSample.Name, &CurrentSample.Sex, &CurrentSample.Age, &CurrentSample.MedicalNo,
                         &CurrentSample.BedNo, &CurrentSample.Dept, &CurrentSample.Sender, &CurrentSample.Scrutator,
                         &CurrentSample.Checker})
    f->clear();
  CurrentSample.SampleNo = SampleNoText;
  CurrentSample.BloodType = bloodModeText_;
  CurrentSample.ReferValue = r->referValue;
  CurrentSample.TestDate = r->testDate;
  CurrentSample.TestTime = r->testTime;
  // The patient columns the count read once (a column that was Null leaves the field as it was).
  if (const PersonPatient& p = r->person; p.found) {
    auto take = [](const std::optional<std::string>& column, std::string& field) {
      if (column) field = *column;
    };
    take(p.Name, CurrentSample.Name);
    take(p.Sex, CurrentSample.Sex);
    if (p.Age && *p.Age != 0) CurrentSample.Age = AgeWithUnit(*p.Age, p.AgeUnit.value_or(""), Language());
    take(p.MedicalNo, CurrentSample.MedicalNo);
    take(p.BedNo, CurrentSample.BedNo);
    take(p.Dept, CurrentSample.Dept);
    take(p.Sender, CurrentSample.Sender);
    take(p.Scrutator, CurrentSample.Scrutator);
    take(p.Checker, CurrentSample.Checker);
  }
  StartAdjustment(*r, in.count);
  firstResultPending_ = false;
  retestRequested_ = false;
  ++analyzer::SampleCounters.SampleCountToday;
  ++analyzer::SampleCounters.SampleCountAll;
  // The report's snapshot is taken now: the next count may change every record it comes from.
  const bool stars = r->stars[0] || r->stars[1] || r->stars[2];
  const ReportSnapshot sample =
      SampleReportSnapshot(CurrentSample, CurrentResult, ParameterMarks, MarkTexts, UnitTexts, normalLimits_,
                           SampleHistograms, Warning, MarkerPositions, bloodMode_, stars);
  HandOffResult(*r, printInstant_ != 0, isTransInstant_ != 0, Language(), sample);
  // After each result the volumes are checked again; counting is not refused.
  if (settingsRead_ && analyzer::Reagents().volumes().ReagentAlarmType == 0) {
    const analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
    const std::string text =
        analyzer::ReagentShortageText(analyzer::CheckReagents(analyzer::ReagentCheck::TestScreen, v), Language());
    if (!text.empty()) {
      WriteLog(text);
      ShowWarning(text, true);
    }
  }
  lastResult_ = std::move(r);
}

DbErrorDiversion CSampleTest::CountStoreErrors() {
  return DbErrorDiversion([](const std::string& text) { WriteLog(text); });
}

void CSampleTest::BookReagents(int op) {
  analyzer::Reagents().Book(static_cast<analyzer::ReagentOperation>(op), Language());
}

void CSampleTest::OnEndOfTest(const EndOfTestReport& report) {
  const int lang = Language();
  countNote_.EndedWithoutResult();  // a test that ended before all its histograms came
  SendToProfileWindow(WM_PROFILE_IDLE, cycle_.ready() ? 1 : 0, reinterpret_cast<ui::LParam>(this));
  BookReagents(static_cast<int>(bloodMode_ == 2 ? analyzer::ReagentOperation::SamplePrediluted
                                                : analyzer::ReagentOperation::SampleWholeOrPeripheral));
  if (analyzer::Reagents().volumes().ReagentAlarmType == 1)
    cycle_.SendCommand(analyzer::FrameClassCommand, cmd::ReagentQuery);
  // Without the store's block and leak times, or without the board's readings, the aperture is not judged.
  switch (settingsRead_ && report.readings ? JudgeAperture(report.apertureSeconds, blockTime_, leakTime_)
                                           : ApertureWarning::None) {
    case ApertureWarning::Clogged: ShowWarning(TestScreenText(ScreenText::ApertureClogged, lang)); break;
    case ApertureWarning::AirBubble: ShowWarning(TestScreenText(ScreenText::AirBubble, lang)); break;
    case ApertureWarning::None: break;
  }
  ++analyzer::Soak.TestsSinceAutoClean;
  const std::string soakSql = analyzer::CountSoakSample();
  if (!soakSql.empty()) db_.Execute(soakSql);
  if (reportPrinting_ && !rinseCheck_) {
    // The count's report is still printing: its end decides on the soak reminder and the rinse.
    rinseCheck_ = true;
  } else {
    analyzer::CheckSoakAfterSample();
    AutoRinse();
  }
  // While a report prints its end gives the buttons back.
  if (!reportPrinting_) EnableCountButtons(true);
  Invalidate(true);
}

int CSampleTest::WriteSampleTestLog(const std::string& result) {
  return WriteSysLog(db_, TestScreenText(ScreenText::SampleTestEvent, Language()), result);
}

void CSampleTest::OnTimeout() {
  const int lang = Language();
  countNote_.EndedWithoutResult();
  SendToProfileWindow(WM_PROFILE_IDLE, 1, reinterpret_cast<ui::LParam>(this));
  ShowWarning(TestScreenText(ScreenText::TestTimeOut, lang));
  SetText(IDC_STATUS, TestScreenText(ScreenText::Ready, lang));
  if (lang == 0) WriteLog("测试超时,检查压力值和查看计数池");
  WriteSampleTestLog(TestScreenText(ScreenText::TestTimeOut, lang));
  BookReagents(static_cast<int>(bloodMode_ == 2 ? analyzer::ReagentOperation::SamplePrediluted
                                                : analyzer::ReagentOperation::SampleWholeOrPeripheral));
}

void CSampleTest::OnNoAnswer(bool waiting) {
  // Taken back only while it is still the warning shown (a warning since then stays, and so does
  // a held not-saved notice beside it).
  const std::string line = NoAnswerLine(waiting, warning_, Language());
  if (line != warning_) ShowWarning(line);
}

void CSampleTest::OnDiluentDispensed() {
  BookReagents(static_cast<int>(analyzer::ReagentOperation::DispenseDiluent));
}

void CSampleTest::ShowReagentShortage() {
  const analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
  analyzer::ReagentShortage shortage;
  shortage.diluent = !v.DiluentAvailable;
  shortage.lyse = !v.LyseAvailable;
  shortage.cleanser = !v.CleanserAvailable;
  const std::string text = analyzer::ReagentShortageText(shortage, Language());
  if (!text.empty()) {
    WriteLog(text);
    ShowWarning(text, true);
  } else if (reagentAlarmShown_) {
    ShowWarning("");
  }
}

int CSampleTest::AutoRinse() {
  AutoRinseRule rule;  // over the declines every counting screen shares
  deferredRinse_ = 0;
  rinseCheck_ = false;
  const AutoRinseRule::Step step = rule.Next(autoCleanTime_, static_cast<int>(analyzer::Soak.TestsSinceAutoClean));
  if (step == AutoRinseRule::Step::None) return 0;
  noRinseRunning_ = false;
  cycle_.SetRinseRunning(true);
  if (step == AutoRinseRule::Step::Ask &&
      Box(TestScreenText(ScreenText::RinseQuestion, Language()), ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK) {
    rule.Declined();
    noRinseRunning_ = true;
    cycle_.SetRinseRunning(false);
    return 1;
  }
  EnableExitService(false);
  rule.Started();
  analyzer::Soak.TestsSinceAutoClean = 0;
  rinseAwaited_ = true;
  SetTimer(kRinseTimer, kRinseDeadlineMs);
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::CleanChambers);
  return 1;
}

void CSampleTest::RecordFaultAndReset(const std::string& faultText) {
  exitPending_ = true;
  if (standBy_) {
    if (restorePopup_ != nullptr) restorePopup_->EndDialog(1);
    restorePopup_ = nullptr;
    standBy_ = false;
  }
  WriteSampleTestLog(faultText);
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::Reset);
}

void CSampleTest::GiveUpRinse() {
  KillTimer(kRinseTimer);
  if (!rinseAwaited_) return;
  // The board never said the rinse ended (a fault stopped it): the screen counts and can be
  // left again, and says why the rinse is over.
  rinseAwaited_ = false;
  noRinseRunning_ = true;
  EnableExitService(true);
  ShowWarning(GiveUpAutoRinse(cycle_, Language()));
}

void CSampleTest::OnResultPending(bool pending) { ResultPending = pending ? 1 : 0; }

// Reports and acknowledgements outside the count carry a check byte that is not looked at.
void CSampleTest::OnBoardReport(const analyzer::CollectedFrame& f) {
  if (f.kind != analyzer::FrameKind::Command) return;
  switch (f.cls()) {
    case analyzer::FrameClassStatus:
      if (f.command() == analyzer::status::Temperature) OnTemperature(f);
      else if (f.command() >= analyzer::status::LyseSensor && f.command() <= analyzer::status::DiluentSensor) OnSensor(f);
      break;
    case analyzer::FrameClassFault: OnFault(f); break;
    case analyzer::FrameClassCommand: OnReply(f); break;
    default: break;
  }
}

void CSampleTest::OnTemperature(const analyzer::CollectedFrame& f) {
  // The count cycle has made the screen ready (unless a count runs).
  temperature_ = analyzer::TemperatureFromRaw(f.bytes[3] * 256u + f.bytes[4]);
  const std::string warning = TemperatureWarning(temperature_, Language());
  if (!warning.empty()) ShowWarning(warning);
  if (analyzer::Reagents().volumes().ReagentAlarmType == 1)
    cycle_.SendCommand(analyzer::FrameClassCommand, cmd::ReagentQuery);
}

void CSampleTest::OnSensor(const analyzer::CollectedFrame& f) {
  if (f.status() > 1) return;
  analyzer::Reagents().ApplySensorReport(f.command(), f.status());
  ShowReagentShortage();
}

void CSampleTest::OnFault(const analyzer::CollectedFrame& f) {
  const FaultAction a = DecideFault(f.command(), f.status(), Language(), sys::Clock::Now());
  if (!a.warning.empty()) {
    if (a.logLines) WriteLog(a.warning);
    ShowWarning(a.warning);
  }
  if (a.alarm) {
    alarmShown_ = true;
    reagentAlarmShown_ = false;
  }
  // A fault that stops the screen holds the count key from now on, its box open included.
  if (!a.resetWithLog.empty()) exitPending_ = true;
  if (!a.box.empty()) {
    if (a.logLines) WriteLog(a.box);
    Box(a.box, ui::MB_ICONEXCLAMATION);
  }
  if (a.enableButtons) {
    EnableExitService(true);
    KillTimer(kButtonsEnableTimer);
  }
  if (!a.resetWithLog.empty()) RecordFaultAndReset(a.resetWithLog);
  if (!a.sysLogSql.empty()) db_.Execute(a.sysLogSql);
  if (a.faultTimeout) cycle_.StartFaultTimeout(500);
}

void CSampleTest::OnReply(const analyzer::CollectedFrame& f) {
  const bool sensorMode = analyzer::Reagents().volumes().ReagentAlarmType == 1;
  switch (DecideReply(f.command(), f.status(), exitPending_, sensorMode)) {
    case ReplyAction::SampleModeEntered:
      EnableExitService(true);
      KillTimer(kButtonsEnableTimer);
      break;
    case ReplyAction::RinseDone:
      // Only the end of the rinse sent: a repeated reply books and tells nothing again.
      if (!rinseAwaited_) break;
      rinseAwaited_ = false;
      KillTimer(kRinseTimer);
      cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
      BookReagents(static_cast<int>(analyzer::ReagentOperation::CleanChambersTestScreen));
      noRinseRunning_ = true;
      cycle_.SetRinseRunning(false);
      EnableExitService(true);
      Box(TestScreenText(ScreenText::RinseFinished, Language()), ui::MB_ICONINFORMATION);
      break;
    case ReplyAction::Woken:
      if (!wakeAwaited_) break;
      wakeAwaited_ = false;
      if (restorePopup_ != nullptr) restorePopup_->EndDialog(1);
      restorePopup_ = nullptr;
      EnableExitService(true);
      BookReagents(static_cast<int>(analyzer::ReagentOperation::WakeAfterStandby));
      cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
      standBy_ = false;
      break;
    // After a reset Exit and Service work again; the other buttons wait for the next finished count.
    case ReplyAction::ResetExit:
      EnableExitService(true);
      OnExit();
      break;
    case ReplyAction::ResetQueryReagents:
      EnableExitService(true);
      cycle_.SendCommand(analyzer::FrameClassCommand, cmd::ReagentQuery);
      break;
    case ReplyAction::ResetDone: EnableExitService(true); break;
    case ReplyAction::None: break;
  }
}

}  // namespace measurement
