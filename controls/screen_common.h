#pragma once
// The furniture every screen shares: the transparent label colours, the striped backgrounds
// under a title band, the rail bitmaps beside the bottom buttons, the plain grey look of the
// small screens, the dialog templates' frames, and the board-port failure message.
#include <cstdint>
#include <string>

#include "platform/ui/dialog_template.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/types.h"
#include "platform/ui/window.h"

// The hollow brush a colour answer returns for a label drawn over its parent's background.
const draw::Brush* HollowBrush();
// Colour answer of a transparent label: `colour` text, no background, a hollow brush.
const draw::Brush* TransparentLabel(draw::DC& dc, draw::Color colour);
// The labels of the screens: text in the look's label colour, RGB(66,85,92), over the screen's
// own background.
const draw::Brush* ScreenLabelColours(draw::DC& dc);

// The title band (bitmap `titleBitmap`) stretched over the top `bandHeight` pixels, then
// `stripes` horizontal stripes alternating RGB(205,213,215) and RGB(190,198,201) down to the
// bottom (the last one reaching it), then a `frameWidth`-pixel frame in RGB(0,76,120) (none for 0).
void DrawBandedBackground(draw::DC& dc, const ui::Rect& client, int bandHeight, int stripes,
                          unsigned titleBitmap = 491, int frameWidth = 5);

// The bars beside the bottom buttons: bitmap 450 from the group box's left edge to the left
// button, bitmap 449 from the right button to 2 pixels before the group box's right edge, each
// as high as the button beside it, magenta see-through; then the 7-pixel screen frame. A skinned
// group box paints its panel after this background, so it is asked to draw the bars itself.
void DrawBottomBars(draw::DC& dc, ui::Window* dialog, int groupId, int leftButtonId, int rightButtonId);

// The rails alone: bitmap 450 from the frame's left edge to the left button, bitmap 449 from the
// right button to 2 pixels before the frame's right edge (rectangles in the dialog's client).
void DrawBottomRails(draw::DC& dc, const ui::Rect& frame, const ui::Rect& leftButton, const ui::Rect& rightButton);

// The grey of the plain screens, the colour of a skinned group box's outer ring: no band of the
// framework's dialog colour shows between the screen frame and the group box.
inline constexpr draw::Color kPlainScreenColour = draw::RGB(205, 213, 215);

// The plain look of the skinned screens: their grey with the dialog frame. With ids, the rails
// beside the buttons `railButtonId` (left) and `railRightButtonId` (right; 0: the same button)
// within the frame `railFrameId`, as DrawBottomBars draws them.
void DrawPlainScreen(draw::DC& dc, ui::Window* window, int railFrameId = 0, int railButtonId = 0,
                     int railRightButtonId = 0);

// The board port could not be opened: in Chinese a log line and the Chinese text with the
// exclamation icon; otherwise `otherText` (nullptr: the common English text) in a plain box.
void ReportBoardPortFailure(const char* otherText = nullptr);

// The board port's failure log line (Chinese).
extern const char* const kBoardPortLogText;

// The frame of a screen's dialog template: `cx` x `cy` dialog units, a visible centred pop-up
// (plus `extraStyle`) in the System face at 10 points; the caller adds the controls.
ui::DialogTemplate ScreenTemplate(int cx, int cy, uint32_t extraStyle = 0);
// The frame of any screen's template: `cx` x `cy` dialog units, a centred pop-up with `style`
// added, in `face` at `points`.
ui::DialogTemplate CentredPopupTemplate(int cx, int cy, uint32_t style, const char* face, int points);

// The frame and title bar of a screen that has a window caption, in the screens' look instead of
// the system's bright title bar: the border and the band in the dialog frame's blue, the caption
// in light bold text. For a top-level window's PaintNonClient.
void PaintScreenCaption(draw::DC& dc, ui::Window* window);

// Return and Escape key-downs, which the screens with an Exit button swallow (they close only by
// that button).
bool IsEnterOrEscapeKey(const ui::Message& msg);

// The Exit button's caption "Exit(&X)" in the language.
std::string ExitButtonText(int language);
