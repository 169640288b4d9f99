#pragma once
// Hover feedback shared by the skinned controls: the first mouse move over a control asks for
// hover and leave notifications with a hover time of 1 ms; the mouse is never captured for it.
#include "platform/ui/messages.h"
#include "platform/ui/window.h"

inline void StartHoverTracking(ui::Window* w, bool& tracking) {
  if (!tracking) tracking = w->TrackMouseEvent(ui::TME_HOVER | ui::TME_LEAVE, 1);
}
