// Which scroll bars a grid needs.
#include <gtest/gtest.h>

#include "controls/grid/scroll_layout.h"

namespace {

struct LayoutCase {
  const char* name;
  draw::Size client;
  unsigned shown;
  int fixedW, fixedH, totalW, totalH;
  grid::ScrollBarLayout expect;
};

// Bars 16 pixels, borders 1.
const LayoutCase kLayouts[] = {
    {"EverythingFits", {200, 100}, 0, 20, 10, 150, 90, {false, false, false, 0, 0, 0, 0}},
    {"TooTall", {200, 100}, 0, 20, 10, 150, 300, {false, false, true, 0, 289, 0, 90}},
    {"TooWide", {200, 100}, 0, 20, 10, 400, 70, {false, true, false, 379, 0, 180, 0}},
    {"HorizontalBarForcesTheVertical", {200, 100}, 0, 20, 10, 400, 90, {false, true, true, 379, 79, 180, 74}},
    // The vertical bar takes 16 pixels, so 190 of columns no longer fit in 200.
    {"VerticalBarForcesTheHorizontal", {200, 100}, 0, 20, 10, 190, 300, {false, true, true, 169, 289, 164, 74}},
    // Measured with both bars shown, the area is grown back by bar and border first.
    {"ShownBarsGiveTheirRoomBack", {183, 83}, 3, 20, 10, 150, 90, {false, false, false, 0, 0, 0, 0}},
    {"FixedCellsFillTheArea", {200, 100}, 0, 200, 10, 400, 300, {true, false, false, 0, 0, 0, 0}},
};

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, Bars) {
  const LayoutCase& c = GetParam();
  const grid::ScrollBarLayout l =
      grid::ComputeScrollBars(c.client, c.shown, grid::ScrollBarMetrics{}, c.fixedW, c.fixedH, c.totalW, c.totalH);
  EXPECT_EQ(l.hideBoth, c.expect.hideBoth);
  EXPECT_EQ(l.showHorz, c.expect.showHorz);
  EXPECT_EQ(l.showVert, c.expect.showVert);
  EXPECT_EQ(l.horzMax, c.expect.horzMax);
  EXPECT_EQ(l.vertMax, c.expect.vertMax);
  EXPECT_EQ(l.horzPage, c.expect.horzPage);
  EXPECT_EQ(l.vertPage, c.expect.vertPage);
}

INSTANTIATE_TEST_SUITE_P(Grid, LayoutTest, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
