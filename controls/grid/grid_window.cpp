// The grid as a window: class registration, creation, the hooks the data side calls, the
// notifications to the owner, fonts and desktop colours.
#include <cstdlib>

#include "controls/grid/grid_ctrl.h"
#include "controls/grid/in_place_edit.h"
#include "controls/grid/title_tip.h"
#include "platform/ui/app.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_class.h"

void RegisterGridDropTarget(CGridCtrl* grid, bool on);

namespace {

// Measures text with a memory device context in the font asked for.
class DcMeasurer : public GridTextMeasurer {
 public:
  draw::Size LineExtent(const draw::Font& font, const std::string& text) override {
    dc_.SelectFont(font);
    return dc_.GetTextExtent(text);
  }

 private:
  draw::DC dc_;
};

// Standard command ids of the edit commands.
enum : int { kIdEditCopy = 0xE122, kIdEditCut = 0xE123, kIdEditPaste = 0xE125, kIdEditSelectAll = 0xE12A };

bool subclassing = false;  // one guard for every grid of the process

CGridCtrl::SystemColours DesktopColours() {
  CGridCtrl::SystemColours now;
  now.windowText = ui::SysColor(ui::COLOR_WINDOWTEXT);
  now.window = ui::SysColor(ui::COLOR_WINDOW);
  now.buttonFace = ui::SysColor(ui::COLOR_BTNFACE);
  now.buttonShadow = ui::SysColor(ui::COLOR_BTNSHADOW);
  return now;
}

}  // namespace

bool CGridCtrl::RegisterWindowClass() {
  if (ui::IsWindowClassRegistered(kGridWindowClass)) return true;
  ui::RegisterWindowClass(kGridWindowClass, ui::CS_DBLCLKS | ui::CS_VREDRAW | ui::CS_HREDRAW,
                          [] { return static_cast<ui::Window*>(new CGridCtrl()); });
  return true;
}

bool CGridCtrl::Create(const draw::Rect& rect, ui::Window* parent, unsigned id, uint32_t style) {
  RegisterWindowClass();
  if (!ui::Window::Create(kGridWindowClass, "", style | ui::WS_CHILD, rect, parent, static_cast<int>(id)))
    return false;
  PrepareWindow();
  return true;
}

int CGridCtrl::OnCreate() {
  PrepareWindow();
  return 0;
}

void CGridCtrl::PreSubclassWindow() { SetupSubclassedWindow(); }

bool CGridCtrl::SetupSubclassedWindow() {
  if (subclassing) return false;
  subclassing = true;
  PrepareWindow();
  if (IsWindow()) {
    ModifyStyleEx(0, ui::WS_EX_CLIENTEDGE);
    draw::Rect r = GetRectInParent();
    MoveWindow(draw::Rect(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1), true);
    MoveWindow(r, true);
  }
  subclassing = false;
  return true;
}

// The window exists: measure with a device context, size every row and column to the
// default cell, read the wheel setting and make the title tip.
void CGridCtrl::PrepareWindow() {
  if (!IsWindow() || windowReady_) return;
  windowReady_ = true;
  if (!ownMeasurer_) ownMeasurer_ = std::make_unique<DcMeasurer>();
  SetTextMeasurer(ownMeasurer_.get());
  for (int& h : rowHeights_) h = defaultCell_.GetHeight();
  for (int& w : columnWidths_) w = defaultCell_.GetWidth();
  wheelScrollLines_ = ReadWheelScrollLines();
  // The default colours follow the desktop's (colours a screen set stay).
  const SystemColours desktop = DesktopColours();
  for (CGridDefaultCell* c : {&defaultFixedRowCell_, &defaultFixedColumnCell_, &defaultCornerCell_})
    if (c->GetBackClr() == fixedBackColour_) c->SetBackClr(desktop.buttonFace);
  OnSystemColoursChanged(desktop);
  if (!titleTip_) titleTip_ = new CTitleTip();
  titleTip_->SetGridParent(this);
  RegisterGridDropTarget(this, true);
  UpdateScrollBars();
}

