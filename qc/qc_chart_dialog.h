#pragma once
// What the L-J, X-R and X-B chart screens share: their four scope charts, their labels, the data
// store connection, the print-out on a thread of its own with its hint and progress report, the
// arrow keys that page and move the cursor, Enter and Escape that do not close the screen, the
// dialog frame and the label colour, and Exit that waits for a print-out and closes the connection.
#include <array>
#include <functional>
#include <thread>

#include "controls/oscope_ctrl.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "printing/print_hint_dlg.h"
#include "qc/chart_labels.h"

namespace qc {

class QcChartDialog : public ui::Dialog {
 public:
  QcChartDialog(int templateId, ui::Window* parent);
  ~QcChartDialog() override;
  // Prints synchronously when `wait` (tests); otherwise on the print thread.
  void SetPrintWait(bool wait) { printWait_ = wait; }

 protected:
  // The screen's own moves (-1 up, +1 down; 0 left, 1 right) and its print-out.
  virtual void MovePage(int direction) = 0;
  virtual void MoveCursor(int direction) = 0;
  virtual void OnPrint() = 0;
  // Enables or disables the arrow, Print and Exit buttons (and a screen's own besides).
  virtual void EnableButtons(bool enable);
  // Takes over the arrow buttons (up, down, left, right), Print and Exit, with the captions of
  // Print and Exit in `language`; the buttons then move, page and print.
  void TakeOverButtons(const std::array<int, 4>& arrowIds, int printId, int language);
  // Whether the arrow keys move the charts now.
  virtual bool ArrowKeysActive() { return true; }
  // Moves the 1-based `cursor` one point left (0) or right (1) within the points first ..
  // first + count - 1 (0-based) that the charts show, and their cursor lines with it.
  void StepCursor(int direction, int& cursor, int first, int count);
  // Runs a print-out once the last one has ended: at once in tests, else on the print thread.
  // `body` works on its own copy of the data and posts WM_PRINT_PROGRESS 1 when it is done.
  void StartPrint(std::function<void()> body);

  // Scales the screen and takes over its labels; each screen goes on from there.
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnCancel() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

  COScopeCtrl charts_[4];
  CXPButton up_, down_, left_, right_, print_, exit_;
  ChartLabels labels_;
  CADOConn conn_;
  PrintHintHolder hint_;

 private:
  std::array<int, 4> arrowIds_{};
  int printId_ = 0;
  bool printWait_ = false;
  std::thread printThread_;
};

}  // namespace qc
