#include "qc/xr_qc_list.h"

#include <algorithm>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_tables.h"
#include "qc/qc_common.h"
#include "qc/run_list_grid.h"

namespace qc {
namespace {

constexpr int kFirst = 1;
constexpr int kGridColumns = 601;  // room for the largest file, 60 groups of 10

ui::DialogTemplate XrListTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_XR_LIST_SEND, "Send(&S)", 20, 212, 60, 20, V | ui::WS_TABSTOP);
  t.Add("Button", IDC_XR_LIST_DELETE, "Delete(&D)", 92, 212, 60, 20, V | ui::WS_TABSTOP);
  t.Add("Button", IDC_XR_LIST_HELP, "Help(&H)", 164, 212, 60, 20, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 236, 212, 60, 20, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

CXRQCList::CXRQCList(ui::Window* parent) : QcListDialog(IDD_XR_QC_LIST, parent) {
  if (!ui::Resources::FindDialog(IDD_XR_QC_LIST)) ui::Resources::AddDialog(IDD_XR_QC_LIST, XrListTemplate());
}

bool CXRQCList::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(StrPrintf(PickText(lang, "X-R质控列表(质控%d)", "X-R QC List(QC %d)", "Lista X-R(QC %d)",
                                   "X-R Liste de Controle(CQ %d)", "X-R КЯ список(КЯ %d)"),
                          QcFileNo));
  send_.SubclassDlgItem(IDC_XR_LIST_SEND, this);
  delete_.SubclassDlgItem(IDC_XR_LIST_DELETE, this);
  help_.SubclassDlgItem(IDC_XR_LIST_HELP, this);
  exit_.SubclassDlgItem(ui::IDCANCEL, this);
  ShowButtonCaptions(lang);
  send_.SetBitmaps(457, 456, 454);
  delete_.SetBitmaps(460, 459, 458);
  help_.SetBitmaps(460, 459, 458);
  exit_.SetBitmaps(455, 462, 461);

  const float s = AppSettings.LayoutScale;
  const int L = AppSettings.LargeScreen;
  const ui::Rect client = GetClientRect();
  CreateRunGrid(ui::Rect(8, 8, client.right - 8, send_.GetRectInParent().top - 8), IDC_XR_LIST_GRID);
  const std::vector<LjRun> runs = ReadXrRuns(conn_, QcFileNo);
  count_ = static_cast<int>(runs.size());
  // Every stored result has a column, even beyond the largest file the settings allow.
  const int columns = std::max(kGridColumns, kFirst + count_);
  SetUpRunGrid(grid_, columns, kFirst, lang);
  grid_.SetRowHeight(0, static_cast<int>(25 * s));
  for (int r = 1; r < 3; ++r) grid_.SetRowHeight(r, static_cast<int>(18 * s) + L);
  for (int r = 3; r < 23; ++r) grid_.SetRowHeight(r, static_cast<int>(15 * s) + (r % 2 ? L : 2 * L));
  grid_.SetColumnWidth(0, static_cast<int>(80 * s));
  for (int c = kFirst; c < columns; ++c) grid_.SetColumnWidth(c, static_cast<int>(89 * s));
  int col = kFirst;
  for (const LjRun& r : runs) FillRunColumn(grid_, col++, r);
  grid_.Refresh();
  return true;
}

void CXRQCList::OnDelete() {
  const int lang = AppSettings.LanguageIndex;
  if (count_ == 0) {
    QcMessage(this, NoQcDataText(lang), ui::MB_ICONINFORMATION);
    return;
  }
  const CCellSpan range = grid_.GetSelectedCellRange();
  if (!grid_.IsValidRange(range)) {
    if (!ConfirmDeleteAll(this, lang)) return;
    if (!conn_.Execute(StrPrintf("delete from XRQCRunResult where QcFileNo=%d", QcFileNo))) return;
    ClearRunColumns(grid_, kFirst);
    count_ = 0;
    grid_.Refresh();
    return;
  }
  if (range.GetMinCol() < kFirst || range.GetMinCol() > count_ || range.GetMaxCol() > count_) {
    QcMessage(this, LogicalRangeText(lang),
              lang == 3 || lang == 4 ? ui::MB_ICONINFORMATION : ui::MB_ICONWARNING);
    return;
  }
  if (!ConfirmDeleteSelected(this, lang)) return;
  // The picked columns are checked against the stored results as the range is: none outside.
  std::vector<int> picked;
  for (int c : grid_.GetSortedPickedColumns())
    if (c >= kFirst && c <= count_) picked.push_back(c);
  std::vector<int> gone;
  for (int c : picked) {
    const std::string d = SqlSafeText(grid_.GetItemText(1, c)), t = SqlSafeText(grid_.GetItemText(2, c));
    if (conn_.Execute(StrPrintf("delete from XRQCRunResult where TestDate='%s' and TestTime='%s' and QcFileNo = %d",
                                d.c_str(), t.c_str(), QcFileNo)))
      gone.push_back(c);
  }
  RemoveRunColumns(grid_, gone, kFirst);
  count_ -= static_cast<int>(gone.size());
  grid_.SetSelectedRange(0, 0, 0, 0, false, false);
  grid_.Refresh();
}

bool CXRQCList::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_XR_LIST_DELETE: OnDelete(); return true;
      case IDC_XR_LIST_HELP: OpenHelp(); return true;
      case IDC_XR_LIST_SEND:
        if (count_ == 0) QcMessage(this, NoQcDataText(AppSettings.LanguageIndex), ui::MB_ICONINFORMATION);
        else SendQcRunsToLis(lis::SendDataKind::XrQc, grid_, QcFileNo, kFirst, count_);
        return true;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

}  // namespace qc
