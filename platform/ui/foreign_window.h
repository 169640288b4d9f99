#pragma once
// Windows of other programs (the on-screen keyboard, the help viewer), reached through X11
// where there is an X display. Without one these find nothing.
#include <string>

namespace ui {

// True when a top-level window of another program has exactly this title.
bool FindForeignWindow(const std::string& title);
// Shows the window in its normal state (restoring it when minimised) and brings it to the
// front. False when there is no such window.
bool ActivateForeignWindow(const std::string& title);

}  // namespace ui
