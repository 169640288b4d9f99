#include "qc/xr_qc_graph.h"
#include "core/sys_setting.h"

#include <cmath>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "printing/print_hint_dlg.h"
#include "platform/ui/resources.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_tables.h"
#include "qc/chart_navigation.h"
#include "qc/chart_print_progress.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"

namespace qc {

const int kXrAxisLabelIds[4][3] = {{1471, 1472, 1473}, {1333, 1334, 1335}, {1474, 1475, 1476}, {1336, 1337, 1338}};

namespace {

const int kChartFrames[4] = {1167, 1168, 1169, 1171};
const int kChartCaptions[4] = {1649, 1650, 1651, 1652};

ui::DialogTemplate XrGraphTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", 2035, "", 2, 2, 316, 20, V | ui::BS_GROUPBOX);
  // Each value starts two units after its caption (else a full caption runs into it).
  t.Add("Static", 1152, "Lot:", 6, 8, 22, 10, V | ui::SS_LEFT);
  t.Add("Static", IDC_XRG_BATCH, "", 30, 8, 48, 10, V | ui::SS_LEFT);
  t.Add("Static", 1647, "Validity:", 80, 8, 36, 10, V | ui::SS_LEFT);
  t.Add("Static", IDC_XRG_EXPIRY, "", 118, 8, 50, 10, V | ui::SS_LEFT);
  t.Add("Static", 1648, "Seq#:", 170, 8, 40, 10, V | ui::SS_LEFT);
  // Wide enough for the groups left out after the position.
  t.Add("Static", IDC_XRG_POSITION, "", 212, 8, 104, 10, V | ui::SS_LEFT);
  t.Add("Button", 2034, "", 2, 24, 316, 184, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_XRG_NAME_UPPER, "", 6, 28, 40, 10, V | ui::SS_LEFT);
  t.Add("Static", IDC_XRG_NAME_LOWER, "", 6, 116, 40, 10, V | ui::SS_LEFT);
  for (int k = 0; k < 4; ++k) {
    const int y = 28 + k * 44;
    // Two units short of the axis labels: a caption that fills its width would otherwise run
    // into the axis value beside it.
    t.Add("Static", kChartCaptions[k], "", 6, y + 14, 32, 10, V | ui::SS_LEFT);
    for (int j = 0; j < 3; ++j) t.Add("Static", kXrAxisLabelIds[k][j], "", 40, y + 2 + j * 14, 30, 10, V | ui::SS_LEFT);
    t.Add("Static", kChartFrames[k], "", 72, y, 200, 40, 0);
    t.Add("Static", IDC_XRG_CURSOR0 + k, "", 276, y + 14, 38, 10, V | ui::SS_LEFT);
  }
  const int ids[6] = {IDC_XRG_UP, IDC_XRG_DOWN, IDC_XRG_LEFT, IDC_XRG_RIGHT, IDC_XRG_PRINT, ui::IDCANCEL};
  const int xs[6] = {8, 34, 60, 86, 160, 240}, ws[6] = {22, 22, 22, 22, 60, 60};
  for (int i = 0; i < 6; ++i) t.Add("Button", ids[i], "", xs[i], 214, ws[i], 20, V | ui::WS_TABSTOP);
  return t;
}

// A limit on an axis label: two decimals as the integer part of x x 100 + 0.5, divided by 100.
std::string AxisText(double x) { return StrPrintf("%g", std::floor(x * 100 + 0.5) / 100); }

// The groups a shown parameter's statistics leave out (a group short of a usable value), named
// after the group count: "(left out: WBC 2, RBC 1)". Nothing when every group counts or when
// the parameter has no usable value at all (not under QC: it has no chart).
std::string LeftOutText(int lang, int groups, const XrStats& stats, int first) {
  std::string items;
  for (int p = first; p < first + 2; ++p) {
    const int used = stats.params[p].groupsUsed;
    if (used == 0 || used >= groups) continue;
    if (!items.empty()) items += ", ";
    items += StrPrintf("%s %d", kChartNames[p], groups - used);
  }
  if (items.empty()) return "";
  return StrPrintf(PickText(lang, " (未计入: %s)", " (left out: %s)", " (excluidos: %s)", " (exclus: %s)",
                            " (виключено: %s)"),
                   items.c_str());
}

}  // namespace

