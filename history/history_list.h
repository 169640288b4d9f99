#pragma once
// CHistoryList: the results browser. The stored results as a transposed grid (one column per
// result, one row per field, 100 results to a page, newest first), with Detail (the
// single-result view), Delete, Search, Select (a run of columns by number), Send, Print, paging
// and, on F5, the statistics of the selected columns. The list query's recordset is the
// screen's own for its whole life.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "history/history_delete.h"
#include "history/history_list_logic.h"
#include "history/history_output.h"
#include "platform/sys/thread.h"
#include "platform/ui/dialog.h"
#include "printing/print_hint_dlg.h"

class CHistoryListFind;

inline constexpr int IDD_HISTORY_LIST = 106;
inline constexpr int IDC_HL_STATUS = 1080;
inline constexpr int IDC_HL_SELECT = 1039;
inline constexpr int IDC_HL_SEND = 1081;
inline constexpr int IDC_HL_PRINT = 1043;
inline constexpr int IDC_HL_DETAIL = 1007;
inline constexpr int IDC_HL_DELETE = 1012;
inline constexpr int IDC_HL_SEARCH = 1015;
inline constexpr int IDC_HL_PAGE_UP = 1041;
inline constexpr int IDC_HL_PAGE_DOWN = 1040;
inline constexpr int IDC_HL_GRID = 1107;

ui::DialogTemplate HistoryListTemplate();

// Posted by the removal of deleted results' raw records when it ends: wParam 1 done, 0 failed.
inline constexpr uint32_t WM_RAW_RECORDS_REMOVED = ui::WM_USER + 0x2B1;

class CHistoryList : public ui::Dialog {
 public:
  explicit CHistoryList(ui::Window* parent = nullptr);

  // The actions of the buttons (tests press them through these too).
  void OnPageDown();
  void OnPageUp();
  void OnDetail();
  void OnDelete();
  void OnSearch();
  void OnSelect();
  void OnSend();
  // Print, or Cancel while a job runs (the button's caption says which).
  void OnPrint();
  // WM_PRINT_PROGRESS from the print job: 1 shows the hint, 0 gives the screen back.
  void OnPrintProgress(int state);
  void OnStat();
  // The search dialog's check of a condition: reads the list of its rows and keeps it for the
  // ApplySearch that follows, so a search looks its rows up once. Returns their count.
  int ReadSearchList(const std::string& condition);
  // Makes the dialog check its conditions through ReadSearchList.
  void CheckSearchesHere(CHistoryListFind& find);
  // A search's outcome: the WHERE text and its row count.
  void ApplySearch(const std::string& condition, int count);
  // Selects the columns start..end of the page; false (nothing selected) for a range the page
  // does not hold.
  bool ApplySelection(int startColumn, int endColumn);
  // Deletes the chosen columns (1-based, of the page) after the question has been answered.
  bool DeleteColumns(const std::vector<int>& columns);
  bool DeleteAll();

  CGridCtrl& Grid() { return grid_; }
  const history::Paging& Paging() const { return paging_; }
  const std::string& ListSql() const { return listSql_; }
  std::string StatusLine() const { return status_.GetWindowText(); }
  int FilledColumns() const { return filledColumns_; }
  bool PrintBusy() const { return printBusy_; }
  bool PrintHintShown() const { return printHint_.IsShown(); }
  // Waits for the print thread to end (tests); true when none runs.
  bool WaitForPrintJob(int64_t ms) { return printThread_.Join(ms); }
  // Waits until the removals of deleted results' raw records have ended (tests, on the UI
  // thread). Their outcome reaches the screen as WM_RAW_RECORDS_REMOVED.
  void WaitForRawRemoval();
  // The selected result columns of the page (1-based), in order.
  std::vector<int> SelectedColumns() const;
  // Snapshots of the selected results (what Print and Send hand over).
  std::vector<history::ResultSnapshot> SelectedSnapshots() const;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnCancel() override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 private:
  void ReportRawDeleteFailure(const std::string& reason);
  // A list read for a condition: its row count and, when it is held whole, its keys in order.
  struct ReadListResult {
    std::string condition;
    int count = 0;
    bool held = false;
    std::vector<int64_t> ids;  // a list held whole: the keys of its rows in order
  };
  ReadListResult ReadList(const std::string& condition);
  // Counts the rows of the list (listSql_, searchCondition_) and starts its paging; for a list
  // held whole also holds its keys (heldIds_).
  void OpenList();
  void FillPage();
  void RefreshPage(bool openingForm = false);
  void EnableActions(bool any);
  void BuildGrid();
  // Locks the screen while a job prints (all but the Print button, which then cancels) and
  // gives it back.
  void LockForPrinting(bool lock);

  CStaticTrans status_;
  CXPButton select_, send_, exit_, print_, detail_, delete_, search_, pageUp_, pageDown_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  CADOConn conn_;
  std::string listSql_, searchCondition_, firstShownTestDate_;
  history::Paging paging_;
  int filledColumns_ = 0;
  int allRecordCount_ = 0;
  int sortStyle_ = 0;
  history::PrintSetup printSetup_;
  bool printBusy_ = false;
  PrintHintHolder printHint_;
  sys::Thread printThread_;
  // A list held whole: the keys of its rows in the list's order (each page reads its rows).
  bool held_ = false;
  std::vector<int64_t> heldIds_;
  // The list read by the search dialog's last check, until the search is applied.
  std::unique_ptr<ReadListResult> checked_;
  // The raw files are rewritten on their own worker, queued behind any rewrite still running: at
  // a laboratory's size one takes seconds. A failure waits here until the screen has said it.
  struct RawError {
    std::mutex lock;
    std::string text;
    bool untold = false;
  };
  std::shared_ptr<RawError> rawError_ = std::make_shared<RawError>();
  void StartRawRemoval(std::vector<std::string> keys);
  // Says a failed removal the screen has not said yet.
  void TellRawFailure();
};
