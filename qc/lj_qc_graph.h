#pragma once
// CLJQCGraph: the Levey-Jennings charts of one QC file (LjQcChartFileNo), four parameters a
// page, every stored run plotted against the file's target and SD on chart screens of 55 runs,
// with the mean, SD and CV% of each parameter over all runs. Its Print button prints the page
// on show, of all runs or of a date range, on a thread of its own.
#include <memory>
#include <thread>

#include "controls/oscope_ctrl.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"
#include "printing/print_hint_dlg.h"
#include "qc/chart_labels.h"
#include "qc/qc_chart_dialog.h"
#include "qc/lj_chart_data.h"

namespace qc {

inline constexpr int IDD_LJ_QC_GRAPH = 108;
inline constexpr int IDC_LJG_LOT = 1602, IDC_LJG_EXPIRY = 1604, IDC_LJG_TIME = 1606, IDC_LJG_SEQ = 1608;
inline constexpr int IDC_LJG_NAME0 = 1610, IDC_LJG_VALUE0 = 1614;
inline constexpr int IDC_LJG_AXIS_HIGH0 = 1620, IDC_LJG_AXIS_MID0 = 1624, IDC_LJG_AXIS_LOW0 = 1628;
inline constexpr int IDC_LJG_MEAN0 = 1636, IDC_LJG_SD0 = 1644, IDC_LJG_CV0 = 1652;
inline constexpr int IDC_LJG_CHART0 = 1660;
inline constexpr int IDC_LJG_SCROLL = 1670;
inline constexpr int IDC_LJG_UP = 1671, IDC_LJG_DOWN = 1672, IDC_LJG_LEFT = 1673, IDC_LJG_RIGHT = 1674;
inline constexpr int IDC_LJG_PRINT = 1043, IDC_LJG_HELP = 1044, IDC_LJG_FRAME = 1675;

// How a print-out was prepared: a copy of the chart data (all runs, or those of a range).
struct PrintJob {
  LjChartData data;
  bool thermal = true;
};

class CLJQCGraph : public QcChartDialog {
 public:
  explicit CLJQCGraph(ui::Window* parent = nullptr);

  int cursor() const { return cursor_; }
  int screen() const { return screen_; }
  COScopeCtrl& chart(int k) { return charts_[k]; }
  // The run (0-based) drawn at the chart's cursor line.
  int CursorRun() const { return cursor_ - 1; }
  void ShowScreen(int s);
  void MoveCursor(int direction) override;  // 1 right, 0 left
  void MovePage(int direction) override;    // -1 up, +1 down
  // The copy the last print-out worked on.
  const LjChartData& lastPrinted() const { return lastPrinted_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnHScroll(int code, int pos, ui::Window* bar) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void ShowPageNames();
  void SetRanges();
  void ShowCursorLabels();
  void ShowStats();
  void OnPrint() override;
  void EnableButtons(bool enable) override;
  // While a print-out is prepared (Exit disabled) the arrow keys do nothing.
  bool ArrowKeysActive() override;

  ui::ScrollBar* scroll_ = nullptr;
  CXPButton help_;
  int cursor_ = 1, screen_ = 1;
  int printer_ = 0;
  bool printBusy_ = false;
  LjChartData lastPrinted_;
};

}  // namespace qc
