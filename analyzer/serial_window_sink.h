#pragma once
// The owner of a screen's port is its window: each received byte goes to it as WM_USER+7
// (byte in the first parameter, port number in the second), one message per byte, in the
// order the bytes arrived, on the window's thread.
//
// The port's worker does not wait for the window: it hands the byte over and goes on reading
// and writing. A handler that opens a message box (a nested loop) therefore holds up only the
// screen, never the link: what the screen queues meanwhile (an abort from a time-out) goes
// out, and the bytes that arrive meanwhile wait and are handled, in order, once the handler
// has returned. Bytes still waiting when the port is closed are dropped.
#include "analyzer/serial_port.h"
#include "platform/ui/types.h"

namespace ui {
class Window;
}

namespace analyzer {

// A sink that delivers each byte to the window; an empty sink for a null window. The window
// is kept by handle, so a byte that arrives after the window is gone is dropped safely.
ByteSink WindowByteSink(ui::Window* owner);
ByteSink WindowByteSink(ui::WindowHandle owner);

}  // namespace analyzer
