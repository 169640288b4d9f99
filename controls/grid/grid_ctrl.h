#pragma once
// CGridCtrl: the table control of every list screen, a child window of class "MFCGridCtrl".
// The data side: rows of cells, row heights and column widths, the fixed (header) rows at
// the top and fixed columns at the left, the focus cell and the selection, sorting,
// clipboard text, the text file form, and the sizing arithmetic. Everything that needs a
// window (painting, scroll bars, the pointer, notifications to the owner, the clipboard
// itself, in-place editor windows, measuring text) is reached through the protected hooks
// below; while no window exists they do nothing, so the data side works (and is tested)
// on its own. Tests may override the hooks to stand in for a window.
//
// Screens create the grid with Create over a rectangle of their dialog, or name the class
// "MFCGridCtrl" in a dialog template, or take over a placeholder control with
// SubclassDlgItem. Notifications go to the owner window when one is set, else the parent,
// as WM_NOTIFY with a GridViewNotify (grid_notify.h); each tap on a cell also posts
// WM_COMMAND with the grid's control id.
//
// Invariants after every structural operation (outside virtual mode):
//   rows_.size() == rowCount, each row holds columnCount cells,
//   rowHeights.size() == rowCount, columnWidths.size() == columnCount,
//   fixedRowCount <= rowCount, fixedColumnCount <= columnCount,
//   the focus is (-1,-1) or a body cell inside the grid.
// Text is UTF-8 throughout.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/grid/cell_id.h"
#include "controls/grid/grid_cell.h"
#include "controls/grid/grid_defs.h"
#include "controls/grid/grid_notify.h"
#include "platform/ui/window.h"

namespace print {
class PageDevice;
}

// What the print steps are told about the page being printed.
struct GridPrintInfo {
  int currentPage = 1;
  int lastPage = 0;
  draw::Rect drawRect;  // the band being drawn (header, footer) in logical units
};

// Comparison of two cells for sorting: negative, 0 or positive as the first sorts before,
// with or after the second.
using GridCompareFunc = int (*)(const CGridCellBase* a, const CGridCellBase* b, intptr_t param);
// Fills a cell record on request in virtual mode; returns true when it did.
using GridCallback = bool (*)(CellRecord* record, intptr_t param);

// Scroll bar ids (the same numbers as the window framework's).
enum : int { SB_HORZ = 0, SB_VERT = 1, SB_BOTH = 3 };

// The registered window class of the grid.
inline constexpr const char* kGridWindowClass = "MFCGridCtrl";

class CGridCtrl : public ui::Window {
 public:
  explicit CGridCtrl(int rows = 0, int cols = 0, int fixedRows = 0, int fixedCols = 0);
  virtual ~CGridCtrl();
  CGridCtrl(const CGridCtrl&) = delete;
  CGridCtrl& operator=(const CGridCtrl&) = delete;

  // --- Structure ---------------------------------------------------------------------
  bool SetRowCount(int rows);
  bool SetColumnCount(int cols);
  int GetRowCount() const { return rowCount_; }
  int GetColumnCount() const { return columnCount_; }
  bool SetFixedRowCount(int n);
  bool SetFixedColumnCount(int n);
  int GetFixedRowCount() const { return fixedRowCount_; }
  int GetFixedColumnCount() const { return fixedColumnCount_; }
  // Inserts one row before `row` (-1 appends); its column 0 holds `heading`. Returns the new
  // row's index, or -1 for a row inside the fixed band or at/after the end.
  int InsertRow(const std::string& heading, int row = -1);
  // Inserts one column before `col` (-1 or columnCount appends); row 0 holds `heading` and
  // every cell of the column gets `format`.
  int InsertColumn(const std::string& heading, unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                   int col = -1);
  bool DeleteRow(int row);
  bool DeleteColumn(int col);
  bool DeleteBodyRows();
  bool DeleteAllItems();
  void SetListMode(bool on = true);
  bool GetListMode() const { return listMode_; }
  void SetVirtualMode(bool on);
  bool GetVirtualMode() const { return virtualMode_; }
  void SetCallbackFunc(GridCallback cb, intptr_t param) {
    virtualCallback_ = cb;
    virtualCallbackParam_ = param;
  }
  // The kind of cell that new positions get; false for a null factory.
  bool SetCellClass(GridCellFactory factory);
  bool ReplaceCellType(int row, int col, GridCellFactory factory);

