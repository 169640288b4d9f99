#pragma once
// CXPCheckButton and CXPRadioButton: owner-drawn check box and radio button with a 15 x 15
// mark at the left, the label after it, a background colour of their own (the dialog band under
// them) and a gold frame or ring while the mouse rests over them. Both keep their own checked
// state; the radio button keeps the radio rule of its dialog group itself.
#include "platform/ui/controls/controls.h"

// The private message that clears a radio button of a group.
inline constexpr uint32_t WM_RADIO_UNCHECK = ui::WM_USER + 256;

class CXPCheckButton : public ui::Button {
 public:
  CXPCheckButton() = default;
  void SetBitmaps(unsigned checkedId, unsigned uncheckedId) {
    checkedBitmapId = checkedId;
    uncheckedBitmapId = uncheckedId;
  }
  void SetBkColor(draw::Color colour) { backColour = colour; }
  void DrawItem(ui::DrawItemInfo& info) override;

  bool checked = false;
  ui::Rect textRect;
  bool hover = false;
  bool tracking = false;
  unsigned checkedBitmapId = 397;
  unsigned uncheckedBitmapId = 398;
  draw::Color backColour = draw::RGB(190, 198, 201);

 protected:
  int OnCreate() override;
  void PreSubclassWindow() override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  void OnLButtonDown(unsigned flags, ui::Point pt) override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  void OnMouseHover(unsigned flags, ui::Point pt) override;
  void OnMouseLeave() override;
};

class CXPRadioButton : public ui::Button {
 public:
  CXPRadioButton() = default;
  void SetBkColor(draw::Color colour) { backColour = colour; }
  void DrawItem(ui::DrawItemInfo& info) override;

  bool hover = false;
  bool tracking = false;
  ui::Rect textRect;
  bool checked = false;
  draw::Color backColour = draw::RGB(190, 198, 201);

 protected:
  int OnCreate() override;
  void PreSubclassWindow() override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  void OnLButtonDown(unsigned flags, ui::Point pt) override;
  void OnLButtonDblClk(unsigned flags, ui::Point pt) override;
  void OnLButtonUp(unsigned flags, ui::Point pt) override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  void OnMouseHover(unsigned flags, ui::Point pt) override;
  void OnMouseLeave() override;

 private:
  void CheckAndClearGroup();
};

// The side of the mark square for a control of this height (15, or less when lower).
inline int MarkSide(int height) { return height >= 15 ? 15 : height; }

// The next control of `control`'s dialog group, wrapping from the group's last control to its
// first (the group begins at a control with WS_GROUP). Null when it has no parent.
ui::Window* NextDialogGroupItem(ui::Window* control);
