// The offscreen backend: the composed screen stays in memory (tests read it and save it as
// PNG); input comes only from InjectInput. A frame is shown as in a window: its changed
// rectangles are copied into the display's own pixels.
#include <algorithm>
#include <cstring>

#include "platform/ui/detail/backend.h"

namespace ui::detail {
namespace {

class OffscreenBackend : public Backend {
 public:
  bool Open(const InitOptions&, Size& size) override {
    if (size.cx <= 0 || size.cy <= 0) size = Size(800, 600);
    return true;
  }
  void Present(const draw::Bitmap& screen, const std::vector<Rect>& changed) override {
    if (screen.IsNull()) return;
    if (shown_.IsNull() || shown_.Width() != screen.Width() || shown_.Height() != screen.Height())
      shown_ = draw::Bitmap::Create(screen.Width(), screen.Height());
    CopyChangedRects(screen, changed, shown_.Data(), shown_.Stride());
  }
  void Poll(std::vector<InputEvent>&) override {}
  bool WaitForInput(int64_t) override { return false; }
  void InterruptWait() override {}
  void SetCursorVisible(bool) override {}
  void SetCursorShape(CursorShape) override {}
  void SetClipboard(const std::string&) override {}
  bool GetClipboard(std::string&) override { return false; }
  BackendKind Kind() const override { return BackendKind::Offscreen; }

 private:
  draw::Bitmap shown_;  // the display's pixels
};

}  // namespace

void CopyChangedRects(const draw::Bitmap& screen, const std::vector<Rect>& changed, uint8_t* pixels, int stride) {
  const Rect all(0, 0, screen.Width(), screen.Height());
  const uint8_t* from = screen.Data();
  const int fromStride = screen.Stride();
  for (const Rect& r : changed) {
    const Rect c = r.Intersect(all);
    if (c.IsEmpty()) continue;
    const size_t bytes = static_cast<size_t>(c.Width()) * 4;
    for (int y = c.top; y < c.bottom; ++y)
      std::memcpy(pixels + static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(c.left) * 4,
                  from + static_cast<size_t>(y) * static_cast<size_t>(fromStride) + static_cast<size_t>(c.left) * 4, bytes);
  }
}

std::unique_ptr<Backend> MakeOffscreenBackend() { return std::make_unique<OffscreenBackend>(); }

}  // namespace ui::detail
