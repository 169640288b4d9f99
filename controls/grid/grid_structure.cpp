// Construction, the structural operations and the cell content setters.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <new>

#include "controls/grid/grid_ctrl.h"
#include "controls/grid/title_tip.h"

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols) {
  // Dialog templates may name the class from now on.
  RegisterWindowClass();
  textColour_ = system_.windowText;
  cellBackColour_ = system_.window;
  fixedBackColour_ = system_.buttonFace;
  shadowColour_ = system_.buttonShadow;
  gridBackColour_ = shadowColour_;
  ApplyDefaultColours();
  SetRowCount(rows);
  SetColumnCount(cols);
  SetFixedRowCount(fixedRows);
  SetFixedColumnCount(fixedCols);
  titleTipBackColour_ = CLR_DEFAULT;
  titleTipTextColour_ = CLR_DEFAULT;
  selectedCells_.clear();
  previousSelectedCells_.clear();
  pickedColumns_.clear();
}

CGridCtrl::~CGridCtrl() {
  // The window (with its editor and title tip) goes first, while the grid is whole: its
  // destruction calls back into the grid.
  if (IsWindow()) DestroyWindow();
  delete titleTip_;
  titleTip_ = nullptr;
  // Cells may hold editors that call back into the grid; let them go while it is whole.
  rows_.clear();
}

void CGridCtrl::ApplyDefaultColours() {
  CGridDefaultCell* cells[] = {&defaultCell_, &defaultFixedColumnCell_, &defaultFixedRowCell_,
                               &defaultCornerCell_};
  for (CGridDefaultCell* c : cells) {
    c->SetGrid(this);
    c->SetTextClr(textColour_);
    c->SetBackClr(c == &defaultCell_ ? cellBackColour_ : fixedBackColour_);
  }
  gridBackColour_ = shadowColour_;
}

void CGridCtrl::OnSystemColoursChanged(const SystemColours& now) {
  CGridDefaultCell* cells[] = {&defaultCell_, &defaultFixedRowCell_, &defaultFixedColumnCell_,
                               &defaultCornerCell_};
  for (CGridDefaultCell* c : cells) {
    if (c->GetTextClr() == textColour_) c->SetTextClr(now.windowText);
    if (c->GetBackClr() == cellBackColour_) c->SetBackClr(now.window);
  }
  if (gridBackColour_ == shadowColour_) gridBackColour_ = now.buttonShadow;
  system_ = now;
  textColour_ = now.windowText;
  cellBackColour_ = now.window;
  fixedBackColour_ = now.buttonFace;
  shadowColour_ = now.buttonShadow;
}

void CGridCtrl::SetTextMeasurer(GridTextMeasurer* measurer) {
  measurer_ = measurer;
  CGridDefaultCell* cells[] = {&defaultCell_, &defaultFixedColumnCell_, &defaultFixedRowCell_,
                               &defaultCornerCell_};
  for (CGridDefaultCell* c : cells) {
    draw::Font f = *c->GetFont();
    c->SetFont(&f, measurer_);
  }
}

void CGridCtrl::SetDefaultFont(const draw::Font& font) {
  CGridDefaultCell* cells[] = {&defaultCell_, &defaultFixedColumnCell_, &defaultFixedRowCell_,
                               &defaultCornerCell_};
  for (CGridDefaultCell* c : cells) c->SetFont(&font, measurer_);
}

const CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) const {
  if (fixedRow && fixedCol) return &defaultCornerCell_;
  if (fixedRow) return &defaultFixedRowCell_;
  if (fixedCol) return &defaultFixedColumnCell_;
  return &defaultCell_;
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) {
  return const_cast<CGridDefaultCell*>(static_cast<const CGridCtrl*>(this)->GetDefaultCell(fixedRow, fixedCol));
}

CGridDefaultCell* CGridCtrl::DefaultCellFor(int row, int col) {
  return GetDefaultCell(row < fixedRowCount_, col < fixedColumnCount_);
}

// --- Cell factory ------------------------------------------------------------------------