CXRQCGraph::CXRQCGraph(ui::Window* parent) : QcChartDialog(IDD_XR_QC_GRAPH, parent) {
  if (!ui::Resources::FindDialog(IDD_XR_QC_GRAPH)) ui::Resources::AddDialog(IDD_XR_QC_GRAPH, XrGraphTemplate());
}

bool CXRQCGraph::OnInitDialog() {
  QcChartDialog::OnInitDialog();
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(StrPrintf(PickText(lang, "X-R质控图(质控%d)", "X-R QC Graph(QC %d)", "Grafico X-R(QC %d)", "Courbes X-R(CQ %d)",
                                   "X-R КЯ графік(КЯ %d)"),
                          XrQcFileNo));
  {
    RecordsetPtr& rs = conn_.OpenRecordset(StrPrintf("Select * from XRQCSet where QcFileNo=%d", XrQcFileNo));
    if (conn_.RecordsetOpen() && HasRows(*rs)) {
      ReadField(*rs, "BatchNo", batch_);
      ReadField(*rs, "ExpDate", expiry_);
      uint8_t g = 0, n = 0;
      if (ReadField(*rs, "GroupNum", g)) groups_ = g;
      if (ReadField(*rs, "NumPerGroup", n)) groupSize_ = n;
    }
    conn_.CloseRecordset();
  }
  for (int k = 0; k < 4; ++k)
    charts_[k].Create(ui::WS_CHILD | ui::WS_VISIBLE, GetDlgItem(kChartFrames[k])->GetRectInParent(), this, 1700 + k);
  const std::vector<LjRun> runs = ReadXrRuns(conn_, XrQcFileNo);
  std::vector<std::array<float, 20>> values;
  std::vector<std::string> dates;
  for (const LjRun& r : runs) {
    std::array<float, 20> v{};
    for (int c = 0; c < 20; ++c) v[c] = r.values[kStoreFromChart[c]];
    values.push_back(v);
    dates.push_back(r.date);
  }
  complete_ = ComputeXrStats(values, dates, groups_, groupSize_, &stats_);
  {
    const SysSettingRow row = LoadSysSetting(conn_).row;
    TakeSetting(row.Printer, printer_);
    TakeSetting(row.UnitName, unitName_);
  }
  SetDlgItemText(IDC_XRG_BATCH, batch_);
  SetDlgItemText(IDC_XRG_EXPIRY, expiry_);
  SetDlgItemText(1152, PickText(lang, "批号:", "Lot:", "Lote:", "Lot:", "Група №:"));
  SetDlgItemText(1647, PickText(lang, "有效期:", "Validity:", "Caducidad:", "Validite:", "Термін дії:"));
  SetDlgItemText(1648, PickText(lang, "序号:", "Seq#:", "Seq#:", "Seq:", "Результ. №:"));
  for (int k = 0; k < 4; ++k)
    SetDlgItemText(kChartCaptions[k], k % 2 == 0 ? PickText(lang, "X图", "X Graph", "Grafico X", "Courbes X", "X графік")
                                                 : PickText(lang, "R图", "R Graph", "Grafico R", "Courbes R", "R графік"));
  TakeOverButtons({IDC_XRG_UP, IDC_XRG_DOWN, IDC_XRG_LEFT, IDC_XRG_RIGHT}, IDC_XRG_PRINT, lang);
  up_.SetBitmaps(466, 465, 464);
  for (CXPButton* b : {&down_, &left_, &right_, &print_}) b->SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ShowPair();
  return true;
}

