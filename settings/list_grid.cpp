#include "settings/list_grid.h"

#include <algorithm>

#include "controls/screen_common.h"
#include "core/look.h"
#include "core/value_format.h"

namespace settings {

void FillListGrid(CGridCtrl& grid, const std::vector<ListColumn>& columns, const std::vector<NumberedRow>& rows,
                  float scale) {
  grid.DeleteAllItems();
  grid.SetListMode(true);
  grid.SetEditable(false);
  grid.SetHeaderSort(false);
  grid.SetGridBkColor(draw::RGB(205, 213, 215));
  for (bool fixedRow : {false, true})
    for (bool fixedCol : {false, true}) {
      CGridDefaultCell* cell = grid.GetDefaultCell(fixedRow, fixedCol);
      if (cell == nullptr) continue;
      if (fixedRow || fixedCol) {
        cell->SetBackClr(draw::RGB(55, 78, 96));
        cell->SetTextClr(draw::RGB(245, 245, 245));
      } else {
        cell->SetTextClr(draw::RGB(66, 85, 92));
      }
    }
  grid.SetColumnCount(static_cast<int>(columns.size()));
  grid.SetRowCount(1);
  grid.SetFixedRowCount(1);
  grid.SetFixedColumnCount(1);
  for (size_t c = 0; c < columns.size(); ++c) {
    grid.SetColumnWidth(static_cast<int>(c), static_cast<int>(columns[c].width * scale));
    grid.SetItemText(0, static_cast<int>(c), columns[c].header);
  }
  for (const NumberedRow& r : rows) {
    const int at = grid.InsertRow("");
    grid.SetItemText(at, 0, StrPrintf("%d", r.seqNo));
    for (size_t c = 0; c < r.cells.size() && c + 1 < columns.size(); ++c)
      grid.SetItemText(at, static_cast<int>(c + 1), r.cells[c]);
    grid.SetRowHeight(at, static_cast<int>(23 * scale));
    for (size_t c = 1; c < columns.size(); ++c)
      grid.SetItemBkColour(at, static_cast<int>(c), at % 2 == 0 ? draw::RGB(190, 198, 201) : draw::RGB(205, 213, 215));
  }
  // A heading or an entry wider than its column widens it, so that none is cut.
  for (int c = 0; c < grid.GetColumnCount(); ++c) {
    int width = grid.ColumnWidthAt(c);
    for (int r = 0; r < grid.GetRowCount(); ++r)
      if (const std::string text = grid.GetItemText(r, c); !text.empty())
        width = std::max(width, grid.MeasureCellText(r, c, text).cx);
    grid.SetColumnWidth(c, width);
  }
  grid.Refresh();
}

std::vector<size_t> SelectedListRows(const CGridCtrl& grid) {
  std::vector<size_t> out;
  for (int r = 1; r < grid.GetRowCount(); ++r)
    for (int c = 1; c < grid.GetColumnCount(); ++c)
      if (grid.IsCellSelected(r, c)) {
        out.push_back(static_cast<size_t>(r - 1));
        break;
      }
  return out;
}

int FirstSelectedListRow(const CGridCtrl& grid) {
  const std::vector<size_t> rows = SelectedListRows(grid);
  return rows.empty() ? -1 : static_cast<int>(rows.front());
}

void SetListEditButtons(CXPButton& append, CXPButton& modify, CXPButton& remove, CXPButton& exit, int l) {
  append.SetWindowText(PickText(l, "添加(&A)", "Append(&A)", "Anadir(&A)", "Ajouter(&A)", "Додати(&A)"));
  modify.SetWindowText(PickText(l, "修改(&M)", "Modify(&M)", "Modificar(&M)", "Modifier(&M)", "Змінити(&M)"));
  remove.SetWindowText(PickText(l, "删除(&D)", "Delete(&D)", "Borrar(&D)", "Supprimer(&D)", "Видалити(&D)"));
  exit.SetWindowText(ExitButtonText(l));
  append.SetBitmaps(466, 465, 464);
  modify.SetBitmaps(469, 468, 467);
  remove.SetBitmaps(469, 468, 467);
  exit.SetBitmaps(472, 471, 470);
}

}  // namespace settings
