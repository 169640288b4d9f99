#pragma once
// The grid of the department and doctor screens: whole-row selection, no in-place editing, one
// fixed header row and the number column fixed, dark fixed cells, banded data rows.
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "settings/numbered_list.h"

namespace settings {

struct ListColumn {
  std::string header;
  int width;  // before the layout scale
};

// Fills the grid with the header and one row per list row (number, then the cells).
void FillListGrid(CGridCtrl& grid, const std::vector<ListColumn>& columns, const std::vector<NumberedRow>& rows,
                  float scale);

// The list rows whose cells are selected, in list order (grid row r is list row r - 1).
std::vector<size_t> SelectedListRows(const CGridCtrl& grid);
// The first selected list row, or -1 without a selection.
int FirstSelectedListRow(const CGridCtrl& grid);

// The Append, Modify, Delete and Exit buttons under a list: captions in the language and their
// skin pictures.
void SetListEditButtons(CXPButton& append, CXPButton& modify, CXPButton& remove, CXPButton& exit, int language);

}  // namespace settings
