#include "history/history_list.h"
#include "core/sys_setting.h"

#include <algorithm>
#include <array>

#include "analyzer/raw_rewrite_queue.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "history/history_globals.h"
#include "history/history_graphics.h"
#include "history/history_list_find.h"
#include "history/history_sel.h"
#include "history/stat_dlg.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "printing/print_job.h"

using namespace history;

namespace {

const draw::Color kText = draw::RGB(66, 85, 92), kMarked = draw::RGB(122, 63, 121);
const draw::Color kBandEven = draw::RGB(190, 198, 201), kBandOdd = draw::RGB(205, 213, 215);

const char* PrintCaption(int l) { return PickText(l, "打印", "Print", "Imprimir", "Imprimer", "Друк"); }
const char* CancelCaption(int l) { return PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"); }

// The Print button says Print in any of the languages: its next press starts a job.
bool IsPrintCaption(const std::string& caption) {
  for (int l = 0; l < 5; ++l)
    if (caption == PrintCaption(l)) return true;
  return false;
}

std::string SelectSampleText(int l) {
  return PickText(l, "请选择一个样本！", "Please select a sample!", "Por favor elija una muestra!",
                  "Selectionner un échantillon SVP!", "Будь ласка, оберіть зразок");
}

// The count of `countSql` (its column N). A count reads every page of an index once and none of
// them again: it goes through a cache of a few pages instead of filling the connection's cache,
// whose fresh memory made the first open after start-up (before the process had such memory to
// reuse) several times slower than the later ones.
int CountThroughSmallCache(CADOConn& conn, const std::string& countSql) {
  int cachePages = 0;
  {
    RecordsetPtr& rs = conn.OpenRecordset("PRAGMA cache_size");
    if (conn.RecordsetOpen() && HasRows(*rs)) ReadField(*rs, 0, cachePages);
    conn.CloseRecordset();
  }
  const bool small = cachePages != 0 && conn.Execute("PRAGMA cache_size=16") != 0;
  int count = 0;
  RecordsetPtr& rs = conn.OpenRecordset(countSql);
  if (conn.RecordsetOpen() && HasRows(*rs)) ReadField(*rs, "N", count);
  conn.CloseRecordset();
  if (small) conn.Execute("PRAGMA cache_size=" + std::to_string(cachePages));
  return count;
}

}  // namespace

ui::DialogTemplate HistoryListTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Static", IDC_HL_STATUS, "", 8, 4, 300, 9, V);
  const int ids[9] = {IDC_HL_PAGE_DOWN, IDC_HL_SELECT, IDC_HL_SEND, IDC_HL_SEARCH, IDC_HL_DELETE,
                      IDC_HL_DETAIL,    IDC_HL_PRINT,  ui::IDCANCEL, IDC_HL_PAGE_UP};
  const char* captions[9] = {"", "Select", "Send", "Search", "Delete", "Detail", "Print", "Exit", ""};
  int x = 6;
  for (int i = 0; i < 9; ++i) {
    const int w = (i == 0 || i == 8) ? 22 : 34;
    t.Add("Button", ids[i], captions[i], x, 217, w, 20, V | TS);
    x += w + 2;
  }
  return t;
}

CHistoryList::CHistoryList(ui::Window* parent) : ui::Dialog(IDD_HISTORY_LIST, parent) {
  if (!ui::Resources::FindDialog(IDD_HISTORY_LIST)) ui::Resources::AddDialog(IDD_HISTORY_LIST, HistoryListTemplate());
  PrintCancelFlag = 0;
  std::fill(PrintItemFlags, PrintItemFlags + 20, uint8_t{1});
}

void CHistoryList::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_HL_STATUS, status_);
  ui::ExchangeControl(dx, IDC_HL_SELECT, select_);
  ui::ExchangeControl(dx, IDC_HL_SEND, send_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_HL_PRINT, print_);
  ui::ExchangeControl(dx, IDC_HL_DETAIL, detail_);
  ui::ExchangeControl(dx, IDC_HL_DELETE, delete_);
  ui::ExchangeControl(dx, IDC_HL_SEARCH, search_);
  ui::ExchangeControl(dx, IDC_HL_PAGE_UP, pageUp_);
  ui::ExchangeControl(dx, IDC_HL_PAGE_DOWN, pageDown_);
}