void CGridCtrl::OnDestroy() {
  RegisterGridDropTarget(this, false);
  CancelDrag();
  if (autoScrollTimer_) KillTimer(autoScrollTimer_);
  autoScrollTimer_ = 0;
  if (titleTip_ && titleTip_->IsWindow()) titleTip_->DestroyWindow();
}

unsigned CGridCtrl::ReadWheelScrollLines() {
  if (const char* v = std::getenv("QUORVEX_WHEEL_LINES")) {
    char* end = nullptr;
    const unsigned long n = std::strtoul(v, &end, 10);
    if (end != v) return static_cast<unsigned>(n);
  }
  return 3;
}

// --- hooks -------------------------------------------------------------------------------

bool CGridCtrl::WindowExists() const { return IsWindow(); }

void CGridCtrl::InvalidateAll() {
  if (IsWindow()) Invalidate(true);
}

bool CGridCtrl::RedrawCell(int row, int col) { return InvalidateCell(row, col); }

draw::Size CGridCtrl::ClientSize() const {
  if (!IsWindow()) return draw::Size();
  const draw::Rect r = GetClientRect();
  return draw::Size(r.Width(), r.Height());
}

int CGridCtrl::GetScrollPosition(int bar) const { return IsWindow() ? GetScrollPos32(bar) : 0; }

bool CGridCtrl::PutClipboardText(const std::string& text) {
  if (!IsWindow()) return false;
  ui::SetClipboardText(text);
  return true;
}

bool CGridCtrl::GetClipboardText(std::string* text) {
  if (!IsWindow()) return false;
  *text = ui::GetClipboardText();
  return !text->empty();
}

bool CGridCtrl::CanPaste() const {
  if (!IsValidCell(focusCell_) || !editable_) return false;
  const CGridCellBase* cell = GetCell(focusCell_.row, focusCell_.col);
  if (cell && cell->IsReadOnly()) return false;
  return !ui::GetClipboardText().empty();
}

void CGridCtrl::ReportError(const std::string& text) {
  lastError_ = text;
  if (IsWindow()) ui::MessageBox(this, text);
}

intptr_t CGridCtrl::NotifyParent(int row, int col, int code) {
  if (!IsWindow()) return 0;
  ui::Window* target = GetOwner() ? GetOwner() : GetParent();
  if (!target || !target->IsWindow()) return 0;
  GridViewNotify n;
  n.hdr.from = this;
  n.hdr.idFrom = GetDlgCtrlID();
  n.hdr.code = code;
  n.row = row;
  n.col = col;
  return target->SendMessage(ui::WM_NOTIFY, static_cast<ui::WParam>(GetDlgCtrlID()), reinterpret_cast<ui::LParam>(&n));
}

intptr_t CGridCtrl::NotifyCacheRange(const CCellSpan* span) {
  if (!IsWindow()) return 0;
  ui::Window* target = GetOwner() ? GetOwner() : GetParent();
  if (!target || !target->IsWindow()) return 0;
  GridSpanNotify n;
  n.hdr.from = this;
  n.hdr.idFrom = GetDlgCtrlID();
  n.hdr.code = GVN_ODCACHEHINT;
  if (span) n.span = *span;
  return target->SendMessage(ui::WM_NOTIFY, static_cast<ui::WParam>(GetDlgCtrlID()), reinterpret_cast<ui::LParam>(&n));
}

intptr_t CGridCtrl::RequestCellDisplayInfo(CellRecord* record) {
  if (!IsWindow() || !record) return 0;
  ui::Window* target = GetOwner() ? GetOwner() : GetParent();
  if (!target || !target->IsWindow()) return 0;
  GridDispInfo n;
  n.hdr.from = this;
  n.hdr.idFrom = GetDlgCtrlID();
  n.hdr.code = GVN_GETDISPINFO;
  n.item = std::move(*record);
  const intptr_t r =
      target->SendMessage(ui::WM_NOTIFY, static_cast<ui::WParam>(GetDlgCtrlID()), reinterpret_cast<ui::LParam>(&n));
  *record = std::move(n.item);
  return r;
}

