#include "measurement/screen/sample_test_screen.h"

#include <algorithm>
#include <cstdio>

#include <memory>

#include "algorithm/ZentilRecords.h"
#include "analyzer/algorithm_input.h"
#include "analyzer/board_port.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/startup_sequence.h"
#include "analyzer/serial_window_sink.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/param_order.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "measurement/count_settings.h"
#include "measurement/patient/person_info.h"
#include "measurement/patient/profile_flags.h"
#include "measurement/result_globals.h"
#include "measurement/screen/restore_dlg.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "measurement/screen/sample_test_store.h"
#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_class.h"
#include "printing/histogram_print.h"
#include "printing/print_items.h"
#include "controls/screen_common.h"
#include "core/sys_setting.h"
#include "core/person_row.h"

namespace measurement {

const int kValueIds[20] = {1326, 1327, 1328, 1329, 1330, 1331, 1332, 1333, 1334, 1335,
                           1336, 1337, 1338, 1339, 1340, 1167, 1168, 1169, 1171, 1341};
const int kMarkIds[20] = {1345, 1346, 1347, 1348, 1349, 1350, 1351, 1352, 1353, 1354,
                          1355, 1356, 1357, 1358, 1359, 1360, 1361, 1362, 1363, 1364};
const int kUnitIds[20] = {1423, 1424, 1425, 1426, 1427, 1428, 1429, 1430, 1431, 1432,
                          1433, 1434, 1435, 1436, 1437, 1438, 1439, 1440, 1441, 1442};
const int kIndicatorIds[20] = {1637, 1651, 1652, 1653, 1654, 1655, 1656, 1638, 0,    0,
                               0,    0,    0,    0,    0,    1639, 1096, 1097, 1098, 2146};
const int kFlagIds[6] = {1842, 1843, 1844, 1845, 1840, 1841};

namespace {

const char* const kRowNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC",  "HGB", "HCT",
                                   "MCV", "MCH",  "MCHC", "RDW-SD", "RDW-CV", "PLT", "MPV", "PDW", "PCT", "P-LCR"};
const char* const kFlagNames[6] = {"LF1", "LF2", "LF3", "LF4", "PF1", "PF2"};

int RowY(int row) { return 35 + row * 86 / 10; }

}  // namespace

ui::DialogTemplate SampleTestTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t;
  t.cx = 320;
  t.cy = 240;
  t.style = uint32_t{ui::WS_POPUP} | V | ui::DS_CENTER;
  t.fontFace = "Arial";
  t.fontPoints = 9;
  const char* S = ui::kClassStatic;
  const char* B = ui::kClassButton;
  t.Add(S, IDC_BLOOD_MODE, "", 7, 3, 72, 11, V | ui::SS_CENTER);
  t.Add(S, IDC_STATUS, "Ready", 80, 3, 70, 11, V | ui::SS_CENTER);
  t.Add(S, IDC_DATE_TIME, "", 151, 3, 62, 11, V | ui::SS_CENTER);
  t.Add(S, IDC_MESSAGE, "", 214, 3, 99, 11, V | ui::SS_CENTER);
  t.Add(B, IDC_HEADER_FRAME, "", 4, 16, 312, 14, V | ui::BS_GROUPBOX);
  t.Add(S, IDC_NO_LABEL, "No.:", 9, 19, 18, 9, V);
  t.Add(S, IDC_SAMPLE_NO, "", 28, 19, 40, 9, V);
  t.Add(S, IDC_NAME_LABEL, "Name:", 71, 19, 24, 9, V);
  t.Add(S, IDC_NAME, "", 96, 19, 70, 9, V);
  t.Add(S, IDC_SEX_LABEL, "Sex:", 169, 19, 18, 9, V);
  t.Add(S, IDC_SEX, "", 188, 19, 30, 9, V);
  t.Add(S, IDC_AGE_LABEL, "Age:", 221, 19, 18, 9, V);
  t.Add(S, IDC_AGE, "", 240, 19, 70, 9, V);
  t.Add(B, IDC_RESULT_FRAME, "", 4, 32, 160, 178, V | ui::BS_GROUPBOX);
  for (int i = 0; i < 20; ++i) {
    const int y = RowY(i);
    t.Add(S, IDC_ROW_LABEL0 + i, kRowNames[i], 9, y, 32, 8, V);
    t.Add(S, kValueIds[i], "", 42, y, 34, 8, V | ui::SS_RIGHT);
    if (kIndicatorIds[i] != 0) t.Add(S, kIndicatorIds[i], "", 77, y, 6, 8, V);
    t.Add(S, kMarkIds[i], "", 84, y, 13, 8, V);
    t.Add(S, kUnitIds[i], "", 99, y, 38, 8, V);
  }
  t.Add(S, IDC_HGB_BLANK, "", 138, RowY(8), 24, 8, 0);
  t.Add(S, IDC_HGB_SAMPLE, "", 138, RowY(9), 24, 8, 0);
  t.Add(CXGraph::kWindowClass, IDC_WBC_GRAPH, "", 168, 32, 128, 58, V);
  t.Add(CXGraph::kWindowClass, IDC_RBC_GRAPH, "", 168, 92, 128, 58, V);
  t.Add(CXGraph::kWindowClass, IDC_PLT_GRAPH, "", 168, 152, 128, 58, V);
  for (int i = 0; i < 4; ++i) t.Add(S, kFlagIds[i], "", 298, 36 + i * 11, 18, 9, V);
  for (int i = 0; i < 2; ++i) t.Add(S, kFlagIds[4 + i], "", 298, 156 + i * 11, 18, 9, V);
  const int buttons[7] = {IDC_MODE, IDC_RETEST, IDC_DILUENT, IDC_PROFILE, IDC_PRINT, IDC_SERVICE, IDC_EXIT};
  const char* names[7] = {"Mode", "ReTest", "Diluent", "Profile", "Print", "Service", "Exit"};
  for (int k = 0; k < 7; ++k) t.Add(B, buttons[k], names[k], 4 + k * 40, 214, 38, 22, V);
  t.Add(B, IDC_LEFT_ARROW, "", 286, 214, 14, 22, V);
  t.Add(B, IDC_RIGHT_ARROW, "", 302, 214, 14, 22, V);
  return t;
}