void CHistoryList::BuildGrid() {
  const float s = AppSettings.LayoutScale;
  const int l = AppSettings.LanguageIndex;
  grid_.SetFont(&gridFont_, true);
  grid_.SetRowCount(kGridRows);
  grid_.SetColumnCount(kPageSize + 1);
  grid_.SetFixedRowCount(1);
  grid_.SetFixedColumnCount(1);
  grid_.SetEditable(false);
  // A tap on a parameter's label must not select its row across every result of the page.
  grid_.SetRowHeaderSelection(false);
  for (bool fr : {false, true})
    for (bool fc : {false, true}) {
      CGridDefaultCell* cell = grid_.GetDefaultCell(fr, fc);
      if (!cell) continue;
      if (fr || fc) {
        cell->SetBackClr(draw::RGB(55, 78, 96));
        cell->SetTextClr(draw::RGB(245, 245, 245));
      } else {
        cell->SetTextClr(kText);
      }
    }
  const char* labels[3] = {PickText(l, "编号", "No.", "No.", "No.", "Номер"), PickText(l, "日期", "Date", "Fecha", "Date", "Дата"),
                           PickText(l, "时间", "Time", "Hora", "Heure", "Час")};
  static const char* const params[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%",
                                         "RBC", "HGB",  "HCT",  "MCV",  "MCH",  "MCHC", "RDW-SD",
                                         "RDW-CV", "PLT", "MPV", "PDW", "PCT", "P-LCR"};
  for (int r = 0; r < kGridRows; ++r) grid_.SetItemText(r, 0, r < 3 ? labels[r] : params[r - 3]);
  const int large = AppSettings.LargeScreen ? 1 : 0;
  grid_.SetRowHeight(0, static_cast<int>(s * 25));
  for (int r = 1; r < kGridRows; ++r)
    grid_.SetRowHeight(r, r < 3 ? static_cast<int>(s * 16) : static_cast<int>(s * 16 + ((r % 3) * large) / 2));
  grid_.SetColumnWidth(0, static_cast<int>(s * 70));
  for (int c = 1; c <= kPageSize; ++c) grid_.SetColumnWidth(c, static_cast<int>(s * 80));
}

bool CHistoryList::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int l = AppSettings.LanguageIndex;
  const ui::Rect client = GetClientRect();
  const ui::Rect statusRect = status_.GetRectInParent();
  const ui::Rect buttonRect = select_.GetRectInParent();
  // The grid's cells take its font before its window exists, so that creating the window measures
  // them in that font alone and not first in the desktop's default one, which this screen never
  // shows (a font's first use in the process costs milliseconds of the first open).
  gridFont_ = draw::Font("Arial", static_cast<int>(AppSettings.LayoutScale * 15));
  grid_.SetDefaultFont(gridFont_);
  grid_.Create(ui::Rect(8, statusRect.bottom + 2, client.right - 8, buttonRect.top - 3), this, IDC_HL_GRID);
  BuildGrid();

  // Rows that hold neither a result nor a profile go; a profile entered ahead of its count stays.
  conn_.Execute(PurgeEmptyRowsSql());
  {
    uint8_t v = 0;
    if (TakeSetting(LoadSysSetting(conn_).row.HistoryListSortStyle, v)) sortStyle_ = v;
  }
  printSetup_ = ReadPrintSetup(conn_);
  listSql_ = history::ListSql(sortStyle_);
  OpenList();
  allRecordCount_ = paging_.total;
  if (paging_.total > 0) {
    FillPage();
  } else {
    EnableActions(false);
  }
  status_.SetWindowText(StatusText(l, paging_, true));
  pageUp_.EnableWindow(paging_.pageCount > 1);
  pageDown_.EnableWindow(paging_.pageCount > 1);
  {
    RecordsetPtr& items = conn_.OpenRecordset("select * from PrintItemsSet where IsDefault = true");
    if (conn_.RecordsetOpen() && HasRows(*items)) {
      for (int i = 0; i < 20; ++i) {
        int v = 0;
        ReadField(*items, 2 + i, v);
        PrintItemFlags[i] = v == 1 ? 1 : 0;
      }
      ReorderParamBytesForDisplay(PrintItemFlags);
    }
    conn_.CloseRecordset();
  }
  pageDown_.SetBitmaps(423, 424, 429);
  pageDown_.SetArrowStyle(3);
  pageUp_.SetBitmaps(426, 425, 430);
  pageUp_.SetArrowStyle(4);
  for (CXPButton* b : {&select_, &send_, &search_, &delete_, &detail_, &print_}) b->SetBitmaps(426, 425, 430);
  exit_.SetBitmaps(427, 428, 489);
  select_.SetWindowText(PickText(l, "选中", "Select", "Seleccion\nar", "Selection\nner", "Вибрати"));
  send_.SetWindowText(PickText(l, "传送", "Send", "Enviar", "Envoyer", "Відпра\nвити"));
  search_.SetWindowText(PickText(l, "查找", "Search", "Buscar", "Chercher", "Пошук"));
  delete_.SetWindowText(PickText(l, "删除", "Delete", "Borrar", "Effacer", "Видалити"));
  detail_.SetWindowText(PickText(l, "详细", "Detail", "Detalle", "Détail", "Деталіз\nація"));
  print_.SetWindowText(PrintCaption(l));
  exit_.SetWindowText(PickText(l, "退出", "Exit", "Salir", "Quitter", "Вихід"));
  status_.textColour = draw::RGB(245, 245, 245);
  status_.RedrawBackground();
  return true;
}

