// The offscreen backend: the composed screen stays in memory (tests read it and save it as
// PNG); input comes only from InjectInput.
#include "platform/ui/detail/backend.h"

namespace ui::detail {
namespace {

class OffscreenBackend : public Backend {
 public:
  bool Open(const InitOptions&, Size& size) override {
    if (size.cx <= 0 || size.cy <= 0) size = Size(800, 600);
    return true;
  }
  void Present(const draw::Bitmap&) override {}
  void Poll(std::vector<InputEvent>&) override {}
  bool WaitForInput(int64_t) override { return false; }
  void InterruptWait() override {}
  void SetCursorVisible(bool) override {}
  void SetCursorShape(CursorShape) override {}
  void SetClipboard(const std::string&) override {}
  bool GetClipboard(std::string&) override { return false; }
  BackendKind Kind() const override { return BackendKind::Offscreen; }
};

}  // namespace

std::unique_ptr<Backend> MakeOffscreenBackend() { return std::make_unique<OffscreenBackend>(); }

}  // namespace ui::detail
