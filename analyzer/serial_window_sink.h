#pragma once
// The owner of a screen's port is its window: each received byte goes to it as WM_USER+7
// (byte in the first parameter, port number in the second), sent synchronously from the
// port's worker. The window's thread handles such sends in every loop and wait it makes, so
// a screen that closes its port while a byte is on its way does not deadlock.
#include "analyzer/serial_port.h"
#include "platform/ui/types.h"

namespace ui {
class Window;
}

namespace analyzer {

// A sink that sends each byte to the window; an empty sink for a null window. The window is
// kept by handle, so a byte that arrives after the window is gone is dropped safely.
ByteSink WindowByteSink(ui::Window* owner);
ByteSink WindowByteSink(ui::WindowHandle owner);

}  // namespace analyzer
