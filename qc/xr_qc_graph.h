#pragma once
// CXRQCGraph: the X-bar and R control charts of one complete X-R QC file (XrQcFileNo), two
// parameters a page; a cursor moves from group to group and shows the group's mean and range.
#include <thread>

#include "controls/oscope_ctrl.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "printing/print_hint_dlg.h"
#include "qc/chart_labels.h"
#include "qc/qc_chart_dialog.h"
#include "qc/xr_print.h"
#include "qc/xr_stats.h"

namespace qc {

inline constexpr int IDD_XR_QC_GRAPH = 191;
inline constexpr int IDC_XRG_BATCH = 1166, IDC_XRG_EXPIRY = 1153, IDC_XRG_POSITION = 1182;
inline constexpr int IDC_XRG_NAME_UPPER = 1176, IDC_XRG_NAME_LOWER = 1177;
inline constexpr int IDC_XRG_CURSOR0 = 1392;  // .. 1395: mean and range, upper then lower
inline constexpr int IDC_XRG_UP = 1040, IDC_XRG_DOWN = 1041, IDC_XRG_LEFT = 1443, IDC_XRG_RIGHT = 1444;
inline constexpr int IDC_XRG_PRINT = 1043;
// Axis labels, top to bottom: X upper, R upper, X lower, R lower.
extern const int kXrAxisLabelIds[4][3];

class CXRQCGraph : public QcChartDialog {
 public:
  explicit CXRQCGraph(ui::Window* parent = nullptr);
  bool complete() const { return complete_; }
  int cursorGroup() const { return cursor_; }
  const XrStats& stats() const { return stats_; }

 protected:
  bool OnInitDialog() override;

 private:
  void ShowPair();
  void ShowCursor();
  void MovePage(int direction) override;
  void MoveCursor(int direction) override;
  void OnPrint() override;

  // charts_: X upper, R upper, X lower, R lower
  XrStats stats_;
  std::string batch_, expiry_;
  int groups_ = 20, groupSize_ = 2;
  int first_ = 0;  // the upper parameter (chart order); the lower one is first_ + 1
  int cursor_ = 1;
  bool complete_ = false;
  int printer_ = 0;
  std::string unitName_;
};

}  // namespace qc
