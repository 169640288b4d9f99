#include "controls/message_box_dlg.h"

#include "controls/screen_common.h"
#include "core/look.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "controls/skin_loader.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace {

constexpr draw::Color kBandOdd = draw::RGB(205, 213, 215);
constexpr draw::Color kBandEven = draw::RGB(190, 198, 201);
constexpr draw::Color kFrameColour = draw::RGB(0, 76, 120);
constexpr int kTitleHeight = 25;

const char* Pick(int lang, const char* zh, const char* other) { return lang == 0 ? zh : other; }

}  // namespace

MessageBoxLayout MessageBoxLayoutFor(unsigned type, int lang) {
  type &= 0x4007;
  const unsigned set = type & 0x7;
  const bool help = (type & MB_HELP) != 0;
  MessageBoxLayout l;
  const char* ok = PickText(lang, "确定", "OK", "Aceptar", "OK", "OK");
  if (help && set == 0) {
    l.buttons = 1;
    l.texts[0] = Pick(lang, "帮助", "Help");
    l.answers[0] = IDHELP;
    return l;
  }
  switch (set) {
    case 1:
      l.buttons = 2;
      l.texts[0] = ok;
      l.texts[1] = PickText(lang, "取消", "Cancel", "Cancelar", "Annuler", "Відміна");
      l.answers[0] = ui::IDOK;
      l.answers[1] = ui::IDCANCEL;
      break;
    case 2:
      l.buttons = 3;
      l.texts[0] = Pick(lang, "中止", "Abort");
      l.texts[1] = Pick(lang, "重试", "Retry");
      l.texts[2] = Pick(lang, "忽略", "Ignore");
      l.answers[0] = ui::IDABORT;
      l.answers[1] = ui::IDRETRY;
      l.answers[2] = ui::IDIGNORE;
      break;
    case 3:
      l.buttons = 3;
      l.texts[0] = Pick(lang, "是", "Yes");
      l.texts[1] = Pick(lang, "否", "No");
      l.texts[2] = Pick(lang, "取消", "Cancel");
      l.answers[0] = ui::IDYES;
      l.answers[1] = ui::IDNO;
      l.answers[2] = ui::IDCANCEL;
      break;
    case 4:
      l.buttons = 2;
      l.texts[0] = Pick(lang, "是", "Yes");
      l.texts[1] = Pick(lang, "否", "No");
      l.answers[0] = ui::IDYES;
      l.answers[1] = ui::IDNO;
      break;
    case 5:
      l.buttons = 2;
      l.texts[0] = Pick(lang, "重试", "Retry");
      l.texts[1] = Pick(lang, "取消", "Cancel");
      l.answers[0] = ui::IDRETRY;
      l.answers[1] = ui::IDCANCEL;
      break;
    case 6:
      l.buttons = 3;
      l.texts[0] = Pick(lang, "取消", "Cancel");
      l.texts[1] = Pick(lang, "重试", "Try Again");
      l.texts[2] = Pick(lang, "继续", "Continue");
      l.answers[0] = ui::IDCANCEL;
      l.answers[1] = IDTRYAGAIN;
      l.answers[2] = IDCONTINUE;
      break;
    default:
      // Set 0, and set 7, which names no buttons: a box that could only be closed would
      // leave the caller with an answer nobody gave. It gets the OK button.
      l.buttons = 1;
      l.texts[0] = ok;
      l.answers[0] = ui::IDOK;
      break;
  }
  return l;
}

int MessageBoxButtonForAnswer(unsigned type, int answer) {
  const MessageBoxLayout l = MessageBoxLayoutFor(type, 1);
  const int ids[3] = {IDC_MESSAGE_BOX_BUTTON1, IDC_MESSAGE_BOX_BUTTON2, IDC_MESSAGE_BOX_BUTTON3};
  for (int i = 0; i < l.buttons; ++i)
    if (l.answers[i] == answer) return ids[i];
  if (answer == ui::IDCANCEL) return IDC_MESSAGE_BOX_CLOSE;
  return 0;
}

