// What the grid paints, read back pixel by pixel where the look is the behaviour: grid
// line modes, hidden columns, the selection and focus colours, the background beyond the
// cells, the raised headers, and the same image with or without the off-screen buffer.
#include <filesystem>

#include "platform/ui/draw/dc.h"
#include "platform/ui/styles.h"
#include "tests/controls/grid/grid_window_fixture.h"

namespace {
constexpr draw::Color kLine = draw::RGB(192, 192, 192);
constexpr draw::Color kSelection = draw::RGB(20, 74, 118);
}  // namespace

class GridPaintTest : public GridWindowTest {
 protected:
  void SetUp() override {
    GridWindowTest::SetUp();
    // No text in the body, so pixels show colours and lines only.
    for (int r = 1; r < grid->GetRowCount(); ++r)
      for (int c = 1; c < grid->GetColumnCount(); ++c) grid->SetItemText(r, c, "");
    Repaint();
  }
  void Repaint() {
    grid->Invalidate(true);
    d.Settle();
    screen = d.Screen();
  }
  // A pixel of the grid's client area.
  draw::Color At(int x, int y) const {
    const draw::Point p = grid->ClientToScreen(draw::Point(x, y));
    return screen.GetPixel(p.x, p.y);
  }
  void Save(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / "quorvex_grid_paint";
    std::filesystem::create_directories(dir);
    d.SaveScreenshot((dir / (name + ".png")).string());
  }
  draw::Bitmap screen;
};

TEST_F(GridPaintTest, GridLineModes) {
  // Column 2 spans x 100..149, row 2 spans y 40..59; its grid lines lie on x 149 and y 59.
  struct Case {
    int mode;
    bool vertical, horizontal;
  } cases[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
  for (const Case& c : cases) {
    grid->SetGridLineMode(c.mode);
    Repaint();
    Save("lines_" + std::to_string(c.mode));
    EXPECT_EQ(At(149, 50) == kLine, c.vertical) << "mode " << c.mode;
    EXPECT_EQ(At(120, 59) == kLine, c.horizontal) << "mode " << c.mode;
    EXPECT_EQ(At(120, 50), draw::RGB(255, 255, 255)) << "mode " << c.mode;
  }
}

TEST_F(GridPaintTest, BackgroundBeyondTheCellsHasTheGridBackColour) {
  const draw::Color back = grid->GetGridBkColor();
  EXPECT_EQ(At(350, 50), back);    // right of the last column
  EXPECT_EQ(At(100, 250), back);   // below the last row
  EXPECT_EQ(At(290, 190), draw::RGB(255, 255, 255));
  grid->SetRowCount(0);
  Repaint();
  EXPECT_EQ(At(5, 5), back);
  EXPECT_EQ(At(200, 150), back);
}

TEST_F(GridPaintTest, HiddenColumnLeavesNoGapAndNoLine) {
  grid->SetColumnWidth(3, 0);
  Repaint();
  Save("hidden_column");
  // Column 4 now starts at x 150: its grid line is at 199, and none remains at 149+50.
  EXPECT_EQ(At(149, 50), kLine);
  EXPECT_EQ(At(199, 50), kLine);
  EXPECT_EQ(At(249, 50), kLine);  // column 5
  EXPECT_NE(At(299, 50), kLine);  // no sixth line: the cells end at 250
  EXPECT_EQ(At(260, 50), grid->GetGridBkColor());
}

TEST_F(GridPaintTest, SelectedCellsAreDarkBlueAndTheFocusCellIsFramed) {
  grid->SetSelectedRange(2, 2, 3, 3);
  Repaint();
  EXPECT_EQ(At(120, 50), kSelection);
  EXPECT_EQ(At(170, 70), kSelection);
  EXPECT_EQ(At(220, 50), draw::RGB(255, 255, 255));
  grid->SetSelectedRange(-1, -1, -1, -1);
  grid->MoveFocus(2, 2);
  Repaint();
  Save("focus");
  // A one-pixel frame in the text colour just inside the cell (inclusive 100..148 x 40..58).
  EXPECT_EQ(At(100, 50), draw::RGB(0, 0, 0));
  EXPECT_EQ(At(148, 50), draw::RGB(0, 0, 0));
  EXPECT_EQ(At(120, 40), draw::RGB(0, 0, 0));
  EXPECT_EQ(At(120, 50), draw::RGB(255, 255, 255));
  grid->SetFrameFocusCell(false);
  Repaint();
  EXPECT_EQ(At(100, 50), draw::RGB(255, 255, 255));
}

TEST_F(GridPaintTest, HeadersAreRaisedAndSunkenInTheFocusColumn) {
  const draw::Color light = ui::SysColor(ui::COLOR_BTNHIGHLIGHT), dark = ui::SysColor(ui::COLOR_3DDKSHADOW);
  // Header cell (0, 2): inclusive 100..149 x 0..19.
  EXPECT_EQ(At(120, 0), light);
  EXPECT_EQ(At(100, 10), light);
  EXPECT_EQ(At(149, 10), dark);
  EXPECT_EQ(At(120, 19), dark);
  EXPECT_EQ(At(120, 10), ui::SysColor(ui::COLOR_BTNFACE));
  grid->MoveFocus(3, 2);
  Repaint();
  Save("sunken_header");
  EXPECT_EQ(At(120, 0), dark);
  EXPECT_NE(At(149, 10), dark);
  // Column 3's header stays raised.
  EXPECT_EQ(At(170, 0), light);
}

TEST_F(GridPaintTest, OwnColoursAndTheSameImageWithoutTheBuffer) {
  grid->SetItemBkColour(4, 4, draw::RGB(190, 198, 201));
  grid->SetItemText(4, 4, "WBC");
  grid->SetItemFgColour(4, 4, draw::RGB(66, 85, 92));
  grid->SetSortMarkerColumn(3);
  Repaint();
  Save("buffered");
  EXPECT_EQ(At(245, 90), draw::RGB(190, 198, 201));
  const draw::Bitmap buffered = screen;
  grid->SetDoubleBuffering(false);
  Repaint();
  const draw::Rect w = grid->GetWindowRect();
  int differing = 0;
  for (int y = w.top; y < w.bottom; ++y)
    for (int x = w.left; x < w.right; ++x)
      if (buffered.GetPixel(x, y) != screen.GetPixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST_F(GridPaintTest, PaintCellDrawsAtOnceAndRefusesCellsOffScreen) {
  grid->SetRowCount(40);
  Shape(20, 50);
  grid->UpdateScrollBars();
  d.Settle();
  EXPECT_FALSE(grid->PaintCell(35, 2));
  grid->SetItemBkColour(2, 2, draw::RGB(255, 0, 0));
  EXPECT_TRUE(grid->PaintCell(2, 2));
  EXPECT_TRUE(grid->PaintRow(3));
}
