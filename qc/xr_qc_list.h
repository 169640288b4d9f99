#pragma once
// CXRQCList: every stored result of one X-R QC file, one column per result in the order of
// measurement; results are deleted (picked columns, or all) and handed to the LIS send screen.
#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "qc/qc_list_dialog.h"

namespace qc {

inline constexpr int IDD_XR_QC_LIST = 228;
inline constexpr int IDC_XR_LIST_GRID = 1469;
inline constexpr int IDC_XR_LIST_SEND = 1531, IDC_XR_LIST_DELETE = 1012, IDC_XR_LIST_HELP = 1044;

class CXRQCList : public QcListDialog {
 public:
  explicit CXRQCList(ui::Window* parent = nullptr);
  int QcFileNo = 1;
  int resultCount() const { return count_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;

 private:
  void OnDelete();
  int count_ = 0;
};

}  // namespace qc
