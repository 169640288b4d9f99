#include "qc/lj_qc_list.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/lj_tables.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/run_list_grid.h"

namespace qc {
namespace {

constexpr int kFirstRun = 3;

ui::DialogTemplate ListTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_LJ_LIST_FRAME, "", 4, 4, 312, 232, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_LJ_LIST_SEND, "Send(&S)", 20, 210, 60, 20, V | ui::WS_TABSTOP);
  t.Add("Button", IDC_LJ_LIST_DELETE, "Delete(&D)", 92, 210, 60, 20, V | ui::WS_TABSTOP);
  t.Add("Button", IDC_LJ_LIST_HELP, "Help(&H)", 164, 210, 60, 20, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 236, 210, 60, 20, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

std::vector<int> PickedRunColumns(const std::vector<int>& picked, int runCount) {
  std::vector<int> out;
  for (int c : picked)
    if (c >= kFirstRun && c < kFirstRun + runCount) out.push_back(c);
  return out;
}

CLJQCList::CLJQCList(ui::Window* parent) : QcListDialog(IDD_LJ_QC_LIST, parent) {
  if (!ui::Resources::FindDialog(IDD_LJ_QC_LIST)) ui::Resources::AddDialog(IDD_LJ_QC_LIST, ListTemplate());
}

void CLJQCList::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_LJ_LIST_FRAME, frame_);
  ui::ExchangeControl(dx, IDC_LJ_LIST_SEND, send_);
  ui::ExchangeControl(dx, IDC_LJ_LIST_DELETE, delete_);
  ui::ExchangeControl(dx, IDC_LJ_LIST_HELP, help_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
}

bool CLJQCList::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  SetWindowText(StrPrintf("L-J QC List(QC %d)", QcFileNo));
  const int lang = AppSettings.LanguageIndex;
  const float s = AppSettings.LayoutScale;
  const ui::Rect area = frame_.GetRectInParent();
  CreateRunGrid(ui::Rect(area.left + 6, area.top + 8, area.right - 6, exit_.GetRectInParent().top - 6), IDC_LJ_LIST_GRID);

  runCount_ = CountRuns(conn_, "LJQCRunResult", QcFileNo);
  // Every run has a column, however many the file holds.
  const int columns = std::max(103, kFirstRun + runCount_);
  SetUpRunGrid(grid_, columns, kFirstRun, lang);
  grid_.SetItemText(0, 1, PickText(lang, "参考值", "Targets", "Referencia", "Reference", "Довідник"));
  grid_.SetItemText(0, 2, PickText(lang, "偏差值", "Limits", "Limites", "Limites", "Відхилення"));
  const int extra = AppSettings.LargeScreen;
  grid_.SetRowHeight(0, static_cast<int>(25 * s));
  for (int r = 1; r < 3; ++r) grid_.SetRowHeight(r, static_cast<int>(18 * s) + extra);
  for (int r = 3; r < 23; ++r) grid_.SetRowHeight(r, static_cast<int>(15 * s) + extra);
  FillTargets();
  if (runCount_ > 0) FillRuns();
  for (int c = 0; c < 3; ++c) SetRunColumnWidth(grid_, c, static_cast<int>(67 * s), false);
  for (int c = kFirstRun; c < columns; ++c) SetRunColumnWidth(grid_, c, static_cast<int>(85 * s), true);
  grid_.Refresh();

  ShowButtonCaptions(lang);
  for (CXPButton* b : {&send_, &delete_, &help_, &exit_}) b->SetBitmaps(401, 402, 488);
  return true;
}

void CLJQCList::FillTargets() {
  LjFileSettings s;
  if (!ReadLjFileSettings(conn_, QcFileNo, &s)) return;
  for (int d = 0; d < 20; ++d) {
    const int st = StoreFromDisplay(d);
    grid_.SetItemText(d + 3, 1, s.targets[st] != 0.0f ? StrPrintf("%.2f", s.targets[st]) : "");
    grid_.SetItemText(d + 3, 2, s.limits[st] != 0.0f ? StrPrintf("%.2f", s.limits[st]) : "");
  }
}

void CLJQCList::FillRuns() {
  const std::vector<LjRun> runs = ReadLjRuns(conn_, QcFileNo);
  int col = kFirstRun;
  for (const LjRun& r : runs) FillRunColumn(grid_, col++, r);
}

void CLJQCList::OnDelete() {
  const int lang = AppSettings.LanguageIndex;
  if (runCount_ == 0) {
    QcMessage(this, NoQcDataText(lang), ui::MB_ICONINFORMATION);
    return;
  }
  const CCellSpan range = grid_.GetSelectedCellRange();
  if (!grid_.IsValidRange(range)) {
    if (!ConfirmDeleteAll(this, lang)) return;
    // A delete the data store refused leaves the list as it was.
    if (!conn_.Execute(StrPrintf("delete from LJQCRunResult where QcFileNo=%d", QcFileNo))) return;
    ClearRunColumns(grid_, kFirstRun);
    runCount_ = 0;
    grid_.Refresh();
    return;
  }
  if (range.GetMinCol() < kFirstRun || range.GetMaxCol() > runCount_ + 2) {
    QcMessage(this, LogicalRangeText(lang),
              ui::MB_ICONWARNING);
    return;
  }
  if (!ConfirmDeleteSelected(this, lang)) return;
  std::vector<int> cols = PickedRunColumns(grid_.GetSortedPickedColumns(), runCount_);
  std::vector<int> gone;
  for (int c : cols) {
    // Only what the data store deleted leaves the list.
    if (DeleteLjRun(conn_, QcFileNo, grid_.GetItemText(1, c), grid_.GetItemText(2, c), true)) gone.push_back(c);
  }
  RemoveRunColumns(grid_, gone, kFirstRun);
  runCount_ -= static_cast<int>(gone.size());
  grid_.SetSelectedRange(0, 0, 0, 0, false, false);
  grid_.Refresh();
}

bool CLJQCList::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_LJ_LIST_DELETE: OnDelete(); return true;
      case IDC_LJ_LIST_HELP: OpenHelp(); return true;
      case IDC_LJ_LIST_SEND:
        if (runCount_ == 0) QcMessage(this, NoQcDataText(AppSettings.LanguageIndex), ui::MB_ICONINFORMATION);
        else SendQcRunsToLis(lis::SendDataKind::LjQc, grid_, QcFileNo, kFirstRun, kFirstRun + runCount_ - 1);
        return true;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CLJQCList::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawBottomBars(dc, this, IDC_LJ_LIST_FRAME, IDC_LJ_LIST_SEND, ui::IDCANCEL);
  return true;
}

}  // namespace qc