  // --- Cells ---------------------------------------------------------------------------
  CGridCellBase* GetCell(int row, int col) const;
  bool PutCell(int row, int col, std::unique_ptr<CGridCellBase> cell);
  bool IsValidCell(int row, int col) const {
    return row >= 0 && row < rowCount_ && col >= 0 && col < columnCount_;
  }
  bool IsValidCell(const CCellID& c) const { return IsValidCell(c.row, c.col); }
  bool IsValidRange(const CCellSpan& s) const {
    return s.IsValid() && s.GetMaxRow() < rowCount_ && s.GetMaxCol() < columnCount_;
  }
  CCellSpan GetWholeRange() const { return CCellSpan(0, 0, rowCount_ - 1, columnCount_ - 1); }
  bool IsFixedCellAt(int row, int col) const { return row < fixedRowCount_ || col < fixedColumnCount_; }
  // The default cell that stands for a cell in a fixed row and/or a fixed column.
  const CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const;
  CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol);

  bool SetItemText(int row, int col, const std::string& text);
  // printf-style formatting of the text (C locale numbers).
  bool FormatItemText(int row, int col, const char* format, ...) __attribute__((format(printf, 4, 5)));
  std::string GetItemText(int row, int col) const;
  bool SetCellData(int row, int col, intptr_t data);
  intptr_t GetCellData(int row, int col) const;
  bool SetCellImage(int row, int col, int image);
  int GetCellImage(int row, int col) const;
  bool SetCellFormat(int row, int col, unsigned format);
  unsigned GetCellFormat(int row, int col) const;
  bool SetItemFgColour(int row, int col, draw::Color c);
  draw::Color GetItemFgColour(int row, int col) const;
  bool SetItemBkColour(int row, int col, draw::Color c);
  draw::Color GetItemBkColour(int row, int col) const;
  bool SetCellFont(int row, int col, const draw::Font* font);
  const draw::Font* GetCellFont(int row, int col) const;
  bool SetCellState(int row, int col, unsigned state);
  unsigned GetCellState(int row, int col) const;
  bool ApplyCellRecord(const CellRecord* record);
  draw::Size MeasureCellText(int row, int col, const std::string& text) const;
  bool IsCellEditing(int row, int col) const;
  bool IsCellEditable(int row, int col) const;
  bool IsCellModified(int row, int col) const;
  void MarkModified(bool modified = true, int row = -1, int col = -1);
  bool IsModified() const { return modified_; }

  // --- Focus and selection -------------------------------------------------------------
  CCellID MoveFocus(int row, int col);
  CCellID MoveFocus(const CCellID& c) { return MoveFocus(c.row, c.col); }
  CCellID GetFocusCell() const { return focusCell_; }
  void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint = false,
                        bool selectCells = true);
  void ClearSelectionAndFocus();
  void SelectEverything();
  CCellSpan GetSelectedCellRange() const;
  bool IsCellSelected(int row, int col) const;
  bool IsCellSelected(const CCellID& c) const { return IsCellSelected(c.row, c.col); }
  size_t GetSelectedCount() const { return selectedCells_.size(); }
  // Ctrl gestures keep the selection they started from here.
  void KeepPreviousSelection() { previousSelectedCells_ = selectedCells_; }
  // The picked columns: exactly the columns that hold a selected cell, in the order they were
  // first selected. They follow every change of the selection (a Ctrl+tap that deselects, a
  // cleared selection), so what a screen deletes, sends or prints by them is what the
  // operator sees selected.
  const std::vector<int>& GetPickedColumns() const { return pickedColumns_; }
  // Narrows the picked columns (a screen keeps only those it can act on); the next change of
  // the selection brings them back in step with it.
  void SetPickedColumns(std::vector<int> columns) { pickedColumns_ = std::move(columns); }
  // The picked columns sorted ascending (empty when none are picked).
  std::vector<int> GetSortedPickedColumns() const;
  bool IsSelectionEnabled() const { return selectionEnabled_; }
  void EnableSelection(bool on) { selectionEnabled_ = on; }
  void SetSingleRowSelection(bool on) { singleRowSelection_ = on; }
  bool GetSingleRowSelection() const { return singleRowSelection_ && listMode_; }
  // Spans from selectionStartCell to a cell: whole columns, whole rows, or a block.
  void SelectColumnSpan(int row, int col, bool forceRepaint, bool selectCells);
  void SelectRowSpan(int row, int col, bool forceRepaint, bool selectCells);
  void SelectCellSpan(int row, int col, bool forceRepaint, bool selectCells);
  // Extends the selection to `cell` as the current gesture (mouseMode 1 to 4) does.
  void ExtendSelectionTo(const CCellID& cell);
  // A press on a fixed-row cell: sorts by its column (headerSort) and selects columns; a
  // press on a fixed-column cell selects rows.
  virtual void HandleColumnHeaderClick(const CCellID& cell);
  virtual void HandleRowHeaderClick(const CCellID& cell);
  // The first body cell whose state matches `flags` in the direction flags give.
  CCellID FindNextCell(CCellID start, unsigned flags) const;

  // --- Editing through the grid --------------------------------------------------------
  bool IsEditable() const { return editable_; }
  void SetEditable(bool on) { editable_ = on; }
  virtual bool ValidateEdit(int row, int col, const std::string& text);
  // Takes an editor's final text into the cell (validated, owner told with -176).
  virtual void EndEdit(int row, int col, const std::string& text);
  virtual void EndEditing();
  // Sets text as if the operator had typed it: read-only cells and a refusing owner keep
  // the old text.
  void SetTextAsEdit(int row, int col, const std::string& text);
  virtual void EraseSelectedCells();
  void EraseCellSpan(const CCellSpan& span);

  // --- Clipboard text -------------------------------------------------------------------
  // The selection as lines of tab-separated fields; nothing when there is no selection.
  virtual std::optional<std::string> BuildClipboardText() const;
  // Pastes lines of fields (tab or comma separated) with their top-left at (row, col).
  virtual bool PasteTextAt(int row, int col, const std::string& text, bool selectPasted);
  virtual void CopySelection();
  virtual void CutSelection();
  virtual void PasteFromClipboard();

  // --- Sorting ----------------------------------------------------------------------------
  bool SortRowsWith(GridCompareFunc compare, int col, bool ascending, intptr_t param = 0);
  bool SortRowsByText(int col, bool ascending, intptr_t param = 0);
  bool SortRowsByColumn(int col, bool ascending, intptr_t param = 0);
  void SetCompareFunction(GridCompareFunc f) { compareFunction_ = f; }
  int GetSortColumn() const { return sortColumn_; }
  bool GetSortAscending() const { return sortAscending_; }
  void SetSortAscending(bool on) { sortAscending_ = on; }
  void SetSortMarkerColumn(int col);
  void SetHeaderSort(bool on) { headerSort_ = on; }
  bool GetHeaderSort() const { return headerSort_; }
  static int CompareText(const CGridCellBase* a, const CGridCellBase* b, intptr_t param);
  static int CompareNumeric(const CGridCellBase* a, const CGridCellBase* b, intptr_t param);

  // --- Text file --------------------------------------------------------------------------
  bool SaveToTextFile(const std::string& path, char separator = ',');
  void LoadFromTextFile(const std::string& path, char separator = ',');

  // --- Sizes and geometry --------------------------------------------------------------------
  bool SetRowHeight(int row, int height);
  bool SetColumnWidth(int col, int width);
  int RowHeightAt(int row) const;
  int ColumnWidthAt(int col) const;
  int FixedRowsHeight() const;
  int FixedColumnsWidth() const;
  int TotalHeight() const;
  int TotalWidth() const;
  CCellID FindTopLeftCell(bool recompute = false);
  // Positions in client pixels, from the sizes, the two scroll positions and the client
  // size. Cell rectangles here are inclusive: right = left + width - 1.
  CCellSpan GetVisibleRange(draw::Rect* area = nullptr, bool recompute = false);
  CCellSpan GetFullyVisibleRange(bool recompute = false);
  bool ComputeCellOrigin(int row, int col, draw::Point* p);
  bool ComputeCellRect(int row, int col, draw::Rect* r);
  bool ComputeSpanRect(const CCellSpan& span, draw::Rect* r);
  CCellID HitTestCell(draw::Point p, bool allowFixed = false);
  draw::Point PointInCell(int row, int col, draw::Point p);
  bool IsCellOnScreen(int row, int col);
  void StretchColumnsToFit(bool includeFixed = true);
  void StretchRowsToFit(bool includeFixed = true);
  void StretchToFit(bool includeFixed = true);
  void StretchLastColumn();
  bool FitColumnToContent(int col, unsigned style = 0, bool updateScrollBars = true);
  bool FitRowToContent(int row, bool updateScrollBars = true);
  void FitColumnsToContent(unsigned style = 0);
  void FitRowsToContent();
  void FitAllToContent(unsigned style = 0);
  void SetAutoSizeStyle(int style) { autoSizeStyle_ = style; }
  int GetAutoSizeStyle() const { return autoSizeStyle_; }
  // The measurer the window side supplies; default cells are re-measured with it.
  void SetTextMeasurer(GridTextMeasurer* measurer);
  GridTextMeasurer* GetTextMeasurer() const { return measurer_; }
  // Gives all four default cells a font (re-measuring their sizes).
  void SetDefaultFont(const draw::Font& font);

  // --- Flags and colours ------------------------------------------------------------------------
  bool IsRedrawAllowed() const { return allowRedraw_; }
  // Screens switch redraw off while filling a grid and on at the end.
  void EnableRedraw(bool allow, bool updateScrollBars = false);
  // Repaints the whole grid when it has a window and redraw is on.
  void Refresh();
  // Sizes the grid to fill its window with cells (one fixed row and column); false without
  // a window.
  bool FillWindowWithCells();
  bool GetRowHeaderSelection() const { return rowHeaderSelection_; }
  void SetRowHeaderSelection(bool on) { rowHeaderSelection_ = on; }
  bool GetColumnHeaderSelection() const { return columnHeaderSelection_; }
  void SetColumnHeaderSelection(bool on) { columnHeaderSelection_ = on; }
  bool GetSingleColumnSelection() const { return singleColumnSelection_; }
  draw::Color GetTitleTipBackClr() const { return titleTipBackColour_; }
  draw::Color GetTitleTipTextClr() const { return titleTipTextColour_; }
  void SetTitleTipBackClr(draw::Color c) { titleTipBackColour_ = c; }
  void SetTitleTipTextClr(draw::Color c) { titleTipTextColour_ = c; }
  draw::Color GetGridBkColor() const { return gridBackColour_; }
  draw::Color GetGridLineColor() const { return gridLineColour_; }
  int GetGridLines() const { return gridLines_; }
  void SetGridLines(int lines) { gridLines_ = lines; }
  // Colours of the desktop the default cells start from; see ApplyDefaultColours.
  struct SystemColours {
    draw::Color windowText = draw::RGB(0, 0, 0);
    draw::Color window = draw::RGB(255, 255, 255);
    draw::Color buttonFace = draw::RGB(212, 208, 200);
    draw::Color buttonShadow = draw::RGB(128, 128, 128);
  };
  // A change of the desktop colours: default colours follow, colours a screen set stay.
  void OnSystemColoursChanged(const SystemColours& now);

  // The in-place editor a cell asks for (window side); null here.
  virtual CellEditorHandle* CreateInPlaceEditor(int row, int col, const draw::Rect& rect, unsigned id,
                                                const std::string& text, unsigned firstChar, int align);

  // --- Window ---------------------------------------------------------------------------
  // Registers "MFCGridCtrl" once per process (dialog templates may name it).
  static bool RegisterWindowClass();
  // Creates the grid as a child window over `rect` of `parent`; sizes every row and column
  // to the default cell. False when the window cannot be made.
  bool Create(const draw::Rect& rect, ui::Window* parent, unsigned id,
              uint32_t style = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_BORDER | ui::WS_TABSTOP);
  // After a placeholder control was taken over: the client edge style and the frame.
  bool SetupSubclassedWindow();

  // --- Painting -----------------------------------------------------------------------------
  virtual void DrawGrid(draw::DC& dc);
  void EraseBackground(draw::DC& dc);
  // Draws one cell at once on the window (or on `dc`); false when it is off screen.
  bool PaintCell(int row, int col, draw::DC* dc = nullptr);
  bool PaintRow(int row);
  bool PaintColumn(int col);
  void SetGridLineMode(int mode);
  bool GetCellTextRect(int row, int col, draw::Rect* r);
  bool InvalidateCell(int row, int col);
  bool InvalidateSpan(const CCellSpan& span);
  void SetDoubleBuffering(bool on) { doubleBuffer_ = on; }
  bool GetDoubleBuffering() const { return doubleBuffer_; }
  bool GetFrameFocusCell() const { return frameFocusCell_; }
  void SetFrameFocusCell(bool on) { frameFocusCell_ = on; }
  bool GetHighlightFocusHeaders() const { return highlightFocusHeaders_; }
  void SetGridBkColor(draw::Color c) { gridBackColour_ = c; }
  bool GetPrintColours() const { return printColours_; }
  void SetPrintColours(bool on) { printColours_ = on; }
  // Colours of the printer being printed on (2: monochrome); 0 outside printing.
  int GetPrinterColourCount() const { return printerColourCount_; }
  void SetGridLineColor(draw::Color c) { gridLineColour_ = c; }

  // --- Scrolling ------------------------------------------------------------------------------
  // Recomputes both scroll bars (a hook: while no window exists only the cached top-left
  // cell goes stale).
  virtual void UpdateScrollBars();
  void ShowScrollBars(int bar, bool show);
  // The 32-bit position of a bar (with trackPos the thumb's position while it is dragged).
  int GetScrollPos32(int bar, bool trackPos = false) const;
  void SetScrollPos32(int bar, int pos, bool redraw = true);
  void EnsureVisible(int row, int col);
  void EnsureVisible(const CCellID& c) { EnsureVisible(c.row, c.col); }
  // Lines a wheel notch scrolls (the desktop setting, 3 unless QUORVEX_WHEEL_LINES says).
  static unsigned ReadWheelScrollLines();
  bool GetVerticalBarShown() const { return (scrollBarsShown_ & 2) != 0; }
  unsigned GetScrollBarsShown() const { return scrollBarsShown_; }
  int GetHorizontalScrollMax() const { return horizontalScrollMax_; }
  int GetVerticalScrollMax() const { return verticalScrollMax_; }

  // --- Drag and drop between our grids -------------------------------------------------------
  // With it on, a press on a selected cell followed by a move drags the selection's text
  // (as on the clipboard) to a cell of this or another grid; Ctrl copies, else the source
  // cells are emptied once the target took the text. Off by default.
  void EnableDragAndDrop(bool on = true) { dragDropEnabled_ = on; }
  bool GetDragAndDrop() const { return dragDropEnabled_; }
  enum : int { kDropNone = 0, kDropCopy = 1, kDropMove = 2 };
  // The target side, `pt` in this grid's client coordinates.
  virtual int OnDragEnter(bool hasText, unsigned keyFlags, draw::Point pt);
  virtual int OnDragOver(bool hasText, unsigned keyFlags, draw::Point pt);
  virtual void OnDragLeave();
  virtual bool OnDrop(const std::string& text, int effect, draw::Point pt);

  // --- Printing ---------------------------------------------------------------------------------
  // Prints the grid on `device` (null: a page device for the application's printer),
  // pages fromPage..toPage (-1: to the last): the fixed rows and columns repeat on every
  // page, the body is split into pages down (and across with SetPrintAcross). The document
  // is named after the grid's window text or its nearest titled ancestor. False when the
  // document or a page fails (the document is then abandoned).
  bool Print(print::PageDevice* device = nullptr, int fromPage = 1, int toPage = -1);
  virtual void OnBeginPrinting(draw::DC& dc, GridPrintInfo& info);
  virtual void OnPrint(draw::DC& dc, GridPrintInfo& info);
  virtual void OnEndPrinting(draw::DC& dc, GridPrintInfo& info);
  virtual void PrintColumnHeadings(draw::DC& dc, GridPrintInfo& info);
  virtual void PrintHeader(draw::DC& dc, GridPrintInfo& info);
  virtual void PrintFooter(draw::DC& dc, GridPrintInfo& info);
  // Each value above -1 replaces its margin (header and footer lines, left and right
  // margins in characters, two spare values, the gap lines).
  void SetPrintMargins(int header, int footer, int left, int right, int top, int bottom, int gap);
  void GetPrintMargins(int* header, int* footer, int* left, int* right, int* top, int* bottom, int* gap) const;
  void SetPrintAcross(bool on) { printAcross_ = on; }
  int GetPrintPageCount() const { return print_.pageCount; }
  int GetPrintPagesAcross() const { return print_.pagesAcross; }
  int GetPrintBodyHeight() const { return print_.bodyHeight; }
  // The second text of the page header (the program's title).
  static void SetApplicationTitle(const std::string& title);

  // --- Pointer and keys -------------------------------------------------------------------------
  bool OverRowBorder(draw::Point p);
  bool OverColumnBorder(draw::Point p);
  // Opens the editor of a cell: (x, y) relative to the cell, (-1, -1) from the keyboard;
  // `firstChar` is the key or character that started it (1 for a click or F2).
  virtual void StartEdit(int row, int col, int x, int y, unsigned firstChar);
  void SelectAllWithNotify();
  int GetMouseMode() const { return mouseMode_; }
  void SetWantTabKey(bool on) { wantTabKey_ = on; }
  bool GetWantTabKey() const { return wantTabKey_; }
  void EnableTitleTips(bool on) { titleTipsEnabled_ = on; }
  bool GetTitleTipsEnabled() const { return titleTipsEnabled_; }
  void SetColumnResize(bool on) { allowColumnResize_ = on; }
  void SetRowResize(bool on) { allowRowResize_ = on; }
  void SetColumnHideByDrag(bool on) { allowColumnHideByDrag_ = on; }
  void SetRowHideByDrag(bool on) { allowRowHideByDrag_ = on; }
  void SetResizeHiddenColumns(bool on) { resizeHiddenColumns_ = on; }
  void SetResizeHiddenRows(bool on) { resizeHiddenRows_ = on; }
  // Edit command enabling.
  bool CanCopy() const { return !selectedCells_.empty(); }
  bool CanCut() const { return editable_ && !selectedCells_.empty(); }
  bool CanPaste() const;
  bool CanSelectAll() const { return selectionEnabled_; }

  // The last failure of a file or memory operation, in the words shown to the operator.
  const std::string& LastError() const { return lastError_; }

 protected:
  // --- Window hooks (tests may stand in for the window by overriding them) -------------
  virtual bool WindowExists() const;
  virtual void InvalidateAll();
  virtual bool RedrawCell(int row, int col);
  virtual void HideScrollBar(int bar);
  virtual intptr_t NotifyParent(int row, int col, int code);
  virtual intptr_t NotifyCacheRange(const CCellSpan* span);
  virtual intptr_t RequestCellDisplayInfo(CellRecord* record);
  virtual draw::Size ClientSize() const;
  virtual int GetScrollPosition(int bar) const;
  virtual bool PutClipboardText(const std::string& text);
  virtual bool GetClipboardText(std::string* text);
  // A message for the operator (file errors, memory); shown in a message box when the
  // window exists.
  virtual void ReportError(const std::string& text);

  // --- Window messages -------------------------------------------------------------------
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  int OnCreate() override;
  void PreSubclassWindow() override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnPaint(draw::DC& dc) override;
  void OnSize(int type, int cx, int cy) override;
  void OnHScroll(int code, int pos, ui::Window* bar) override;
  void OnVScroll(int code, int pos, ui::Window* bar) override;
  bool OnMouseWheel(unsigned flags, int delta, draw::Point screenPt) override;
  void OnLButtonDown(unsigned flags, draw::Point pt) override;
  void OnLButtonUp(unsigned flags, draw::Point pt) override;
  void OnLButtonDblClk(unsigned flags, draw::Point pt) override;
  void OnRButtonDown(unsigned flags, draw::Point pt) override;
  void OnRButtonUp(unsigned flags, draw::Point pt) override;
  void OnMouseMove(unsigned flags, draw::Point pt) override;
  void OnTimer(uintptr_t id) override;
  void OnCaptureChanged(ui::Window* next) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
  ui::LResult OnNotify(int id, ui::NotifyHeader* header) override;
  void OnDestroy() override;

  CGridCellBase* CreateCell(int row, int col);
  void DestroyCell(int row, int col);
  void ApplyDefaultColours();
  CGridDefaultCell* DefaultCellFor(int row, int col);

  // Fields the window side reads as they stand.
  int rowCount_ = 0, columnCount_ = 0, fixedRowCount_ = 0, fixedColumnCount_ = 0;
  std::vector<int> rowHeights_, columnWidths_;
  std::vector<std::vector<std::unique_ptr<CGridCellBase>>> rows_;
  bool virtualMode_ = false;
  GridCallback virtualCallback_ = nullptr;
  intptr_t virtualCallbackParam_ = 0;
  GridCellFactory cellClass_ = &MakeGridCell;
  CGridDefaultCell defaultCell_, defaultFixedColumnCell_, defaultFixedRowCell_, defaultCornerCell_;
  SystemColours system_;
  draw::Color textColour_, cellBackColour_, fixedBackColour_, shadowColour_;
  draw::Color gridBackColour_;
  draw::Color gridLineColour_ = draw::RGB(192, 192, 192);
  draw::Color titleTipBackColour_ = CLR_DEFAULT, titleTipTextColour_ = CLR_DEFAULT;
  int gridLines_ = 3;
  bool editable_ = true;
  bool modified_ = false;
  bool dragDropEnabled_ = false;
  bool listMode_ = false;
  bool singleRowSelection_ = false;
  bool singleColumnSelection_ = false;
  bool allowRedraw_ = true;
  bool selectionEnabled_ = true;
  bool rowHeaderSelection_ = true;
  bool columnHeaderSelection_ = true;
  bool headerSort_ = false;
  bool wantTabKey_ = true;
  bool doubleBuffer_ = true;
  bool titleTipsEnabled_ = true;
  bool highlightFocusHeaders_ = true;
  bool frameFocusCell_ = true;
  bool printColours_ = false;
  int printerColourCount_ = 0;
  int autoSizeStyle_ = 3;
  bool allowRowResize_ = true, allowColumnResize_ = true;
  bool resizeHiddenRows_ = true, resizeHiddenColumns_ = true;
  bool allowRowHideByDrag_ = true, allowColumnHideByDrag_ = true;
  int resizeCaptureMargin_ = 3;
  CCellID focusCell_, selectionStartCell_, clickDownCell_, topLeftCellCache_, lastDragOverCell_;
  int mouseMode_ = 0;
  std::map<uint32_t, CCellID> selectedCells_, previousSelectedCells_;
  std::vector<int> pickedColumns_;
  int sortColumn_ = -1;
  bool sortAscending_ = true;
  GridCompareFunc compareFunction_ = nullptr;
  GridTextMeasurer* measurer_ = nullptr;
  std::string lastError_;
  // Window side.
  unsigned scrollBarsShown_ = 0;
  int horizontalScrollMax_ = 0, verticalScrollMax_ = 0;
  bool leftButtonDown_ = false, rightButtonDown_ = false;
  draw::Point buttonDownPoint_, lastMousePoint_;
  uintptr_t autoScrollTimer_ = 0;
  unsigned autoScrollInterval_ = 25;
  unsigned wheelScrollLines_ = 3;
  bool windowReady_ = false;
  bool updatingScrollBars_ = false;
  std::unique_ptr<GridTextMeasurer> ownMeasurer_;
  class CTitleTip* titleTip_ = nullptr;  // owned; made with the window
  // The column or row a border drag sizes (modes 9 and 7).
  int resizeIndex_ = -1;
  bool trackingLineShown_ = false;
  // Printing: margins and the metrics worked out when printing begins.
  int headerLines_ = 2, footerLines_ = 2, leftMarginChars_ = 4, rightMarginChars_ = 4;
  int printSpare1_ = 1, printSpare2_ = 1, headerGapLines_ = 1;
  bool printAcross_ = false;
  struct PrintMetrics {
    int charWidth = 0, charHeight = 0;
    int pageWidth = 0, pageHeight = 0;
    int bodyHeight = 0, bodyWidth = 0;
    int deviceWidth = 0, deviceHeight = 0;
    int pageCount = 0, pagesAcross = 1;
    int firstRow = 0, firstCol = 0;
  } print_;
  std::optional<draw::Font> printFont_;
  // A drag this grid started: its text, the grid under the pointer and the effect it gave.
  std::string dragText_;
  CGridCtrl* dragTarget_ = nullptr;
  int dragEffect_ = 0;

 private:
  void PrepareWindow();
  void HandleScroll(int bar, int code);
  void DrawTrackingLine(int pos, bool vertical);
  void BeginBorderDrag(draw::Point pt, bool column);
  void EndBorderDrag(draw::Point pt, bool column);
  void MoveByKey(unsigned vk, bool shift, bool ctrl);
  void HideTitleTip();
  void ShowTitleTip(int row, int col);
  void OnEndEditNotify(const CellRecord& record);
  void BeginDrag();
  void DragTo(unsigned flags, draw::Point pt);
  void FinishDrag(draw::Point pt);
  void CancelDrag();
  void PrintRowCells(draw::DC& dc, int row, int firstCol, int lastCol, int x, int y, int widthLimit);
  static uint32_t SelectionKey(int row, int col) {
    return (static_cast<uint32_t>(col) << 16) | (static_cast<uint32_t>(row) & 0xFFFF);
  }
  // Whether any cell of the column is selected (the selection keys of a column lie together).
  bool ColumnHoldsSelection(int col) const {
    const auto it = selectedCells_.lower_bound(SelectionKey(0, col));
    return it != selectedCells_.end() && it->second.col == col;
  }
  void SetFixedBand(int oldCount, int newCount, bool rowsBand);
  bool SortRange(GridCompareFunc compare, int col, bool ascending, intptr_t param, int low, int high);
  void RecordSort(int col, bool ascending);
  bool MeasureRowsOf(int col, unsigned style, int* first, int* last) const;

  // The cell and record that answer GetCell in virtual mode.
  mutable CGridCell virtualCell_;
  mutable CellRecord virtualRecord_;
};
