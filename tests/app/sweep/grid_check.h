#pragma once
// The tables of a screen looked over as its labels are: every heading and cell text, in the
// cell's font, fits its column between the cell's margins and its border, so that no text is
// cut or ended with an ellipsis, whichever column the operator scrolls to.
#include <string>
#include <vector>

namespace ui {
class Window;
}

// One line per cut text among the visible grids of `screen`.
std::vector<std::string> CheckGridTexts(ui::Window* screen);
