#include "controls/small_widgets.h"

#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"

// --- bitmap strip ---------------------------------------------------------------------------

bool CKbcBmp::LoadStrip(const std::string& path) {
  if (!picture.Load(path)) return false;
  stripWidth = picture.width;
  stripHeight = picture.height;
  frameWidth = stripWidth / 2;
  return true;
}

void CKbcBmp::DrawFrame(draw::DC* dc, int frame, int x, int y, draw::Color transparent) {
  if (!dc || stripWidth <= 0 || stripHeight <= 0) return;
  draw::Bitmap strip = draw::Bitmap::Create(stripWidth, stripHeight);
  {
    draw::DC m(strip);
    picture.Draw(&m, 0, 0, stripWidth, stripHeight);
    m.Flush();
  }
  dc->TransparentBlt(x, y, frameWidth, stripHeight, strip, frameWidth * frame, 0, frameWidth, stripHeight, transparent);
}

// --- bitmap key button ----------------------------------------------------------------------

void CBitmapKeyButton::UseKeyboardPicture() {
  // The picture is drawn only by an owner-drawn button; a screen's template may give the key as
  // a plain push button, whose face would show its caption ("KBD", "...") or nothing.
  ModifyStyle(ui::BS_TYPEMASK, ui::BS_OWNERDRAW);
  SetKeyBitmap(ui::Resources::LoadBitmap(IDB_PLT_KEYBOARD));
  SizeToContent();
}

bool CBitmapKeyButton::SubclassKeyboardKey(int id, ui::Window* dialog) {
  if (!SubclassDlgItem(id, dialog)) return false;
  UseKeyboardPicture();
  return true;
}

void CBitmapKeyButton::SizeToContent() {
  if (bitmap_.IsNull()) return;
  const ui::Rect r = GetRectInParent();
  MoveWindow(r.left, r.top, bitmap_.Width(), bitmap_.Height());
}

void CBitmapKeyButton::DrawItem(ui::DrawItemInfo& info) {
  draw::DC& dc = *info.dc;
  if (bitmap_.IsNull()) {
    ui::Button::DrawItem(info);
    return;
  }
  const int d = (info.itemState & ui::ODS_SELECTED) ? 1 : 0;
  dc.TransparentBlt(d, d, bitmap_.Width(), bitmap_.Height(), bitmap_, 0, 0, bitmap_.Width(), bitmap_.Height(),
                    draw::kMagenta);
}

// --- number entry ---------------------------------------------------------------------------

ui::DialogTemplate PltTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t;
  t.cx = 116;
  t.cy = 53;
  t.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_VISIBLE | ui::DS_CENTER | ui::DS_SETFONT;
  t.Add("Edit", IDC_PLT_VALUE, "", 3, 7, 106, 14, V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Button", IDC_PLT_KEYBOARD, "KBD", 3, 33, 20, 13, V | TS | ui::BS_OWNERDRAW);
  t.Add("Button", ui::IDOK, "OK", 31, 27, 40, 19, V | TS | ui::BS_DEFPUSHBUTTON);
  t.Add("Button", ui::IDCANCEL, "Cancel", 74, 27, 35, 19, V | TS | ui::BS_PUSHBUTTON);
  return t;
}

CPLT::CPLT(ui::Window* parent) : ui::Dialog(IDD_PLT, parent) {
  if (!ui::Resources::FindDialog(IDD_PLT)) ui::Resources::AddDialog(IDD_PLT, PltTemplate());
}

void CPLT::DoDataExchange(ui::DataExchange& dx) {
  if (!keyboard_.IsWindow()) ui::ExchangeControl(dx, IDC_PLT_KEYBOARD, keyboard_);
  if (!ok_.IsWindow()) ui::ExchangeControl(dx, ui::IDOK, ok_);
  if (!cancel_.IsWindow()) ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeText(dx, IDC_PLT_VALUE, value);
}

bool CPLT::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(IDB_PLT_KEYBOARD));
  keyboard_.SizeToContent();
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  return true;
}

bool CPLT::OnCommand(int id, int code, ui::Window*) {
  if (id != IDC_PLT_KEYBOARD || code != ui::BN_CLICKED) return false;
  ShowOnScreenKeyboard();
  return true;
}
