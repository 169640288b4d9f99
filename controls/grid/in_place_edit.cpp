#include "controls/grid/in_place_edit.h"

#include "controls/grid/grid_notify.h"
#include "platform/ui/keys.h"
#include "platform/ui/input.h"

namespace {
bool endingAnEdit = false;  // closing the window moves the focus, which would end it again
}

bool CInPlaceEdit::Start(ui::Window* parent, const draw::Rect& rect, int align, unsigned id, int row, int col,
                         const std::string& initialText, unsigned firstChar) {
  row_ = row;
  col_ = col;
  initialText_ = initialText;
  lastKey_ = 0;
  exitOnArrows_ = firstChar != 1;
  rect_ = rect;
  const uint32_t alignStyle = align == 2 ? ui::ES_RIGHT : align == 1 ? ui::ES_CENTER : ui::ES_LEFT;
  const uint32_t style = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_BORDER | ui::ES_AUTOHSCROLL | alignStyle;
  if (!Create(ui::kClassEdit, "", style, rect, parent, static_cast<int>(id))) return false;
  SetAutoDelete(true);
  if (auto* font = reinterpret_cast<const draw::Font*>(parent->SendMessage(ui::WM_GETFONT))) SetFont(font, true);
  SetWindowText(initialText);
  SetFocus();
  const int n = static_cast<int>(GetWindowTextLength());
  switch (firstChar) {
    case 1:
    case ui::VK_RETURN:
      SetSel(n, -1);
      break;
    case ui::VK_BACK:
      SetSel(n, -1);
      PostMessage(ui::WM_CHAR, ui::VK_BACK);
      break;
    case ui::VK_TAB:
    case ui::VK_PRIOR:
    case ui::VK_NEXT:
    case ui::VK_END:
    case ui::VK_HOME:
    case ui::VK_LEFT:
    case ui::VK_UP:
    case ui::VK_RIGHT:
    case ui::VK_DOWN:
      SetSel(0, -1);
      break;
    default:
      SetSel(0, -1);
      PostMessage(ui::WM_CHAR, firstChar);
      break;
  }
  return true;
}

void CInPlaceEdit::SendChar(unsigned ch) {
  if (IsWindow()) PostMessage(ui::WM_CHAR, ch);
}

ui::LResult CInPlaceEdit::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  switch (msg) {
    case ui::WM_GETDLGCODE: return ui::DLGC_WANTALLKEYS;
    case ui::WM_SYSCHAR:
    case ui::WM_SYSKEYDOWN: return 0;
    case ui::WM_IME_CHAR: OnChar(static_cast<unsigned>(w), 1, 0); return 0;
    default: return ui::Edit::WindowProc(msg, w, l);
  }
}

bool CInPlaceEdit::PreTranslateMessage(ui::Message& msg) {
  // Alt+key while editing does nothing.
  if (msg.message == ui::WM_SYSCHAR) return true;
  return ui::Edit::PreTranslateMessage(msg);
}

void CInPlaceEdit::GiveFocusToParent() {
  if (ui::Window* p = GetParent()) p->SetFocus();
  // Focus already elsewhere (or no parent): end the edit directly.
  if (IsWindow() && GetFocus() == this) EndEdit();
}

void CInPlaceEdit::OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
  switch (vk) {
    case ui::VK_PRIOR:
    case ui::VK_NEXT:
    case ui::VK_LEFT:
    case ui::VK_UP:
    case ui::VK_RIGHT:
    case ui::VK_DOWN:
      if (exitOnArrows_ || ui::GetKeyState(ui::VK_CONTROL) < 0) {
        lastKey_ = vk;
        GiveFocusToParent();
        return;
      }
      break;
    default:
      break;
  }
  ui::Edit::OnKeyDown(vk, repeat, flags);
}

void CInPlaceEdit::OnChar(unsigned ch, unsigned repeat, unsigned flags) {
  if (ch == ui::VK_TAB || ch == ui::VK_RETURN) {
    lastKey_ = ch;
    GiveFocusToParent();
    return;
  }
  if (ch == ui::VK_ESCAPE) {
    SetWindowText(initialText_);
    lastKey_ = ch;
    GiveFocusToParent();
    return;
  }
  ui::Edit::OnChar(ch, repeat, flags);
  if (!IsWindow()) return;
  // Grow to the right while the text (plus two spaces) is wider than the editor.
  auto dc = GetDC();
  if (!dc) return;
  dc->SelectFont(*GetFont());
  const int width = dc->GetTextExtent(GetWindowText() + "  ").cx;
  draw::Rect r = GetRectInParent();
  if (width > r.Width()) {
    int right = r.left + width;
    if (ui::Window* p = GetParent()) right = std::min(right, p->GetClientRect().right);
    if (right > r.right) {
      r.right = right;
      rect_ = r;
      MoveWindow(r, true);
    }
  }
}

void CInPlaceEdit::OnKillFocus(ui::Window* next) {
  ui::Edit::OnKillFocus(next);
  EndEdit();
}

void CInPlaceEdit::EndEdit() {
  if (endingAnEdit || !IsWindow()) return;
  endingAnEdit = true;
  const std::string text = GetWindowText();
  GridDispInfo info;
  info.hdr.from = this;
  info.hdr.idFrom = GetDlgCtrlID();
  info.hdr.code = GVN_ENDLABELEDIT;
  info.item = MakeEndEditRecord(row_, col_, text, lastKey_);
  ui::Window* target = GetOwner() ? GetOwner() : GetParent();
  if (target && target->IsWindow())
    target->SendMessage(ui::WM_NOTIFY, static_cast<ui::WParam>(GetDlgCtrlID()), reinterpret_cast<ui::LParam>(&info));
  if (IsWindow()) DestroyWindow();
  endingAnEdit = false;
}
