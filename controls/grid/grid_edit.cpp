// Text set on the operator's behalf: the begin / validate / end path that in-place editing,
// Delete, cut, paste and drop all go through.
#include "controls/grid/grid_ctrl.h"

bool CGridCtrl::ValidateEdit(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->ValidateEdit(text) : true;
}

void CGridCtrl::EndEdit(int row, int col, const std::string& text) {
  CGridCellBase* cell = GetCell(row, col);
  const std::string old = GetItemText(row, col);
  if (text != old) {
    SetItemText(row, col, text);
    if (ValidateEdit(row, col, text) && NotifyParent(row, col, GVN_ENDLABELEDIT) >= 0) {
      MarkModified(true, row, col);
      RedrawCell(row, col);
    } else {
      SetItemText(row, col, old);
    }
  }
  if (cell) cell->OnEndEdit();
}

void CGridCtrl::EndEditing() {
  if (!IsValidCell(focusCell_)) return;
  if (CGridCellBase* cell = GetCell(focusCell_.row, focusCell_.col)) cell->EndEdit();
}

void CGridCtrl::SetTextAsEdit(int row, int col, const std::string& text) {
  if (!editable_) return;
  CGridCellBase* cell = GetCell(row, col);
  if (cell && cell->IsReadOnly()) return;
  if (NotifyParent(row, col, GVN_BEGINLABELEDIT) < 0) return;
  const std::string old = GetItemText(row, col);
  if (text == old) return;
  SetItemText(row, col, text);
  if (ValidateEdit(row, col, text) && NotifyParent(row, col, GVN_ENDLABELEDIT) >= 0) {
    MarkModified(true, row, col);
    RedrawCell(row, col);
  } else {
    SetItemText(row, col, old);
  }
}

void CGridCtrl::EraseSelectedCells() {
  if (!editable_) return;
  // Copy first: erasing may change the selection map.
  const auto cells = selectedCells_;
  for (const auto& [key, c] : cells) SetTextAsEdit(c.row, c.col, "");
}

void CGridCtrl::EraseCellSpan(const CCellSpan& span) {
  for (int r = span.GetMinRow(); r <= span.GetMaxRow(); ++r)
    for (int c = span.GetMinCol(); c <= span.GetMaxCol(); ++c)
      if (RowHeightAt(r) > 0 && ColumnWidthAt(c) > 0) SetTextAsEdit(r, c, "");
  if (WindowExists() && allowRedraw_) InvalidateAll();
}
