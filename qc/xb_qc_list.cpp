#include "qc/xb_qc_list.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/run_list_grid.h"

namespace qc {
namespace {

constexpr int kFirst = 3;

ui::DialogTemplate XbListTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  const int ids[6] = {IDC_XB_LIST_PREV, IDC_XB_LIST_NEXT, IDC_XB_LIST_SEND, IDC_XB_LIST_DELETE, IDC_XB_LIST_HELP, ui::IDCANCEL};
  const int xs[6] = {8, 36, 80, 140, 200, 260}, ws[6] = {24, 24, 54, 54, 54, 54};
  for (int i = 0; i < 6; ++i) t.Add("Button", ids[i], "", xs[i], 212, ws[i], 20, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

int XbPageCount(int total) { return total <= 0 ? 1 : (total + kXbPageSize - 1) / kXbPageSize; }

CXBQCList::CXBQCList(ui::Window* parent) : QcListDialog(IDD_XB_QC_LIST, parent) {
  if (!ui::Resources::FindDialog(IDD_XB_QC_LIST)) ui::Resources::AddDialog(IDD_XB_QC_LIST, XbListTemplate());
}

bool CXBQCList::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "X-B质控列表", "X-B QC List", "Lista X-B", "Liste X-B", "X-B КЯ список"));
  prev_.SubclassDlgItem(IDC_XB_LIST_PREV, this);
  next_.SubclassDlgItem(IDC_XB_LIST_NEXT, this);
  send_.SubclassDlgItem(IDC_XB_LIST_SEND, this);
  delete_.SubclassDlgItem(IDC_XB_LIST_DELETE, this);
  help_.SubclassDlgItem(IDC_XB_LIST_HELP, this);
  exit_.SubclassDlgItem(ui::IDCANCEL, this);
  prev_.SetArrowStyle(3);
  next_.SetArrowStyle(4);
  ShowButtonCaptions(lang);
  prev_.SetBitmaps(466, 465, 464);
  for (CXPButton* b : {&next_, &send_, &delete_, &help_}) b->SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);

  const float s = AppSettings.LayoutScale;
  const int L = AppSettings.LargeScreen;
  const ui::Rect client = GetClientRect();
  CreateRunGrid(ui::Rect(8, 8, client.right - 8, send_.GetRectInParent().top - 8), IDC_XB_LIST_GRID);
  const int columns = kXbPageSize + kFirst;
  SetUpRunGrid(grid_, columns, kFirst, lang);
  grid_.SetItemText(0, 1, PickText(lang, "参考值", "Targets", "Referencia", "Reference", "Довідник"));
  grid_.SetItemText(0, 2, PickText(lang, "偏差值", "Limits", "Limites", "Limites", "Відхилення"));
  grid_.SetRowHeight(0, static_cast<int>(25 * s));
  for (int r = 1; r < 23; ++r) grid_.SetRowHeight(r, static_cast<int>((r < 3 ? 18 : 15) * s) + L);
  {
    RecordsetPtr& rs = conn_.OpenRecordset("Select * from XBQCSet");
    if (conn_.RecordsetOpen() && HasRows(*rs)) {
      for (int d = 0; d < 20; ++d) {
        const char* stem = kSetStems[StoreFromDisplay(d)];
        float t = 0, l = 0;
        ReadField(*rs, std::string(stem) + "RV", t);
        ReadField(*rs, std::string(stem) + "LV", l);
        grid_.SetItemText(d + 3, 1, t != 0.0f ? FormatValue(t, d, 1) : "");
        grid_.SetItemText(d + 3, 2, l != 0.0f ? FormatValue(l, d, 1) : "");
      }
    }
    conn_.CloseRecordset();
  }
  SetRunColumnWidth(grid_, 0, static_cast<int>(67 * s), false);
  SetRunColumnWidth(grid_, 1, static_cast<int>(68 * s), false);
  SetRunColumnWidth(grid_, 2, static_cast<int>(66 * s), false);
  for (int c = kFirst; c < columns; ++c) SetRunColumnWidth(grid_, c, static_cast<int>(85 * s), true);
  runs_ = ReadXbRuns(conn_);
  ShowPage(pageCount());  // the newest results first
  return true;
}

