#include "analyzer/serial_window_sink.h"

#include "platform/ui/app.h"
#include "platform/ui/window.h"

namespace analyzer {

ByteSink WindowByteSink(ui::WindowHandle owner) {
  if (owner == 0) return {};
  return [owner](uint8_t byte, unsigned port) {
    ui::SendMessageTo(owner, kSerialByteMessage, static_cast<ui::WParam>(byte), static_cast<ui::LParam>(port));
  };
}

ByteSink WindowByteSink(ui::Window* owner) { return owner ? WindowByteSink(owner->Handle()) : ByteSink{}; }

}  // namespace analyzer
