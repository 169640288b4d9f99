#include "platform/ui/message_box.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window_class.h"

namespace ui {
namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler h;
  return h;
}

struct ButtonSpec {
  int id;
  const char* text;
};

std::vector<ButtonSpec> ButtonsFor(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
  }
}

class FrameworkBox : public Dialog {
 public:
  FrameworkBox(const DialogTemplate& t, Window* owner, unsigned type) : Dialog(t, owner), type_(type) {}

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    SetMessageBoxRole(true);
    auto buttons = ButtonsFor(type_);
    size_t def = (type_ & MB_DEFBUTTON3) ? 2 : (type_ & MB_DEFBUTTON2) ? 1 : 0;
    if (def >= buttons.size()) def = 0;
    SetDefID(buttons[def].id);
    if (Window* b = GetDlgItem(buttons[def].id)) b->SetFocus();
    return false;
  }
  void OnCancel() override {
    // Escape answers Cancel only where there is a Cancel button (or the box has one button).
    auto buttons = ButtonsFor(type_);
    for (auto& b : buttons) {
      if (b.id == IDCANCEL) {
        EndDialog(IDCANCEL);
        return;
      }
    }
    if (buttons.size() == 1) EndDialog(buttons[0].id);
  }
  bool OnCommand(int id, int code, Window*) override {
    if (code != BN_CLICKED) return false;
    for (auto& b : ButtonsFor(type_)) {
      if (b.id == id) {
        if (id == IDCANCEL) OnCancel(); else EndDialog(id);
        return true;
      }
    }
    return false;
  }

 private:
  unsigned type_;
};

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

int MessageBox(Window* owner, const std::string& text, const std::string& caption, unsigned type) {
  if (Handler()) return Handler()(owner, text, caption, type);
  return DefaultMessageBox(owner, text, caption, type);
}

int DefaultMessageBox(Window* owner, const std::string& text, const std::string& caption, unsigned type) {
  if (IsInitialized() && !IsUiThread()) {
    int r = IDCANCEL;
    RunOnUiThread([&] { r = DefaultMessageBox(owner, text, caption, type); });
    return r;
  }
  // Size the box by the number of text lines (dialog units).
  int lines = 1, longest = 0, cur = 0;
  for (unsigned char ch : text) {
    if (ch == '\n') {
      ++lines;
      cur = 0;
    } else if ((ch & 0xC0) != 0x80) {
      longest = std::max(longest, ++cur);
    }
  }
  const auto buttons = ButtonsFor(type);
  const int bw = 50, gap = 6;
  const int buttonsWidth = static_cast<int>(buttons.size()) * (bw + gap) - gap;
  const int cx = std::clamp(std::max(longest * 3 + 20, buttonsWidth + 20), 160, 310);
  const int textH = std::min(lines * 9 + 6, 160);
  const int cy = textH + 12 + 14 + 10;
  DialogTemplate t;
  t.cx = cx;
  t.cy = cy;
  t.style = WS_POPUP | WS_CAPTION | DS_CENTER | DS_MODALFRAME;
  t.exStyle = WS_EX_TOPMOST;
  t.caption = caption.empty() ? "Quorvex" : caption;
  t.Add(kClassStatic, kMessageBoxTextId, text, 10, 8, cx - 20, textH, uint32_t{WS_VISIBLE} | SS_LEFT | SS_NOPREFIX);
  int x = (cx - buttonsWidth) / 2;
  for (auto& b : buttons) {
    t.Add(kClassButton, b.id, b.text, x, cy - 22, bw, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
    x += bw + gap;
  }
  FrameworkBox box(t, owner, type);
  return box.DoModal();
}

}  // namespace ui
