#pragma once
// A tap on one arrow of a spin control, played through the test driver as real pointer input
// (the upper arrow a quarter down from the spin's top, the lower one a quarter up from its
// bottom). The spin's place is read on the UI thread at the time of the tap, since a skinned
// spin takes its picture's size when it is first painted. Usable from a driver script.
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"

namespace spin_taps {

inline bool TapSpinArrow(ui::TestDriver& s, int spinId, bool up) {
  ui::Rect r{};
  bool found = false;
  s.RunUntil([&] {
    if (ui::Window* w = s.Find(spinId)) {
      r = w->GetWindowRect();
      found = true;
    }
    return true;
  });
  if (!found || r.Height() < 4) return false;
  const int y = up ? r.top + r.Height() / 4 : r.bottom - 1 - r.Height() / 4;
  s.ClickAt(ui::Point{(r.left + r.right) / 2, y});
  return true;
}

}  // namespace spin_taps