CGridCellBase* CGridCtrl::CreateCell(int row, int col) {
  if (!cellClass_) return nullptr;
  std::unique_ptr<CGridCellBase> cell = cellClass_();
  if (!cell) return nullptr;
  cell->SetGrid(this);
  cell->SetCoords(row, col);
  unsigned state = cell->GetState();
  if (col < fixedColumnCount_) state |= GVIS_FIXED | GVIS_FIXEDCOL;
  if (row < fixedRowCount_) state |= GVIS_FIXED | GVIS_FIXEDROW;
  cell->SetState(state);
  if (const CGridDefaultCell* def = cell->GetDefaultCell()) cell->SetFormat(def->GetFormat());
  CGridCellBase* raw = cell.get();
  rows_[row][col] = std::move(cell);
  return raw;
}

void CGridCtrl::DestroyCell(int row, int col) {
  SetCellState(row, col, 0);
  if (row < static_cast<int>(rows_.size()) && col < static_cast<int>(rows_[row].size()))
    rows_[row][col].reset();
}

bool CGridCtrl::SetCellClass(GridCellFactory factory) {
  if (!factory) return false;
  cellClass_ = factory;
  return true;
}

bool CGridCtrl::ReplaceCellType(int row, int col, GridCellFactory factory) {
  if (virtualMode_ || !IsValidCell(row, col) || !factory) return false;
  std::unique_ptr<CGridCellBase> cell = factory();
  if (!cell) return false;
  if (CGridCellBase* old = GetCell(row, col)) *cell = *old;
  return PutCell(row, col, std::move(cell));
}

bool CGridCtrl::PutCell(int row, int col, std::unique_ptr<CGridCellBase> cell) {
  if (virtualMode_ || !IsValidCell(row, col) || row >= static_cast<int>(rows_.size())) return false;
  if (cell) cell->SetCoords(row, col);
  rows_[row][col] = std::move(cell);
  return true;
}

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
  if (!IsValidCell(row, col)) return nullptr;
  if (!virtualMode_) {
    if (row >= static_cast<int>(rows_.size()) || col >= static_cast<int>(rows_[row].size())) return nullptr;
    return rows_[row][col].get();
  }
  const bool fixedRow = row < fixedRowCount_, fixedCol = col < fixedColumnCount_;
  const CGridDefaultCell* def = GetDefaultCell(fixedRow, fixedCol);
  CellRecord& r = virtualRecord_;
  r = CellRecord();
  r.row = row;
  r.col = col;
  r.mask = GVIF_ALL;
  r.format = def->GetFormat();
  r.image = def->GetImage();
  r.backColour = def->GetBackClr();
  r.textColour = def->GetTextClr();
  r.data = def->GetData();
  r.font = *def->GetFont();
  r.margin = static_cast<unsigned>(def->GetMargin());
  if (IsCellSelected(row, col)) r.state |= GVIS_SELECTED;
  if (fixedRow) r.state |= GVIS_FIXED | GVIS_FIXEDROW;
  if (fixedCol) r.state |= GVIS_FIXED | GVIS_FIXEDCOL;
  if (CCellID(row, col) == focusCell_) r.state |= GVIS_FOCUSED;
  auto* self = const_cast<CGridCtrl*>(this);
  if (virtualCallback_)
    virtualCallback_(&r, virtualCallbackParam_);
  else
    self->RequestCellDisplayInfo(&r);
  CGridCell& c = virtualCell_;
  c.SetState(r.state);
  c.SetImage(r.image);
  c.SetData(r.data);
  c.SetFormat(r.format);
  c.SetTextClr(r.textColour);
  c.SetBackClr(r.backColour);
  c.SetMargin(static_cast<int>(r.margin));
  c.SetFont(&r.font);
  c.SetText(r.text);
  c.SetGrid(self);
  return &c;
}

// --- Counts ------------------------------------------------------------------------------