void CXRQCGraph::ShowPair() {
  SetDlgItemText(IDC_XRG_NAME_UPPER, kChartNames[first_]);
  SetDlgItemText(IDC_XRG_NAME_LOWER, kChartNames[first_ + 1]);
  cursor_ = 1;
  for (int k = 0; k < 4; ++k) {
    charts_[k].InvalidateCtrl();
    for (int j = 0; j < 3; ++j) SetDlgItemText(kXrAxisLabelIds[k][j], complete_ ? "" : "0");
  }
  if (!complete_) {
    ShowCursor();
    return;
  }
  for (int half = 0; half < 2; ++half) {
    const XrParamStats& s = stats_.params[first_ + half];
    COScopeCtrl& x = charts_[2 * half];
    COScopeCtrl& r = charts_[2 * half + 1];
    x.SetRange(s.grandMean - 2 * s.a2Rbar, s.grandMean + 2 * s.a2Rbar, 1.0, 1.0);
    double lo, hi, above, below;
    XrRangeChart(s.meanRange, s.lclR, s.uclR, &lo, &hi, &above, &below);
    r.SetRange(lo, hi, above, below);
    for (size_t g = 0; g < s.groupMeans.size(); ++g) {
      x.AppendPoint(s.groupMeans[g]);
      r.AppendPoint(s.groupRanges[g]);
    }
    const double xs[3] = {s.uclX, s.grandMean, s.lclX}, rs[3] = {s.uclR, s.meanRange, s.lclR};
    for (int j = 0; j < 3; ++j) {
      SetDlgItemText(kXrAxisLabelIds[2 * half][j], AxisText(xs[j]));
      SetDlgItemText(kXrAxisLabelIds[2 * half + 1][j], AxisText(rs[j]));
    }
  }
  ShowCursor();
}

void CXRQCGraph::ShowCursor() {
  if (!complete_) {
    for (int k = 0; k < 4; ++k) SetDlgItemText(IDC_XRG_CURSOR0 + k, "");
    SetDlgItemText(IDC_XRG_POSITION, "");
    labels_.RedrawAll();
    return;
  }
  const int g = cursor_ - 1;
  for (int half = 0; half < 2; ++half) {
    const XrParamStats& s = stats_.params[first_ + half];
    auto text = [](float v) { return v < 0.0f ? std::string() : StrPrintf("%.2f", static_cast<double>(v)); };
    SetDlgItemText(IDC_XRG_CURSOR0 + 2 * half, text(s.groupMeans[g]));
    SetDlgItemText(IDC_XRG_CURSOR0 + 2 * half + 1, text(s.groupRanges[g]));
  }
  SetDlgItemText(IDC_XRG_POSITION, StrPrintf("%d/%d", cursor_, groups_) +
                                       LeftOutText(AppSettings.LanguageIndex, groups_, stats_, first_));
  labels_.RedrawAll();
}

void CXRQCGraph::MovePage(int direction) {
  if (direction < 0 && first_ == 0) return;
  if (direction > 0 && first_ + 1 == 19) return;
  first_ += direction < 0 ? -2 : 2;
  ShowPair();
}

void CXRQCGraph::MoveCursor(int direction) {
  if (!complete_) return;
  StepCursor(direction, cursor_, 0, groups_);
  ShowCursor();
}

void CXRQCGraph::OnPrint() {
  const int lang = AppSettings.LanguageIndex;
  if (!complete_) {
    QcMessage(this,
              PickText(lang, "质控测试数不等于组数与每组样本数的乘积!",
                       "QC tests is not equal to number of groups multiplied by sample number of each group!",
                       "Las pruebas de control de calidad no es igual el numero de grupos de multiplicado por numero de muestras "
                       "para cada grupo!",
                       "Tests QC n'est pas egal au nombre de groupes multiplie par nombre d'echantillon de chaque groupe!",
                       "Тести КЯ не еквівалентні числу груп помножених на число проб кожної групи"),
              ui::MB_ICONWARNING);
    return;
  }
  // The print-out works on its own copy: the page on show may change meanwhile.
  XrPrintData data;
  data.stats = stats_;
  data.fileNo = XrQcFileNo;
  data.groups = groups_;
  data.upper = first_;
  data.batch = batch_;
  data.expiry = expiry_;
  data.unitName = unitName_;
  const sys::LocalTime now = sys::Clock::Now();
  if (printer_ == 0) {
    hint_.Show();
    PrintXrChartThermal(data, lang, now);
    hint_.Hide();
    return;
  }
  EnableButtons(false);
  hint_.Show();
  auto body = [this, data = std::move(data), lang, now] {
    PrintXrChartPage(data, lang, now);
    PostMessage(WM_PRINT_PROGRESS, 1, 0);
  };
  StartPrint(std::move(body));
}

}  // namespace qc
