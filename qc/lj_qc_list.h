#pragma once
// CLJQCList: every stored run of one L-J QC file as a table (parameters in rows, one column per
// run) beside the file's targets and limits; runs are deleted one by one (columns picked by
// their headings) or all, and sent to the LIS.
#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "qc/qc_list_dialog.h"

namespace qc {

inline constexpr int IDD_LJ_QC_LIST = 140;
inline constexpr int IDC_LJ_LIST_GRID = 1471;
inline constexpr int IDC_LJ_LIST_SEND = 1531;
inline constexpr int IDC_LJ_LIST_DELETE = 1012;
inline constexpr int IDC_LJ_LIST_HELP = 1044;
inline constexpr int IDC_LJ_LIST_FRAME = 2028;

// The run columns among the picked ones: columns before the first run column (targets and
// limits) or past the last run are never runs.
std::vector<int> PickedRunColumns(const std::vector<int>& picked, int runCount);

class CLJQCList : public QcListDialog {
 public:
  explicit CLJQCList(ui::Window* parent = nullptr);
  int QcFileNo = 1;
  int runCount() const { return runCount_; }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void FillTargets();
  void FillRuns();
  void OnDelete();
  CXPGroupBox frame_;
  int runCount_ = 0;
};

}  // namespace qc
