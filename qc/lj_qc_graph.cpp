#include "qc/lj_qc_graph.h"
#include "core/sys_setting.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/lj_print.h"
#include "qc/chart_navigation.h"
#include "qc/chart_print_progress.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/qc_print_style.h"

namespace qc {
namespace {

ui::DialogTemplate GraphTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_LJG_FRAME, "", 2, 2, 316, 236, V | ui::BS_GROUPBOX);
  // Each caption ends two units before its value: a caption that fills its width would
  // otherwise read as one word with the value ("Caducidad2027-12-31").
  const struct {
    int id, x, w;
    const char* text;
  } top[8] = {{1601, 6, 28, "Lot:"},   {IDC_LJG_LOT, 36, 46, ""},  {1603, 84, 32, "Validity:"}, {IDC_LJG_EXPIRY, 118, 50, ""},
              {1605, 170, 20, "Time:"}, {IDC_LJG_TIME, 192, 76, ""}, {1607, 270, 20, "Seq#:"},  {IDC_LJG_SEQ, 292, 22, ""}};
  for (const auto& l : top) t.Add("Static", l.id, l.text, l.x, 8, l.w, 10, V | ui::SS_LEFT);
  for (int k = 0; k < 4; ++k) {
    const int y = 22 + k * 44;
    t.Add("Static", IDC_LJG_NAME0 + k, "", 4, y + 8, 28, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_VALUE0 + k, "", 4, y + 22, 28, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_AXIS_HIGH0 + k, "", 32, y + 6, 28, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_AXIS_MID0 + k, "", 32, y + 16, 28, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_AXIS_LOW0 + k, "", 32, y + 26, 28, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_CHART0 + k, "", 60, y, 204, 42, 0);
    t.Add("Static", 1632 + k, "Mean:", 266, y + 4, 22, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_MEAN0 + k, "", 288, y + 4, 28, 10, V | ui::SS_LEFT);
    t.Add("Static", 1640 + k, "Diff:", 266, y + 16, 22, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_SD0 + k, "", 288, y + 16, 28, 10, V | ui::SS_LEFT);
    t.Add("Static", 1648 + k, "CV%:", 266, y + 28, 22, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_LJG_CV0 + k, "", 288, y + 28, 28, 10, V | ui::SS_LEFT);
  }
  t.Add("ScrollBar", IDC_LJG_SCROLL, "", 60, 200, 204, 10, V | ui::SBS_HORZ);
  const int ids[7] = {IDC_LJG_UP, IDC_LJG_DOWN, IDC_LJG_LEFT, IDC_LJG_RIGHT, IDC_LJG_PRINT, IDC_LJG_HELP, ui::IDCANCEL};
  const int xs[7] = {8, 34, 60, 86, 130, 190, 250};
  const int ws[7] = {22, 22, 22, 22, 54, 54, 54};
  for (int i = 0; i < 7; ++i) t.Add("Button", ids[i], "", xs[i], 214, ws[i], 20, V | ui::WS_TABSTOP);
  return t;
}

std::string ValueText(float v) { return v < 0.0f ? "" : FormatValue(v, 0, 1); }

}  // namespace

CLJQCGraph::CLJQCGraph(ui::Window* parent) : QcChartDialog(IDD_LJ_QC_GRAPH, parent) {
  if (!ui::Resources::FindDialog(IDD_LJ_QC_GRAPH)) ui::Resources::AddDialog(IDD_LJ_QC_GRAPH, GraphTemplate());
}

