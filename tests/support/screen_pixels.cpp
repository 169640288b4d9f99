#include "tests/support/screen_pixels.h"

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/window.h"

namespace support {

WindowEdges ReadWindowEdges(ui::TestDriver& driver, ui::Window* w) {
  WindowEdges e;
  e.window = w->GetWindowRect();
  e.client = w->GetClientRect();
  e.origin = w->ClientToScreen(ui::Point(0, 0));
  const draw::Bitmap shot = driver.Screen();
  const int midX = (e.window.left + e.window.right) / 2, midY = (e.window.top + e.window.bottom) / 2;
  e.top = shot.GetPixel(midX, e.window.top);
  e.bottom = shot.GetPixel(midX, e.window.bottom - 1);
  e.left = shot.GetPixel(e.window.left, midY);
  e.right = shot.GetPixel(e.window.right - 1, midY);
  return e;
}

InkRows FindInkRows(const draw::Bitmap& shot, const ui::Rect& r) {
  InkRows rows;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const draw::Color c = shot.GetPixel(x, y);
      if (draw::GetRValue(c) + draw::GetGValue(c) + draw::GetBValue(c) < 450) {
        if (rows.first < 0) rows.first = y;
        rows.last = y;
        break;
      }
    }
  return rows;
}

bool ColumnHolds(const draw::Bitmap& shot, int x, int top, int bottom, draw::Color c) {
  for (int y = top; y < bottom; ++y)
    if (shot.GetPixel(x, y) == c) return true;
  return false;
}

ui::Rect ControlScreenRect(ui::Window* dialog, int id) {
  ui::Window* w = dialog->GetDlgItem(id);
  if (!w) return ui::Rect();
  return w->GetWindowRect();
}

}  // namespace support
