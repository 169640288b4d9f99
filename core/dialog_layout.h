#pragma once
// The window side of the layout helpers: every screen scales itself by the layout scale in its
// dialog initialisation, puts the shared dialog font on its controls and draws the frame round
// its client area in its background-erase handler.
#include "platform/ui/draw/dc.h"
#include "platform/ui/draw/font.h"

namespace ui {
class Window;
}

// Sets the layout scale and the large-screen flag from the size of the screen the framework
// opened (call after ui::Init, before the first screen).
void CheckScreenSize();

// Scales the dialog's window rectangle edge by edge, centres it, then scales the rectangle of
// each direct child (grandchildren move with their parents and keep their sizes). Runs at
// scale 1.0 too: every control is moved to its own rectangle and the dialog is centred. The
// screen's keyboard button (control 1514) is made one that leaves the focus where it is.
void ScaleDialogLayout(ui::Window* dialog);

// Sends the font (null: the default font) to the window with redraw; always true, so an
// enumeration goes on.
bool ApplyDialogFont(ui::Window* window, const draw::Font* font);

// ApplyDialogFont on every descendant of the window (children, their children, ...).
void ApplyDialogFontToChildren(ui::Window* window, const draw::Font* font);

// Draws the screen frame: lines of `width` pixels in RGB(0, 76, 120) on the edges of the
// window's client rectangle (half of each line falls outside the client area). The DC's pen is
// restored afterwards.
void DrawDialogFrame(draw::DC& dc, ui::Window* window, int width);
