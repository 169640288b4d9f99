#pragma once
// CSampleTest: the test screen, on which samples are counted. It owns the board port while it
// is open, feeds the board's bytes to the count cycle, shows the values, marks, flags and the
// three histograms of each result, watches the board's other reports (temperature, reagent
// sensors, faults, rinse and wake replies), puts the analyzer to stand-by after the idle time,
// and offers the Mode, ReTest, Diluent, Profile, Print, Service and Exit buttons.
//
// The main menu runs it modally with no parent (RunScreen("CSampleTest") once
// RegisterMeasurementScreens has run) and deletes it when the run returns.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analyzer/serial_port.h"
#include "core/ado_conn.h"
#include "core/db_errors.h"
#include "controls/static_trans.h"
#include "controls/tool_tip.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "measurement/count_cycle.h"
#include "measurement/count_note.h"
#include "measurement/patient/line_adjust.h"
#include "measurement/run_result.h"
#include "measurement/screen/graph_view.h"
#include "measurement/screen/message_line.h"
#include "platform/sys/thread.h"
#include "platform/ui/dialog.h"
#include "printing/print_hint_dlg.h"
#include "printing/report_snapshot.h"

namespace measurement {

class CRestoreDlg;

// Posted by a report job that did not print; lParam holds the sample number.
inline constexpr uint32_t WM_REPORT_NOT_PRINTED = ui::WM_USER + 1012;

// Control ids of the test screen's template.
enum SampleTestId : int {
  IDD_SAMPLE_TEST = 109,
  IDC_MODE = 1540,
  IDC_RETEST = 1541,
  IDC_DILUENT = 1787,
  IDC_PROFILE = 1017,
  IDC_PRINT = 1043,
  IDC_SERVICE = 1796,
  IDC_EXIT = 1034,
  IDC_LEFT_ARROW = 1443,
  IDC_RIGHT_ARROW = 1444,
  IDC_RESULT_FRAME = 1917,
  IDC_HEADER_FRAME = 1926,
  IDC_WBC_GRAPH = 1054,
  IDC_RBC_GRAPH = 1055,
  IDC_PLT_GRAPH = 1047,
  IDC_BLOOD_MODE = 1059,
  IDC_STATUS = 1060,
  IDC_DATE_TIME = 1061,
  IDC_MESSAGE = 1062,
  IDC_NO_LABEL = 1544,
  IDC_SAMPLE_NO = 1014,
  IDC_NAME_LABEL = 1545,
  IDC_NAME = 1045,
  IDC_SEX_LABEL = 1546,
  IDC_SEX = 1067,
  IDC_AGE_LABEL = 1547,
  IDC_AGE = 1028,
  IDC_HGB_BLANK = 1649,
  IDC_HGB_SAMPLE = 1650,
  IDC_ROW_LABEL0 = 2067,  // the 20 row names: 2067 .. 2086
};
// The per-row controls, screen order (indicator 0: the row has none).
extern const int kValueIds[20];
extern const int kMarkIds[20];
extern const int kUnitIds[20];
extern const int kIndicatorIds[20];
extern const int kFlagIds[6];  // LF1-LF4, PF1, PF2

ui::DialogTemplate SampleTestTemplate();

class CSampleTest : public ui::Dialog, public CountCycleHost {
 public:
  // Timer ids.
  enum : uintptr_t {
    kClockTimer = 1,
    kIdleTimer = 3,
    kWakeTimer = 4,
    kTestDataBusyTimer = 5,
    kButtonsEnableTimer = 6,
    kCycleTimer = 11,  // runs the count cycle's own deadlines while it has any
    kExitTimer = 12,   // the pause before the port is released on Exit
    kRinseTimer = 13,  // the automatic rinse's longest time (kRinseDeadlineMs)
  };
  static constexpr unsigned kCycleTimerMs = 500;

  explicit CSampleTest(ui::Window* parent = nullptr);
  ~CSampleTest() override;

  // ---- state the rest of the screen and the tests read
  CountCycle& cycle() { return cycle_; }
  int bloodMode() const { return bloodMode_; }
  const float* calibrationFactors() const { return calibration_; }
  bool standBy() const { return standBy_; }
  bool alarmShown() const { return alarmShown_; }
  bool serviceOpen() const { return serviceOpen_; }
  bool portOpen() const { return port_ != nullptr; }
  int hasResult() const { return hasResult_; }
  int dormancyMinutes() const { return dormancyTime_; }
  const RunResult* lastResult() const { return lastResult_.get(); }
  CGraphView& graph(int channel) { return graphs_[channel]; }
  // The idle time counted towards stand-by (the seconds the idle clock has ticked over, while
  // it waits for the stand-by's tick included).
  uint32_t idleMs() const;
  // How often the idle clock's timer has fired (tests).
  int idleTimerExpiries() const { return idleTimerExpiries_; }
  bool ready() const { return cycle_.ready(); }
  // A report is being printed (set when its job starts, cleared when its end arrives).
  bool reportPrinting() const { return reportPrinting_; }
  // Waits for the print job's thread (tests; the screen never waits for it).
  bool WaitForPrintJob(int64_t ms) { return printThread_.Join(ms); }
  // The report of the current sample as it would be printed now.
  ReportSnapshot CurrentReportSnapshot() const;
  ReportSettings CurrentReportSettings() const;

