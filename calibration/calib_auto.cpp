#include "calibration/calib_auto.h"
#include "core/sys_setting.h"

#include <cstdlib>

#include "analyzer/board_port.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/soak_reminder.h"
#include "analyzer/serial_window_sink.h"
#include "calibration/calib_auto_set.h"
#include "calibration/calibration_coef.h"
#include "calibration/calibration_texts.h"
#include "calibration/calibrator_batch.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/db_errors.h"
#include "calibration/auto_save.h"
#include "measurement/count_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "measurement/result_intake.h"
#include "measurement/result_save.h"
#include "measurement/run_result.h"
#include "measurement/screen/board_reports.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace calibration {

namespace cmd = analyzer::cmd;
using measurement::CycleState;
using measurement::KeyDecision;

namespace {

constexpr uintptr_t kCycleTimer = 1;
constexpr uintptr_t kExitTimer = 3;
// The board acknowledges a dispense and a rinse when they are done; one that never comes must
// not keep the screen busy for good. The rinse's longest time is every counting screen's
// (measurement::kRinseDeadlineMs).
constexpr uintptr_t kAckTimer = 4;
constexpr uintptr_t kRinseDelayTimer = 5;
constexpr uintptr_t kRinseDeadlineTimer = 6;
constexpr int kDispenseAckMs = 30000;
constexpr int kCycleTimerMs = 100;
// The board confirmed leaving test mode. Posted, so the port is closed from the message loop
// and never from inside the reader's own delivery of a byte.
constexpr uint32_t kLeaveConfirmed = ui::WM_USER + 301;
constexpr int kRunRowsMax = 22;  // two heading rows and 20 runs
const draw::Color kHeadBack = draw::RGB(55, 78, 96), kHeadText = draw::RGB(245, 245, 245);
const draw::Color kOdd = draw::RGB(205, 213, 215), kEven = draw::RGB(190, 198, 201);
const draw::Color kCellText = draw::RGB(55, 78, 96);

ui::DialogTemplate CalibAutoTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_CA_FRAME, "", 6, 4, 310, 17, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_CA_LOT_LABEL, "Lot:", 8, 8, 32, 8, V);
  t.Add("Static", IDC_CA_LOT, "", 44, 8, 35, 8, V);
  t.Add("Static", IDC_CA_EXP_LABEL, "Validity:", 84, 8, 55, 10, V);
  t.Add("Static", IDC_CA_EXP, "", 127, 8, 43, 8, V);
  t.Add("Static", IDC_CA_TYPE_LABEL, "Type:", 173, 8, 58, 8, V);
  t.Add("Static", IDC_CA_TYPE, "", 219, 8, 95, 8, V);
  t.Add("Static", IDC_CA_RUN_AREA, "", 5, 21, 310, 109, 0);
  t.Add("Static", IDC_CA_RESULT_AREA, "", 5, 132, 310, 71, 0);
  t.Add("Button", IDC_CA_SETTING, "Setting(&T)", 4, 204, 63, 32, V | TS);
  t.Add("Button", IDC_CA_DELETE, "Delete(&D)", 66, 204, 63, 32, V | TS);
  t.Add("Button", IDC_CA_SAVE, "Save(&S)", 128, 204, 63, 32, V | TS);
  t.Add("Button", IDC_CA_DILUENT, "Diluent(&I)", 190, 204, 63, 32, V | TS);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 252, 204, 63, 32, V | TS);
  t.Add("Button", IDC_CA_HELP, "Help(&H)", 216, 177, 53, 28, TS);
  return t;
}

float TextValue(const std::string& s) { return static_cast<float>(std::strtod(s.c_str(), nullptr)); }

}  // namespace

CCalibAuto::CCalibAuto(ui::Window* parent) : ui::Dialog(IDD_CALIB_AUTO, parent) {
  if (!ui::Resources::FindDialog(IDD_CALIB_AUTO)) ui::Resources::AddDialog(IDD_CALIB_AUTO, CalibAutoTemplate());
}

CCalibAuto::~CCalibAuto() { measurement::SetZentilMessageHook(nullptr); }