bool CLJQCGraph::OnInitDialog() {
  QcChartDialog::OnInitDialog();
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(StrPrintf("L-J QC Graph(QC %d)", LjQcChartFileNo));
  LjQcChart = LjChartData{};
  LoadLjChartSettings(conn_, LjQcChartFileNo, &LjQcChart);
  LoadLjChartRuns(conn_, LjQcChartFileNo, "", "", &LjQcChart);
  TakeSetting(LoadSysSetting(conn_).row.Printer, printer_);
  for (int k = 0; k < 4; ++k) {
    ui::Window* place = GetDlgItem(IDC_LJG_CHART0 + k);
    charts_[k].Create(ui::WS_CHILD | ui::WS_VISIBLE, place->GetRectInParent(), this, IDC_LJG_CHART0 + 10 + k);
  }
  scroll_ = dynamic_cast<ui::ScrollBar*>(GetDlgItem(IDC_LJG_SCROLL));
  // As many chart screens as it takes to reach every run.
  if (scroll_) {
    scroll_->SetScrollRange(1, ChartScreenCount(LjQcChart.runCount));
    scroll_->SetScrollPos(1);
  }
  SetDlgItemText(IDC_LJG_LOT, LjQcChart.lot);
  SetDlgItemText(IDC_LJG_EXPIRY, LjQcChart.expiry);
  SetDlgItemText(1601, PickText(lang, "批号:", "Lot:", "Lote:", "Lot:", "Група №:"));
  SetDlgItemText(1603, PickText(lang, "有效期:", "Validity:", "Caducidad:", "Validite:", "Термін дії:"));
  SetDlgItemText(1605, PickText(lang, "时间:", "Time:", "Hora:", "Heure:", "Час:"));
  SetDlgItemText(1607, PickText(lang, "序号:", "Seq#:", "Sec#:", "Seq#:", "Пос#:"));
  TakeOverButtons({IDC_LJG_UP, IDC_LJG_DOWN, IDC_LJG_LEFT, IDC_LJG_RIGHT}, IDC_LJG_PRINT, lang);
  help_.SubclassDlgItem(IDC_LJG_HELP, this);
  help_.SetWindowText(HelpButtonText(lang));
  for (CXPButton* b : {&up_, &down_, &left_, &right_, &print_, &help_, &exit_}) b->SetBitmaps(401, 402, 488);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ShowPageNames();
  SetRanges();
  ShowScreen(1);
  return true;
}

void CLJQCGraph::ShowPageNames() {
  for (int k = 0; k < 4; ++k) {
    const int c = LjQcChart.chartParams[k];
    SetDlgItemText(IDC_LJG_NAME0 + k, kChartNames[c]);
    const float t = LjQcChart.targets[c], sd = LjQcChart.sds[c];
    SetDlgItemText(IDC_LJG_AXIS_HIGH0 + k, StrPrintf("%g", static_cast<double>(t + sd)));
    SetDlgItemText(IDC_LJG_AXIS_MID0 + k, StrPrintf("%g", static_cast<double>(t)));
    SetDlgItemText(IDC_LJG_AXIS_LOW0 + k, StrPrintf("%g", static_cast<double>(t - sd)));
  }
}

void CLJQCGraph::SetRanges() {
  for (int k = 0; k < 4; ++k) {
    const int c = LjQcChart.chartParams[k];
    double lo = 0, hi = 0;
    ChartRange(LjQcChart.targets[c], LjQcChart.sds[c], &lo, &hi);
    charts_[k].SetRange(lo, hi, 1.0, 1.0);
    // The step fits a whole chart screen into the plot, so every run of it can be reached.
    charts_[k].SetXStep(std::max(1, charts_[k].plotWidth / kPointsPerScreen));
  }
}

void CLJQCGraph::ShowStats() {
  for (int k = 0; k < 4; ++k) {
    SetDlgItemText(IDC_LJG_MEAN0 + k, StrPrintf("%g", static_cast<double>(LjQcChart.shownStats[0][k])));
    SetDlgItemText(IDC_LJG_SD0 + k, StrPrintf("%g", static_cast<double>(LjQcChart.shownStats[1][k])));
    SetDlgItemText(IDC_LJG_CV0 + k, StrPrintf("%g", static_cast<double>(LjQcChart.shownStats[2][k])));
  }
}