CSampleTest::CSampleTest(ui::Window* parent) : ui::Dialog(SampleTestTemplate(), parent) {
  blueBrush_ = draw::Brush::Solid(draw::RGB(24, 95, 149));
  greenBrush_ = draw::Brush::Solid(draw::RGB(15, 96, 56));
  redBrush_ = draw::Brush::Solid(draw::RGB(159, 0, 0));
  for (float& f : calibration_) f = 1.0f;
  // No count runs yet: the screen can be left even when the board never answers.
  cycle_.SetReady(true);
  for (int i = 0; i < 20; ++i) {
    CurrentResult[i] = 0.0f;
    ParameterMarks[i] = 0;
  }
}

CSampleTest::~CSampleTest() {
  countNote_.EndedWithoutResult();  // the screen left during a count shows no result
  SetHandOffEntry(HandOffKind::Print, nullptr);
  SetHistogramMessageHook({});
  SetZentilMessageHook({});
  SetHandOffNotice({});
  port_.reset();
  CloseLisSerialPort();  // however the screen ended (Exit, a quit on SIGTERM or --seconds)
  db_.Disconnect();
}

void CSampleTest::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_MODE, mode_);
  ui::ExchangeControl(dx, IDC_RETEST, retest_);
  ui::ExchangeControl(dx, IDC_DILUENT, diluent_);
  ui::ExchangeControl(dx, IDC_PROFILE, profile_);
  ui::ExchangeControl(dx, IDC_PRINT, print_);
  ui::ExchangeControl(dx, IDC_SERVICE, service_);
  ui::ExchangeControl(dx, IDC_EXIT, exit_);
  ui::ExchangeControl(dx, IDC_LEFT_ARROW, left_);
  ui::ExchangeControl(dx, IDC_RIGHT_ARROW, right_);
  ui::ExchangeControl(dx, IDC_RESULT_FRAME, resultFrame_);
  ui::ExchangeControl(dx, IDC_HEADER_FRAME, headerFrame_);
  int k = 0;
  for (int i = 0; i < 20; ++i) ui::ExchangeControl(dx, kValueIds[i], labels_[k++]);
  for (int i = 0; i < 20; ++i) ui::ExchangeControl(dx, kMarkIds[i], labels_[k++]);
  for (int i = 0; i < 6; ++i) ui::ExchangeControl(dx, kFlagIds[i], labels_[k++]);
  for (int id : {IDC_SAMPLE_NO, IDC_NAME, IDC_SEX, IDC_AGE}) ui::ExchangeControl(dx, id, labels_[k++]);
  for (int i = 0; i < 20; ++i)
    if (kIndicatorIds[i] != 0) ui::ExchangeControl(dx, kIndicatorIds[i], labels_[k++]);
  for (int i = 0; i < 20; ++i) {
    ui::ExchangeText(dx, kMarkIds[i], MarkTexts[i]);
    ui::ExchangeText(dx, kUnitIds[i], UnitTexts[i]);
  }
}