CHistoryList::ReadListResult CHistoryList::ReadList(const std::string& condition) {
  ReadListResult list;
  list.condition = condition;
  if (history::ListHeldWhole(sortStyle_, condition)) {
    // The list's order is worked out once here (its keys held), not again for every page; the
    // rows are read a page at a time.
    list.held = true;
    RecordsetPtr& rs = conn_.OpenRecordset(history::HeldListSql(sortStyle_, condition));
    if (conn_.RecordsetOpen() && HasRows(*rs)) {
      list.ids.reserve(static_cast<size_t>(std::max(0, rs->RecordCount())));
      for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
        int64_t id = 0;
        if (ReadField(*rs, "id", id)) list.ids.push_back(id);
      }
    }
    conn_.CloseRecordset();
    list.count = static_cast<int>(list.ids.size());
    return list;
  }
  // Only the count of the list is read here; each page reads its own rows over the date index
  // (FillPage), so the browser opens alike over any size of store.
  list.count = CountThroughSmallCache(conn_, "select count(*) as N from Person" + condition);
  return list;
}

void CHistoryList::OpenList() {
  ReadListResult list = ReadList(searchCondition_);
  held_ = list.held;
  heldIds_ = std::move(list.ids);
  paging_ = OpenPaging(list.count);
}

void CHistoryList::FillPage() {
  grid_.EnableRedraw(false);
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 1; c <= kPageSize; ++c) {
      grid_.SetItemText(r, c, "");
      if (r >= 3) grid_.SetItemFgColour(r, c, kText);
      if (r > 0) grid_.SetItemBkColour(r, c, r % 2 == 0 ? kBandEven : kBandOdd);
    }
  int col = 0;
  if (paging_.total > 0 && paging_.position >= 1) {
    // The page's rows of the list, in the list's order.
    std::vector<int64_t> ids;
    std::string sql;
    if (held_) {
      const size_t from = static_cast<size_t>(paging_.position - 1);
      for (size_t i = from; i < heldIds_.size() && ids.size() < static_cast<size_t>(kPageSize); ++i)
        ids.push_back(heldIds_[i]);
      if (!ids.empty()) sql = HeldPageSql(ids);
    } else {
      sql = history::PageSql(sortStyle_, searchCondition_, paging_.position);
    }
    std::vector<std::array<std::string, kGridRows>> rows;
    std::vector<char> got;  // a held page: which of its keys still has its row
    if (!sql.empty()) {
      RecordsetPtr& page = conn_.OpenRecordset(sql);
      if (conn_.RecordsetOpen() && HasRows(*page)) {
        int read = 0;
        for (page->MoveFirst(); !page->IsEOF() && read < kPageSize; page->MoveNext(), ++read) {
          std::array<std::string, kGridRows> texts;
          for (int r = 0; r < kGridRows; ++r) ReadField(*page, kGridColumns[r], texts[static_cast<size_t>(r)]);
          if (held_) {
            // A held page's rows come in stored order: each goes to its key's place in the list.
            int64_t id = 0;
            ReadField(*page, "HeldId", id);
            const size_t at = static_cast<size_t>(std::find(ids.begin(), ids.end(), id) - ids.begin());
            if (at >= ids.size()) continue;
            rows.resize(ids.size());
            got.resize(ids.size());
            rows[at] = std::move(texts);
            got[at] = 1;
          } else {
            rows.push_back(std::move(texts));
            got.push_back(1);
          }
        }
      }
      conn_.CloseRecordset();
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!got[i]) continue;
      const auto& texts = rows[i];
      ++col;
      for (int r = 0; r < kGridRows; ++r) {
        const std::string& text = texts[static_cast<size_t>(r)];
        grid_.SetItemText(r, col, text);
        if (r >= 3 && HasMark(text)) grid_.SetItemFgColour(r, col, kMarked);
        if (r == 1 && firstShownTestDate_.empty()) firstShownTestDate_ = text;
      }
    }
  }
  filledColumns_ = col;
  grid_.EnableRedraw(true);
  grid_.Refresh();
}