  // Seams for tests and for screens that are not part of the program yet: the stand-by
  // screen, the maintenance menu and the diluent dialog. Each returns the modal result.
  using ModalRunner = std::function<int()>;
  void SetStandByRunner(ModalRunner run) { standByRunner_ = std::move(run); }
  void SetServiceRunner(ModalRunner run) { serviceRunner_ = std::move(run); }
  // The percentage entry of the differential (LYM%, MID%, GRA%): true with the three values on
  // OK, false on Cancel. Without one the screen says the function is not available.
  using DifferentialEntry = std::function<bool(float* lym, float* mid, float* gra)>;
  void SetDifferentialEntry(DifferentialEntry entry) { differentialEntry_ = std::move(entry); }

  // ---- divider-line adjustment of the shown result
  int selectedChart() const { return selectedChart_; }
  const LineAdjustState& lineAdjust() const { return adjust_; }
  // The indicator before each stored value of the shown result (screen order).
  const std::string& indicator(int row) const { return indicators_[row]; }
  int groupIndex() const { return groupIndex_; }

  // ---- CountCycleHost
  void SendFrame(const analyzer::CommandFrame& frame) override;
  bool LastWriteFailed() override;
  void ReopenPort() override;
  int Language() override;
  int BloodMode() override { return bloodMode_; }
  bool ReadCountTimes(uint8_t* wbcTenths, uint8_t* rbcTenths) override;
  KeyDecision OnKeyPress() override;
  void ShowStatus(CycleStatus status) override;
  void ShowChecksumError(const std::string& message) override;
  void OnHgbReadings(uint16_t blank, uint16_t sample) override;
  void FillCountInputs(CountInputs& inputs) override;
  void ProcessRunResult(bool thirdCount) override;
  void OnEndOfTest(const EndOfTestReport& report) override;
  void OnTimeout() override;
  void OnNoAnswer(bool waiting) override;
  // Store errors while the count cycle runs go to the log, never to a box that would stop the
  // count: a result that could not be stored is reported in the message line and the system log.
  DbErrorDiversion CountStoreErrors();
  void OnDiluentDispensed() override;
  void OnResultPending(bool pending) override;
  void OnBoardReport(const analyzer::CollectedFrame& frame) override;
  bool DiscardBoardInput() override;

  // ---- operations of the screen
  void SetLanguageTexts();
  void ClearResultDisplay();
  void RefreshSampleIdentity();
  void InvalidateLabels();
  void ShowResult(const RunResult& r);
  // The background of the start-up blank count: WBC, RBC, HGB, HCT and PLT, "***" for the other
  // values, and "High blank value" in the message line when it is too high.
  void ShowStartupBackground();
  void ShowReagentShortage();
  int AutoRinse();
  // The automatic rinse passed its deadline without its end.
  void GiveUpRinse();
  void RecordFaultAndReset(const std::string& faultText);
  // Shows a warning in the message line (control 1062), beside the held notice if there is one.
  void ShowWarning(const std::string& text, bool reagent = false);
  // Holds a notice in the message line that no later warning replaces (empty: lets go of it);
  // the warning shown stays beside it.
  void HoldNotice(const HeldNotice& notice);
  const HeldNotice& heldNotice() const { return heldNotice_; }

  bool PreTranslateMessage(ui::Message& msg) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnTimer(uintptr_t id) override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  void OnSysCommand(uint32_t cmd, ui::LParam l) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  // Lifecycle.
  void ReadSettings();
  void ComputeNextSampleNo();
  bool OpenPort();
  void OpenLisPort();
  void ReportPortFailure();
  void RestartIdleClock();
  // The folder of the data store and the raw files, ending in '/'.
  static std::string DataFolder();
  uint32_t IdleLimitMs() const { return static_cast<uint32_t>(dormancyTime_) * 60000u; }
  uint32_t WaitedIdleMs(int64_t now) const;
  void WaitForStandByTick();
  void SettleIdleClock();
  // Divider lines (arrow buttons and keys, Enter) and the differential entered by hand.
  void StartAdjustment(const RunResult& r, const CountInputs& count);
  void StopAdjustment();
  void SelectChartAt(ui::Point screenPoint);
  void OnMarker(int direction, bool key);
  void ShowRecomputed(int chart);
  bool OnEnterKey();
  void EditDifferential();
  // Buttons.
  void OnModeButton();
  void OnReTest();
  void OnDiluent();
  void OnProfile();
  void OnPrint();
  // Starts the report job of a snapshot on the printer of the settings; false when it could
  // not start (the controls are enabled again).
  bool StartSampleReport(const ReportSnapshot& sample);
  void OnPrintProgress(int state);
  void OnReportNotPrinted(long long sampleNo);
  void EnablePrintControls(bool enable);
  void AfterCountRinse();
  void OnService();
  void OnExit();
  // Timers.
  void OnIdleTick();
  void EndStandBy();
  void EnableExitService(bool enable);
  void EnableCountButtons(bool enable);
  // Board reports.
  void OnTemperature(const analyzer::CollectedFrame& f);
  void OnSensor(const analyzer::CollectedFrame& f);
  void OnFault(const analyzer::CollectedFrame& f);
  void OnReply(const analyzer::CollectedFrame& f);
  void BookReagents(int operation);
  int WriteSampleTestLog(const std::string& result);
  int Box(const std::string& text, unsigned type);
  void SendToProfileWindow(uint32_t msg, ui::WParam w, ui::LParam l);
  void RefreshNameTip();
  void SetText(int id, const std::string& text);

