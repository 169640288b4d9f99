#include "qc/chart_navigation.h"

#include <algorithm>

#include "platform/ui/keys.h"
#include "platform/ui/messages.h"

namespace qc {

bool ChartArrowKey(const ui::Message& msg, const std::function<void(int)>& movePage,
                   const std::function<void(int)>& moveCursor) {
  if (msg.message != ui::WM_KEYDOWN) return false;
  switch (msg.wParam) {
    case ui::VK_UP: movePage(-1); return true;
    case ui::VK_DOWN: movePage(+1); return true;
    case ui::VK_LEFT: moveCursor(0); return true;
    case ui::VK_RIGHT: moveCursor(1); return true;
    default: return false;
  }
}

bool ScrollChartBar(ui::ScrollBar& bar, int code, int pos, int* to) {
  int lo = 1, hi = 1;
  bar.GetScrollRange(lo, hi);
  const int was = bar.GetScrollPos();
  int p = was;
  switch (code) {
    case ui::SB_LINELEFT: p = std::max(lo, p - 1); break;
    case ui::SB_LINERIGHT: p = std::min(hi, p + 1); break;
    case ui::SB_THUMBTRACK:
    case ui::SB_THUMBPOSITION: p = std::clamp(pos, lo, hi); break;
    default: return false;
  }
  if (p == was && code != ui::SB_THUMBTRACK && code != ui::SB_THUMBPOSITION) return false;  // at an end: nothing happens
  bar.SetScrollPos(p);
  *to = p;
  return true;
}

void SetUpChartArrows(ui::Window* dialog, const std::array<CXPButton*, 4>& arrows, const std::array<int, 4>& ids) {
  for (int k = 0; k < 4; ++k) {
    arrows[k]->SubclassDlgItem(ids[k], dialog);
    arrows[k]->SetArrowStyle(k + 1);  // 1 up, 2 down, 3 left, 4 right
  }
}

}  // namespace qc
