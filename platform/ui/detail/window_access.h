#pragma once
// The window manager's view of a window's private parts. Internal to the framework.
#include <memory>

#include "platform/ui/draw/dc.h"
#include "platform/ui/window.h"

namespace ui {

struct WindowAccess {
  static void Invalidate(Window* w, const Rect& clientRect, bool erase);
  static std::unique_ptr<draw::DC> ClientDC(Window* w);
  static void PaintTopLevel(Window* top);
  static const draw::Bitmap& Backing(Window* w) { return w->backing_; }
  static unsigned& TrackFlags(Window* w) { return w->trackFlags_; }
  static unsigned HoverMs(Window* w) { return w->hoverMs_; }
  static WindowHandle& LastFocus(Window* w) { return w->lastFocus_; }
  static bool TakeErase(Window* w) {
    const bool e = w->eraseNeeded_;
    w->eraseNeeded_ = false;
    return e;
  }
  static void MarkBarsDirty(Window* w);
  static bool TakeBarsDirty(Window* w) {
    const bool d = w->barsDirty_;
    w->barsDirty_ = false;
    return d;
  }
  static void BarState(Window* w, int bar, int& min, int& max, int& page, int& pos, int*& trackPos) {
    auto& b = w->bars_[bar];
    min = b.min;
    max = b.max;
    page = static_cast<int>(b.page);
    pos = b.pos;
    trackPos = &b.trackPos;
  }
  static Window* Owner(Window* w) { return w->owner_; }
};

}  // namespace ui
