#pragma once
// The skins a screen gives its push buttons: a working button (its normal and hover looks)
// never shows the greyed face the skin made for a disabled one; and every push button shows a caption or a picture.
#include <string>
#include <vector>

namespace ui {
class Window;
}
namespace draw {
class Bitmap;
}

// A row of push buttons (the captioned skinned buttons of one parent at the same height and top)
// draws its captions in one size, so that one long caption does not make its button look apart.
std::vector<std::string> CheckButtonRows(ui::Window* screen);

// The check boxes and radio buttons of one group (MarkGroup: a row or a column of one parent)
// draw their labels in one size.
std::vector<std::string> CheckMarkGroups(ui::Window* screen);

// One line per button of `screen` that looks disabled while it works, or
// that shows nothing on its face, or that is drawn as the system's plain push button; with the
// screen's picture `shot`, also per picture button (the keyboard button) whose picture is not
// what the picture shows where the button lies; and a keyboard button on a group frame's lines.
std::vector<std::string> CheckButtonSkins(ui::Window* screen, const draw::Bitmap* shot = nullptr);