int CSampleTest::Language() { return AppSettings.LanguageIndex; }

void CSampleTest::SetText(int id, const std::string& text) {
  if (ui::Window* w = GetDlgItem(id)) {
    if (w->GetWindowText() == text) return;
    w->SetWindowText(text);
    w->Invalidate(true);
  }
}

int CSampleTest::Box(const std::string& text, unsigned type) {
  // Chinese boxes of this screen carry an empty caption, the others the program's own.
  return ui::MessageBox(this, text, "", type);
}

void CSampleTest::ReadSettings() {
  // Units: the defaults, then the ParasUnit row.
  LoadScreenUnitTexts(db_, UnitTexts);
  bloodModeText_ = BloodModeName(0, Language());
  ComputeNextSampleNo();
  xb_ = LoadXbQcState(db_);
  {
    const SysSettingRead read = LoadSysSetting(db_);
    settingsRead_ = read.hasRow;
    if (!read.opened) storeNotice_ = StoreNotWritableNotice(Language());
    const SysSettingRow& row = read.row;
    int32_t mode = -1;
    if (TakeSetting(row.TestDefaultMode, mode)) {
      if (mode == 0) bloodMode_ = 0;
      if (mode == 1) bloodMode_ = 2;
      previousBloodMode_ = bloodMode_;
      bloodModeText_ = BloodModeName(bloodMode_, Language());
    }
    TakeSetting(row.Printer, printer_);
    TakeSetting(row.PrintInstant, printInstant_);
    TakeSetting(row.PrintFormat, printFormat_);
    TakeSetting(row.UnitName, unitName_);
    TakeSetting(row.PrintPgHeader, pageHeaderLength_);
    TakeSetting(row.AutoCleanTime, autoCleanTime_);
    TakeSetting(row.DormancyTime, dormancyTime_);
    TakeSetting(row.IsModelChangePrompt, isModelChangePrompt_);
    TakeSetting(row.IsTransInstant, isTransInstant_);
    TakeSetting(row.BlockTime, blockTime_);
    TakeSetting(row.LeakTime, leakTime_);
    TakeSetting(row.IsOpenAjustHistogram, isOpenAjustHistogram_);
    TakeSetting(row.IsOpenSoakTips, analyzer::Soak.IsOpenSoakTips);
    TakeSetting(row.SetSoakTimes, analyzer::Soak.SetSoakTimes);
    TakeSetting(row.SetSoakDays, analyzer::Soak.SetSoakDays);
    TakeSetting(row.DeviceTestTimes, analyzer::Soak.DeviceTestTimes);
    TakeSetting(row.SoakDaysStartDate, analyzer::Soak.SoakDaysStartDate);
  }
  LoadDefaultPrintItems(db_, PrintFlags);
  LoadCalibrationFactors(db_, bloodMode_, calibration_);
}

void CSampleTest::ComputeNextSampleNo() {
  const sys::LocalTime now = sys::Clock::Now();
  TestDateText = StoredDateText(now);
  NextSampleNo = NextSampleNumberOf(db_, TestDateText);
  SampleNoText = std::to_string(NextSampleNo);
}

bool CSampleTest::OpenPort() {
  auto port = std::make_unique<analyzer::CSerialPort>();
  if (!analyzer::OpenBoardPort(*port, analyzer::WindowByteSink(this))) {
    // A port that did not open is not kept: nothing is queued on it and no reader waits on it.
    port_.reset();
    return false;
  }
  port_ = std::move(port);
  return true;
}

