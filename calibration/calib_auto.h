#pragma once
// CCalibAuto: automatic calibration. The operator loads a calibrator batch (Setting), counts
// the calibrator on the analyzer up to 20 times, and saves the factors the runs propose for
// the batch's blood type. The screen owns its board link from initialisation to Exit and runs
// the shared count cycle (measurement/count_cycle) with its own handling of the values: each
// test of two or three counts becomes one run row, computed without calibration, and the
// statistics of the rows propose the new factors.
#include <memory>
#include <string>

#include "analyzer/serial_port.h"
#include "calibration/calibration_statistics.h"
#include "controls/grid/grid_ctrl.h"
#include "controls/testing_popup.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "measurement/count_cycle.h"
#include "platform/ui/dialog.h"

namespace calibration {

inline constexpr int IDD_CALIB_AUTO = 148;
inline constexpr int IDC_CA_FRAME = 1917;
inline constexpr int IDC_CA_SETTING = 1141;
inline constexpr int IDC_CA_DELETE = 1012;
inline constexpr int IDC_CA_SAVE = 1138;
inline constexpr int IDC_CA_DILUENT = 1787;
inline constexpr int IDC_CA_HELP = 1044;
inline constexpr int IDC_CA_RUN_GRID = 1028;
inline constexpr int IDC_CA_RESULT_GRID = 1148;
inline constexpr int IDC_CA_LOT_LABEL = 1930;
inline constexpr int IDC_CA_LOT = 1931;
inline constexpr int IDC_CA_EXP_LABEL = 1932;
inline constexpr int IDC_CA_EXP = 1933;
inline constexpr int IDC_CA_TYPE_LABEL = 1934;
inline constexpr int IDC_CA_TYPE = 1935;
inline constexpr int IDC_CA_RUN_AREA = 1936;
inline constexpr int IDC_CA_RESULT_AREA = 1937;

class CCalibAuto : public ui::Dialog, public measurement::CountCycleHost {
 public:
  explicit CCalibAuto(ui::Window* parent = nullptr);
  ~CCalibAuto() override;

  // What the screen holds, for its tests.
  CGridCtrl& RunGrid() { return runGrid_; }
  CGridCtrl& ResultGrid() { return resultGrid_; }
  measurement::CountCycle& Cycle() { return cycle_; }
  bool Busy() const;
  int RunCount() const { return runGrid_.GetRowCount() - 2; }
  float NewCoef(int i) const { return newCoef_[i]; }
  float NewPercent(int i) const { return newPercent_[i]; }
  const std::string& CurrentCoefText(int i) const { return curCoef_[i]; }
  const std::string& CurrentPercentText(int i) const { return curPercent_[i]; }
  bool DispenseMode() const { return dispenseMode_; }

  // Loads the batch as the Setting button does after the batch screen returned OK.
  void LoadBatch(const std::string& storedBatchNo);
  // Recomputes the result grid and the proposals from the run rows.
  void UpdateCalibrationStatistics();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  void OnTimer(uintptr_t id) override;
  void OnCancel() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

  // The count cycle's host.
  void SendFrame(const analyzer::CommandFrame& frame) override;
  bool LastWriteFailed() override;
  int Language() override;
  int BloodMode() override { return bloodType_; }
  bool ReadCountTimes(uint8_t* wbcTenths, uint8_t* rbcTenths) override;
  measurement::KeyDecision OnKeyPress() override;
  void ShowChecksumError(const std::string& message) override;
  measurement::DisagreementMarks CompareFirstCounts(const measurement::QuickValues& q) override;
  void ProcessRunResult(bool thirdCount) override;
  void OnEndOfTest(const measurement::EndOfTestReport& report) override;
  void OnTimeout() override;
  bool ResetBoardOnTimeout() override { return false; }
  std::string TimeoutTraceName() override { return "CATOserialdata.txt"; }
  void OnDiluentDispensed() override;
  void OnBoardReport(const analyzer::CollectedFrame& frame) override;

 private:
  void OnSetting();
  void OnSave();
  void OnDelete();
  void OnDiluent();
  void OnHelp();
  void AutoRinse();
  void SendRinse();
  void ShowBox(const std::string& text, unsigned type);
  void ColourCells();
  void EndExit();

  CXPGroupBox frame_;
  CXPButton setting_, delete_, save_, diluent_, exit_;
  CGridCtrl runGrid_, resultGrid_;
  draw::Font gridFont_;
  CADOConn db_;
  std::unique_ptr<analyzer::CSerialPort> port_;
  measurement::CountCycle cycle_{*this};
  std::unique_ptr<CTesting> testing_;

  // The batch.
  std::string batchNo_, expiry_, typeText_;
  int bloodType_ = 0;
  float targets_[5] = {0, 0, 0, 0, 0};
  int selected_[5] = {1, 1, 1, 1, 1};
  std::string curCoef_[5], curPercent_[5];
  float newCoef_[5] = {1, 1, 1, 1, 1};
  float newPercent_[5] = {100, 100, 100, 100, 100};
  std::string units_[5] = {"10^9/L", "10^12/L", "g/L", "fL", "10^9/L"};
  uint8_t autoCleanTime_ = 0;

  bool libraryTold_ = false;  // this count has said that the algorithm library could not be used
  bool notComputed_ = false;  // this count's result was not computed: no run came of it
  bool everReady_ = false;
  bool dispenseMode_ = false;
  bool rinseRunning_ = false;
  bool exiting_ = false;
  bool cycleTimerOn_ = false;
};

void RegisterCalibAutoScreen();

}  // namespace calibration
