#pragma once
// Reading what the operator sees on the composed screen: a top-level window's frame (where its
// client area lies inside the window, the colours on its four outer edges) and where the text
// of a control stands.
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/types.h"

namespace ui {
class Window;
}

namespace support {

struct WindowEdges {
  ui::Rect window;    // screen coordinates
  ui::Point origin;   // the client area's top-left corner on the screen
  ui::Rect client;    // client coordinates
  // The middle pixel of each outer edge row or column of the window.
  draw::Color top = 0, bottom = 0, left = 0, right = 0;

  // True when the framework draws nothing around the client area (no caption, no border).
  bool Frameless() const {
    return origin.x == window.left && origin.y == window.top && client.Width() == window.Width() &&
           client.Height() == window.Height();
  }
};

// Reads the edges of `w` as the screen shows it now (call from a test driver script).
WindowEdges ReadWindowEdges(ui::TestDriver& driver, ui::Window* w);

// The rows of dark text pixels (r+g+b below 450, the screens' label colours on their light
// greys) inside `screenRect`; first and last are -1 when there is none.
struct InkRows {
  int first = -1, last = -1;
};
InkRows FindInkRows(const draw::Bitmap& shot, const ui::Rect& screenRect);

// True when column `x` of `shot` holds a pixel of colour `c` in rows top .. bottom-1.
bool ColumnHolds(const draw::Bitmap& shot, int x, int top, int bottom, draw::Color c);

// The screen rectangle of control `id` of `dialog`.
ui::Rect ControlScreenRect(ui::Window* dialog, int id);

}  // namespace support