void CSampleTest::OpenLisPort() {
  static const unsigned kBauds[6] = {9600, 19200, 38400, 57600, 115200, 230400};
  static const unsigned kDataBits[4] = {5, 6, 7, 8};
  static const wchar_t kParity[4] = {L'N', L'E', L'O', L'M'};
  static const unsigned kStopBits[2] = {1, 2};
  const auto [baud, bits, parity, stop] = LoadLisPortIndexes(db_);
  auto pick = [](int32_t i, int32_t n) { return i >= 0 && i < n ? i : 0; };
  auto port = std::make_unique<analyzer::CSerialPort>();
  const int opened = port->Open(analyzer::WindowByteSink(this), kLisPortNumber, kBauds[pick(baud, 6)],
                                kParity[pick(parity, 4)], kDataBits[pick(bits, 4)], kStopBits[pick(stop, 2)],
                                analyzer::kBoardEventMask, analyzer::kBoardWriteBufferSize);
  if (opened) {
    port->StartReader();
    std::lock_guard<std::mutex> g(LisSerialPortMutex);
    LisSerialPort = std::move(port);
    return;
  }
  // A port that did not open is not kept as if it were open.
  {
    std::lock_guard<std::mutex> g(LisSerialPortMutex);
    LisSerialPort.reset();
  }
  const int lang = Language();
  Box(TestScreenText(ScreenText::LisPortFailed, lang), lang == 0 || lang == 2 ? ui::MB_ICONWARNING : ui::MB_OK);
}

void CSampleTest::ReportPortFailure() {
  const int lang = Language();
  if (lang == 0) {
    WriteLog("前端通信串口初始化失败,请检测前端板和主板之间的串口");
    Box(TestScreenText(ScreenText::PortFailed, 0), ui::MB_ICONWARNING);
  } else {
    Box(TestScreenText(ScreenText::PortFailed, lang), ui::MB_OK);
  }
}

std::string CSampleTest::DataFolder() {
  return AppSettings.ProgramFolder.empty() ? std::string("./") : AppSettings.ProgramFolder;
}

void CSampleTest::RestartIdleClock() {
  SettleIdleClock();
  idleStart_ = idleNow_ = sys::Clock::TickMs();
}

uint32_t CSampleTest::idleMs() const {
  return static_cast<uint32_t>(idleNow_ - idleStart_) + WaitedIdleMs(sys::Clock::TickMs());
}

// The seconds the idle clock would have counted, one a tick, since its timer began to wait:
// each tick counted (nothing the count depends on can change without a message to this
// screen, which settles them first), up to the limit.
uint32_t CSampleTest::WaitedIdleMs(int64_t now) const {
  if (!idleTimerWaits_) return 0;
  const int64_t ticks = (now - idleTickAt_) / 1000;
  const int64_t have = idleNow_ - idleStart_, limit = IdleLimitMs();
  const int64_t needed = have >= limit ? 0 : (limit - have + 999) / 1000;
  return static_cast<uint32_t>(std::min(ticks, needed) * 1000);
}

// Called at a counted tick: rather than firing every second while the screen stays ready and
// untouched, the idle timer fires at the tick that finds the limit reached (the stand-by's).
// Not while another screen runs over this one: it may change what the count depends on.
void CSampleTest::WaitForStandByTick() {
  if (!IsWindow() || !IsWindowEnabled()) return;
  const int64_t have = idleNow_ - idleStart_, limit = IdleLimitMs();
  if (have >= limit) return;
  const int64_t needed = (limit - have + 999) / 1000;
  if (needed < 2) return;
  idleTimerWaits_ = true;
  idleTickAt_ = sys::Clock::TickMs();
  SetTimer(kIdleTimer, static_cast<unsigned>((needed + 1) * 1000));
}

// Counts the seconds ticked over while the idle timer waited and makes it tick every second
// again: done before this screen handles anything, which may change what the count depends on.
void CSampleTest::SettleIdleClock() {
  if (!idleTimerWaits_) return;
  idleNow_ += WaitedIdleMs(sys::Clock::TickMs());
  idleTimerWaits_ = false;
  if (IsWindow()) SetTimer(kIdleTimer, 1000);
}