void CCalibAuto::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_CA_FRAME, frame_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_CA_SETTING, setting_);
  ui::ExchangeControl(dx, IDC_CA_DELETE, delete_);
  ui::ExchangeControl(dx, IDC_CA_SAVE, save_);
  ui::ExchangeControl(dx, IDC_CA_DILUENT, diluent_);
}

int CCalibAuto::Language() { return AppSettings.LanguageIndex; }

void CCalibAuto::ShowBox(const std::string& text, unsigned type) { ui::MessageBox(this, text, "", type); }

bool CCalibAuto::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = Language();
  port_ = std::make_unique<analyzer::CSerialPort>();
  if (!analyzer::OpenBoardPort(*port_, analyzer::WindowByteSink(this))) {
    port_.reset();
    ReportBoardPortFailure(TextOf(CaliText::PortFailed, 1));
  }
  ApplyDialogFontToChildren(this, &SharedDialogFont());

  const float s = AppSettings.LayoutScale;
  auto px = [s](int v) { return static_cast<int>(v * s); };
  runGrid_.Create(GetDlgItem(IDC_CA_RUN_AREA)->GetRectInParent(), this, IDC_CA_RUN_GRID);
  resultGrid_.Create(GetDlgItem(IDC_CA_RESULT_AREA)->GetRectInParent(), this, IDC_CA_RESULT_GRID);
  runGrid_.SetRowCount(2);
  runGrid_.SetFixedRowCount(1);
  runGrid_.SetColumnCount(6);
  runGrid_.SetFixedColumnCount(1);
  runGrid_.SetListMode(true);
  runGrid_.SetSingleRowSelection(true);
  runGrid_.SetEditable(false);
  runGrid_.SetHeaderSort(false);
  resultGrid_.SetRowCount(5);
  resultGrid_.SetColumnCount(6);
  resultGrid_.SetFixedColumnCount(1);
  resultGrid_.SetEditable(false);
  for (CGridCtrl* g : {&runGrid_, &resultGrid_}) {
    for (bool fr : {true, false})
      for (bool fc : {true, false}) {
        CGridDefaultCell* c = g->GetDefaultCell(fr, fc);
        if (!c) continue;
        if (fr || fc) {
          c->SetBackClr(kHeadBack);
          c->SetTextClr(kHeadText);
        } else {
          c->SetBackClr(draw::RGB(220, 220, 220));
          c->SetTextClr(draw::RGB(250, 250, 250));
        }
      }
    g->SetGridBkColor(kOdd);
  }
  static const char* const kHeads[5] = {"WBC", "RBC", "HGB", "MCV", "PLT"};
  for (int c = 1; c <= 5; ++c) runGrid_.SetItemText(0, c, kHeads[c - 1]);
  runGrid_.SetItemText(1, 0, TextOf(CaliText::TargetsRow, lang));
  const CaliText rows[5] = {CaliText::OldCoef, CaliText::Mean, CaliText::Sd, CaliText::CvPercent, CaliText::NewCoef};
  for (int r = 0; r < 5; ++r) resultGrid_.SetItemText(r, 0, TextOf(rows[r], lang));
  runGrid_.SetColumnWidth(0, px(130));
  resultGrid_.SetColumnWidth(0, px(128));
  for (int c = 1; c <= 5; ++c) {
    runGrid_.SetColumnWidth(c, px(97));
    resultGrid_.SetColumnWidth(c, px(97));
  }
  runGrid_.SetRowHeight(0, px(28));
  for (int r = 0; r < 5; ++r) resultGrid_.SetRowHeight(r, px(27) + (AppSettings.LargeScreen ? 1 : 0));
  gridFont_ = draw::Font("Arial", px(16));
  runGrid_.SetFont(&gridFont_, true);
  resultGrid_.SetFont(&gridFont_, true);
  ColourCells();

  RecordsetPtr& units = db_.OpenRecordset("Select * from ParasUnit");
  if (db_.RecordsetOpen() && HasRows(*units)) {
    ReadField(*units, "WBC", units_[0]);
    ReadField(*units, "RBC", units_[1]);
    ReadField(*units, "HGB", units_[2]);
    ReadField(*units, "PLT", units_[4]);
  }
  db_.CloseRecordset();
  TakeSetting(LoadSysSetting(db_).row.AutoCleanTime, autoCleanTime_);

  SetDlgItemText(IDC_CA_LOT_LABEL, TextOf(CaliText::Lot, lang));
  SetDlgItemText(IDC_CA_EXP_LABEL, TextOf(CaliText::Validity, lang));
  SetDlgItemText(IDC_CA_TYPE_LABEL, TextOf(CaliText::Type, lang));
  setting_.SetWindowText(TextOf(CaliText::Setting, lang));
  delete_.SetWindowText(TextOf(CaliText::Delete, lang));
  save_.SetWindowText(TextOf(CaliText::Save, lang));
  diluent_.SetWindowText(TextOf(CaliText::Diluent, lang));
  exit_.SetWindowText(TextOf(CaliText::Exit, lang));
  if (ui::Window* help = GetDlgItem(IDC_CA_HELP)) help->SetWindowText(TextOf(CaliText::Help, lang));
  setting_.SetBitmaps(466, 465, 464);
  for (CXPButton* b : {&delete_, &save_, &diluent_}) b->SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);

  testing_ = std::make_unique<CTesting>(this);
  testing_->Create(this);
  testing_->ShowWindow(ui::SW_HIDE);
  // A calibrator count goes on without the library and gives no run: the system log has it at
  // once, the operator once the count has ended (a box during the count would hold it).
  measurement::SetZentilMessageHook(measurement::TellOncePerCount(libraryTold_, [this](const std::string& m) {
    WriteSysLog(db_, TextOf(CaliText::AutoCalibrationEvent, Language()),
                measurement::NotComputedText(Language()) + " (" + m + ")");
  }));

  // The analyzer goes into test mode; its reply makes the screen ready for the count key.
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
  return true;
}

