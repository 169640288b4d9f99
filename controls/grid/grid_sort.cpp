// Reordering the body rows by one column.
#include <cstdlib>
#include <cstring>

#include "controls/grid/grid_ctrl.h"

int CGridCtrl::CompareText(const CGridCellBase* a, const CGridCellBase* b, intptr_t) {
  if (!a || !b) return 0;
  // Ordinal and case-sensitive. std::string compares bytes as unsigned, and UTF-8 byte
  // order is code point order.
  const int r = a->GetText().compare(b->GetText());
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

namespace {

long long LeadingInteger(const std::string& s) {
  // The leading decimal integer; a text without one counts as 0.
  return std::strtoll(s.c_str(), nullptr, 10);
}

}  // namespace

int CGridCtrl::CompareNumeric(const CGridCellBase* a, const CGridCellBase* b, intptr_t) {
  if (!a || !b) return 0;
  const long long x = LeadingInteger(a->GetText()), y = LeadingInteger(b->GetText());
  return x < y ? -1 : x > y ? 1 : 0;
}

void CGridCtrl::SetSortMarkerColumn(int col) {
  if (sortColumn_ >= 0) RedrawCell(0, sortColumn_);
  sortColumn_ = col;
  if (col >= 0) RedrawCell(0, col);
}

void CGridCtrl::RecordSort(int col, bool ascending) {
  SetSortMarkerColumn(col);
  sortAscending_ = ascending;
  previousSelectedCells_.clear();
  SetSelectedRange(-1, -1, -1, -1, false, true);
  MoveFocus(-1, -1);
}

bool CGridCtrl::SortRowsWith(GridCompareFunc compare, int col, bool ascending, intptr_t param) {
  if (!compare || col < 0 || col >= columnCount_ || virtualMode_) return false;
  if (rowCount_ - 1 <= fixedRowCount_) return false;  // one body row or none: nothing to do
  RecordSort(col, ascending);
  return SortRange(compare, col, ascending, param, fixedRowCount_, -1);
}

bool CGridCtrl::SortRowsByText(int col, bool ascending, intptr_t param) {
  return SortRowsWith(&CGridCtrl::CompareText, col, ascending, param);
}

bool CGridCtrl::SortRowsByColumn(int col, bool ascending, intptr_t param) {
  return SortRowsWith(compareFunction_ ? compareFunction_ : &CGridCtrl::CompareText, col, ascending, param);
}

bool CGridCtrl::SortRange(GridCompareFunc compare, int col, bool ascending, intptr_t param, int low, int high) {
  if (high == -1) high = rowCount_ - 1;
  if (col >= columnCount_ || high <= low) return false;
  // The pivot stays the same cell object while the rows move round it.
  const CGridCellBase* pivot = GetCell((low + high) / 2, col);
  int i = low, j = high;
  while (i <= j) {
    if (ascending) {
      while (i < high && compare(GetCell(i, col), pivot, param) < 0) ++i;
      while (j > low && compare(GetCell(j, col), pivot, param) > 0) --j;
    } else {
      while (i < high && compare(GetCell(i, col), pivot, param) > 0) ++i;
      while (j > low && compare(GetCell(j, col), pivot, param) < 0) --j;
    }
    if (i > j) break;
    if (compare(GetCell(i, col), GetCell(j, col), param) != 0) {
      std::swap(rows_[i], rows_[j]);
      std::swap(rowHeights_[i], rowHeights_[j]);
    }
    ++i;
    --j;
  }
  if (low < j) SortRange(compare, col, ascending, param, low, j);
  if (i < high) SortRange(compare, col, ascending, param, i, high);
  return true;
}
