#include "controls/screen_common.h"

#include "core/look.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/write_log.h"
#include "controls/skin_loader.h"
#include "controls/xp_group_box.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"

const char* const kBoardPortLogText = "前端通信串口初始化失败,请检测前端板和主板之间的串口";

const draw::Brush* HollowBrush() {
  static const draw::Brush kHollow = draw::Brush::NullBrush();
  return &kHollow;
}

const draw::Brush* TransparentLabel(draw::DC& dc, draw::Color colour) {
  dc.SetTextColor(colour);
  dc.SetBkMode(draw::BkMode::Transparent);
  return HollowBrush();
}

const draw::Brush* ScreenLabelColours(draw::DC& dc) { return TransparentLabel(dc, CurrentLook().labelColour); }

void DrawBandedBackground(draw::DC& dc, const ui::Rect& rc, int bandHeight, int stripes, unsigned titleBitmap,
                          int frameWidth) {
  draw::Bitmap band = LoadSkinBitmap(titleBitmap, "Load title band Bitmap Error!");
  if (band.IsNull()) dc.FillSolidRect(ui::Rect(0, 0, rc.right, bandHeight), kDialogFrameColor);
  else dc.StretchBlt(0, 0, rc.Width(), bandHeight, band, 0, 0, band.Width(), band.Height());
  const int h = (rc.bottom - bandHeight) / stripes;
  for (int i = 1; i <= stripes; ++i) {
    const int top = bandHeight + (i - 1) * h;
    const int bottom = i == stripes ? rc.bottom : bandHeight + i * h;
    dc.FillSolidRect(ui::Rect(rc.left, top, rc.right, bottom),
                     (i % 2) ? draw::RGB(205, 213, 215) : draw::RGB(190, 198, 201));
  }
  if (frameWidth <= 0) return;
  dc.SelectPen(draw::Pen::Solid(kDialogFrameColor, frameWidth));
  dc.SelectBrush(draw::Brush::NullBrush());
  dc.Rectangle(rc);
}

void DrawBottomBars(draw::DC& dc, ui::Window* dialog, int groupId, int leftButtonId, int rightButtonId) {
  ui::Window* group = dialog->GetDlgItem(groupId);
  ui::Window* left = dialog->GetDlgItem(leftButtonId);
  ui::Window* right = dialog->GetDlgItem(rightButtonId);
  if (group && left && right) {
    const ui::Rect g = group->GetRectInParent(), l = left->GetRectInParent(), r = right->GetRectInParent();
    // A skinned frame round the buttons paints its panel over this background after it, so it
    // draws the rails itself, over its panel.
    auto* box = dynamic_cast<CXPGroupBox*>(group);
    if (box && g.Intersect(l) == l && g.Intersect(r) == r) box->SetBottomRails(leftButtonId, rightButtonId);
    else DrawBottomRails(dc, g, l, r);
  }
  DrawDialogFrame(dc, dialog, kDialogFrameWidth);
}

void DrawBottomRails(draw::DC& dc, const ui::Rect& g, const ui::Rect& l, const ui::Rect& r) {
  const draw::Bitmap lb = LoadSkinBitmap(450, "Load left bar Bitmap Error!");
  const draw::Bitmap rb = LoadSkinBitmap(449, "Load right bar Bitmap Error!");
  if (!lb.IsNull() && l.left > g.left)
    dc.TransparentBlt(g.left, l.top, l.left - g.left, l.Height(), lb, 0, 0, lb.Width(), lb.Height(), draw::kMagenta);
  if (!rb.IsNull() && g.right - 2 > r.right)
    dc.TransparentBlt(r.right, r.top, g.right - 2 - r.right, r.Height(), rb, 0, 0, rb.Width(), rb.Height(),
                      draw::kMagenta);
}

void DrawPlainScreen(draw::DC& dc, ui::Window* window, int railFrameId, int railButtonId, int railRightButtonId) {
  dc.FillSolidRect(window->GetClientRect(), kPlainScreenColour);
  if (railFrameId && railButtonId)
    DrawBottomBars(dc, window, railFrameId, railButtonId, railRightButtonId ? railRightButtonId : railButtonId);
  else
    DrawDialogFrame(dc, window, kDialogFrameWidth);
}

void ReportBoardPortFailure(const char* otherText) {
  if (CurrentLook().language == 0) {
    WriteLog(kBoardPortLogText, "");
    ui::MessageBox(nullptr, "前端通信串口初始化失败！", "", ui::MB_ICONEXCLAMATION);
  } else {
    ui::MessageBox(nullptr, otherText ? otherText : "Failed to initialize communications COM port!", "", ui::MB_OK);
  }
}

ui::DialogTemplate ScreenTemplate(int cx, int cy, uint32_t extraStyle) {
  return CentredPopupTemplate(cx, cy, ui::WS_VISIBLE | extraStyle, "System", 10);
}

ui::DialogTemplate CentredPopupTemplate(int cx, int cy, uint32_t style, const char* face, int points) {
  ui::DialogTemplate t;
  t.cx = cx;
  t.cy = cy;
  t.style = uint32_t{ui::WS_POPUP} | ui::DS_CENTER | style;
  t.fontFace = face;
  t.fontPoints = points;
  return t;
}

bool IsEnterOrEscapeKey(const ui::Message& msg) {
  return msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_RETURN || msg.wParam == ui::VK_ESCAPE);
}

std::string ExitButtonText(int language) {
  return PickText(language, "退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)");
}

void PaintScreenCaption(draw::DC& dc, ui::Window* window) {
  const ui::Rect in = window->NonClientInsets();
  const ui::Rect whole = window->GetWindowRect();
  const ui::Rect all(0, 0, whole.Width(), whole.Height());
  if (in.left == 0 && in.top == 0) return;
  const draw::Brush frame = draw::Brush::Solid(kDialogFrameColor);
  dc.FillRect(ui::Rect(all.left, all.top, all.right, in.top), frame);
  dc.FillRect(ui::Rect(all.left, all.bottom - in.bottom, all.right, all.bottom), frame);
  dc.FillRect(ui::Rect(all.left, all.top, in.left, all.bottom), frame);
  dc.FillRect(ui::Rect(all.right - in.right, all.top, all.right, all.bottom), frame);
  const draw::Font font("Arial", -13, draw::kFontWeightBold);
  const draw::Font old = dc.SelectFont(font);
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(draw::RGB(245, 245, 245));
  ui::Rect text(in.left + 6, in.left, all.right - in.right, in.top);
  dc.DrawText(window->GetWindowText(), &text,
              draw::kDtLeft | draw::kDtVCenter | draw::kDtSingleLine | draw::kDtNoPrefix | draw::kDtEndEllipsis);
  dc.SelectFont(old);
}
