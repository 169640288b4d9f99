#include "controls/testing_popup.h"

#include "controls/screen_common.h"
#include "core/look.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"

namespace {

int g_dots = 1;

// The pop-up's picture: a test tube with a drop of blood.
draw::Bitmap MakeTestingIcon() {
  draw::Bitmap icon = draw::Bitmap::CreateWithAlpha(30, 30);
  if (!icon) return icon;
  draw::DC dc(icon);
  dc.SelectPen(draw::Pen::Solid(draw::RGB(66, 85, 92), 2));
  dc.SelectBrush(draw::Brush::Solid(draw::RGB(245, 245, 245)));
  dc.RoundRect(10, 2, 20, 28, 8, 8);
  dc.SelectPen(draw::Pen::NullPen());
  dc.SelectBrush(draw::Brush::Solid(draw::RGB(180, 30, 40)));
  dc.RoundRect(11, 14, 19, 27, 6, 6);
  dc.Flush();
  return icon;
}

void RegisterTestingResources() {
  if (!ui::Resources::FindDialog(IDD_TESTING)) ui::Resources::AddDialog(IDD_TESTING, TestingTemplate());
  if (ui::Resources::LoadIcon(IDI_TESTING).IsNull()) ui::Resources::AddIcon(IDI_TESTING, MakeTestingIcon());
}

}  // namespace

const char* TestingWord(int language) { return PickText(language, "正在测试", "Testing", "Pruebas", "Test en cours", "Аналіз"); }
int TestingDotCounter() { return g_dots; }
void ResetTestingDotCounter() { g_dots = 1; }

ui::DialogTemplate TestingTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t;
  t.cx = 185;
  t.cy = 44;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER | ui::DS_SETFONT;
  t.Add("Button", IDC_TESTING_FRAME, "", 4, 4, 179, 38, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_TESTING_LABEL, "正在测试...", 53, 18, 79, 8, V | ui::SS_LEFT);
  t.Add("Static", -1, "#502", 27, 15, 15, 15, V | ui::SS_ICON);
  return t;
}

CTesting::CTesting(ui::Window* parent) : ui::Dialog(IDD_TESTING, parent) { RegisterTestingResources(); }

bool CTesting::Create(ui::Window* parent) { return CreateModeless(parent); }

void CTesting::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_TESTING_LABEL, label_);
  ui::ExchangeControl(dx, IDC_TESTING_FRAME, frame_);
}

bool CTesting::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  label_.SetWindowText(TestingWord(CurrentLook().language));
  label_.SetBkColor(draw::RGB(190, 198, 201));
  SetTimer(1, 500);
  ApplyDialogFontToChildren(this, &CurrentLook().DialogFont());
  return true;
}

void CTesting::OnTimer(uintptr_t id) {
  if (id != 1) return;
  label_.SetWindowText(std::string(TestingWord(CurrentLook().language)) + std::string(static_cast<size_t>(g_dots), '.'));
  g_dots = g_dots >= 6 ? 1 : g_dots + 1;
}

bool CTesting::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

void CTesting::OnLButtonDown(unsigned flags, ui::Point pt) {
  ui::Dialog::OnLButtonDown(flags, pt);
  Invalidate(true);
}

bool CTesting::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_RETURN)) return true;
  // The space bar, in any keyboard message.
  if (msg.message >= ui::WM_KEYFIRST && msg.message <= ui::WM_KEYLAST && msg.wParam == 32) return true;
  if (msg.message == ui::WM_SYSKEYDOWN && msg.wParam == ui::VK_F4) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

const draw::Brush* CTesting::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  // The picture stands on the frame's panel, not on a patch of the dialog face.
  if (ctlType == ui::CTLCOLOR_STATIC) {
    dc.SetBkMode(draw::BkMode::Transparent);
    return HollowBrush();
  }
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