void CCalibAuto::ColourCells() {
  for (int r = 1; r < runGrid_.GetRowCount(); ++r)
    for (int c = 1; c <= 5; ++c) {
      runGrid_.SetItemBkColour(r, c, r % 2 ? kOdd : kEven);
      runGrid_.SetItemFgColour(r, c, kCellText);
    }
  for (int r = 0; r < 5; ++r)
    for (int c = 1; c <= 5; ++c) {
      resultGrid_.SetItemBkColour(r, c, r % 2 ? kOdd : kEven);
      resultGrid_.SetItemFgColour(r, c, kCellText);
    }
}

bool CCalibAuto::Busy() const {
  return cycle_.state() != CycleState::Idle || (everReady_ && !cycle_.ready());
}

bool CCalibAuto::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

const draw::Brush* CCalibAuto::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

bool CCalibAuto::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

bool CCalibAuto::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_CA_SETTING: OnSetting(); return true;
      case IDC_CA_SAVE: OnSave(); return true;
      case IDC_CA_DELETE: OnDelete(); return true;
      case IDC_CA_DILUENT: OnDiluent(); return true;
      case IDC_CA_HELP: OnHelp(); return true;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

namespace {

// Store errors while the count cycle runs (the reagent volumes and the soak counter written at the
// end of a test) go to the log, never to a box that would stop the count.
DbErrorDiversion CountStoreErrors() {
  return DbErrorDiversion([](const std::string& text) { WriteLog(text); });
}

}  // namespace

