#pragma once
// What the window manager needs from a display: a place to show the composed screen and a
// source of input.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/input.h"

namespace ui::detail {

class Backend {
 public:
  virtual ~Backend() = default;
  // Opens the display; `size` comes in as wished (0: choose) and goes out as opened.
  virtual bool Open(const InitOptions& options, Size& size) = 0;
  // Shows the composed screen, of which only the rectangles `changed` differ from the frame
  // shown before (the window layer knows what it painted; nothing is compared here).
  virtual void Present(const draw::Bitmap& screen, const std::vector<Rect>& changed) = 0;
  // Appends pending input without waiting.
  virtual void Poll(std::vector<InputEvent>& out) = 0;
  // Waits on the UI thread until input arrives, InterruptWait is called or `timeoutMs` passes
  // (-1: no limit). False when the display has no input of its own to wait for: the loop then
  // waits on its own condition variable.
  virtual bool WaitForInput(int64_t timeoutMs) = 0;
  // Ends a WaitForInput early; called from any thread.
  virtual void InterruptWait() = 0;
  virtual void SetCursorVisible(bool visible) = 0;
  virtual void SetCursorShape(CursorShape shape) = 0;
  virtual void SetClipboard(const std::string& text) = 0;
  virtual bool GetClipboard(std::string& text) = 0;
  virtual BackendKind Kind() const = 0;
};

// Copies the rectangles `changed` of `screen` into a display's pixels of the same size (32-bit
// words as the screen's, `stride` bytes a row): the one way a frame reaches a display.
void CopyChangedRects(const draw::Bitmap& screen, const std::vector<Rect>& changed, uint8_t* pixels, int stride);

std::unique_ptr<Backend> MakeOffscreenBackend();
std::unique_ptr<Backend> MakeSdlBackend();

}  // namespace ui::detail
