#include "grid_check.h"

#include "controls/grid/grid_cell.h"
#include "controls/grid/grid_ctrl.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/window.h"

namespace {

void CheckGrid(CGridCtrl& grid, std::vector<std::string>& out) {
  draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
  draw::DC dc(scratch);
  for (int c = 0; c < grid.GetColumnCount(); ++c) {
    const int width = grid.ColumnWidthAt(c);
    if (width <= 0) continue;  // a hidden column shows nothing
    for (int r = 0; r < grid.GetRowCount(); ++r) {
      const CGridCellBase* cell = grid.GetCell(r, c);
      if (!cell || grid.RowHeightAt(r) <= 0 || cell->GetText().empty()) continue;
      if (const draw::Font* font = cell->GetFont()) dc.SelectFont(*font);
      // The text goes between the margins, inside the grid line on the right and, in a
      // heading, inside its raised border on both sides.
      const int border = cell->IsFixed() && grid.GetGridLines() != 0 ? 3 : 1;
      const int room = width - border - 2 * cell->GetMargin();
      const int text = dc.GetTextExtent(cell->GetText()).cx;
      if (text > room)
        out.push_back("grid " + std::to_string(grid.GetDlgCtrlID()) + " cell " + std::to_string(r) + "," +
                      std::to_string(c) + " \"" + cell->GetText() + "\" is " + std::to_string(text) +
                      " px wide, room " + std::to_string(room));
    }
  }
}

void Walk(ui::Window* w, std::vector<std::string>& out) {
  for (ui::Window* c : w->Children()) {
    if (!c->IsWindowVisible()) continue;
    if (auto* grid = dynamic_cast<CGridCtrl*>(c)) CheckGrid(*grid, out);
    Walk(c, out);
  }
}

}  // namespace

std::vector<std::string> CheckGridTexts(ui::Window* screen) {
  std::vector<std::string> out;
  Walk(screen, out);
  return out;
}
