#pragma once
// How the QC chart screens move: their arrow buttons and keys page through the parameters and
// move the cursor, the horizontal scroll bar picks the screen of runs.
#include <array>
#include <functional>

#include "controls/xp_button.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/types.h"

namespace qc {

// The arrow keys of a chart screen: up and down call `movePage` with -1 and +1, left and right
// call `moveCursor` with 0 and 1. Returns whether `msg` was one of these keys.
bool ChartArrowKey(const ui::Message& msg, const std::function<void(int)>& movePage,
                   const std::function<void(int)>& moveCursor);

// Moves `bar` for a scroll `code` (ui::SB_...) with the dragged thumb at `pos`: one step left or
// right within its range, or to the thumb. Returns false when the screen stays as it is (any
// other code, or a step at either end); otherwise the bar is set and `*to` is its position.
bool ScrollChartBar(ui::ScrollBar& bar, int code, int pos, int* to);

// Takes over the arrow buttons (up, down, left, right) of a chart screen `dialog` from the
// controls `ids` and draws each as its arrow.
void SetUpChartArrows(ui::Window* dialog, const std::array<CXPButton*, 4>& arrows, const std::array<int, 4>& ids);

}  // namespace qc
