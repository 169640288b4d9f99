#pragma once
// CLJQCRun: the L-J run screen of one QC file. It counts one control sample per press of the
// analyzer's count key (the shared run screen side); each result is shown beside the file's
// targets and limits, judged by the file's Westgard rules and stored in the file (and in the
// X-R file of the same number and batch).
#include <vector>

#include "qc/lj_tables.h"
#include "qc/qc_run_screen.h"
#include "qc/westgard.h"

namespace qc {

inline constexpr int IDD_LJ_QC_RUN = 103;
inline constexpr int IDC_LJ_RUN_GRID = 1470;
inline constexpr int IDC_LJ_RUN_BATCH = IDC_QC_RUN_BATCH;
inline constexpr int IDC_LJ_RUN_EXPIRY = IDC_QC_RUN_EXPIRY;
inline constexpr int IDC_LJ_RUN_DELETE = IDC_QC_RUN_DELETE;
inline constexpr int IDC_LJ_RUN_HELP = IDC_QC_RUN_HELP;
inline constexpr int IDC_LJ_RUN_FRAME = 2027;

class CLJQCRun : public QcRunScreen {
 public:
  explicit CLJQCRun(ui::Window* parent = nullptr);
  const std::vector<RuleBreak>& lastBreaks() const { return lastBreaks_; }

 protected:
  std::string Title(int language) override;
  std::string NumberHeading(int language) override;
  void LoadFile() override;
  bool SampleAllowed() override;
  std::string TakeResult(const ControlValues& v, const std::string& date, const std::string& time) override;
  bool DeleteStored(const std::string& date, const std::string& time, int index) override;

 private:
  // Display-order values of the runs the rules see, oldest first: the stored history, then the
  // runs of the table.
  std::vector<std::array<double, 20>> RuleRuns() const;

  LjFileSettings settings_;
  std::vector<LjRun> history_;  // newest first, as stored when the screen opened
  StoreContext store_;
  std::vector<RuleBreak> lastBreaks_;
};

}  // namespace qc
