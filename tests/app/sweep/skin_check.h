#pragma once
// The skins a screen gives its push buttons: each of the three looks a button draws (normal,
// hover, disabled) is a face the skin made for that state, so that a working button never
// shows the greyed face of a disabled one; and every push button shows a caption or a picture.
#include <string>
#include <vector>

namespace ui {
class Window;
}

// One line per button of `screen` whose looks are not the skin's faces for their states, or
// that shows nothing on its face.
std::vector<std::string> CheckButtonSkins(ui::Window* screen);