  CountCycle cycle_{*this};
  CADOConn db_;
  std::unique_ptr<analyzer::CSerialPort> port_;
  bool portEverFailed_ = false;

  CXPButton mode_, retest_, diluent_, profile_, print_, service_, exit_, left_, right_;
  CXPGroupBox resultFrame_, headerFrame_;
  std::array<CStaticTrans, 75> labels_;
  CGraphView graphs_[3];
  CMFECToolTip nameTip_;
  draw::Brush blueBrush_, greenBrush_, redBrush_;
  draw::Font labelFont_, valueFont_;

  int bloodMode_ = 0, previousBloodMode_ = 0;
  std::string bloodModeText_;
  float calibration_[20];
  int printer_ = 0;
  int printFormat_ = 1;
  std::string unitName_;
  int pageHeaderLength_ = 20;
  LimitPairs normalLimits_, panicLimits_;
  bool printBusy_ = false;       // the Print handler runs
  bool reportPrinting_ = false;  // a report job runs
  int printJobs_ = 0;            // jobs started whose end has not arrived
  bool rinseCheck_ = false;      // the end of the count or of its report has come first
  PrintHintHolder printHint_;
  sys::Thread printThread_;
  uint8_t printInstant_ = 0, autoCleanTime_ = 0, isModelChangePrompt_ = 0, isTransInstant_ = 0;
  int dormancyTime_ = 0;
  float blockTime_ = 2.0f, leakTime_ = 0.2f;
  XbQcState xb_;

  bool noRinseRunning_ = true, alarmShown_ = false, reagentAlarmShown_ = false, standBy_ = false;
  bool retestRequested_ = false, sampleNumberEntered_ = false, diluentRequested_ = false;
  bool exitPending_ = false, serviceOpen_ = false, longName_ = false, exiting_ = false;
  // AA 40 and AA 54 sent and their end not yet taken: each operation is booked once.
  bool rinseAwaited_ = false, wakeAwaited_ = false;
  int hasResult_ = 0;
  bool firstResultPending_ = true;  // no result has come on this screen yet
  int deferredRinse_ = 0;
  int64_t idleStart_ = 0, idleNow_ = 0;
  // While the idle clock counts every second with nothing changing (the screen ready and left
  // alone), its timer waits for the tick that brings stand-by instead of firing every second;
  // the seconds meanwhile are counted from the tick at `idleTickAt_` (see SettleIdleClock).
  bool idleTimerWaits_ = false;
  int64_t idleTickAt_ = 0;
  int idleTimerExpiries_ = 0;
  ui::Point lastMouse_{-1, -1};
  bool mouseSeen_ = false;
  ui::Point lastPointer_{-1, -1};  // screen position of the last pointer move on the screen or a control
  bool pointerSeen_ = false;
  CRestoreDlg* restorePopup_ = nullptr;
  ui::Dialog* standByScreen_ = nullptr;
  double temperature_ = 0.0;
  std::unique_ptr<RunResult> lastResult_;
  ModalRunner standByRunner_, serviceRunner_;
  DifferentialEntry differentialEntry_;
  uint8_t isOpenAjustHistogram_ = 0;
  int selectedChart_ = kChartNone;
  LineAdjustState adjust_;
  AdjustContext adjustCtx_;
  bool adjustable_ = false;   // the shown result is on the screen and may be adjusted
  int adjustSampleNo_ = 0;    // the row of the shown result
  std::string adjustDate_;
  int groupIndex_ = 0;
  std::string indicators_[20];
  bool cycleTimerOn_ = false;
  HeldNotice heldNotice_;                 // a result that was not kept, until the next count
  std::string warning_;                   // the warning beside it
  // The store could not be opened, or refused the last result: held through every count until
  // a result is stored again.
  HeldNotice storeNotice_;
  // The settings row was read: only then are the volumes and the aperture times the store's
  // own, and only then are they judged.
  bool settingsRead_ = false;
  std::vector<std::string> unsavedLogs_;  // system log rows for unsaved results, not yet written
  bool libraryTold_ = false;  // this count has said that the algorithm library could not be used
  int64_t lastSendMs_ = 0;
  // The note of the count in progress beside the store: a result shown and then lost with the
  // program is named at the next start.
  CountNoteKeeper countNote_;
};

// Registers CSampleTest with the menus' screen registry.
void RegisterMeasurementScreens();

}  // namespace measurement
