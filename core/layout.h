#pragma once
// Screen layout helpers every screen uses: the layout scale worked out once from the screen
// size, the scaling of a dialog's and its controls' rectangles, the shared dialog font, the
// frame every screen draws round its client area, and the on-screen keyboard.
//
// The geometry lives in plain functions here; the window-touching operations (ScaleDialogLayout,
// ApplyDialogFont, DrawDialogFrame) work on our window system's windows and are built on these.
#include <string>
#include <vector>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/font.h"
#include "platform/ui/draw/geometry.h"

// 1.0 for a screen of exactly 640x480 pixels, 1.25 for any other size (larger or smaller).
float LayoutScaleFor(int screenWidth, int screenHeight);

// Sets the layout scale and the large-screen flag of AppSettings from the screen size.
void CheckScreenSize(int screenWidth, int screenHeight);

// One edge scaled and truncated toward zero (each edge on its own, not width and height).
int ScaleEdge(int edge, float scale);
draw::Rect ScaleRectEdges(const draw::Rect& r, float scale);

// The shared dialog font for a layout scale: "Arial", cell height 16 x scale truncated, normal
// weight.
draw::Font MakeSharedDialogFont(float scale);

// The shared dialog font of this run, made by the start-up from AppSettings.LayoutScale
// (InitSharedDialogFont); until then the font of scale 1.0.
const draw::Font& SharedDialogFont();
void InitSharedDialogFont();

// The frame every screen draws: lines of the given width in RGB(0, 76, 120) along the client
// rectangle's own edge coordinates, in drawing order (top, right, bottom, left).
inline constexpr draw::Color kDialogFrameColor = draw::RGB(0, 76, 120);
inline constexpr int kDialogFrameWidth = 7;
struct FrameLine {
  draw::Point from, to;
};
std::vector<FrameLine> DialogFrameLines(const draw::Rect& client);

// Title of the on-screen keyboard's window, and its program in the program folder.
inline constexpr const char* kOnScreenKeyboardTitle = "On-Screen Keyboard";
inline constexpr const char* kOnScreenKeyboardProgram = "Keyboard.exe";

// Brings another program's window with exactly this title (the on-screen keyboard, the help
// viewer) to the front and shows it normally (restoring it when minimised); returns false when
// there is none. By default through the X display (nothing is found without one); tests install
// their own, and null puts the X display's back.
using ForeignWindowRaiser = bool (*)(const char* title);
void SetForeignWindowRaiser(ForeignWindowRaiser raise);
bool RaiseForeignWindow(const char* title);

// The keyboard button's action (see onscreen_keyboard.h). The focus goes back to the field the
// operator was in. When the keyboard is shown and does not lie over that field, it is taken
// away. Otherwise it is brought to the front where it leaves the field free, started (the
// program folder's "Keyboard.exe", through the helper-program table) when it does not run; its
// window is looked for by the title "On-Screen Keyboard" and by the title of the program the
// table picks, and a keyboard started here that has not yet opened its window is not started
// again. When the screen that called it up ends, it is taken away. When this computer has no
// keyboard program, the operator is told that the function is not available (and the reason
// goes to the debug output). Always 1.
int ShowOnScreenKeyboard();
