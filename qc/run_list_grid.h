#pragma once
// The grid the QC result lists share: parameters in rows (date, time, then the 20 parameters in
// display order), one column per result from a first result column on; filling a column and
// removing picked columns with the numbers in the heading row kept in sequence.
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "qc/lj_tables.h"

namespace qc {

// Heading row texts and the parameter names; `columns` includes the fixed column.
void SetUpRunGrid(CGridCtrl& grid, int columns, int firstRunColumn, int language);
// Date, time and the 20 values ("%g", empty when negative) of a result.
void FillRunColumn(CGridCtrl& grid, int column, const LjRun& run);
// Removes the (ascending) columns, moving the later ones left; the heading numbers are written
// again from 1 so they keep counting the results in order.
void RemoveRunColumns(CGridCtrl& grid, const std::vector<int>& sortedColumns, int firstRunColumn);
// Empties every result cell below the heading row.
void ClearRunColumns(CGridCtrl& grid, int firstRunColumn);
// Sets column `col` `width` wide, or wider where a text it holds, or the date a result column
// (`results`) will hold, would not show whole in the grid's font.
void SetRunColumnWidth(CGridCtrl& grid, int col, int width, bool results);

}  // namespace qc
