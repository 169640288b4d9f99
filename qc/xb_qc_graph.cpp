#include "qc/xb_qc_graph.h"
#include "core/sys_setting.h"

#include <algorithm>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"
#include "qc/lj_print.h"
#include "qc/chart_navigation.h"
#include "qc/chart_print_progress.h"
#include "qc/qc_common.h"
#include "qc/qc_print_style.h"
#include "core/field_read.h"
#include "platform/sys/clock.h"
#include "platform/ui/message_box.h"
#include "printing/print_hint_dlg.h"
#include "qc/qc_names.h"

namespace qc {

const int kXbAxisLabelIds[4][3] = {{1333, 1334, 1335}, {1336, 1337, 1338}, {1339, 1340, 1410}, {1411, 1412, 1413}};

namespace {

const int kFrames[4] = {1167, 1168, 1169, 1171};

ui::DialogTemplate XbGraphTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", 2015, "", 5, 2, 311, 16, V | ui::BS_GROUPBOX);
  t.Add("Static", 1592, "Current/Total:", 12, 6, 58, 10, V | ui::SS_LEFT);
  t.Add("Static", IDC_XBG_POSITION, "", 72, 6, 60, 10, V | ui::SS_LEFT);
  t.Add("Static", 1591, "Time:", 150, 6, 28, 10, V | ui::SS_LEFT);
  t.Add("Static", IDC_XBG_TIME, "", 180, 6, 100, 10, V | ui::SS_LEFT);
  t.Add("Button", 2016, "", 5, 18, 311, 192, V | ui::BS_GROUPBOX);
  for (int k = 0; k < 4; ++k) {
    const int y = 22 + k * 44;
    t.Add("Static", IDC_XBG_NAME0 + k, kChartNames[k], 8, y + 8, 30, 10, V | ui::SS_LEFT);
    t.Add("Static", IDC_XBG_VALUE0 + k, "", 8, y + 22, 30, 10, V | ui::SS_LEFT);
    for (int j = 0; j < 3; ++j) t.Add("Static", kXbAxisLabelIds[k][j], "", 40, y + 6 + j * 10, 30, 10, V | ui::SS_LEFT);
    t.Add("Static", kFrames[k], "", 72, y, 236, 40, 0);
  }
  t.Add("ScrollBar", IDC_XBG_SCROLL, "", 72, 198, 236, 10, V | ui::SBS_HORZ);
  const int ids[6] = {IDC_XBG_UP, IDC_XBG_DOWN, IDC_XBG_LEFT, IDC_XBG_RIGHT, IDC_XBG_PRINT, ui::IDCANCEL};
  const int xs[6] = {8, 34, 60, 86, 160, 240}, ws[6] = {22, 22, 22, 22, 60, 60};
  for (int i = 0; i < 6; ++i) t.Add("Button", ids[i], "", xs[i], 214, ws[i], 20, V | ui::WS_TABSTOP);
  return t;
}

std::string ValueText(float v) { return v < 0.0f ? "" : StrPrintf("%g", static_cast<double>(v)); }

}  // namespace

CXBQCGraph::CXBQCGraph(ui::Window* parent) : QcChartDialog(IDD_XB_QC_GRAPH, parent) {
  if (!ui::Resources::FindDialog(IDD_XB_QC_GRAPH)) ui::Resources::AddDialog(IDD_XB_QC_GRAPH, XbGraphTemplate());
}

bool CXBQCGraph::OnInitDialog() {
  QcChartDialog::OnInitDialog();
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "X-B质控图", "X-B QC Graph", "Grafico X-B", "Courbes X-B", "X-B діаграма"));
  LoadXbChartData(conn_, &data_);
  TakeSetting(LoadSysSetting(conn_).row.Printer, printer_);
  for (int k = 0; k < 4; ++k)
    charts_[k].Create(ui::WS_CHILD | ui::WS_VISIBLE, GetDlgItem(kFrames[k])->GetRectInParent(), this, 1700 + k);
  scroll_ = dynamic_cast<ui::ScrollBar*>(GetDlgItem(IDC_XBG_SCROLL));
  // As many chart screens as it takes to reach every result, an exact multiple without an empty one.
  if (scroll_) {
    scroll_->SetScrollRange(1, ChartScreenCount(data_.runCount, kXbPointsPerScreen));
    scroll_->SetScrollPos(1);
  }
  SetDlgItemText(1592, PickText(lang, "位置/总数:", "Current/Total:", "Actual/Total:", "Position/Total:", "Положення:"));
  SetDlgItemText(1591, PickText(lang, "时间:", "Time:", "Hora:", "Heure:", "Час:"));
  TakeOverButtons({IDC_XBG_UP, IDC_XBG_DOWN, IDC_XBG_LEFT, IDC_XBG_RIGHT}, IDC_XBG_PRINT, lang);
  up_.SetBitmaps(466, 465, 464);
  for (CXPButton* b : {&down_, &left_, &right_, &print_}) b->SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ShowNamesAndRanges();
  ShowScreen(1);
  return true;
}