ui::DialogTemplate MessageBoxTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t;
  t.cx = 214;
  t.cy = 96;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER | ui::DS_SETFONT;
  t.Add("Button", IDC_MESSAGE_BOX_FRAME, "", 11, 14, 194, 78, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_MESSAGE_BOX_CLOSE, "x", 203, 2, 10, 10, V | TS | ui::BS_PUSHBUTTON);
  t.Add("Button", IDC_MESSAGE_BOX_BUTTON1, "OK", 31, 75, 45, 13, V | TS | ui::BS_PUSHBUTTON);
  t.Add("Button", IDC_MESSAGE_BOX_BUTTON2, "Cancel", 85, 75, 45, 13, V | TS | ui::BS_PUSHBUTTON);
  t.Add("Button", IDC_MESSAGE_BOX_BUTTON3, "Ignore", 139, 75, 45, 13, V | TS | ui::BS_PUSHBUTTON);
  t.Add("Static", IDC_MESSAGE_BOX_TEXT, "MSG", 14, 24, 187, 48, V | ui::SS_CENTER | ui::WS_GROUP);
  return t;
}

namespace {
void RegisterMessageBoxTemplate() {
  if (!ui::Resources::FindDialog(IDD_MESSAGE_BOX)) ui::Resources::AddDialog(IDD_MESSAGE_BOX, MessageBoxTemplate());
}
}  // namespace

CMessageBox::CMessageBox(const std::string& t, unsigned ty, unsigned, ui::Window* parent)
    : ui::Dialog(IDD_MESSAGE_BOX, parent), text(t), type(ty & 0x4007) {
  RegisterMessageBoxTemplate();
}

CMessageBox::CMessageBox(ui::Window* parent) : ui::Dialog(IDD_MESSAGE_BOX, parent) { RegisterMessageBoxTemplate(); }

void CMessageBox::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_MESSAGE_BOX_BUTTON3, button3_);
  ui::ExchangeControl(dx, IDC_MESSAGE_BOX_CLOSE, close_);
  ui::ExchangeControl(dx, IDC_MESSAGE_BOX_BUTTON1, button1_);
  ui::ExchangeControl(dx, IDC_MESSAGE_BOX_FRAME, frame_);
  ui::ExchangeControl(dx, IDC_MESSAGE_BOX_BUTTON2, button2_);
  ui::ExchangeText(dx, IDC_MESSAGE_BOX_TEXT, text);
}

bool CMessageBox::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  SetMessageBoxRole(true);
  ScaleDialogLayout(this);
  close_.SetWindowText("");
  button1_.SetBitmaps(479, 481, 480);
  button2_.SetBitmaps(479, 481, 480);
  button3_.SetBitmaps(479, 481, 480);
  const ui::Rect r2 = button2_.GetRectInParent();
  const ui::Rect r5 = button3_.GetRectInParent();
  close_.SetBitmaps(484, 483, 0);

  const Look look = CurrentLook();
  layout_ = MessageBoxLayoutFor(type, look.language);
  button1_.SetWindowText(layout_.texts[0]);
  if (layout_.buttons == 1) {
    button2_.ShowWindow(ui::SW_HIDE);
    button3_.ShowWindow(ui::SW_HIDE);
    button1_.MoveWindow(r2);
  } else if (layout_.buttons == 2) {
    button2_.SetWindowText(layout_.texts[1]);
    button3_.ShowWindow(ui::SW_HIDE);
    button1_.MoveWindow(r2.Offset(-60, 0));
    button2_.MoveWindow(r5.Offset(-60, 0));
  } else {
    button2_.SetWindowText(layout_.texts[1]);
    button3_.SetWindowText(layout_.texts[2]);
  }
  dragArea = GetClientRect();

  // The message stands vertically centred in the area its control had.
  ui::Window* msg = GetDlgItem(IDC_MESSAGE_BOX_TEXT);
  if (msg) {
    ApplyDialogFont(msg, &look.DialogFont());
    ui::Rect mr = msg->GetRectInParent();
    auto dc = msg->GetDC();
    if (dc) {
      dc->SelectFont(look.DialogFont());
      ui::Rect calc(0, 0, mr.Width(), mr.Height());
      dc->DrawText(text, &calc, draw::kDtCenter | draw::kDtWordBreak | draw::kDtCalcRect);
      const int dy = (mr.Height() - calc.Height()) / 2;
      msg->MoveWindow(mr.Offset(0, dy));
    }
  }
  return true;
}