void CLJQCGraph::ShowCursorLabels() {
  const int run = CursorRun();
  const bool has = run >= 0 && run < LjQcChart.runCount;
  for (int k = 0; k < 4; ++k)
    SetDlgItemText(IDC_LJG_VALUE0 + k, has ? ValueText(LjQcChart.values[LjQcChart.chartParams[k]][run]) : "");
  SetDlgItemText(IDC_LJG_TIME, has ? LjQcChart.runTimes[run] : "");
  SetDlgItemText(IDC_LJG_SEQ, has ? StrPrintf("%d", cursor_) : "");
  labels_.RedrawAll();
}

void CLJQCGraph::ShowScreen(int s) {
  screen_ = s;
  int first = 0, count = 0;
  ChartScreenRuns(LjQcChart.runCount, s, &first, &count);
  for (int k = 0; k < 4; ++k) {
    charts_[k].InvalidateCtrl();
    const std::vector<float>& v = LjQcChart.values[LjQcChart.chartParams[k]];
    // Every run takes its step, drawn or not, so the n-th step is the n-th run of the screen
    // and lines up with the cursor.
    for (int i = first; i < first + count; ++i) charts_[k].AppendPoint(v[i]);
  }
  cursor_ = first + 1;
  ShowCursorLabels();
  ShowStats();
}

void CLJQCGraph::MoveCursor(int direction) {
  int first = 0, count = 0;
  ChartScreenRuns(LjQcChart.runCount, screen_, &first, &count);
  if (count == 0) return;
  StepCursor(direction, cursor_, first, count);
  ShowCursorLabels();
}

void CLJQCGraph::MovePage(int direction) {
  if (!MoveChartPage(&LjQcChart, direction)) return;
  ShowPageNames();
  SetRanges();
  ShowScreen(screen_);
}

void CLJQCGraph::OnHScroll(int code, int pos, ui::Window* bar) {
  if (!scroll_ || bar != scroll_) return;
  int p = 0;
  if (ScrollChartBar(*scroll_, code, pos, &p)) ShowScreen(p);
}

void CLJQCGraph::EnableButtons(bool enable) {
  QcChartDialog::EnableButtons(enable);
  help_.EnableWindow(enable);
}

void CLJQCGraph::OnPrint() {
  if (printBusy_) return;
  CQCPrintStyle style(this);
  if (style.DoModal() != ui::IDOK) return;
  printBusy_ = true;
  PrintJob job;
  job.data = LjQcChart;  // the print-out works on its own copy
  job.thermal = printer_ == 0;
  if (style.rangeChoice == 1)
    LoadLjChartRuns(conn_, LjQcChartFileNo, RangeDateText(style.start), RangeDateText(style.end), &job.data);
  if (job.data.runCount < 1) {
    QcMessage(this, PickText(AppSettings.LanguageIndex, "无数据,不能打印!", "No data, can not print!", "Sin datos, no se puede imprimir!",
                             "Pas de donnees, impression impossible!", "Немає даних, друк неможливий!"),
              ui::MB_ICONWARNING);
    printBusy_ = false;
    return;
  }
  lastPrinted_ = job.data;
  // The buttons go before the thread starts: nothing can change the page or leave the screen
  // while the print-out runs.
  EnableButtons(false);
  hint_.Show();
  const int lang = AppSettings.LanguageIndex;
  const sys::LocalTime now = sys::Clock::Now();
  auto body = [this, job = std::move(job), lang, now]() {
    if (job.thermal) PrintLjChartThermal(job.data, lang, now);
    else PrintLjChartPage(job.data, lang, now);
    PostPrintProgress(this, 1);
  };
  StartPrint(std::move(body));
  printBusy_ = false;
}

bool CLJQCGraph::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED && id == IDC_LJG_HELP) {
    OpenHelp();
    return true;
  }
  return QcChartDialog::OnCommand(id, code, control);
}

bool CLJQCGraph::ArrowKeysActive() { return exit_.IsWindowEnabled(); }

bool CLJQCGraph::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawBottomBars(dc, this, IDC_LJG_FRAME, IDC_LJG_UP, ui::IDCANCEL);
  return true;
}

}  // namespace qc