void CHistoryList::RefreshPage(bool openingForm) {
  status_.SetWindowText(StatusText(AppSettings.LanguageIndex, paging_, openingForm));
  status_.RedrawBackground();
  FillPage();
}

void CHistoryList::EnableActions(bool any) {
  for (CXPButton* b : {&delete_, &detail_, &print_, &select_, &send_, &search_}) b->EnableWindow(any);
  if (!any) {
    pageUp_.EnableWindow(false);
    pageDown_.EnableWindow(false);
  }
}

bool CHistoryList::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_HL_PAGE_DOWN: OnPageDown(); return true;
      case IDC_HL_PAGE_UP: OnPageUp(); return true;
      case IDC_HL_DETAIL: OnDetail(); return true;
      case IDC_HL_DELETE: OnDelete(); return true;
      case IDC_HL_SEARCH: OnSearch(); return true;
      case IDC_HL_SELECT: OnSelect(); return true;
      case IDC_HL_SEND: OnSend(); return true;
      case IDC_HL_PRINT: OnPrint(); return true;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CHistoryList::OnPageDown() {
  ui::RemoveMouseMessages(this);
  if (!PageDown(paging_)) return;
  RefreshPage();
}

void CHistoryList::OnPageUp() {
  ui::RemoveMouseMessages(this);
  if (!PageUp(paging_)) return;
  RefreshPage();
}

std::vector<int> CHistoryList::SelectedColumns() const {
  std::vector<int> out;
  const CCellSpan span = grid_.GetSelectedCellRange();
  if (!span.IsValid()) return out;
  std::vector<int> picked = grid_.GetSortedPickedColumns();
  if (picked.empty())
    for (int c = span.GetMinCol(); c <= span.GetMaxCol(); ++c) picked.push_back(c);
  for (int c : picked)
    if (c >= 1 && c <= filledColumns_ && (out.empty() || out.back() != c)) out.push_back(c);
  return out;
}

std::vector<ResultSnapshot> CHistoryList::SelectedSnapshots() const {
  std::vector<ResultSnapshot> out;
  for (int c : SelectedColumns()) {
    ResultSnapshot s;
    s.sampleNo = grid_.GetItemText(0, c);
    s.testDate = grid_.GetItemText(1, c);
    s.testTime = grid_.GetItemText(2, c);
    for (int r = 0; r < kGridRows; ++r) s.texts.push_back(grid_.GetItemText(r, c));
    out.push_back(std::move(s));
  }
  return out;
}

void CHistoryList::OnDetail() {
  const int l = AppSettings.LanguageIndex;
  const bool upOn = pageUp_.IsWindowEnabled(), downOn = pageDown_.IsWindowEnabled();
  print_.EnableWindow(false);
  pageUp_.EnableWindow(false);
  pageDown_.EnableWindow(false);
  const CCellSpan span = grid_.GetSelectedCellRange();
  const int col = span.IsValid() ? std::max(1, span.GetMinCol()) : -1;
  const std::string sampleNo = col >= 1 && col <= filledColumns_ ? grid_.GetItemText(0, col) : "";
  if (sampleNo.empty()) {
    ui::MessageBox(this, SelectSampleText(l), "", ui::MB_ICONEXCLAMATION);
  } else {
    CHistoryGraphics view(nullptr);
    view.m_totalCount = allRecordCount_;
    view.m_sampleNo = sampleNo;
    view.m_sortStyle = sortStyle_;
    HistorySelectedTestDate = grid_.GetItemText(1, col);
    view.DoModal();
    if (view.m_adjustDone || view.m_dataSaved) {
      // The view wrote rows: read the same list again at the same place.
      const history::Paging keep = paging_;
      OpenList();
      paging_ = keep;
    }
    RefreshPage();
  }
  print_.EnableWindow(true);
  pageUp_.EnableWindow(upOn);
  pageDown_.EnableWindow(downOn);
}

