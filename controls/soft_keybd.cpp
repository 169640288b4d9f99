#include "controls/soft_keybd.h"

#include "core/look.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/resources.h"

namespace {

constexpr int kFirstDigitId = 1200;   // "0" .. "9"
constexpr int kFirstLetterId = 1210;  // "A" .. "Z"

char KeyChar(int id) {
  if (id >= kFirstDigitId && id < kFirstDigitId + 10) return static_cast<char>('0' + (id - kFirstDigitId));
  if (id >= kFirstLetterId && id < kFirstLetterId + 26) return static_cast<char>('A' + (id - kFirstLetterId));
  return 0;
}

draw::Bitmap MakeKeypadIcon() {
  draw::Bitmap icon = draw::Bitmap::CreateWithAlpha(40, 40);
  if (!icon) return icon;
  draw::DC dc(icon);
  dc.SelectPen(draw::Pen::Solid(draw::RGB(35, 75, 105)));
  dc.SelectBrush(draw::Brush::Solid(draw::RGB(205, 213, 215)));
  dc.RoundRect(2, 8, 38, 32, 6, 6);
  dc.SelectBrush(draw::Brush::Solid(draw::RGB(35, 75, 105)));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 5; ++col) dc.Rectangle(6 + col * 6, 12 + row * 6, 10 + col * 6, 16 + row * 6);
  dc.Flush();
  return icon;
}

void RegisterSoftKeybdResources() {
  if (!ui::Resources::FindDialog(IDD_SOFT_KEYBD)) ui::Resources::AddDialog(IDD_SOFT_KEYBD, SoftKeybdTemplate());
  if (ui::Resources::LoadIcon(IDI_SOFT_KEYBD).IsNull()) ui::Resources::AddIcon(IDI_SOFT_KEYBD, MakeKeypadIcon());
}

}  // namespace

int SoftKeybdKeyId(char ch) {
  if (ch >= '0' && ch <= '9') return kFirstDigitId + (ch - '0');
  if (ch >= 'A' && ch <= 'Z') return kFirstLetterId + (ch - 'A');
  return 0;
}

ui::DialogTemplate SoftKeybdTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t;
  t.cx = 232;
  t.cy = 126;
  t.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_VISIBLE | ui::DS_CENTER | ui::DS_SETFONT;
  t.Add("Button", ui::IDOK, "确定", 121, 101, 47, 17, V | TS | ui::BS_DEFPUSHBUTTON);
  t.Add("Button", ui::IDCANCEL, "取消", 174, 101, 47, 17, V | TS | ui::BS_PUSHBUTTON);
  t.Add("Edit", IDC_SOFT_KEYBD_TEXT, "", 14, 24, 198, 13, V | TS | ui::WS_BORDER | ui::ES_READONLY | ui::ES_AUTOHSCROLL);
  t.Add("Static", -1, "#278", 15, 3, 20, 20, V | ui::SS_ICON);
  auto key = [&](char ch, int x, int y) {
    const uint32_t tab = (ch == 'B' || ch == 'I') ? 0u : TS;
    t.Add("Button", SoftKeybdKeyId(ch), std::string(1, ch), x, y, 19, 13, V | tab | ui::BS_PUSHBUTTON);
  };
  for (int i = 0; i < 10; ++i) key(static_cast<char>('0' + i), 14 + 20 * i, 39);
  for (int i = 0; i < 10; ++i) key(static_cast<char>('A' + i), 14 + 20 * i, 54);
  for (int i = 0; i < 10; ++i) key(static_cast<char>('K' + i), 14 + 20 * i, 69);
  const int lastRow[6] = {13, 34, 54, 74, 94, 114};
  for (int i = 0; i < 6; ++i) key(static_cast<char>('U' + i), lastRow[i], 84);
  return t;
}

CSoftKeybd::CSoftKeybd(ui::Window* parent) : ui::Dialog(IDD_SOFT_KEYBD, parent) { RegisterSoftKeybdResources(); }

void CSoftKeybd::DoDataExchange(ui::DataExchange& dx) { ui::ExchangeText(dx, IDC_SOFT_KEYBD_TEXT, typedText); }

bool CSoftKeybd::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const Look look = CurrentLook();
  SetDlgItemText(ui::IDOK, look.Pick("确定", "OK", "Aceptar", "OK", "OK"));
  SetDlgItemText(ui::IDCANCEL, look.Pick("取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  if (look.sharedFontEverywhere) ApplyDialogFontToChildren(this, &look.DialogFont());
  return true;
}

void CSoftKeybd::PaintNonClient(draw::DC& dc) {
  const ui::Rect in = NonClientInsets();
  const ui::Rect w = GetWindowRect();
  const ui::Rect all(0, 0, w.Width(), w.Height());
  const draw::Color frame = draw::RGB(0, 76, 120);
  dc.FillSolidRect(ui::Rect(all.left, all.top, all.right, in.top), frame);
  dc.FillSolidRect(ui::Rect(all.left, all.bottom - in.bottom, all.right, all.bottom), frame);
  dc.FillSolidRect(ui::Rect(all.left, all.top, in.left, all.bottom), frame);
  dc.FillSolidRect(ui::Rect(all.right - in.right, all.top, all.right, all.bottom), frame);
}

bool CSoftKeybd::OnCommand(int id, int code, ui::Window*) {
  const char ch = KeyChar(id);
  if (!ch || code != ui::BN_CLICKED) return false;
  typedText += ch;
  UpdateData(false);
  return true;
}