bool CSampleTest::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  resultFrame_.SetBands(true, 20);
  graphs_[0].CreateInPlace(IDC_WBC_GRAPH, this);
  graphs_[1].CreateInPlace(IDC_RBC_GRAPH, this);
  graphs_[2].CreateInPlace(IDC_PLT_GRAPH, this);
  for (int c = 0; c < 3; ++c) graphs_[c].CreateChart(c);
  db_.Connect();
  const sys::LocalTime now = sys::Clock::Now();
  TestTimeText = StrPrintf("%.2d:%.2d:%.2d", now.hour, now.minute, now.second);
  ReadSettings();
  SetText(IDC_BLOOD_MODE, bloodModeText_);
  SetText(IDC_SAMPLE_NO, SampleNoText);
  diluent_.EnableWindow(bloodMode_ == 2);
  SetLanguageTexts();

  const int lang = Language();
  if (!OpenPort()) ReportPortFailure();
  if (isTransInstant_) OpenLisPort();
  countNote_.SetPath(DataFolder() + kCountNoteFile);
  // A result shown and then lost when the program last ended, as the start-up found it: said in
  // a box the operator answers before any count (no count is held up by it), so that the
  // sample is counted again.
  if (!LostCountNotice.empty()) {
    const std::string text = LostCountNotice;
    LostCountNotice.clear();
    Box(text, ui::MB_ICONWARNING);
  }
  // A count goes on without the library and is kept to be computed later. It says so once per
  // count, on the message line and in the system log: a box would hold the count until it timed out.
  SetZentilMessageHook(TellOncePerCount(libraryTold_, [this](const std::string& m) {
    ShowWarning(m);
    const std::string entry = SampleNoText + ": " + m;
    if (WriteSampleTestLog(entry) != 1) unsavedLogs_.push_back(entry);
  }));
  SetHandOffNotice([this](const std::string& text) { ShowWarning(text); });
  SetHandOffEntry(HandOffKind::Print, [this](const ReportSnapshot& sample) { return StartSampleReport(sample); });
  // A library that does not load while a report draws its histograms is told on this thread.
  SetHistogramMessageHook([](const std::string& text) {
    ui::PostToUiThread([text] { ui::MessageBox(nullptr, text, "", ui::MB_OK | ui::MB_ICONERROR); });
  });

  SetText(IDC_DATE_TIME, StrPrintf("%d-%d-%d %.2d:%.2d", now.year, now.month, now.day, now.hour, now.minute));
  SetTimer(kClockTimer, 60000);
  SetTimer(kIdleTimer, 1000);
  RestartIdleClock();

  CurrentSample = CurrentSampleRecord{};
  CurrentSample.SampleNo = SampleNoText;
  CurrentSample.TestDate = TestDateText;
  CurrentSample.TestTime = TestTimeText;
  ResetMarkerPositions();
  for (int i = 0; i < 20; ++i) MarkTexts[i].clear();
  UpdateData(false);
  for (int id : kValueIds) SetText(id, "");
  if (analyzer::StartupBlankEvaluated) {
    ShowStartupBackground();
    analyzer::StartupBlankEvaluated = 0;
    SetText(IDC_SAMPLE_NO, "");
  }
  // The reagent warning of the volumes left (never of volumes the store could not give).
  HoldNotice(storeNotice_);
  if (settingsRead_ && analyzer::Reagents().volumes().ReagentAlarmType == 0) {
    const analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
    const std::string text = analyzer::ReagentShortageText(analyzer::CheckReagents(analyzer::ReagentCheck::TestScreen, v), lang);
    if (!text.empty()) {
      WriteLog(text);
      ShowWarning(text, true);
    }
  }
  labelFont_ = draw::Font("Arial", static_cast<int>(13 * AppSettings.LayoutScale));
  valueFont_ = draw::Font("Arial", static_cast<int>(13 * AppSettings.LayoutScale), draw::kFontWeightBold);
  ApplyDialogFontToChildren(this, &labelFont_);
  for (int id : kValueIds)
    if (ui::Window* w = GetDlgItem(id)) w->SetFont(&valueFont_);
  nameTip_.Create(this);
  nameTip_.AddTool(IDC_NAME, {GetDlgItemText(IDC_NAME)}, draw::RGB(205, 213, 215), draw::RGB(66, 85, 92));
  mode_.SetBitmaps(434, 433, 431);
  for (CXPButton* b : {&retest_, &diluent_, &profile_, &print_, &service_}) b->SetBitmaps(437, 436, 435);
  exit_.SetBitmaps(432, 439, 438);
  left_.SetBitmaps(443, 442, 441);
  right_.SetBitmaps(440, 445, 444);
  left_.SetArrowStyle(3);
  right_.SetArrowStyle(4);
  for (int i = 0; i < 6; ++i) labels_[40 + i].textColour = draw::RGB(215, 125, 10);
  // The labels draw no background of their own: a changed text (a cleared result, a value
  // recomputed from a moved line) must not be drawn over the old one.
  for (CStaticTrans& l : labels_) l.redrawOnSetText = true;
  if (analyzer::BoardParametersSent) EnableExitService(false);
  SetTimer(kButtonsEnableTimer, 3000);
  cycle_.SendCommand(analyzer::FrameClassCommand, analyzer::cmd::EnterSampleMode);
  GotoDlgCtrl(&mode_);
  return false;
}

