#pragma once
// What the board screens share: the box styles of the sequences' messages and the board port
// of a window.
#include <memory>
#include <string>

#include "analyzer/serial_port.h"
#include "analyzer/sequences/startup_sequence.h"
#include "controls/screen_common.h"
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

// The label colours and the plain grey look are the controls' screen furniture.
using ::DrawPlainScreen;
using ::ScreenLabelColours;

// Posted to a screen to end it outside the board byte handler (the port's worker is waiting
// for that handler, so the port is deleted afterwards, from the screen's own loop).
inline constexpr uint32_t kEndScreenMessage = 0x0400 + 100;

}  // namespace analyzer