bool CGridCtrl::SetRowCount(int n) {
  if (n < 0) return false;
  if (n == rowCount_) return true;
  bool ok = true;
  topLeftCellCache_.col = -1;
  if (n < fixedRowCount_) fixedRowCount_ = n;
  if (focusCell_.row >= n) MoveFocus(-1, -1);
  if (n < rowCount_) {
    if (!virtualMode_) {
      for (int r = n; r < rowCount_; ++r)
        for (int c = 0; c < columnCount_; ++c) DestroyCell(r, c);
      rows_.resize(n);
    }
    rowCount_ = n;
    rowHeights_.resize(n);
  } else {
    try {
      const int added = n - rowCount_;
      rowHeights_.reserve(n);
      if (!virtualMode_) rows_.reserve(n);
      for (int i = 0; i < added; ++i) {
        const int r = rowCount_;
        rowHeights_.push_back(defaultCell_.GetHeight());
        if (!virtualMode_) {
          rows_.emplace_back(columnCount_);
          for (int c = 0; c < columnCount_; ++c) CreateCell(r, c);
        }
        rowCount_ = r + 1;
      }
    } catch (const std::bad_alloc&) {
      // Keep the lists in step with the rows finished.
      rowHeights_.resize(rowCount_);
      if (!virtualMode_) rows_.resize(rowCount_);
      ReportError("Out of memory.");
      ok = false;
    }
  }
  MarkModified(true);
  UpdateScrollBars();
  if (WindowExists() && allowRedraw_) InvalidateAll();
  return ok;
}

bool CGridCtrl::SetColumnCount(int n) {
  if (n < 0) return false;
  if (n == columnCount_) return true;
  bool ok = true;
  topLeftCellCache_.col = -1;
  if (n < fixedColumnCount_) fixedColumnCount_ = n;
  if (focusCell_.col >= n) MoveFocus(-1, -1);
  if (n < columnCount_) {
    if (!virtualMode_) {
      for (int r = 0; r < rowCount_; ++r) {
        for (int c = n; c < columnCount_; ++c) DestroyCell(r, c);
        rows_[r].resize(n);
      }
    }
    columnWidths_.resize(n);
  } else {
    const int old = columnCount_;
    try {
      columnWidths_.resize(n, defaultFixedColumnCell_.GetWidth());
      if (!virtualMode_) {
        for (int r = 0; r < rowCount_; ++r) rows_[r].resize(n);
        columnCount_ = n;  // CreateCell places cells inside the new bounds
        for (int r = 0; r < rowCount_; ++r)
          for (int c = old; c < n; ++c) CreateCell(r, c);
      }
    } catch (const std::bad_alloc&) {
      columnWidths_.resize(old);
      for (auto& row : rows_) row.resize(old);
      columnCount_ = old;
      ReportError("Out of memory.");
      ok = false;
    }
    if (!ok) {
      MarkModified(true);
      UpdateScrollBars();
      return false;
    }
  }
  columnCount_ = n;
  MarkModified(true);
  UpdateScrollBars();
  if (WindowExists() && allowRedraw_) InvalidateAll();
  return ok;
}

int CGridCtrl::InsertRow(const std::string& heading, int row) {
  if (row >= 0 && (row < fixedRowCount_ || row >= rowCount_)) return -1;
  topLeftCellCache_.col = -1;
  ClearSelectionAndFocus();
  if (columnCount_ < 1) SetColumnCount(1);
  if (row < 0) row = rowCount_;
  try {
    rowHeights_.insert(rowHeights_.begin() + row, 0);
    if (!virtualMode_) {
      try {
        rows_.emplace(rows_.begin() + row, columnCount_);
      } catch (...) {
        rowHeights_.erase(rowHeights_.begin() + row);
        throw;
      }
    }
    rowCount_ += 1;
    if (!virtualMode_) {
      for (int c = 0; c < columnCount_; ++c) CreateCell(row, c);
    }
  } catch (const std::bad_alloc&) {
    ReportError("Out of memory.");
    return 0;
  }
  if (!virtualMode_) {
    if (CGridCellBase* cell = GetCell(row, 0)) {
      cell->SetText(heading);
      MarkModified(true, row, 0);
    }
  }
  if (heading.empty())
    rowHeights_[row] = defaultFixedRowCell_.GetHeight();
  else
    rowHeights_[row] = MeasureCellText(row, 0, heading).cy;
  UpdateScrollBars();
  MarkModified(true);
  return row;
}