ui::LResult CCalibAuto::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == analyzer::kSerialByteMessage) {
    if (l == 4 || l == 0) {
      const bool wasReady = cycle_.ready();
      {
        const DbErrorDiversion quiet = CountStoreErrors();
        cycle_.OnByte(static_cast<uint8_t>(w));
      }
      if (cycle_.ready() && !wasReady) everReady_ = true;
      // A byte may arm one of the cycle's deadlines (the link watchdog between counts).
      if (cycle_.NeedsTicks() && !cycleTimerOn_ && IsWindow()) cycleTimerOn_ = SetTimer(kCycleTimer, kCycleTimerMs) != 0;
    }
    return 0;
  }
  if (msg == kLeaveConfirmed) {
    if (exiting_ && IsWindow()) EndExit();
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

// ---- the board link -------------------------------------------------------------------------

void CCalibAuto::SendFrame(const analyzer::CommandFrame& frame) {
  if (port_) port_->QueueWrite(frame.data(), frame.size());
  if (!cycleTimerOn_ && IsWindow()) cycleTimerOn_ = SetTimer(kCycleTimer, kCycleTimerMs) != 0;
}

bool CCalibAuto::LastWriteFailed() { return port_ && port_->SendError(); }

bool CCalibAuto::ReadCountTimes(uint8_t* wbc, uint8_t* rbc) { return measurement::ReadCountTimes(db_, wbc, rbc); }

void CCalibAuto::OnTimer(uintptr_t id) {
  if (id == kCycleTimer) {
    {
      const DbErrorDiversion quiet = CountStoreErrors();
      cycle_.Tick();
    }
    if (cycle_.state() == CycleState::Idle && cycle_.ready() && !cycle_.NeedsTicks()) {
      KillTimer(kCycleTimer);
      cycleTimerOn_ = false;
    }
    return;
  }
  if (id == kExitTimer) {
    EndExit();
    return;
  }
  if (id == kRinseDelayTimer) {
    KillTimer(kRinseDelayTimer);
    SendRinse();
    return;
  }
  if (id == kRinseDeadlineTimer) {
    KillTimer(kRinseDeadlineTimer);
    if (!rinseRunning_) return;
    // The rinse was never confirmed (a fault stopped it): back to test mode and to counting, and
    // the screen can be left again; the operator is told why the rinse is over.
    rinseRunning_ = false;
    const std::string notice = measurement::GiveUpAutoRinse(cycle_, Language());
    cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
    ShowBox(notice, ui::MB_ICONWARNING);
    return;
  }
  if (id == kAckTimer) {
    KillTimer(kAckTimer);
    if (cycle_.state() == CycleState::Idle) cycle_.SetReady(true);
    return;
  }
  ui::Dialog::OnTimer(id);
}

KeyDecision CCalibAuto::OnKeyPress() {
  const int lang = Language();
  const analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
  if (v.ReagentAlarmType == 0) {
    std::string text;
    if (v.DiluentVol < 30) text += PickText(lang, "稀释液 ", "Diluent ", "Diluyente ", "Diluant ", "Розчинник ");
    if (v.LyseVol < 5) text += PickText(lang, "溶血剂 ", "Lyse ", "Lisante ", "Lysant ", "Лізуючий розчин ");
    if (v.CleanerVol < 10) text += PickText(lang, "清洗液 ", "Cleanser ", "Limpiador ", "Détergent ", "Промиваючий розчин ");
    if (!text.empty()) {
      text += std::string(TextOf(CaliText::NotEnough, lang)) + TextOf(CaliText::ContinueQuestion, lang);
      if (lang == 0) WriteLog(text);
      if (ui::MessageBox(this, text, "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK) return KeyDecision::Ignore;
    }
  }
  if (bloodType_ == 2 && dispenseMode_) {
    SetTimer(kAckTimer, kDispenseAckMs);
    return KeyDecision::DispenseDiluent;
  }
  if (batchNo_.empty()) {
    ShowBox(TextOf(CaliText::SetMaterialFirst, lang), ui::MB_ICONEXCLAMATION);
    return KeyDecision::Ignore;
  }
  if (runGrid_.GetRowCount() >= kRunRowsMax) {
    ShowBox(TextOf(CaliText::TwentyRunsMax, lang), ui::MB_ICONEXCLAMATION);
    return KeyDecision::Ignore;
  }
  bool any = false;
  for (int s : selected_) any = any || s != 0;
  if (!any) {
    ShowBox(TextOf(CaliText::ItemsNotSelected, lang), ui::MB_ICONEXCLAMATION);
    return KeyDecision::Ignore;
  }
  if (testing_) {
    testing_->ShowWindow(ui::SW_SHOW);
    testing_->BringWindowToTop();
  }
  libraryTold_ = false;
  notComputed_ = false;
  return KeyDecision::Start;
}

void CCalibAuto::ShowChecksumError(const std::string& message) {
  ui::DefaultMessageBox(this, message, "", ui::MB_ICONWARNING);
}

measurement::DisagreementMarks CCalibAuto::CompareFirstCounts(const measurement::QuickValues& q) {
  return CalibratorMarks(q);
}

// ---- one run --------------------------------------------------------------------------------

void CCalibAuto::ProcessRunResult(bool thirdCount) {
  measurement::RunInputs in;
  cycle_.FillRunInputs(in);
  measurement::HistogramBuffers& h = cycle_.histograms();
  if (thirdCount) {
    const measurement::CountValues v3 = ComputeCountValues(in.count, h);
    in.quick.values[measurement::CountWbc][2] = v3.wbc;
    in.quick.values[measurement::CountRbc][2] = v3.rbc;
    in.quick.values[measurement::CountPlt][2] = v3.plt;
    bool stars[3] = {false, false, false};
    measurement::CombineThreeCounts(in.counts[0], in.counts[1], in.quick, h, stars);
  } else {
    measurement::MeanOfTwoCounts(in.counts[0], in.counts[1], h);
  }
  AlgorithmInput input;
  measurement::FillAlgorithmInput(input, in.count, h);
  AlgorithmResult result;
  // Without the library the zeros are no run and make no factor; the end of the test says so.
  if (measurement::CallAlgorithmMain(result, input) != measurement::ZentilStatus::Computed) {
    notComputed_ = true;
    return;
  }
  const float raw[5] = {result.WBC, result.RBC, result.HGB, result.MCV, result.PLT};
  const int overLimit[5] = {0, 1, 2, -1, 4};
  const int level = AppSettings.UserLevel;
  std::string cells[5];
  for (int i = 0; i < 5; ++i) {
    const bool invalid = !IsValidParamValue(raw[i]) || (overLimit[i] >= 0 && result.OverLimit[overLimit[i]] == 1);
    if (invalid) {
      cells[i] = "-----";
      continue;
    }
    float v = ToDisplayUnit(i, raw[i], units_[i]);
    if (level <= 1) v *= TextValue(curCoef_[i]);
    cells[i] = StrPrintf("%.2f", v);
  }
  const int row = runGrid_.InsertRow(StrPrintf("%d", runGrid_.GetRowCount() - 1));
  for (int c = 1; c <= 5; ++c) runGrid_.SetItemText(row, c, cells[c - 1]);
  ColourCells();
  UpdateCalibrationStatistics();
}

void CCalibAuto::UpdateCalibrationStatistics() {
  const int level = AppSettings.UserLevel;
  for (int i = 0; i < 5; ++i) {
    const float coef = TextValue(curCoef_[i]), percent = TextValue(curPercent_[i]);
    if (!selected_[i]) {
      newCoef_[i] = coef;
      newPercent_[i] = percent;
      continue;
    }
    std::vector<std::string> column;
    for (int r = 2; r < runGrid_.GetRowCount(); ++r) column.push_back(runGrid_.GetItemText(r, i + 1));
    const ItemStatistics s = ComputeItemStatistics(column, targets_[i]);
    const ItemProposal p = ProposeItem(s, coef, percent, level);
    resultGrid_.SetItemText(1, i + 1, MeanText(s));
    resultGrid_.SetItemText(2, i + 1, SdText(s));
    resultGrid_.SetItemText(3, i + 1, CvText(s));
    resultGrid_.SetItemText(4, i + 1, p.newText);
    newCoef_[i] = p.newCoef;
    newPercent_[i] = p.newPercent;
  }
  runGrid_.Invalidate(true);
  resultGrid_.Invalidate(true);
}

// ---- end of a test and the board's other reports -------------------------------------------

void CCalibAuto::OnEndOfTest(const measurement::EndOfTestReport&) {
  ++analyzer::Soak.TestsSinceAutoClean;
  const std::string soakSql = analyzer::CountSoakSample();
  if (!soakSql.empty()) db_.Execute(soakSql);
  if (testing_) testing_->ShowWindow(ui::SW_HIDE);
  analyzer::Reagents().Book(bloodType_ == 2 ? analyzer::ReagentOperation::CalibrationPrediluted
                                            : analyzer::ReagentOperation::CalibrationWholeOrPeripheral,
                            Language());
  analyzer::CheckSoakAfterSample();
  if (notComputed_) {
    // Told once the count is over, where this screen tells everything: the count made no run.
    notComputed_ = false;
    ShowBox(measurement::NotComputedText(Language()), ui::MB_ICONERROR);
  }
  AutoRinse();
}

void CCalibAuto::AutoRinse() {
  if (autoCleanTime_ == 0 || analyzer::Soak.TestsSinceAutoClean < autoCleanTime_) return;
  int32_t& declines = analyzer::Soak.RinsePromptsDeclined;
  auto start = [this](int delayMs) {
    analyzer::Soak.RinsePromptsDeclined = 0;
    analyzer::Soak.TestsSinceAutoClean = 0;
    rinseRunning_ = true;
    cycle_.SetRinseRunning(true);
    // The rinse that is no longer asked for starts after a pause; the screen keeps serving
    // the port and its timers meanwhile.
    if (delayMs > 0) SetTimer(kRinseDelayTimer, delayMs);
    else SendRinse();
  };
  if (declines > 2) {
    start(2000);
  } else if (ui::MessageBox(this, TextOf(CaliText::RinseQuestion, Language()), "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) ==
             ui::IDOK) {
    start(0);
  } else {
    ++declines;
  }
}

void CCalibAuto::SendRinse() {
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::CleanChambers);
  SetTimer(kRinseDeadlineTimer, measurement::kRinseDeadlineMs);
}

void CCalibAuto::OnTimeout() {
  const int lang = Language();
  if (testing_) testing_->ShowWindow(ui::SW_HIDE);
  ShowBox(TextOf(CaliText::TestTimeOut, lang), ui::MB_ICONWARNING);
  if (lang == 0) WriteLog("测试超时,检查压力值和查看计数池");
}

void CCalibAuto::OnDiluentDispensed() {
  KillTimer(kAckTimer);
  analyzer::Reagents().Book(analyzer::ReagentOperation::DispenseDiluent, Language());
}

void CCalibAuto::OnBoardReport(const analyzer::CollectedFrame& f) {
  if (f.kind != analyzer::FrameKind::Command) return;
  const int lang = Language();
  const uint8_t cls = f.cls(), c = f.command(), p1 = f.status();
  if (cls == analyzer::FrameClassStatus) {
    if (c == analyzer::status::Temperature) {
      cycle_.SetReady(true);
      if (analyzer::Reagents().volumes().ReagentAlarmType == 1)
        cycle_.SendCommand(analyzer::FrameClassCommand, cmd::ReagentQuery);
    } else if (c == analyzer::status::LyseSensor || c == analyzer::status::CleanserSensor) {
      if (p1 > 1) return;
      const int reagent = c == analyzer::status::LyseSensor ? 1 : 2;
      if (analyzer::Reagents().SaveReagentReviseVolume(p1 == 0 ? 1 : 0, reagent) == 0 && p1 == 1) {
        const char* text = TextOf(reagent == 1 ? CaliText::LyseNotEnough : CaliText::CleanserNotEnough, lang);
        if (lang == 0) WriteLog(text);
        ShowBox(text, ui::MB_ICONWARNING);
      }
    } else if (c == analyzer::status::DiluentSensor && p1 == 1) {
      const char* text = TextOf(CaliText::DiluentNotEnough, lang);
      if (lang == 0) WriteLog(text);
      ShowBox(text, ui::MB_ICONWARNING);
    }
    return;
  }
  if (cls == analyzer::FrameClassCommand && p1 == analyzer::kReplyDone) {
    if (c == cmd::LeaveSampleMode && exiting_) {
      PostMessage(kLeaveConfirmed, 0, 0);
    } else if (c == cmd::CleanChambers && rinseRunning_) {
      // Only the rinse this screen started ends here: a repeated or unasked answer books nothing.
      KillTimer(kRinseDeadlineTimer);
      cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
      ShowBox(TextOf(CaliText::RinseFinished, lang), ui::MB_ICONINFORMATION);
      analyzer::Reagents().Book(analyzer::ReagentOperation::CleanChambersService, lang);
      rinseRunning_ = false;
      cycle_.SetRinseRunning(false);
    }
    return;
  }
  if (cls == analyzer::FrameClassFault) {
    if (c == 0x90 || c == 0x91) {
      ShowBox(TextOf(CaliText::NeedleAbnormal, lang), ui::MB_ICONWARNING);
      return;
    }
    if (c >= 0x01 && c <= 0x03) return;  // a count fault: the count ends by its time-out
    CaliText t;
    switch (p1) {
      case 2: t = CaliText::SyringeAbnormal; break;
      case 3: t = CaliText::CarriageAbnormal; break;
      case 4: t = CaliText::NeedleAbnormal; break;
      case 5: t = CaliText::PressureAbnormal; break;
      default: return;
    }
    if (lang == 0) WriteLog(TextOf(t, lang));
    ShowBox(TextOf(t, lang), ui::MB_ICONWARNING);
  }
}

// ---- buttons --------------------------------------------------------------------------------

void CCalibAuto::OnSetting() {
  if (Busy()) return;
  std::string chosen;
  {
    CCalibAutoSet set(nullptr);
    if (set.DoModal() == ui::IDOK) chosen = set.m_strBatchNo;
    else {
      Invalidate(true);
      return;
    }
  }
  LoadBatch(chosen);
}

void CCalibAuto::LoadBatch(const std::string& no) {
  const int lang = Language();
  batchNo_ = no;
  SetDlgItemText(IDC_CA_LOT, batchNo_);
  const LoadedBatch b = calibration::LoadBatch(db_, no);
  if (b.found) {
    if (!b.expDate.empty()) expiry_ = b.expDate;
    if (b.hasBloodType) {
      bloodType_ = b.bloodType;
      typeText_ = BloodTypeName(bloodType_, lang);
    }
    for (int i = 0; i < 5; ++i) {
      if (b.hasTarget[i]) targets_[i] = static_cast<float>(b.targets[i]);
      if (b.hasSelected[i]) selected_[i] = b.selected[i];
    }
    SetDlgItemText(IDC_CA_EXP, expiry_);
    SetDlgItemText(IDC_CA_TYPE, typeText_);
    // The coefficients in force; a blood type without its row starts from 1.00 and 100 %.
    CoefTexts t;
    for (int i = 0; i < 5; ++i) {
      t.factors[i] = curCoef_[i];
      t.percents[i] = curPercent_[i];
    }
    LoadCoefTexts(db_, SelectRowSql(bloodType_), t);
    for (int i = 0; i < 5; ++i) {
      curCoef_[i] = t.factors[i];
      curPercent_[i] = t.percents[i];
    }
    for (int i = 0; i < 5; ++i) runGrid_.SetItemText(1, i + 1, StrPrintf("%.2f", targets_[i]));
    const bool engineer = AppSettings.UserLevel >= 2;
    for (int i = 0; i < 5; ++i) resultGrid_.SetItemText(0, i + 1, engineer ? curCoef_[i] : curPercent_[i] + "%");
    ColourCells();
  }
  Invalidate(true);
}

void CCalibAuto::OnSave() {
  if (Busy()) return;
  const int lang = Language();
  if (typeText_.empty()) {
    ShowBox(TextOf(CaliText::SetStandardFirst, lang), ui::MB_ICONEXCLAMATION);
    return;
  }
  if (runGrid_.GetRowCount() <= 2) {
    ShowBox(TextOf(CaliText::NoStandardData, lang), ui::MB_ICONEXCLAMATION);
    return;
  }
  if (ui::MessageBox(this, TextOf(CaliText::SaveNewQuestion, lang), "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  AutoSaveInputs in;
  in.bloodType = bloodType_;
  in.userLevel = AppSettings.UserLevel;
  for (int i = 0; i < 5; ++i) {
    in.selected[i] = selected_[i];
    in.newCoef[i] = newCoef_[i];
    in.newPercent[i] = newPercent_[i];
    in.currentCoef[i] = curCoef_[i];
    in.currentPercent[i] = curPercent_[i];
  }
  const AutoSaveOutcome out = SaveAutoCalibration(db_, in);
  if (out.result == AutoSaveResult::OutOfRange) {
    ShowBox(TextOf(out.message, lang), ui::MB_ICONEXCLAMATION);
    return;
  }
  if (out.result != AutoSaveResult::Saved) return;
  ShowBox(TextOf(CaliText::CalibrationSaved, lang), ui::MB_ICONINFORMATION);
  WriteSysLog(db_, TextOf(CaliText::AutoCalibrationEvent, lang), TextOf(CaliText::NewCoefficientSaved, lang));
}

void CCalibAuto::OnDelete() {
  if (Busy()) return;
  const int lang = Language();
  if (runGrid_.GetRowCount() <= 2) {
    ShowBox(TextOf(CaliText::NoStandardData, lang), ui::MB_ICONEXCLAMATION);
    return;
  }
  const CCellSpan sel = runGrid_.GetSelectedCellRange();
  if (!sel.IsValid()) {
    ShowBox(TextOf(CaliText::SelectGroup, lang), ui::MB_ICONEXCLAMATION);
    return;
  }
  if (ui::MessageBox(this, TextOf(CaliText::DeleteSelectedQuestion, lang), "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) !=
      ui::IDOK)
    return;
  const int first = sel.GetMinRow(), count = sel.GetMaxRow() - sel.GetMinRow() + 1;
  if (first >= 2)
    for (int i = 0; i < count && first < runGrid_.GetRowCount(); ++i) runGrid_.DeleteRow(first);
  runGrid_.SetSelectedRange(-1, -1, -1, -1);
  if (runGrid_.GetRowCount() <= 2) {
    for (int r = 1; r < resultGrid_.GetRowCount(); ++r)
      for (int c = 1; c <= 5; ++c) resultGrid_.SetItemText(r, c, "");
    runGrid_.Invalidate(true);
    resultGrid_.Invalidate(true);
    return;
  }
  for (int r = 2; r < runGrid_.GetRowCount(); ++r) runGrid_.SetItemText(r, 0, StrPrintf("%d", r - 1));
  UpdateCalibrationStatistics();
}

void CCalibAuto::OnDiluent() {
  if (Busy() || bloodType_ != 2) return;
  // Without the dispense prompt there is nothing to end the dispense mode with.
  if (!IsScreenAvailable("CSpitDiluent")) {
    RunScreen("CSpitDiluent");
    return;
  }
  // The count key dispenses while the instruction screen is open; however it is left (its
  // button, Enter or Escape), dispensing ends.
  dispenseMode_ = true;
  RunScreen("CSpitDiluent");
  dispenseMode_ = false;
}

void CCalibAuto::OnHelp() {
  OpenHelp();
}

void CCalibAuto::OnCancel() {
  if (Busy() || exiting_) return;
  if (rinseRunning_) {
    ShowBox(TextOf(CaliText::RinseInProgress, Language()), ui::MB_ICONWARNING);
    return;
  }
  exiting_ = true;
  const bool sent = cycle_.ready();
  if (sent) cycle_.SendCommand(analyzer::FrameClassCommand, cmd::LeaveSampleMode);
  db_.Disconnect();
  // The board's reply ends the wait at once; the window keeps serving the port meanwhile.
  SetTimer(kExitTimer, 500);
}

void CCalibAuto::EndExit() {
  if (!exiting_) return;
  exiting_ = false;
  KillTimer(kExitTimer);
  KillTimer(kCycleTimer);
  cycleTimerOn_ = false;
  port_.reset();
  measurement::SetZentilMessageHook(nullptr);
  EndDialog(ui::IDCANCEL);
}

void RegisterCalibAutoScreen() {
  RegisterScreen("CCalibAuto", [] {
    CCalibAuto s(nullptr);
    return s.DoModal();
  });
}

}  // namespace calibration
