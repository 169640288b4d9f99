#pragma once
// CLJQCRun: the L-J run screen of one QC file. It owns the board link while it is open and
// counts one control sample per press of the analyzer's count key through the shared count
// cycle; each run is computed, shown in the run table (parameters in rows, one column per run),
// judged by the file's Westgard rules and stored in the file (and in the X-R file of the same
// number and batch).
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "analyzer/serial_port.h"
#include "controls/grid/grid_ctrl.h"
#include "controls/testing_popup.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "measurement/count_cycle.h"
#include "platform/ui/dialog.h"
#include "qc/lj_run_result.h"
#include "qc/lj_tables.h"
#include "qc/westgard.h"

namespace qc {

inline constexpr int IDD_LJ_QC_RUN = 103;
inline constexpr int IDC_LJ_RUN_GRID = 1470;
inline constexpr int IDC_LJ_RUN_BATCH = 1166;
inline constexpr int IDC_LJ_RUN_EXPIRY = 1153;
inline constexpr int IDC_LJ_RUN_DELETE = 1012;
inline constexpr int IDC_LJ_RUN_HELP = 1044;
inline constexpr int IDC_LJ_RUN_FRAME = 2027;

// Whether a file with expiry date `exp` ("YYYY-MM-DD") has expired on the given day; the expiry
// day itself is still valid, an empty date never expires.
bool QcMaterialExpired(const std::string& exp, int year, int month, int day);

class CLJQCRun : public ui::Dialog, public measurement::CountCycleHost {
 public:
  enum : uintptr_t { kCycleTimer = 11 };
  explicit CLJQCRun(ui::Window* parent = nullptr);
  ~CLJQCRun() override;

  uint8_t QcFileNo = 1;

  // State the tests read.
  measurement::CountCycle& cycle() { return cycle_; }
  CGridCtrl& grid() { return grid_; }
  int usedColumns() const { return usedColumns_; }
  bool expired() const { return expired_; }
  bool portOpen() const { return port_ != nullptr; }
  const std::vector<RuleBreak>& lastBreaks() const { return lastBreaks_; }

  // ---- CountCycleHost
  void SendFrame(const analyzer::CommandFrame& frame) override;
  bool LastWriteFailed() override;
  int Language() override;
  int BloodMode() override { return 0; }
  bool ReadCountTimes(uint8_t* wbcTenths, uint8_t* rbcTenths) override;
  measurement::KeyDecision OnKeyPress() override;
  void ShowStatus(measurement::CycleStatus status) override;
  void ShowChecksumError(const std::string& message) override;
  void ProcessRunResult(bool thirdCount) override;
  void OnEndOfTest(const measurement::EndOfTestReport& report) override;
  void OnTimeout() override;
  std::string TimeoutTraceName() override { return "LJTOserialdata.txt"; }
  measurement::DisagreementMarks CompareFirstCounts(const measurement::QuickValues& q) override {
    return CompareControlCounts(q);
  }
  void OnBoardReport(const analyzer::CollectedFrame& frame) override;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnCancel() override;
  void OnTimer(uintptr_t id) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 private:
  void BuildGrid();
  void LoadQcFile();
  void OnDelete();
  void ShowPopup(bool show);
  void AutoRinse();
  // Display-order values of the runs the rules see, oldest first: the stored history, then the
  // runs of the table.
  std::vector<std::array<double, 20>> RuleRuns() const;

  CXPGroupBox frame_;
  CXPButton exit_, help_, delete_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  CADOConn conn_;
  std::unique_ptr<analyzer::CSerialPort> port_;
  measurement::CountCycle cycle_{*this};
  std::unique_ptr<CTesting> popup_;
  bool cycleTimerOn_ = false;

  std::string batchText_, expiryText_;
  bool expired_ = false;
  LjFileSettings settings_;
  std::array<int, 20> chosen_{};          // display order
  std::array<std::string, 20> units_;     // display order
  std::vector<LjRun> history_;            // newest first, as stored when the screen opened
  std::vector<std::array<float, 20>> tableRuns_;  // display order, oldest first
  StoreContext store_;
  int usedColumns_ = 3;
  uint8_t autoCleanTime_ = 0;
  int rinseDeclines_ = 0;
  bool rinseRunning_ = false;
  std::vector<RuleBreak> lastBreaks_;
};

}  // namespace qc
