#pragma once
// The on-screen keyboard stood in for: starting it always succeeds and it has no window to
// find, move or hide, so a test sees only what the program does around it (the focus, the
// keys that land, the buttons it presses).
#include <string>

#include "core/layout.h"
#include "core/onscreen_keyboard.h"

namespace support {
namespace keyboard_stand_in {

inline bool Raise(const char*) { return true; }
inline bool NoWindow(const std::string&, draw::Rect*, bool*) { return false; }
inline bool NoMove(const std::string&, int, int) { return false; }
inline bool NoHide(const std::string&) { return false; }
inline const OnScreenKeyboardWindows kWindows{NoWindow, NoMove, NoHide};

}  // namespace keyboard_stand_in

inline void InstallKeyboardStandIn() {
  SetForeignWindowRaiser(&keyboard_stand_in::Raise);
  SetOnScreenKeyboardWindows(&keyboard_stand_in::kWindows);
}

inline void RemoveKeyboardStandIn() {
  SetOnScreenKeyboardWindows(nullptr);
  SetForeignWindowRaiser(nullptr);
}

}  // namespace support