void CSampleTest::SetLanguageTexts() {
  const int lang = Language();
  for (int id : {IDC_MODE, IDC_RETEST, IDC_DILUENT, IDC_PROFILE, IDC_PRINT, IDC_SERVICE, IDC_EXIT, IDC_NO_LABEL,
                 IDC_STATUS, IDC_NAME_LABEL, IDC_SEX_LABEL, IDC_AGE_LABEL}) {
    const std::string t = CaptionText(id, lang);
    if (!t.empty()) SetText(id, t);
  }
}

void CSampleTest::InvalidateLabels() {
  for (CStaticTrans& l : labels_)
    if (l.IsWindow()) l.Invalidate(true);
}

void CSampleTest::ShowWarning(const std::string& text, bool reagent) {
  warning_ = text;
  reagentAlarmShown_ = reagent && !text.empty();
  const std::string line = MessageLineText(heldNotice_, text);
  alarmShown_ = !line.empty();
  SetText(IDC_MESSAGE, line);
  if (ui::Window* w = GetDlgItem(IDC_MESSAGE)) w->Invalidate(true);
}

void CSampleTest::HoldNotice(const HeldNotice& notice) {
  heldNotice_ = notice;
  ShowWarning(std::string(warning_), reagentAlarmShown_);
}

void CSampleTest::ClearResultDisplay() {
  StopAdjustment();
  // The previous sample's patient goes with its result; a profile entered for the next sample,
  // a retest and the screen's first count keep what the header shows.
  if (!retestRequested_ && !firstResultPending_ && (!sampleNumberEntered_ || hasResult_ > 0)) {
    for (int id : {IDC_NAME, IDC_SEX, IDC_AGE}) SetText(id, "");
    RefreshNameTip();
  }
  for (int i = 0; i < 20; ++i) {
    SetText(kValueIds[i], "");
    SetText(kMarkIds[i], "");
    if (kIndicatorIds[i] != 0) SetText(kIndicatorIds[i], "");
  }
  for (int id : kFlagIds) SetText(id, "");
  static const unsigned char kZero[256] = {};
  for (int c = 0; c < 3; ++c) graphs_[c].SetHistogram(c, kZero, 0);
}

void CSampleTest::ShowResult(const RunResult& r) {
  static const int kStarRow[3] = {0, 7, 15};
  for (int i = 0; i < 20; ++i) {
    SetText(kValueIds[i], r.shownTexts[i]);
    SetText(kMarkIds[i], r.markTexts[i]);
    if (kIndicatorIds[i] != 0) SetText(kIndicatorIds[i], "");
  }
  for (int c = 0; c < 3; ++c)
    if (r.stars[c]) SetText(kIndicatorIds[kStarRow[c]], kDisagreementIndicator);
  for (int k = 0; k < 4; ++k) SetText(kFlagIds[k], r.flags.wbcLabels[k] && !r.flags.wbcSuppressed ? kFlagNames[k] : "");
  for (int k = 0; k < 2; ++k)
    SetText(kFlagIds[4 + k], r.flags.pltLabels[k] && !r.flags.pltSuppressed ? kFlagNames[4 + k] : "");
  if (r.Storable()) {
    for (int c = 0; c < 3; ++c) graphs_[c].SetHistogram(c, r.curves[c], r.firstBins[c]);
    graphs_[0].SetMarkers(false, MarkerPositions[0], MarkerPositions[1], MarkerPositions[2]);
    graphs_[1].SetMarkers(true, MarkerPositions[4], MarkerPositions[5], 0);
    graphs_[2].SetMarkers(true, MarkerPositions[6], MarkerPositions[7], 0);
  } else {
    // No curves were computed: the empty charts show no other sample's divider lines.
    for (CGraphView& g : graphs_) g.ResetMarkers();
  }
  // Each label whose text changed has been invalidated by SetText; the rest stay as painted.
}

