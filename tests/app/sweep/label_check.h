#pragma once
// The labels, check boxes and radio buttons of a screen looked over as the buttons are: their
// text, at the font the control drew it in, fits the control (no word broken, no line below
// the control's bottom edge, no value wrapped to the line after its caption) at a readable size,
// the inked text keeps a blank's width clear of any other control that shows text, and the
// letters read against what is behind them.
#include <string>
#include <vector>

#include "platform/ui/draw/bitmap.h"

namespace ui {
class Window;
}

// One line per problem found among the visible controls of `screen`; with the screen's picture,
// also the labels whose letters are too close in brightness to their background.
std::vector<std::string> CheckLabels(ui::Window* screen, const draw::Bitmap* shot = nullptr);

// One line per pair of labels (statics showing text in one font) of one parent side by side in a
// row (same top) or one above the other in a column (same left), of one height, whose texts are
// drawn in different sizes: one long text must not make its label look apart from the others.
std::vector<std::string> CheckLabelSizes(ui::Window* screen);

// The contrast ratio of two colours (1 to 21) from their relative luminance (sRGB).
double Contrast(draw::Color a, draw::Color b);