void CHistoryList::ReportRawDeleteFailure(const std::string& reason) {
  // The system's text names paths and is in no interface language: it goes to the log.
  WriteLog("Removing raw records of deleted results failed: " + reason, "");
  ui::MessageBox(this, RawDeleteFailedText(AppSettings.LanguageIndex), "", ui::MB_ICONEXCLAMATION);
}

void CHistoryList::StartRawRemoval(std::vector<std::string> keys) {
  if (keys.empty()) return;
  const ui::WindowHandle screen = Handle();
  std::shared_ptr<RawError> error = rawError_;
  analyzer::QueueRawRemoval(AppSettings.ProgramFolder, std::move(keys), [screen, error](bool ok, const std::string& why) {
    if (!ok) {
      std::lock_guard<std::mutex> g(error->lock);
      error->text = why;
      error->untold = true;
    }
    ui::PostMessageTo(screen, WM_RAW_RECORDS_REMOVED, ok ? 1 : 0, 0);
  });
}

void CHistoryList::WaitForRawRemoval() { analyzer::FinishRawRewrites(); }

void CHistoryList::TellRawFailure() {
  std::string why;
  {
    std::lock_guard<std::mutex> g(rawError_->lock);
    if (!rawError_->untold) return;
    rawError_->untold = false;
    why = rawError_->text;
  }
  ReportRawDeleteFailure(why);
}

bool CHistoryList::DeleteColumns(const std::vector<int>& columns) {
  std::vector<ResultKey> keys;
  for (int c : columns)
    if (c >= 1 && c <= filledColumns_) keys.push_back({grid_.GetItemText(0, c), grid_.GetItemText(1, c)});
  if (keys.empty()) return false;
  const DeleteOutcome out = DeleteResultRows(conn_, keys);
  if (!out.rowsDeleted) {
    // Nothing went: the page stays as it is.
    status_.SetWindowText(StatusText(AppSettings.LanguageIndex, paging_));
    return false;
  }
  StartRawRemoval(RawKeysOf(keys));
  history::Paging p = paging_;
  AfterDelete(p, static_cast<int>(keys.size()));
  // The list is read again so that positions, pages and the rows on the screen agree.
  OpenList();
  const int total = paging_.total;
  paging_ = p;
  paging_.total = total;
  if (paging_.total <= 0) {
    paging_ = history::Paging{};
    FillPage();
    EnableActions(false);
  } else {
    FillPage();
    pageUp_.EnableWindow(paging_.pageCount > 1);
    pageDown_.EnableWindow(paging_.pageCount > 1);
  }
  grid_.SetSelectedRange(-1, -1, -1, -1);
  status_.SetWindowText(StatusText(AppSettings.LanguageIndex, paging_));
  status_.RedrawBackground();
  return true;
}

bool CHistoryList::DeleteAll() {
  // A removal still queued or running finishes before the files are emptied.
  analyzer::FinishRawRewrites();
  const DeleteOutcome out = DeleteAllResults(conn_, AppSettings.ProgramFolder);
  if (!out.rowsDeleted) return false;
  if (!out.rawRewritten) ReportRawDeleteFailure(out.error);
  OpenList();
  FillPage();
  EnableActions(false);
  status_.SetWindowText(StatusText(AppSettings.LanguageIndex, paging_));
  status_.RedrawBackground();
  return true;
}

