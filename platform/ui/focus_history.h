#pragma once
// Where the focus was before: a control that acts on another one (a key that types into a
// field) hands the focus back to the window that had it before the tap moved it.

namespace ui {

class Window;

// The window that had the focus before the one that has it now (null when none or gone).
Window* PreviousFocus();

}  // namespace ui
