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
  virtual void Present(const draw::Bitmap& screen) = 0;
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

std::unique_ptr<Backend> MakeOffscreenBackend();
std::unique_ptr<Backend> MakeSdlBackend();

}  // namespace ui::detail
