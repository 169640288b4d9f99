#include "qc/run_list_grid.h"

#include <algorithm>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "qc/qc_names.h"

namespace qc {

void SetUpRunGrid(CGridCtrl& grid, int columns, int first, int lang) {
  grid.SetEditable(false);
  grid.SetRowResize(false);
  grid.SetRowCount(23);
  grid.SetColumnCount(columns);
  grid.SetFixedRowCount(1);
  grid.SetFixedColumnCount(1);
  grid.SetItemText(0, 0, PickText(lang, "编号", "No.", "No.", "No.", "Номер"));
  grid.SetItemText(1, 0, PickText(lang, "日期", "Date", "Fecha", "Date", "Дата"));
  grid.SetItemText(2, 0, PickText(lang, "时间", "Time", "Hora", "Heure", "Час"));
  for (int p = 0; p < 20; ++p) grid.SetItemText(p + 3, 0, kDisplayNames[p]);
  for (int c = first; c < columns; ++c) grid.SetItemText(0, c, StrPrintf("%d", c - first + 1));
  for (int r = 1; r < 23; ++r)
    for (int c = 1; c < columns; ++c)
      grid.SetItemBkColour(r, c, r % 2 == 0 ? draw::RGB(190, 198, 201) : draw::RGB(205, 213, 215));
}

void FillRunColumn(CGridCtrl& grid, int col, const LjRun& r) {
  grid.SetItemText(1, col, r.date);
  grid.SetItemText(2, col, r.time);
  for (int d = 0; d < 20; ++d) {
    const float v = r.values[StoreFromDisplay(d)];
    grid.SetItemText(d + 3, col, v < 0.0f ? "" : FormatValue(v, d, 1));
  }
}

void RemoveRunColumns(CGridCtrl& grid, const std::vector<int>& cols, int first) {
  const int last = grid.GetColumnCount() - 1;
  for (size_t i = 0; i < cols.size(); ++i) {
    const int col = cols[i] - static_cast<int>(i);  // earlier removals moved it left
    for (int c = col; c <= last; ++c)
      for (int r = 1; r < 23; ++r) grid.SetItemText(r, c, c < last ? grid.GetItemText(r, c + 1) : "");
  }
  for (int c = first; c <= last; ++c) grid.SetItemText(0, c, StrPrintf("%d", c - first + 1));
}

void SetRunColumnWidth(CGridCtrl& grid, int col, int width, bool results) {
  // Every date has the same width: the digits of the grid's font are equally wide.
  int need = results ? grid.MeasureCellText(1, col, "0000-00-00").cx : 0;
  for (int r = 0; r < grid.GetRowCount(); ++r) {
    const std::string text = grid.GetItemText(r, col);
    if (!text.empty()) need = std::max(need, grid.MeasureCellText(r, col, text).cx);
  }
  grid.SetColumnWidth(col, std::max(width, need));
}

void ClearRunColumns(CGridCtrl& grid, int first) {
  for (int r = 1; r < 23; ++r)
    for (int c = first; c < grid.GetColumnCount(); ++c) grid.SetItemText(r, c, "");
}

}  // namespace qc
