#pragma once
// Message boxes. The application installs its own box (in the operator's language and skin)
// with SetMessageBoxHandler; until then a plain box of the framework is shown. Either way
// the box runs modally over its owner and returns the id of the button pressed.
#include <functional>
#include <string>

namespace ui {

class Window;

enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_ABORTRETRYIGNORE = 0x2,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5,
  MB_TYPEMASK = 0xF,
  MB_ICONHAND = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONWARNING = 0x30,
  MB_ICONASTERISK = 0x40,
  MB_ICONINFORMATION = 0x40,
  MB_ICONMASK = 0xF0,
  MB_DEFBUTTON2 = 0x100,
  MB_DEFBUTTON3 = 0x200,
  MB_SYSTEMMODAL = 0x1000,
  MB_TOPMOST = 0x40000,
};

using MessageBoxHandler =
    std::function<int(Window* owner, const std::string& text, const std::string& caption, unsigned type)>;

// Replaces the box every MessageBox call shows (empty: back to the framework's box).
void SetMessageBoxHandler(MessageBoxHandler handler);
int MessageBox(Window* owner, const std::string& text, const std::string& caption = "", unsigned type = MB_OK);
// The framework's own box, whatever handler is installed.
int DefaultMessageBox(Window* owner, const std::string& text, const std::string& caption, unsigned type);

// Control id of the text in the framework's box.
inline constexpr int kMessageBoxTextId = 0xFFFF;

}  // namespace ui
