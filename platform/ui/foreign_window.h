#pragma once
// Windows of other programs (the on-screen keyboard, the help viewer), reached through X11
// where there is an X display. Without one these find nothing.
#include <string>

#include "platform/ui/types.h"

namespace ui {

// True when a top-level window of another program has exactly this title.
bool FindForeignWindow(const std::string& title);
// Shows the window in its normal state (restoring it when minimised) and brings it to the
// front. False when there is no such window.
bool ActivateForeignWindow(const std::string& title);
// Where the window lies on the display and whether it is shown now. False when there is none.
bool ForeignWindowGeometry(const std::string& title, Rect* where, bool* shown);
// Moves the window's top-left corner to (x, y) on the display, keeping its size.
bool MoveForeignWindow(const std::string& title, int x, int y);
// Takes the window off the display (its program goes on running); ActivateForeignWindow shows
// it again.
bool HideForeignWindow(const std::string& title);

}  // namespace ui
