#pragma once
// The labels of a QC chart screen: every static text of the screen is drawn on the chart
// screens' label grey RGB(190,198,201) over its whole area, so a read-out that changes at a
// cursor move paints its new text over a clean background instead of over the old text.
#include <memory>
#include <vector>

#include "controls/static_trans.h"

namespace qc {

class ChartLabels {
 public:
  // Takes over every static text child of `dialog` (call once, from its initialisation).
  void TakeOver(ui::Window* dialog);
  // Repaints every label (after a move or a page change).
  void RedrawAll();

 private:
  std::vector<std::unique_ptr<CStaticTrans>> labels_;
};

}  // namespace qc
