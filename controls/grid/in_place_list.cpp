#include "controls/grid/in_place_list.h"

#include <algorithm>

#include "controls/grid/grid_notify.h"
#include "platform/ui/app.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
#include "platform/ui/window_class.h"

bool CInPlaceList::Start(ui::Window* grid, draw::Rect rect, uint32_t style, unsigned id, int row, int col,
                         const std::vector<std::string>& options, const std::string& text, unsigned firstChar,
                         int cellHeight) {
  row_ = row;
  col_ = col;
  initialText_ = text;
  lastKey_ = 0;
  exitOnArrows_ = firstChar != 1;
  rect.bottom += ui::GetSystemMetrics(ui::SM_CYHSCROLL) + kLineCount * cellHeight;
  const uint32_t ws = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_BORDER | ui::WS_VSCROLL | ui::CBS_AUTOHSCROLL | style;
  if (!Create(ui::kClassComboBox, "", ws, rect, grid, static_cast<int>(id))) return false;
  SetAutoDelete(true);
  for (const std::string& o : options) AddString(o);
  const auto* font = reinterpret_cast<const draw::Font*>(grid->SendMessage(ui::WM_GETFONT));
  if (font) SetFont(font, true);
  droppedWidth_ = DroppedWidthFor(options, font ? *font : *GetFont());
  const int index = FindStringExact(-1, text);
  if (index >= 0) SetCurSel(index);
  else SetWindowText(text);
  ShowDropDown(true);
  SetFocus();
  if ((style & 0x3) == ui::CBS_DROPDOWNLIST) return true;
  auto* edit = dynamic_cast<ui::Edit*>(EditChild());
  if (!edit) return true;
  const int n = edit->GetWindowTextLength();
  switch (firstChar) {
    case 1:
    case ui::VK_RETURN: edit->SetSel(n, -1); break;
    case ui::VK_BACK:
      edit->SetSel(n, -1);
      edit->PostMessage(ui::WM_CHAR, ui::VK_BACK);
      break;
    case ui::VK_PRIOR:
    case ui::VK_NEXT:
    case ui::VK_END:
    case ui::VK_HOME:
    case ui::VK_LEFT:
    case ui::VK_UP:
    case ui::VK_RIGHT:
    case ui::VK_DOWN: edit->SetSel(0, -1); break;
    default:
      edit->SetSel(0, -1);
      edit->PostMessage(ui::WM_CHAR, firstChar);
      break;
  }
  return true;
}

int CInPlaceList::DroppedWidthFor(const std::vector<std::string>& options, const draw::Font& font) {
  draw::DC dc;
  dc.SelectFont(font);
  int widest = 0;
  for (const std::string& o : options) widest = std::max(widest, dc.GetTextExtent(o).cx);
  const int width = widest + ui::GetSystemMetrics(ui::SM_CXVSCROLL) + dc.GetTextExtent("0").cx;
  return std::min(width, 200);
}

std::string CInPlaceList::CurrentText() const {
  if ((GetStyle() & 0x3) == ui::CBS_DROPDOWNLIST) {
    const int cur = GetCurSel();
    return cur >= 0 ? GetLBText(cur) : GetWindowText();
  }
  return EditChild() ? EditChild()->GetWindowText() : GetWindowText();
}

void CInPlaceList::SendChar(unsigned ch) {
  if (ui::Window* edit = EditChild()) edit->PostMessage(ui::WM_CHAR, ch);
}

bool CInPlaceList::OwnsFocus(const ui::Window* w) const {
  if (!w) return false;
  if (w == this || IsChild(w)) return true;
  const ui::Window* list = DroppedList();
  return list && (w == list || list->IsChild(w));
}

void CInPlaceList::FocusToParent() {
  if (ui::Window* p = GetParent()) p->SetFocus();
  if (IsWindow() && !ended_ && OwnsFocus(GetFocus())) EndEdit();
}

bool CInPlaceList::PreTranslateMessage(ui::Message& msg) {
  const ui::Window* target = ui::Window::FromHandle(msg.hwnd);
  if (target == this || (target && IsChild(target))) {
    switch (msg.message) {
      case ui::WM_SYSCHAR:
        return true;
      case ui::WM_KEYDOWN: {
        const unsigned vk = static_cast<unsigned>(msg.wParam);
        const bool ctrl = ui::GetKeyState(ui::VK_CONTROL) < 0;
        if (vk == ui::VK_ESCAPE || vk == ui::VK_TAB || vk == ui::VK_RETURN) {
          if (vk == ui::VK_ESCAPE) {
            const int index = FindStringExact(-1, initialText_);
            if (index >= 0) SetCurSel(index);
            if (ui::Window* edit = EditChild()) edit->SetWindowText(initialText_);
            else SetWindowText(initialText_);
          }
          lastKey_ = vk;
          FocusToParent();
          return true;
        }
        if ((vk >= ui::VK_PRIOR && vk <= ui::VK_DOWN && vk != ui::VK_END && vk != ui::VK_HOME) &&
            (exitOnArrows_ || ctrl)) {
          lastKey_ = vk;
          FocusToParent();
          return true;
        }
        break;
      }
      case ui::WM_CHAR:
        // The keys that end the edit were dealt with when they went down.
        if (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_TAB || msg.wParam == ui::VK_RETURN) return true;
        break;
      default:
        break;
    }
  }
  return ui::ComboBox::PreTranslateMessage(msg);
}

ui::LResult CInPlaceList::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == ui::WM_GETDLGCODE) return ui::DLGC_WANTALLKEYS;
  return ui::ComboBox::WindowProc(msg, w, l);
}

void CInPlaceList::OnKillFocus(ui::Window* next) {
  ui::ComboBox::OnKillFocus(next);
  if (!OwnsFocus(next) && !OwnsFocus(GetFocus())) EndEdit();
}

bool CInPlaceList::OnCommand(int id, int code, ui::Window* control) {
  const bool handled = ui::ComboBox::OnCommand(id, code, control);
  if (control && control == EditChild() && code == ui::EN_KILLFOCUS && !OwnsFocus(GetFocus())) EndEdit();
  return handled;
}

void CInPlaceList::EndEdit() {
  if (ended_ || !IsWindow()) return;
  ended_ = true;
  const std::string text = CurrentText();
  if (GetDroppedState()) ShowDropDown(false);
  GridDispInfo info;
  info.hdr.from = this;
  info.hdr.idFrom = GetDlgCtrlID();
  info.hdr.code = GVN_ENDLABELEDIT;
  info.item = MakeEndEditRecord(row_, col_, text, lastKey_);
  ui::Window* target = GetOwner() ? GetOwner() : GetParent();
  if (target && target->IsWindow())
    target->SendMessage(ui::WM_NOTIFY, static_cast<ui::WParam>(GetDlgCtrlID()), reinterpret_cast<ui::LParam>(&info));
  if (IsWindow()) PostMessage(ui::WM_CLOSE);
}
