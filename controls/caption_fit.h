#pragma once
// Fitting a caption into its button: a caption is laid out centred and word-wrapped, breaks
// only at its blanks and line breaks (never inside a word or a run of Chinese characters), and
// stays clear of the button's rim. A caption that does not fit at its font is drawn in a
// smaller size of the same face until it fits; it is never clipped.
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/draw/dc.h"
#include "platform/ui/types.h"

namespace ui {
class Static;
class Window;
}  // namespace ui

// The part of a button of this rectangle that a caption may cover (the rim of the face stays
// clear): the rectangle moved in by 3 + h/16 at the sides and 1 + h/24 at top and bottom.
ui::Rect CaptionRoom(const ui::Rect& button);

// Whether `text` drawn centred and word-wrapped in `font` fits `room`: every word (the text
// between blanks and line breaks) fits the room's width on one line, and the wrapped block is
// no wider and no taller than the room. '&' marks a mnemonic as when the caption is drawn.
bool CaptionFits(draw::DC& dc, const std::string& text, const draw::Font& font, const ui::Rect& room);

// `nominal` when the caption fits at it; else the same face one pixel smaller at a time down to
// the smallest readable height (8 px), the first that fits; the smallest when none does.
draw::Font FitCaptionFont(draw::DC& dc, const std::string& text, const draw::Font& nominal, const ui::Rect& room);

// The same for the text of a label, check box or radio button laid out by `format` (the text
// format flags: word-wrapped or one line, '&' as a mnemonic unless kDtNoPrefix): it fits when no
// word is broken and the laid-out text is no wider and no taller than `room`.
bool TextFits(draw::DC& dc, const std::string& text, const draw::Font& font, const ui::Rect& room, unsigned format);
draw::Font FitTextFont(draw::DC& dc, const std::string& text, const draw::Font& nominal, const ui::Rect& room,
                       unsigned format);

// The controls that draw their text in one size with `control`: it, and the visible controls of
// its parent that show text and are `kin` to it, of its height in its row (same top) or its column
// (same left), and theirs in turn.
std::vector<ui::Window*> SizeGroup(ui::Window* control, const std::function<bool(ui::Window*)>& kin);

// The labels (statics showing text) whose text draws in one size with `label`'s: its SizeGroup
// among the labels of its font.
std::vector<ui::Window*> LabelGroup(ui::Window* label);

// The font `label` draws its text in: its own font at the smallest size a label of its group
// needs to fit its room (FitTextFont), so that one long label does not make its label look apart.
draw::Font GroupTextFont(draw::DC& dc, ui::Static& label);

// Makes every label of the program draw its text as GroupTextFont chooses.
void InstallLabelTextFitting();
