#pragma once
// CXBQCGraph: the X-B points, four parameters a page, each against the X-B target and limit,
// 25 results to a chart screen; a cursor moves from result to result.
#include <thread>

#include "controls/oscope_ctrl.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"
#include "printing/print_hint_dlg.h"
#include "qc/chart_labels.h"
#include "qc/qc_chart_dialog.h"
#include "qc/lj_chart_data.h"

namespace qc {

inline constexpr int IDD_XB_QC_GRAPH = 143;
inline constexpr int kXbPointsPerScreen = 25;
inline constexpr int IDC_XBG_NAME0 = 1176, IDC_XBG_VALUE0 = 1172;
inline constexpr int IDC_XBG_POSITION = 1182, IDC_XBG_TIME = 1061, IDC_XBG_SCROLL = 1170;
inline constexpr int IDC_XBG_UP = 1040, IDC_XBG_DOWN = 1041, IDC_XBG_LEFT = 1443, IDC_XBG_RIGHT = 1444;
inline constexpr int IDC_XBG_PRINT = 1043;
extern const int kXbAxisLabelIds[4][3];

class CXBQCGraph : public QcChartDialog {
 public:
  explicit CXBQCGraph(ui::Window* parent = nullptr);
  int position() const { return position_; }
  int screen() const { return screen_; }
  void ShowScreen(int s);
  const LjChartData& lastPrinted() const { return lastPrinted_; }

 protected:
  bool OnInitDialog() override;
  void OnHScroll(int code, int pos, ui::Window* bar) override;

 private:
  void OnPrint() override;
  void ShowNamesAndRanges();
  void ShowCursor();
  void MoveCursor(int direction) override;
  void MovePage(int direction) override;

  ui::ScrollBar* scroll_ = nullptr;
  LjChartData data_;
  int position_ = 1, screen_ = 1;
  int printer_ = 0;
  LjChartData lastPrinted_;
};

}  // namespace qc