void CXBQCGraph::ShowNamesAndRanges() {
  for (int k = 0; k < 4; ++k) {
    const int c = data_.chartParams[k];
    SetDlgItemText(IDC_XBG_NAME0 + k, kChartNames[c]);
    const float t = data_.targets[c], l = data_.sds[c];
    SetDlgItemText(kXbAxisLabelIds[k][0], StrPrintf("%g", static_cast<double>(t + l)));
    SetDlgItemText(kXbAxisLabelIds[k][1], StrPrintf("%g", static_cast<double>(t)));
    SetDlgItemText(kXbAxisLabelIds[k][2], StrPrintf("%g", static_cast<double>(t - l)));
    double lo = 0, hi = 0;
    ChartRange(t, l, &lo, &hi);  // a limit of 0 still gives a range to draw in
    charts_[k].SetRange(lo, hi, 1.0, 1.0);
    charts_[k].SetXStep(std::max(1, charts_[k].plotWidth / kXbPointsPerScreen));
  }
}

void CXBQCGraph::ShowScreen(int s) {
  screen_ = s;
  int first = 0, count = 0;
  ChartScreenRuns(data_.runCount, s, &first, &count, kXbPointsPerScreen);
  for (int k = 0; k < 4; ++k) {
    charts_[k].InvalidateCtrl();
    // Every result takes its step, so the cursor stays on the point whose value it shows.
    for (int i = first; i < first + count; ++i) charts_[k].AppendPoint(data_.values[data_.chartParams[k]][i]);
  }
  position_ = first + 1;
  ShowCursor();
}

void CXBQCGraph::ShowCursor() {
  const int run = position_ - 1;
  const bool has = run >= 0 && run < data_.runCount;
  for (int k = 0; k < 4; ++k) SetDlgItemText(IDC_XBG_VALUE0 + k, has ? ValueText(data_.values[data_.chartParams[k]][run]) : "");
  SetDlgItemText(IDC_XBG_TIME, has ? data_.runTimes[run] : "");
  SetDlgItemText(IDC_XBG_POSITION, has ? StrPrintf("%d/%d", position_, data_.runCount) : "");
  labels_.RedrawAll();
}

void CXBQCGraph::MoveCursor(int direction) {
  int first = 0, count = 0;
  ChartScreenRuns(data_.runCount, screen_, &first, &count, kXbPointsPerScreen);
  if (count == 0) return;
  StepCursor(direction, position_, first, count);
  ShowCursor();
}

void CXBQCGraph::MovePage(int direction) {
  if (direction < 0 && data_.chartParams[0] == 0) return;
  if (direction > 0 && data_.chartParams[3] == 19) return;
  for (int& p : data_.chartParams) p += direction < 0 ? -4 : 4;
  ShowNamesAndRanges();
  ShowScreen(screen_);
}

void CXBQCGraph::OnHScroll(int code, int pos, ui::Window* bar) {
  if (!scroll_ || bar != scroll_) return;
  int p = 0;
  if (ScrollChartBar(*scroll_, code, pos, &p)) ShowScreen(p);
}

void CXBQCGraph::OnPrint() {
  CQCPrintStyle style(this);
  if (style.DoModal() != ui::IDOK) return;
  // The print-out works on its own copy; a range is loaded into the copy, never into the screen.
  LjChartData job = data_;
  if (style.rangeChoice == 1) {
    const std::string from = RangeDateText(style.start), to = RangeDateText(style.end);
    LjChartData all;
    LoadXbChartData(conn_, &all);
    job.runCount = 0;
    job.runTimes.clear();
    job.shortDates.clear();
    for (auto& v : job.values) v.clear();
    for (int i = 0; i < all.runCount; ++i) {
      const std::string date = all.runTimes[i].substr(0, all.runTimes[i].find(' '));
      if (date < from || date > to) continue;
      for (int c = 0; c < 20; ++c) job.values[c].push_back(all.values[c][i]);
      job.runTimes.push_back(all.runTimes[i]);
      job.shortDates.push_back(all.shortDates[i]);
      ++job.runCount;
    }
  }
  const int lang = AppSettings.LanguageIndex;
  if (job.runCount < 1) {
    QcMessage(this, PickText(lang, "没有数据，不能打印！", "No data, can not print!", "No existen datos para imprimir!",
                             "Pas de donnees, pas d'impression!", "Друк неможливий, немає даних!"),
              ui::MB_ICONWARNING);
    return;
  }
  lastPrinted_ = job;
  EnableButtons(false);  // before the thread starts: nothing changes the page while it prints
  hint_.Show();
  const sys::LocalTime now = sys::Clock::Now();
  const bool thermal = printer_ == 0;
  const int page = screen_;
  auto body = [this, job = std::move(job), lang, now, thermal, page] {
    if (thermal) PrintXbChartThermal(job, page, lang, now);
    else PrintLjChartPage(job, lang, now, true);
    PostMessage(WM_PRINT_PROGRESS, 1, 0);
  };
  StartPrint(std::move(body));
}

}  // namespace qc
