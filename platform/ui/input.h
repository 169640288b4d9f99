#pragma once
// Raw input as the backends deliver it (screen coordinates). The window manager turns it
// into mouse and key messages for the window under the pointer or with the focus. Tests
// inject input the same way.
#include <cstdint>

#include "platform/ui/types.h"

namespace ui {

struct InputEvent {
  enum class Kind { MouseMove, MouseDown, MouseUp, Wheel, KeyDown, KeyUp, Char, Quit, DisplayLost };
  Kind kind = Kind::MouseMove;
  Point pt;            // mouse events: screen position
  int button = 0;      // 0 left, 1 right, 2 middle
  int clicks = 1;      // 2: the second press of a double click
  int wheel = 0;       // wheel steps times 120, positive away from the user
  unsigned vk = 0;     // key events: virtual key
  unsigned ch = 0;     // Char: Unicode code point
  bool shift = false, ctrl = false, alt = false;
  bool repeat = false;
};

// Thread-safe: queues the event for the UI thread.
void InjectInput(const InputEvent& ev);
// Where the pointer is now, in screen coordinates.
Point GetCursorPos();
// Negative while the key is held (shift, control and the mouse buttons are tracked).
short GetKeyState(unsigned vk);

}  // namespace ui
