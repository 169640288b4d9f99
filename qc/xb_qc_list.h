#pragma once
// CXBQCList: the X-B points (patient results taken into X-B QC) beside the targets and limits
// of the X-B settings, in pages of 200 results, the newest page first; results are deleted
// (picked columns, or all) and handed to the LIS send screen.
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "qc/qc_list_dialog.h"
#include "qc/lj_tables.h"

namespace qc {

inline constexpr int IDD_XB_QC_LIST = 144;
inline constexpr int IDC_XB_LIST_GRID = 1020;
inline constexpr int IDC_XB_LIST_PREV = 1040, IDC_XB_LIST_NEXT = 1041;
inline constexpr int IDC_XB_LIST_SEND = 1531, IDC_XB_LIST_DELETE = 1012, IDC_XB_LIST_HELP = 1044;
inline constexpr int kXbPageSize = 200;

// Pages of 200 that hold `total` results (an exact multiple fills its last page); at least 1.
int XbPageCount(int total);

class CXBQCList : public QcListDialog {
 public:
  explicit CXBQCList(ui::Window* parent = nullptr);
  int page() const { return page_; }
  int pageCount() const { return XbPageCount(static_cast<int>(runs_.size())); }
  int total() const { return static_cast<int>(runs_.size()); }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;

 private:
  void ShowPage(int page);
  void OnDelete();
  CXPButton prev_, next_;
  std::vector<LjRun> runs_;  // every stored result, oldest first
  int page_ = 1;
  int shown_ = 0;
};

}  // namespace qc