void CSampleTest::ShowStartupBackground() {
  // The blank count's histograms through the library, as the start-up screen fills them, with
  // this screen's factors and count time.
  float factors[analyzer::kAlgorithmFactors];
  analyzer::PickAlgorithmFactors(calibration_, factors);
  auto input = std::make_unique<AlgorithmInput>();
  auto result = std::make_unique<AlgorithmResult>();
  analyzer::FillBlankInput(*input, cycle_.wbcTimeTenths(), factors);
  const ZentilStatus status = CallAlgorithmMain(*result, *input);
  SampleValues v = TakeResult(*result, status, UnitTexts);
  v.values[8] = 0.0f;  // a blank count measures no HGB
  // Judged before unit conversion; nothing is judged when the library could not be used (its
  // message box has said so).
  const bool high = status == ZentilStatus::Computed &&
                    analyzer::BlankIsHigh({result->WBC, result->RBC, result->HCT, result->PLT}, true);
  const int lang = Language();
  if (high) {
    if (lang == 0) WriteLog("开机本底值大。请重测,如果依然超出范围，请清洗计数池或检测相关部件");
    ShowWarning(TestScreenText(ScreenText::HighBlankValue, lang));
  }
  if (status == ZentilStatus::Computed) {
    const uint8_t* curves[3] = {result->WbcCurve, result->RbcCurve, result->PltCurve};
    for (int c = 0; c < 3; ++c) graphs_[c].SetHistogram(c, curves[c], 0);
  }
  for (int i = 0; i < 20; ++i) MarkTexts[i].clear();
  Warning.clear();
  UpdateData(false);
  for (int i = 0; i < 20; ++i) {
    const bool shown = i == 0 || i == 7 || i == 8 || i == 9 || i == 15;  // WBC RBC HGB HCT PLT
    SetText(kValueIds[i], !shown ? "***" : IsValidParamValue(v.values[i]) ? FormatValue(v.values[i], i) : "- - -");
  }
}

void CSampleTest::RefreshSampleIdentity() {
  if (!retestRequested_) {
    if (hasResult_ > 0 && !sampleNumberEntered_) {
      NextSampleNo = std::min(NextSampleNo + 1, 99999999);
      SampleNoText = std::to_string(NextSampleNo);
    }
    SetText(IDC_SAMPLE_NO, SampleNoText);
    const PersonPatient p = ReadPersonPatient(db_, SampleNoText, TestDateText);
    if (p.found) {
      if (p.Name) SetText(IDC_NAME, *p.Name);
      RefreshNameTip();
      if (p.Sex) SetText(IDC_SEX, *p.Sex);
      if (p.Age && static_cast<uint8_t>(*p.Age) != 0)
        SetText(IDC_AGE, AgeWithUnit(static_cast<uint8_t>(*p.Age), p.AgeUnit.value_or(""), Language()));
    } else {
      longName_ = false;
    }
  }
  sampleNumberEntered_ = false;
  InvalidateLabels();
}

const draw::Brush* CSampleTest::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType != ui::CTLCOLOR_STATIC || control == nullptr) return ui::Dialog::OnCtlColor(dc, control, ctlType);
  const int id = control->GetDlgCtrlID();
  if (id == IDC_BLOOD_MODE || id == IDC_STATUS || id == IDC_DATE_TIME || id == IDC_MESSAGE) {
    dc.SetTextColor(draw::RGB(238, 238, 238));
    dc.SetBkMode(draw::BkMode::Transparent);
    if (id == IDC_MESSAGE && alarmShown_) return &redBrush_;
    return bloodMode_ == 2 ? &greenBrush_ : &blueBrush_;
  }
  return ScreenLabelColours(dc);
}

bool CSampleTest::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect rc = GetClientRect();
  dc.FillSolidRect(rc, draw::RGB(215, 223, 224));
  const draw::Color edge = draw::RGB(0, 76, 120);
  dc.FillSolidRect(ui::Rect(rc.left, rc.top, rc.left + 7, rc.bottom), edge);
  dc.FillSolidRect(ui::Rect(rc.right - 7, rc.top, rc.right, rc.bottom), edge);
  return true;
}