void CHistoryList::OnDelete() {
  const int l = AppSettings.LanguageIndex;
  const CCellSpan span = grid_.GetSelectedCellRange();
  if (span.IsValid()) {
    if (span.GetMinCol() > filledColumns_) {
      ui::MessageBox(this,
                     PickText(l, "请选择一个合理的范围！", "Please select a logical range!",
                              "Por favor elija un rango logico!", "Selectionner une  plage raisonnable!",
                              "Будь ласка, оберіть прийнятний інтервал!"),
                     "", ui::MB_ICONEXCLAMATION);
      return;
    }
    const std::vector<int> columns = SelectedColumns();
    status_.SetWindowText(DeleteCountText(l, static_cast<int>(columns.size())));
    status_.RedrawBackground();
    if (ui::MessageBox(this,
                       PickText(l, "确定要删除选定样本数据吗？", "Are you sure to delete selected data?",
                                "iEsta seguro que desea borrar los datos de muestras seleccionadas?",
                                "Voulez-vous vraiment effacer les donnees des échantillons selectionnes?",
                                "Ви впевнені, що хочете видалити дані обраних зразків?"),
                       "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK) {
      status_.SetWindowText(StatusText(l, paging_));
      status_.RedrawBackground();
      return;
    }
    DeleteColumns(columns);
    return;
  }
  if (ui::MessageBox(this,
                     PickText(l, "确定要删除所有样本数据吗？", "Are you sure to delete the data of all samples?",
                              "iEsta seguro que desea borar los datos de todas las muestras?",
                              "Etes-vous sur de supprimer toutes les données des échantillons?",
                              "Ви впевнені, що хочете видалити дані всіх зразків?"),
                     "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  DeleteAll();
}

int CHistoryList::ReadSearchList(const std::string& condition) {
  checked_ = std::make_unique<ReadListResult>(ReadList(condition));
  return checked_->count;
}

void CHistoryList::CheckSearchesHere(CHistoryListFind& find) {
  find.countRows = [this](const std::string& condition) { return ReadSearchList(condition); };
}

void CHistoryList::ApplySearch(const std::string& condition, int count) {
  searchCondition_ = condition;
  listSql_ = history::ListSql(sortStyle_, condition);
  std::unique_ptr<ReadListResult> checked = std::move(checked_);
  if (checked && checked->condition == condition && checked->count == count) {
    // The dialog's check has just read this list: a name search scans the whole store, once.
    held_ = checked->held;
    heldIds_ = std::move(checked->ids);
    paging_ = OpenPaging(checked->count);
  } else if (count > 0 && !history::ListHeldWhole(sortStyle_, condition)) {
    // The dialog counted the rows; the pages read their own rows.
    held_ = false;
    heldIds_.clear();
    paging_ = OpenPaging(count);
  } else {
    OpenList();
  }
  RefreshPage();
  EnableActions(paging_.total > 0);
  pageUp_.EnableWindow(paging_.pageCount > 1);
  pageDown_.EnableWindow(paging_.pageCount > 1);
}

void CHistoryList::OnSearch() {
  CHistoryListFind find(nullptr);
  find.defaultEndDate = firstShownTestDate_;
  CheckSearchesHere(find);
  const bool found = find.DoModal() == ui::IDOK;
  if (!found) {
    checked_.reset();
    return;
  }
  ApplySearch(find.condition, find.recordCount);
}

bool CHistoryList::ApplySelection(int start, int end) {
  if (start < 1 || end < start || start > paging_.currentRecords) return false;
  end = std::min(end, std::min(paging_.currentRecords, filledColumns_));
  grid_.EnsureVisible(0, start);
  grid_.SetSelectedRange(0, start, kGridRows - 1, end, false, true);
  return true;
}

void CHistoryList::OnSelect() {
  CHistorySel sel(nullptr);
  if (sel.DoModal() != ui::IDOK) return;
  ApplySelection(sel.startColumn, sel.endColumn);
}

// The send screen takes the grid as it is: "Selected Data" sends the picked columns (and says
// so when there is no selection), "All Data" every stored sample, so no selection is required.
void CHistoryList::OnSend() { SendResults(grid_); }

void CHistoryList::OnPrint() {
  const int l = AppSettings.LanguageIndex;
  if (IsPrintCaption(print_.GetWindowText())) {
    PrintPressCount = 0;
  } else if (PrintPressCount == 1) {
    // Cancel, asked once per job: the button stays off until the job reports its end.
    print_.EnableWindow(false);
    PrintCancelFlag = 1;
    if (printHint_.Hint()) printHint_.Hint()->Invalidate(true);
    PrintPressCount = 0;
    return;
  }
  // One job at a time: a press that comes while one runs starts nothing.
  if (printBusy_) return;
  printBusy_ = true;
  const std::vector<ResultSnapshot> chosen = SelectedSnapshots();
  if (chosen.empty() || chosen.front().sampleNo.empty()) {
    ui::MessageBox(this, SelectSampleText(l), "", ui::MB_ICONEXCLAMATION);
    printBusy_ = false;
    return;
  }
  if (chosen.size() == 1 && chosen.front().texts[3].empty()) {
    ui::MessageBox(this,
                   PickText(l, "此样本没有测试数据！", "This sample has no test data!",
                            "Esta muestra no tiene datos de test!", "Cet echantillon n'a pas de donnees!",
                            "У цього зразка немає даних про аналіз"),
                   "", ui::MB_ICONEXCLAMATION);
    printBusy_ = false;
    return;
  }
  // The job takes the columns as they are now and the settings of the moment; it reads the
  // stored rows through its own connection and touches no window.
  PrintOrder order;
  order.printer = printSetup_.printer;
  order.settings = HistoryReportSettings(printSetup_, PrintItemFlags, l);
  order.printTime = sys::Clock::Now();
  std::vector<StoredSampleColumn> columns = PrintColumns(chosen);
  // Kept counts are computed first when the library is back; the page then shows their results.
  if (ComputeKeptColumns(conn_, AppSettings.ProgramFolder, columns, l) > 0) FillPage();
  PrintCancelFlag = 0;
  // The last job's thread posts its end as its last act: it is on its way out.
  if (printThread_.IsRunning()) printThread_.Join();
  if (!StartPrintJob(printThread_, Handle(), [columns, order] { PrintStoredResults(columns, order, PrintCancelFlag); })) {
    printBusy_ = false;
    return;
  }
  print_.SetWindowText(CancelCaption(l));
  LockForPrinting(true);
  ui::RemoveMouseMessages(this);
  ++PrintPressCount;
}

void CHistoryList::LockForPrinting(bool lock) {
  for (CXPButton* b : {&delete_, &detail_, &select_, &send_, &search_, &exit_}) b->EnableWindow(!lock);
  grid_.EnableWindow(!lock);
  // Paging comes back only where there is more than one page.
  pageUp_.EnableWindow(!lock && paging_.pageCount > 1);
  pageDown_.EnableWindow(!lock && paging_.pageCount > 1);
}

void CHistoryList::OnPrintProgress(int state) {
  if (state == 1) {
    printHint_.Show();
    return;
  }
  if (state != 0) return;
  printHint_.Hide();
  printBusy_ = false;
  print_.EnableWindow(true);
  print_.SetWindowText(PrintCaption(AppSettings.LanguageIndex));
  LockForPrinting(false);
}

ui::LResult CHistoryList::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == WM_RAW_RECORDS_REMOVED) {
    if (w == 0) TellRawFailure();
    return 0;
  }
  if (msg == WM_PRINT_PROGRESS) {
    OnPrintProgress(static_cast<int>(w));
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

void CHistoryList::OnStat() {
  CStat stat(nullptr);
  for (int c : SelectedColumns()) {
    std::vector<std::string> texts;
    for (int r = 0; r < kGridRows; ++r) texts.push_back(grid_.GetItemText(r, c));
    stat.m_columns.push_back(std::move(texts));
  }
  stat.DoModal();
}

bool CHistoryList::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  if (msg.message == ui::WM_KEYDOWN && msg.wParam == ui::VK_F5) OnStat();
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CHistoryList::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  // The light status text stands on the grid's heading colour.
  if (status_.IsWindow()) {
    const ui::Rect r = status_.GetRectInParent();
    dc.FillSolidRect(ui::Rect(8, r.top - 2, GetClientRect().right - 8, r.bottom + 2), draw::RGB(55, 78, 96));
  }
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CHistoryList::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC && control != &status_) return TransparentLabel(dc, kText);
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CHistoryList::OnCancel() {
  // A job still printing is stopped before the screen goes, so that no report of this screen
  // is still on the thermal printer when the next one starts.
  if (printThread_.IsRunning()) {
    PrintCancelFlag = 1;
    printThread_.Join();
  }
  printHint_.Hide();
  // The raw records of deleted results are removed before the screen goes, and a failure is
  // said here when its message would come after the screen has gone.
  analyzer::FinishRawRewrites();
  TellRawFailure();
  conn_.Disconnect();
  ui::Dialog::OnCancel();
}
