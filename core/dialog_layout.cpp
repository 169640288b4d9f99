#include "core/dialog_layout.h"

#include <vector>

#include "core/app_settings.h"
#include "core/layout.h"
#include "core/onscreen_keyboard.h"
#include "platform/ui/app.h"
#include "platform/ui/messages.h"
#include "platform/ui/window.h"

void CheckScreenSize() {
  const ui::Size screen = ui::GetScreenSize();
  CheckScreenSize(screen.cx, screen.cy);
}

void ScaleDialogLayout(ui::Window* dialog) {
  if (dialog == nullptr || !dialog->IsWindow()) return;
  const float s = AppSettings.LayoutScale;
  const ui::Rect r = ScaleRectEdges(dialog->GetWindowRect(), s);
  dialog->MoveWindow(r.left, r.top, r.Width(), r.Height(), true);
  dialog->CenterWindow();
  // A copy: moving a child must not disturb the walk.
  const std::vector<ui::Window*> children = dialog->Children();
  for (ui::Window* child : children) {
    const ui::Rect c = ScaleRectEdges(dialog->ScreenToClient(child->GetWindowRect()), s);
    child->MoveWindow(c.left, c.top, c.Width(), c.Height(), true);
  }
  // The keyboard button types into the field the operator is in: a tap on it leaves the focus
  // there (a field that checks or ends its input when it loses the focus is not disturbed).
  if (ui::Window* key = dialog->GetDlgItem(kKeyboardButtonId)) key->ModifyStyleEx(0, ui::WS_EX_NOACTIVATE);
}

bool ApplyDialogFont(ui::Window* window, const draw::Font* font) {
  if (window != nullptr && window->IsWindow())
    window->SendMessage(ui::WM_SETFONT, reinterpret_cast<ui::WParam>(font), 1);
  return true;
}

void ApplyDialogFontToChildren(ui::Window* window, const draw::Font* font) {
  if (window == nullptr) return;
  const std::vector<ui::Window*> children = window->Children();
  for (ui::Window* child : children) {
    ApplyDialogFont(child, font);
    ApplyDialogFontToChildren(child, font);
  }
}

void DrawDialogFrame(draw::DC& dc, ui::Window* window, int width) {
  if (window == nullptr) return;
  const draw::Pen previous = dc.SelectPen(draw::Pen::Solid(kDialogFrameColor, width));
  for (const FrameLine& l : DialogFrameLines(window->GetClientRect())) {
    dc.MoveTo(l.from.x, l.from.y);
    dc.LineTo(l.to.x, l.to.y);
  }
  dc.SelectPen(previous);
}
