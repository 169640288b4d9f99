// The selection as clipboard text and pasting such text back. The text is UTF-8 from end
// to end, so Chinese and Cyrillic cells copy and paste whole.
#include <cctype>

#include "controls/grid/grid_ctrl.h"

std::optional<std::string> CGridCtrl::BuildClipboardText() const {
  const CCellSpan span = GetSelectedCellRange();
  if (!IsValidRange(span)) return std::nullopt;
  std::string out;
  bool firstLine = true;
  for (int r = span.GetMinRow(); r <= span.GetMaxRow(); ++r) {
    if (RowHeightAt(r) <= 0) continue;
    if (!firstLine) out += '\n';
    firstLine = false;
    for (int c = span.GetMinCol(); c <= span.GetMaxCol(); ++c) {
      if (ColumnWidthAt(c) <= 0) continue;
      const CGridCellBase* cell = GetCell(r, c);
      if (cell && cell->IsSelected()) out += cell->GetText();
      if (c != span.GetMaxCol()) out += '\t';
    }
  }
  return out;
}

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

}  // namespace

bool CGridCtrl::PasteTextAt(int row, int col, const std::string& text, bool selectPasted) {
  if (!IsValidCell(row, col) || !editable_) return false;
  if (const CGridCellBase* cell = GetCell(row, col); cell && cell->IsReadOnly()) return false;
  int maxRow = row, maxCol = col;
  int rowShift = 0;
  size_t lineStart = 0;
  for (int k = 0; lineStart <= text.size(); ++k) {
    size_t lineEnd = text.find('\n', lineStart);
    const std::string line =
        text.substr(lineStart, lineEnd == std::string::npos ? std::string::npos : lineEnd - lineStart);
    int targetRow = row + k + rowShift;
    while (targetRow < rowCount_ && RowHeightAt(targetRow) == 0) {
      ++rowShift;
      ++targetRow;
    }
    if (targetRow >= rowCount_) break;
    // Fields end at a tab or a comma; an empty line or a trailing separator adds none.
    int colShift = 0;
    size_t fieldStart = 0;
    for (int m = 0; fieldStart < line.size(); ++m) {
      size_t fieldEnd = line.find_first_of("\t,", fieldStart);
      const std::string field =
          line.substr(fieldStart, fieldEnd == std::string::npos ? std::string::npos : fieldEnd - fieldStart);
      int targetCol = col + m + colShift;
      while (targetCol < columnCount_ && ColumnWidthAt(targetCol) == 0) {
        ++colShift;
        ++targetCol;
      }
      if (targetCol < columnCount_) {
        SetTextAsEdit(targetRow, targetCol, Trim(field));
        if (CGridCellBase* cell = GetCell(targetRow, targetCol))
          SetCellState(targetRow, targetCol, cell->GetState() & ~GVIS_SELECTED);
        maxRow = std::max(maxRow, targetRow);
        maxCol = std::max(maxCol, targetCol);
      }
      if (fieldEnd == std::string::npos) break;
      fieldStart = fieldEnd + 1;
    }
    if (lineEnd == std::string::npos) break;
    lineStart = lineEnd + 1;
  }
  if (selectPasted) {
    SetSelectedRange(row, col, maxRow, maxCol, true, true);
  } else {
    ClearSelectionAndFocus();
    if (WindowExists()) InvalidateAll();
  }
  return true;
}

void CGridCtrl::CopySelection() {
  if (auto text = BuildClipboardText()) PutClipboardText(*text);
}

void CGridCtrl::CutSelection() {
  if (!editable_) return;
  if (auto text = BuildClipboardText()) {
    PutClipboardText(*text);
    EraseSelectedCells();
  }
}

void CGridCtrl::PasteFromClipboard() {
  if (!editable_) return;
  CCellID target;
  const CCellSpan span = GetSelectedCellRange();
  if (IsValidRange(span))
    target = span.TopLeft();
  else if (IsValidCell(focusCell_))
    target = focusCell_;
  else
    target = FindTopLeftCell();
  if (!IsValidCell(target)) return;
  if (CGridCellBase* cell = GetCell(target.row, target.col); cell && cell->IsEditing()) {
    if (CellEditorHandle* editor = cell->GetEditWnd(); editor && editor->Paste()) return;
  }
  std::string text;
  if (GetClipboardText(&text)) PasteTextAt(target.row, target.col, text, true);
}
