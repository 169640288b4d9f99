#pragma once
// What the board screens share: the box styles of the sequences' messages and the board port
// of a window.
#include <memory>
#include <string>

#include "analyzer/serial_port.h"
#include "analyzer/sequences/startup_sequence.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/draw/dc.h"

namespace ui {
class Window;
}

namespace analyzer {

unsigned BoxStyle(BoxIcon icon);
// Shows a message in the program's box over `owner`.
int ShowBox(ui::Window* owner, const std::string& text, BoxIcon icon, unsigned buttons = 0);

// Creates, opens and starts a board port owned by the window; null when it cannot be opened.
std::unique_ptr<CSerialPort> OpenWindowBoardPort(ui::Window* owner);

// "Failed to initialize communications COM4 port!" and the like in the language.
std::string PortFailedText(bool withNumber, int language);

// The frame of a board screen's template: a centred pop-up of cx x cy dialog units in Arial
// 9 points, with a title bar when `caption`.
ui::DialogTemplate BoardScreenTemplate(int cx, int cy, bool caption);

// The labels of the board screens: text in RGB(66,85,92) over the screen's own background.
const draw::Brush* ScreenLabelColours(draw::DC& dc);

// The plain look of the small board screens: their grey with the dialog frame. With ids, the
// rail bitmaps beside the button `railButtonId` (450 from the left edge of the frame
// `railFrameId`, 449 to 2 pixels before its right edge, as high as the button, magenta
// see-through) come before the frame.
void DrawPlainScreen(draw::DC& dc, ui::Window* window, int railFrameId = 0, int railButtonId = 0);

// Posted to a screen to end it outside the board byte handler (the port's worker is waiting
// for that handler, so the port is deleted afterwards, from the screen's own loop).
inline constexpr uint32_t kEndScreenMessage = 0x0400 + 100;

}  // namespace analyzer
