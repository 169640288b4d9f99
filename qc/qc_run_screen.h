#pragma once
// The side a control run screen (L-J or X-R) shares: the board link through the shared count
// cycle, the busy pop-up, the automatic rinse, reagent and fault reports, the run table with one
// column per result made since the screen opened, computing a result from its counts, deleting a
// result column, and closing. The two screens add what is their own: their file, whether a key
// press may start a sample, and what a result does when it is in.
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
#include "core/db_errors.h"
#include "measurement/count_cycle.h"
#include "platform/ui/dialog.h"
#include "qc/lj_run_result.h"

namespace qc {

// Control ids the run screens share.
inline constexpr int IDC_QC_RUN_BATCH = 1166;
inline constexpr int IDC_QC_RUN_EXPIRY = 1153;
inline constexpr int IDC_QC_RUN_DELETE = 1012;
inline constexpr int IDC_QC_RUN_HELP = 1044;
// The message line: a result the data store did not take is said here, not in a box that would
// stop the count.
inline constexpr int IDC_QC_RUN_MESSAGE = 1018;

// Whether a file with expiry date `exp` ("YYYY-MM-DD") has expired on the given day; the expiry
// day itself is still valid, an empty date never expires.
bool QcMaterialExpired(const std::string& exp, int year, int month, int day);

struct QcRunLayout {
  int templateId;
  int frameId, gridId, lotCaptionId, validityCaptionId;
  int firstRunColumn;  // 3 with target and limit columns, 1 without
  const char* traceName;
};

class QcRunScreen : public ui::Dialog, public measurement::CountCycleHost {
 public:
  // kRinseTimer: the pause before a rinse no longer asked for; kRinseDeadlineTimer: the rinse's
  // longest time (measurement::kRinseDeadlineMs).
  enum : uintptr_t { kCycleTimer = 11, kExitTimer = 12, kRinseTimer = 13, kRinseDeadlineTimer = 14 };
  QcRunScreen(const QcRunLayout& layout, ui::Window* parent);
  ~QcRunScreen() override;

  uint8_t QcFileNo = 1;

  measurement::CountCycle& cycle() { return cycle_; }
  CGridCtrl& grid() { return grid_; }
  int usedColumns() const { return usedColumns_; }
  bool expired() const { return expired_; }
  bool portOpen() const { return port_ != nullptr; }

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
  void OnNoAnswer(bool waiting) override;
  std::string TimeoutTraceName() override { return layout_.traceName; }
  measurement::DisagreementMarks CompareFirstCounts(const measurement::QuickValues& q) override {
    return CompareControlCounts(q);
  }
  void OnBoardReport(const analyzer::CollectedFrame& frame) override;

 protected:
  // ---- what each screen adds
  virtual std::string Title(int language) = 0;
  virtual std::string NumberHeading(int language) = 0;
  // Reads the file (batch, expiry, targets ...) and fills what the table shows of it; sets
  // batchText_, expiryText_ and chosen_.
  virtual void LoadFile() = 0;
  // The screen's own check at a count key press; false refuses the sample (after its message).
  virtual bool SampleAllowed() = 0;
  // A computed result is in the table: judge, store, feed. Returns what to tell the operator
  // of a write the data store refused (the reason is in lastStoreError_), or "" when all was kept.
  virtual std::string TakeResult(const ControlValues& v, const std::string& date, const std::string& time) = 0;
  // Deletes the stored result of a table column; false when the data store refused.
  virtual bool DeleteStored(const std::string& date, const std::string& time, int index) = 0;

  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnCancel() override;
  void OnTimer(uintptr_t id) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

  void ShowExpiredIfSo();
  CADOConn conn_;
  std::string batchText_, expiryText_;
  bool expired_ = false;
  std::array<int, 20> chosen_{};       // display order
  std::array<std::string, 20> units_;  // display order
  std::vector<std::array<float, 20>> tableRuns_;  // display order, oldest first
  int usedColumns_ = 0;
  QcRunLayout layout_;
  std::string lastStoreError_;  // the data store's last error text while the count cycle ran

 private:
  // Store errors while the count cycle runs go to the log and to lastStoreError_, never to a box
  // that would stop the count.
  DbErrorDiversion CountStoreErrors();
  void ShowMessage(const std::string& text);
  // The algorithm library could not be used in this sample (`why`: its message): no result comes
  // of it, which the message line and the system log say.
  void TellNotComputed(const std::string& why);
  // Writes the system log rows of unsaved results and of samples without a result while the
  // store takes them.
  void WriteUnsavedLogs();
  void BuildGrid();
  void OnDelete();
  void ShowPopup(bool show);
  void AutoRinse();
  void StartRinse();
  // The rinse passed its deadline without its end.
  void GiveUpRinse();

  CXPGroupBox frame_;
  CXPButton exit_, help_, delete_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  std::unique_ptr<analyzer::CSerialPort> port_;
  measurement::CountCycle cycle_{*this};
  std::unique_ptr<CTesting> popup_;
  bool cycleTimerOn_ = false;
  uint8_t autoCleanTime_ = 0;
  bool rinseRunning_ = false;
  std::vector<std::string> unsavedLogs_;  // system log rows not yet written
  bool libraryTold_ = false;  // this sample has said that the algorithm library could not be used
};

}  // namespace qc
