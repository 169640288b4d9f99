#include "qc/qc_chart_dialog.h"

#include "controls/screen_common.h"
#include "core/dialog_layout.h"
#include "qc/chart_navigation.h"
#include "qc/chart_print_progress.h"
#include "qc/qc_common.h"

namespace qc {

QcChartDialog::QcChartDialog(int templateId, ui::Window* parent) : ui::Dialog(templateId, parent) {
  RegisterPrintHintResources();
}

bool QcChartDialog::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  labels_.TakeOver(this);
  return true;
}

QcChartDialog::~QcChartDialog() {
  if (printThread_.joinable()) printThread_.join();
}

void QcChartDialog::TakeOverButtons(const std::array<int, 4>& arrowIds, int printId, int lang) {
  arrowIds_ = arrowIds;
  printId_ = printId;
  SetUpChartArrows(this, {&up_, &down_, &left_, &right_}, arrowIds);
  print_.SubclassDlgItem(printId, this);
  exit_.SubclassDlgItem(ui::IDCANCEL, this);
  print_.SetWindowText(PrintButtonText(lang));
  exit_.SetWindowText(ExitButtonText(lang));
}

void QcChartDialog::EnableButtons(bool enable) {
  for (CXPButton* b : {&up_, &down_, &left_, &right_, &print_, &exit_}) b->EnableWindow(enable);
}

bool QcChartDialog::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED && printId_ != 0) {
    if (id == arrowIds_[0]) MovePage(-1);
    else if (id == arrowIds_[1]) MovePage(+1);
    else if (id == arrowIds_[2]) MoveCursor(0);
    else if (id == arrowIds_[3]) MoveCursor(1);
    else if (id == printId_) OnPrint();
    else return ui::Dialog::OnCommand(id, code, control);
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void QcChartDialog::StepCursor(int direction, int& cursor, int first, int count) {
  const int point = cursor - 1;
  if (direction == 0 && point > first) {
    --cursor;
    for (auto& c : charts_) c.MoveCursor(0);
  } else if (direction == 1 && point < first + count - 1) {
    ++cursor;
    for (auto& c : charts_) c.MoveCursor(1);
  }
}

void QcChartDialog::StartPrint(std::function<void()> body) {
  if (printThread_.joinable()) printThread_.join();
  if (printWait_) body();
  else printThread_ = std::thread(std::move(body));
}

void QcChartDialog::OnCancel() {
  if (printThread_.joinable()) printThread_.join();
  conn_.Disconnect();
  ui::Dialog::OnCancel();
}

bool QcChartDialog::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  if (ArrowKeysActive() && ChartArrowKey(msg, [this](int d) { MovePage(d); }, [this](int d) { MoveCursor(d); }))
    return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool QcChartDialog::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* QcChartDialog::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

ui::LResult QcChartDialog::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == WM_PRINT_PROGRESS) {
    ChartPrintProgress(w != 0, hint_, printThread_, [this](bool enable) { EnableButtons(enable); });
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

}  // namespace qc