int CGridCtrl::InsertColumn(const std::string& heading, unsigned format, int col) {
  if (col >= 0 && (col < fixedColumnCount_ || col > columnCount_)) return -1;
  topLeftCellCache_.col = -1;
  ClearSelectionAndFocus();
  if (rowCount_ < 1) SetRowCount(1);
  if (col < 0) col = columnCount_;
  try {
    columnWidths_.insert(columnWidths_.begin() + col, 0);
    if (!virtualMode_) {
      for (auto& r : rows_) r.emplace(r.begin() + col);
    }
    columnCount_ += 1;
    if (!virtualMode_) {
      for (int r = 0; r < rowCount_; ++r) CreateCell(r, col);
    }
  } catch (const std::bad_alloc&) {
    ReportError("Out of memory.");
    return 0;
  }
  if (!virtualMode_) {
    if (CGridCellBase* cell = GetCell(0, col)) {
      cell->SetText(heading);
      MarkModified(true, 0, col);
    }
    for (int r = 0; r < rowCount_; ++r)
      if (CGridCellBase* cell = GetCell(r, col)) cell->SetFormat(format);
  }
  columnWidths_[col] = MeasureCellText(0, col, heading).cx;
  UpdateScrollBars();
  MarkModified(true);
  return col;
}

bool CGridCtrl::DeleteRow(int row) {
  if (row < 0 || row >= rowCount_) return false;
  ClearSelectionAndFocus();
  if (!virtualMode_) {
    if (row >= static_cast<int>(rows_.size())) return false;
    for (int c = 0; c < columnCount_; ++c) DestroyCell(row, c);
    rows_.erase(rows_.begin() + row);
  }
  rowHeights_.erase(rowHeights_.begin() + row);
  rowCount_ -= 1;
  if (row < fixedRowCount_) fixedRowCount_ -= 1;
  UpdateScrollBars();
  MarkModified(true);
  return true;
}

bool CGridCtrl::DeleteColumn(int col) {
  if (col < 0 || col >= columnCount_) return false;
  ClearSelectionAndFocus();
  if (!virtualMode_) {
    for (int r = 0; r < rowCount_; ++r) {
      DestroyCell(r, col);
      rows_[r].erase(rows_[r].begin() + col);
    }
  }
  columnWidths_.erase(columnWidths_.begin() + col);
  columnCount_ -= 1;
  if (col < fixedColumnCount_) fixedColumnCount_ -= 1;
  UpdateScrollBars();
  MarkModified(true);
  return true;
}

bool CGridCtrl::DeleteBodyRows() {
  for (int r = rowCount_ - 1; r >= fixedRowCount_; --r) DeleteRow(r);
  return true;
}

bool CGridCtrl::DeleteAllItems() {
  ClearSelectionAndFocus();
  columnWidths_.clear();
  rowHeights_.clear();
  if (!virtualMode_) {
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
      for (int c = 0; c < static_cast<int>(rows_[r].size()); ++c) DestroyCell(r, c);
    rows_.clear();
  }
  focusCell_ = CCellID();
  rowCount_ = fixedRowCount_ = columnCount_ = fixedColumnCount_ = 0;
  selectedCells_.clear();
  pickedColumns_.clear();
  UpdateScrollBars();
  MarkModified(true);
  return true;
}

// Marks or unmarks the cells of a fixed band that grows from oldCount to newCount rows (or
// columns), or shrinks from oldCount to newCount.
void CGridCtrl::SetFixedBand(int oldCount, int newCount, bool rowsBand) {
  if (virtualMode_) return;
  const unsigned bandBit = rowsBand ? GVIS_FIXEDROW : GVIS_FIXEDCOL;
  const unsigned otherBit = rowsBand ? GVIS_FIXEDCOL : GVIS_FIXEDROW;
  const int lo = std::min(oldCount, newCount), hi = std::max(oldCount, newCount);
  const bool growing = newCount > oldCount;
  for (int i = lo; i < hi; ++i) {
    const int across = rowsBand ? columnCount_ : rowCount_;
    for (int j = 0; j < across; ++j) {
      const int r = rowsBand ? i : j, c = rowsBand ? j : i;
      CGridCellBase* cell = GetCell(r, c);
      if (!cell) continue;
      unsigned state = cell->GetState();
      if (growing) {
        cell->SetState(state | GVIS_FIXED | bandBit);
        cell->SetTextClr(CLR_DEFAULT);
        cell->SetBackClr(CLR_DEFAULT);
      } else if (state & otherBit) {
        cell->SetState(state & ~bandBit);
      } else {
        cell->SetState(state & ~(GVIS_FIXED | bandBit));
        cell->SetTextClr(CLR_DEFAULT);
        cell->SetBackClr(CLR_DEFAULT);
      }
    }
  }
}