bool CMessageBox::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return false;
  // Escape arrives as button 2 without a control. In a box with a Cancel answer it cancels,
  // wherever Cancel stands: in a Yes/No/Cancel box button 2 is No, which callers take as a
  // decision (on the test screen: overwrite the stored sample).
  if (id == IDC_MESSAGE_BOX_BUTTON2 && control == nullptr) {
    for (int i = 0; i < layout_.buttons; ++i)
      if (layout_.answers[i] == ui::IDCANCEL) {
        EndDialog(ui::IDCANCEL);
        return true;
      }
  }
  int slot = -1;
  switch (id) {
    case IDC_MESSAGE_BOX_BUTTON1: slot = 0; break;
    case IDC_MESSAGE_BOX_BUTTON2: slot = 1; break;
    case IDC_MESSAGE_BOX_BUTTON3: slot = 2; break;
    case IDC_MESSAGE_BOX_CLOSE: EndDialog(ui::IDCANCEL); return true;
    default: return false;
  }
  // Return and Escape arrive here as buttons 1 and 2; a hidden button answers nothing.
  if (slot < layout_.buttons && layout_.answers[slot] != 0) EndDialog(layout_.answers[slot]);
  return true;
}

bool CMessageBox::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect rc = GetClientRect();
  draw::Bitmap band = LoadSkinBitmap(491, "Load title band Bitmap Error!");
  if (band.IsNull()) {
    dc.FillSolidRect(ui::Rect(0, 0, rc.right, kTitleHeight), kFrameColour);
  } else {
    dc.StretchBlt(0, 0, rc.Width(), kTitleHeight, band, 0, 0, band.Width(), band.Height());
  }
  const int h = (rc.bottom - kTitleHeight) / 9;
  for (int i = 1; i <= 9; ++i) {
    const int top = kTitleHeight + (i - 1) * h;
    const int bottom = i == 9 ? rc.bottom : kTitleHeight + i * h;
    dc.FillSolidRect(ui::Rect(rc.left, top, rc.right, bottom), (i % 2) ? kBandOdd : kBandEven);
  }
  dc.SelectPen(draw::Pen::Solid(kFrameColour, 5));
  dc.SelectBrush(draw::Brush::NullBrush());
  dc.Rectangle(rc);
  return true;
}

const draw::Brush* CMessageBox::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) {
    return ScreenLabelColours(dc);
  }
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CMessageBox::OnLButtonDown(unsigned flags, ui::Point pt) {
  if (dragArea.Contains(pt)) {
    dragStart = pt;
    dragging = true;
  } else {
    dragging = false;
  }
  ui::Dialog::OnLButtonDown(flags, pt);
}

void CMessageBox::OnMouseMove(unsigned flags, ui::Point pt) {
  if (flags == ui::MK_LBUTTON && dragging) {
    const ui::Point s = ClientToScreen(ui::Point(pt.x - dragStart.x, pt.y - dragStart.y));
    MoveWindow(s.x, s.y, dragArea.Width(), dragArea.Height(), true);
  }
  ui::Dialog::OnMouseMove(flags, pt);
}

void CMessageBox::OnLButtonUp(unsigned flags, ui::Point pt) {
  dragging = false;
  ui::Dialog::OnLButtonUp(flags, pt);
}

int ShowProgramMessageBox(const std::string& text, unsigned type) {
  // A worker thread's message is shown by the user-interface thread, which owns every window.
  if (ui::IsInitialized() && !ui::IsUiThread()) {
    int result = ui::IDCANCEL;
    ui::RunOnUiThread([&] { result = ShowProgramMessageBox(text, type); });
    return result;
  }
  CMessageBox box(text, type, 0, nullptr);
  return box.DoModal();
}

void InstallProgramMessageBox() {
  RegisterSkinBitmaps();
  RegisterMessageBoxTemplate();
  ui::SetMessageBoxHandler([](ui::Window*, const std::string& text, const std::string&, unsigned type) {
    return ShowProgramMessageBox(text, type);
  });
}