void CXBQCList::ShowPage(int page) {
  const int pages = pageCount();
  if (page < 1) page = pages;
  if (page > pages) page = 1;
  page_ = page;
  ClearRunColumns(grid_, kFirst);
  const int first = (page - 1) * kXbPageSize;
  shown_ = 0;
  for (int i = first; i < static_cast<int>(runs_.size()) && i < first + kXbPageSize; ++i)
    FillRunColumn(grid_, kFirst + shown_++, runs_[static_cast<size_t>(i)]);
  for (int c = kFirst; c < grid_.GetColumnCount(); ++c) grid_.SetItemText(0, c, StrPrintf("%d", c - kFirst + 1));
  grid_.Refresh();
}

void CXBQCList::OnDelete() {
  const int lang = AppSettings.LanguageIndex;
  if (runs_.empty()) {
    QcMessage(this, NoQcDataText(lang), ui::MB_ICONINFORMATION);
    return;
  }
  const CCellSpan range = grid_.GetSelectedCellRange();
  if (!grid_.IsValidRange(range)) {
    if (!ConfirmDeleteAll(this, lang)) return;
    if (!conn_.Execute("delete from XBQCRunResult")) return;  // a refused delete leaves the list
    runs_.clear();
    ShowPage(1);
    return;
  }
  if (range.GetMinCol() < kFirst || range.GetMinCol() > shown_ + 2 || range.GetMaxCol() > shown_ + 2) {
    QcMessage(this, LogicalRangeText(lang),
              ui::MB_ICONWARNING);
    return;
  }
  if (!ConfirmDeleteSelected(this, lang)) return;
  const int first = (page_ - 1) * kXbPageSize;
  std::vector<size_t> gone;
  for (int c : grid_.GetSortedPickedColumns()) {
    if (c < kFirst || c > shown_ + 2) continue;  // never a target or limit column, never past the page
    const LjRun& r = runs_[static_cast<size_t>(first + c - kFirst)];
    if (conn_.Execute(StrPrintf("delete from XBQCRunResult where TestDate='%s' and TestTime='%s'", SqlSafeText(r.date).c_str(),
                                SqlSafeText(r.time).c_str())))
      gone.push_back(static_cast<size_t>(first + c - kFirst));
  }
  // Rows of the same date and time went together in the data store; the list follows it.
  std::vector<LjRun> kept;
  for (size_t i = 0; i < runs_.size(); ++i) {
    bool drop = false;
    for (size_t g : gone) drop = drop || (runs_[i].date == runs_[g].date && runs_[i].time == runs_[g].time);
    if (!drop) kept.push_back(runs_[i]);
  }
  runs_ = std::move(kept);
  grid_.SetSelectedRange(0, 0, 0, 0, false, false);
  ShowPage(std::min(page_, pageCount()));
}

bool CXBQCList::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_XB_LIST_PREV:
        if (pageCount() >= 2) ShowPage(page_ - 1);
        return true;
      case IDC_XB_LIST_NEXT:
        if (pageCount() >= 2) ShowPage(page_ + 1);
        return true;
      case IDC_XB_LIST_DELETE: OnDelete(); return true;
      case IDC_XB_LIST_HELP: OpenHelp(); return true;
      case IDC_XB_LIST_SEND:
        if (runs_.empty()) QcMessage(this, NoQcDataText(AppSettings.LanguageIndex), ui::MB_ICONINFORMATION);
        else SendQcRunsToLis(lis::SendDataKind::XbQc, grid_, 0, kFirst, shown_ + 2);
        return true;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

}  // namespace qc
