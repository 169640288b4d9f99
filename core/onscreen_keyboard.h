#pragma once
// The on-screen keyboard of a touch-only instrument, as every screen's keyboard button works it
// (ShowOnScreenKeyboard in layout.h): the key hands the focus back to the field the operator was
// in, the keyboard comes up where it leaves that field free, a second tap takes it away, so does
// the end of the screen that called it up, and the program ends the keyboard it started when it
// ends itself.
#include <string>
#include <vector>

#include "platform/ui/draw/geometry.h"

// Control id of the keyboard button on every screen that takes typed input.
inline constexpr int kKeyboardButtonId = 1514;

// Where the keyboard's window (of size `keyboard`) goes on a display of size `display` so that
// it leaves `field` (the field it types into, in display coordinates; empty when there is none)
// and `buttons` free: the screen's keyboard button (whose second tap takes the keyboard away) and
// the other buttons the operator reaches for while typing or right after, OK, Save, Cancel, the
// group choices. A tap meant for one of them then never lands on a key. The places tried, in this
// order: centred across at the bottom of the display, centred at the top, at the bottom and the
// top against the left and the right edge, then every height from the bottom up (centred, left,
// right). The first place that covers neither the field nor a button is taken; when there is none,
// the place that covers the least of the field, then the fewest buttons (the earlier on a tie).
// Never off the display's top-left corner.
draw::Point OnScreenKeyboardPlace(draw::Size display, draw::Size keyboard, const draw::Rect& field,
                                  const std::vector<draw::Rect>& buttons = {});

// Takes the keyboard off the display when it is shown (its program goes on running, for the
// next tap).
void HideOnScreenKeyboard();
// Ends the keyboard program this program started; called once at the program's end.
void EndOnScreenKeyboard();

// The keyboard's window on the display, as the keyboard reaches it; by default through the X
// display. Tests install their own; null puts the X display's back. Showing and raising goes
// through the foreign-window raiser of layout.h.
struct OnScreenKeyboardWindows {
  // Where the window with this title lies and whether it is shown; false when there is none.
  bool (*geometry)(const std::string& title, draw::Rect* where, bool* shown);
  bool (*move)(const std::string& title, int x, int y);
  bool (*hide)(const std::string& title);
};
void SetOnScreenKeyboardWindows(const OnScreenKeyboardWindows* windows);