void CSampleTest::OnSysCommand(uint32_t cmd, ui::LParam l) {
  if (cmd == ui::SC_CLOSE && l == 0) return;  // the keyboard's close
  ui::Dialog::OnSysCommand(cmd, l);
}

void CSampleTest::OnMouseMove(unsigned, ui::Point pt) {
  if (mouseSeen_ && (pt.x != lastMouse_.x || pt.y != lastMouse_.y)) RestartIdleClock();
  mouseSeen_ = true;
  lastMouse_ = pt;
  if (longName_) {
    ui::Window* name = GetDlgItem(IDC_NAME);
    if (name && name->GetRectInParent().Contains(pt))
      nameTip_.ShowTip(IDC_NAME);
    else
      nameTip_.HideTip(IDC_NAME);
  }
}

bool CSampleTest::PreTranslateMessage(ui::Message& msg) {
  // Any pointer move or press on the screen or one of its controls, and any key, is the
  // operator at work: the idle time starts again.
  switch (msg.message) {
    case ui::WM_MOUSEMOVE:
      if (pointerSeen_ && (msg.pt.x != lastPointer_.x || msg.pt.y != lastPointer_.y)) RestartIdleClock();
      pointerSeen_ = true;
      lastPointer_ = msg.pt;
      break;
    case ui::WM_LBUTTONDOWN:
    case ui::WM_RBUTTONDOWN:
    case ui::WM_LBUTTONDBLCLK:
    case ui::WM_KEYDOWN: RestartIdleClock(); break;
    default: break;
  }
  switch (msg.message) {
    case ui::WM_LBUTTONDOWN: SelectChartAt(msg.pt); break;
    case ui::WM_LBUTTONDBLCLK:
      if (ui::Window* label = GetDlgItem(IDC_ROW_LABEL0); label && label->GetWindowRect().Contains(msg.pt)) {
        EditDifferential();
        return true;
      }
      break;
    case ui::WM_KEYDOWN:
      switch (msg.wParam) {
        case ui::VK_ESCAPE: return true;
        case ui::VK_RETURN: return OnEnterKey();
        case ui::VK_LEFT:
        case ui::VK_RIGHT:
          OnMarker(msg.wParam == ui::VK_RIGHT ? 1 : 0, true);
          return true;
        default: break;
      }
      break;
    default: break;
  }
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CSampleTest::DiscardBoardInput() { return measurement::DiscardBoardInput != 0; }

ui::LResult CSampleTest::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  SettleIdleClock();
  if (msg == analyzer::kSerialByteMessage) {
    // Only the board's bytes drive the count; the LIS port's answers are the LIS link's.
    if (!exiting_ && static_cast<unsigned>(l) == analyzer::kBoardPortNumber) {
      const DbErrorDiversion quiet = CountStoreErrors();
      cycle_.OnByte(static_cast<uint8_t>(w));
      // A byte may arm one of the cycle's deadlines (the link watchdog between counts).
      if (cycle_.NeedsTicks() && !cycleTimerOn_ && IsWindow()) cycleTimerOn_ = SetTimer(kCycleTimer, kCycleTimerMs) != 0;
    }
    return 0;
  }
  if (msg == ui::WM_USER + 1010) {
    RestartIdleClock();
    return 1;
  }
  if (msg == WM_REPORT_NOT_PRINTED) {
    OnReportNotPrinted(static_cast<long long>(l));
    return 0;
  }
  if (msg == WM_PRINT_PROGRESS) {
    OnPrintProgress(static_cast<int>(w));
    return 0;
  }
  if (msg == ui::WM_USER + 230) {
    UpdateData(w != 0);
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

void RegisterMeasurementScreens() {
  RegisterScreen("CSampleTest", [] {
    auto screen = std::make_unique<CSampleTest>(nullptr);
    return screen->DoModal();
  });
  // The patient data of the test screen's current sample, for callers that open the screen by
  // name; the test screen itself runs it with its own state (Profile button).
  RegisterScreen("CPersonInfo", [] {
    CPersonInfo screen(0, nullptr, 0, 1);
    screen.CallerSampleNo = SampleNoText;
    const sys::LocalTime now = sys::Clock::Now();
    screen.ProfileTestDate =
        TestDateText.empty() ? StoredDateText(now) : TestDateText;
    return screen.DoModal();
  });
}

}  // namespace measurement