bool CGridCtrl::SetFixedRowCount(int n) {
  if (n < 0) return false;
  if (n == fixedRowCount_) return true;
  previousSelectedCells_.clear();
  SetSelectedRange(-1, -1, -1, -1, false, true);
  MoveFocus(-1, -1);
  topLeftCellCache_.col = -1;
  if (n > rowCount_ && !SetRowCount(n)) return false;
  SetFixedBand(fixedRowCount_, n, true);
  fixedRowCount_ = n;
  if (WindowExists() && allowRedraw_) InvalidateAll();
  return true;
}

bool CGridCtrl::SetFixedColumnCount(int n) {
  if (n < 0) return false;
  if (n == fixedColumnCount_) return true;
  previousSelectedCells_.clear();
  SetSelectedRange(-1, -1, -1, -1, false, true);
  MoveFocus(-1, -1);
  topLeftCellCache_.col = -1;
  if (n > columnCount_ && !SetColumnCount(n)) return false;
  SetFixedBand(fixedColumnCount_, n, false);
  fixedColumnCount_ = n;
  if (WindowExists() && allowRedraw_) InvalidateAll();
  return true;
}

void CGridCtrl::SetListMode(bool on) {
  previousSelectedCells_.clear();
  SetSelectedRange(-1, -1, -1, -1, false, true);
  MoveFocus(-1, -1);
  if (sortColumn_ >= 0) {
    RedrawCell(0, sortColumn_);
    sortColumn_ = -1;
  }
  listMode_ = on;
  rowHeaderSelection_ = false;
  // A list selects whole rows: a tap on a column heading would select every row, and the
  // screen's Delete or Modify would then act on all of them. It selects nothing.
  if (on) columnHeaderSelection_ = false;
  if (WindowExists() && allowRedraw_) InvalidateAll();
}

void CGridCtrl::SetVirtualMode(bool on) {
  DeleteAllItems();
  virtualMode_ = on;
  if (on) {
    editable_ = false;
    headerSort_ = false;
    columnHeaderSelection_ = false;
    rowHeaderSelection_ = false;
    autoSizeStyle_ = 1;
  }
}

// --- Cell content ---------------------------------------------------------------------------

bool CGridCtrl::SetItemText(int row, int col, const std::string& text) {
  if (virtualMode_) return false;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return false;
  cell->SetText(text);
  MarkModified(true, row, col);
  return true;
}