// --- in-place editing ----------------------------------------------------------------------

CellEditorHandle* CGridCtrl::CreateInPlaceEditor(int row, int col, const draw::Rect& rect, unsigned id,
                                                 const std::string& text, unsigned firstChar, int align) {
  if (!IsWindow()) return nullptr;
  auto* edit = new CInPlaceEdit();
  if (!edit->Start(this, rect, align, id, row, col, text, firstChar)) {
    delete edit;
    return nullptr;
  }
  return edit;
}

ui::LResult CGridCtrl::OnNotify(int id, ui::NotifyHeader* header) {
  if (header && id == static_cast<int>(IDC_INPLACE_CONTROL) && header->code == GVN_ENDLABELEDIT) {
    OnEndEditNotify(reinterpret_cast<GridDispInfo*>(header)->item);
    return 0;
  }
  return 0;
}

void CGridCtrl::OnEndEditNotify(const CellRecord& record) {
  if (!IsWindow()) return;
  EndEdit(record.row, record.col, record.text);
  const unsigned key = static_cast<unsigned>(record.data);
  switch (key) {
    case ui::VK_TAB:
    case ui::VK_PRIOR:
    case ui::VK_NEXT:
    case ui::VK_END:
    case ui::VK_HOME:
    case ui::VK_LEFT:
    case ui::VK_UP:
    case ui::VK_RIGHT:
    case ui::VK_DOWN:
      MoveByKey(key, ui::GetKeyState(ui::VK_SHIFT) < 0, false);
      StartEdit(focusCell_.row, focusCell_.col, -1, -1, key);
      break;
    default:
      break;
  }
}

// --- messages ------------------------------------------------------------------------------

ui::LResult CGridCtrl::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  switch (msg) {
    case ui::WM_GETDLGCODE: {
      unsigned code = ui::DLGC_WANTARROWS | ui::DLGC_WANTCHARS;
      if (wantTabKey_ && ui::GetKeyState(ui::VK_CONTROL) >= 0) code |= ui::DLGC_WANTTAB;
      return code;
    }
    case ui::WM_SETCURSOR: {
      if (ui::LoWord(static_cast<uintptr_t>(l)) != 1) return DefWindowProc(msg, w, l);
      if (mouseMode_ == 6) ui::SetCursor(ui::CursorShape::SizeNS);
      else if (mouseMode_ == 8) ui::SetCursor(ui::CursorShape::SizeWE);
      else if (mouseMode_ != 12) ui::SetCursor(ui::CursorShape::Arrow);
      return 1;
    }
    case ui::WM_SETFONT: {
      ui::Window::WindowProc(msg, w, l);
      if (const auto* font = reinterpret_cast<const draw::Font*>(w)) SetDefaultFont(*font);
      if (IsWindow() && allowRedraw_) Invalidate(true);
      return 0;
    }
    case ui::WM_GETFONT:
      return reinterpret_cast<ui::LResult>(defaultCell_.GetFont());
    case ui::WM_SYSCOLORCHANGE:
    case ui::WM_SETTINGCHANGE: {
      ui::Window::WindowProc(msg, w, l);
      OnSystemColoursChanged(DesktopColours());
      if (msg == ui::WM_SETTINGCHANGE) wheelScrollLines_ = ReadWheelScrollLines();
      return 0;
    }
    case ui::WM_IME_CHAR:
      if (ui::GetKeyState(ui::VK_CONTROL) >= 0 && mouseMode_ == 0 && w != 27)
        StartEdit(focusCell_.row, focusCell_.col, -1, -1, static_cast<unsigned>(w));
      return 0;
    case ui::WM_COMMAND:
      switch (static_cast<int>(ui::LoWord(w))) {
        case kIdEditCopy: CopySelection(); return 0;
        case kIdEditCut: CutSelection(); return 0;
        case kIdEditPaste: PasteFromClipboard(); return 0;
        case kIdEditSelectAll: SelectAllWithNotify(); return 0;
        default: break;
      }
      break;
    default:
      break;
  }
  return ui::Window::WindowProc(msg, w, l);
}