bool CGridCtrl::FormatItemText(int row, int col, const char* format, ...) {
  if (!format) return false;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (n > 0) {
    text.resize(static_cast<size_t>(n));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return SetItemText(row, col, text);
}

std::string CGridCtrl::GetItemText(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetText() : std::string();
}

#define GRID_SETTER(Name, Type, Call)                       \
  bool CGridCtrl::Name(int row, int col, Type value) {      \
    if (virtualMode_) return false;                         \
    CGridCellBase* cell = GetCell(row, col);                \
    if (!cell) return false;                                \
    cell->Call(value);                                      \
    MarkModified(true, row, col);                           \
    return true;                                            \
  }
GRID_SETTER(SetCellData, intptr_t, SetData)
GRID_SETTER(SetCellImage, int, SetImage)
GRID_SETTER(SetItemFgColour, draw::Color, SetTextClr)
GRID_SETTER(SetItemBkColour, draw::Color, SetBackClr)
GRID_SETTER(SetCellFormat, unsigned, SetFormat)
GRID_SETTER(SetCellFont, const draw::Font*, SetFont)
#undef GRID_SETTER

intptr_t CGridCtrl::GetCellData(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetData() : 0;
}
int CGridCtrl::GetCellImage(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetImage() : -1;
}
unsigned CGridCtrl::GetCellFormat(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetFormat() : 0;
}
draw::Color CGridCtrl::GetItemFgColour(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetTextClr() : 0;
}
draw::Color CGridCtrl::GetItemBkColour(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetBackClr() : 0;
}
const draw::Font* CGridCtrl::GetCellFont(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  if (cell) return cell->GetFont();
  return GetDefaultCell(row >= 0 && row < fixedRowCount_, col >= 0 && col < fixedColumnCount_)->GetFont();
}
unsigned CGridCtrl::GetCellState(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetState() : 0;
}
bool CGridCtrl::IsCellEditing(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->IsEditing() : false;
}
bool CGridCtrl::IsCellEditable(int row, int col) const {
  const CGridCellBase* cell = GetCell(row, col);
  return editable_ && !(cell && cell->IsReadOnly());
}
bool CGridCtrl::IsCellModified(int row, int col) const {
  if (row < 0 || col < 0) return modified_;
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->IsModified() : false;
}

draw::Size CGridCtrl::MeasureCellText(int row, int col, const std::string& text) const {
  const CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->GetTextExtent(text, measurer_) : draw::Size();
}

bool CGridCtrl::SetCellState(int row, int col, unsigned state) {
  const CGridCellBase* cell = GetCell(row, col);
  const unsigned old = cell ? cell->GetState() : 0;
  const uint32_t key = SelectionKey(row, col);
  if ((state & GVIS_SELECTED) && !(old & GVIS_SELECTED)) {
    selectedCells_[key] = CCellID(row, col);
    if (std::find(pickedColumns_.begin(), pickedColumns_.end(), col) == pickedColumns_.end())
      pickedColumns_.push_back(col);
  } else if (!(state & GVIS_SELECTED) && selectedCells_.erase(key) != 0 && !ColumnHoldsSelection(col)) {
    pickedColumns_.erase(std::remove(pickedColumns_.begin(), pickedColumns_.end(), col), pickedColumns_.end());
  }
  if (virtualMode_ || !cell) return false;
  const_cast<CGridCellBase*>(cell)->SetState(state);
  return true;
}

bool CGridCtrl::ApplyCellRecord(const CellRecord* r) {
  if (virtualMode_ || !r) return false;
  CGridCellBase* cell = GetCell(r->row, r->col);
  if (!cell) return false;
  if (r->mask & GVIF_TEXT) SetItemText(r->row, r->col, r->text);
  if (r->mask & GVIF_IMAGE) SetCellImage(r->row, r->col, r->image);
  if (r->mask & GVIF_DATA) SetCellData(r->row, r->col, r->data);
  if (r->mask & GVIF_STATE) SetCellState(r->row, r->col, r->state);
  if (r->mask & GVIF_FORMAT) SetCellFormat(r->row, r->col, r->format);
  if (r->mask & GVIF_BKCLR) SetItemBkColour(r->row, r->col, r->backColour);
  if (r->mask & GVIF_FGCLR) SetItemFgColour(r->row, r->col, r->textColour);
  if (r->mask & GVIF_FONT) SetCellFont(r->row, r->col, &r->font);
  if (r->mask & GVIF_MARGIN) {
    cell->SetMargin(static_cast<int>(r->margin));
    MarkModified(true, r->row, r->col);
  }
  return true;
}

void CGridCtrl::MarkModified(bool modified, int row, int col) {
  if (col < 0 || col == sortColumn_) {
    if (sortColumn_ >= 0) RedrawCell(0, sortColumn_);
    sortColumn_ = -1;
  }
  if (row >= 0 && col >= 0) {
    const unsigned state = GetCellState(row, col);
    SetCellState(row, col, modified ? (state | GVIS_MODIFIED) : (state & ~GVIS_MODIFIED));
    if (modified) modified_ = true;
  } else {
    modified_ = modified;
  }
  if (!modified_ && !virtualMode_) {
    for (int r = 0; r < rowCount_; ++r)
      for (int c = 0; c < columnCount_; ++c)
        if (CGridCellBase* cell = GetCell(r, c)) cell->SetState(cell->GetState() & ~GVIS_MODIFIED);
  }
}
