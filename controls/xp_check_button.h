#pragma once
// CXPCheckButton and CXPRadioButton: owner-drawn check box and radio button with a square mark
// at the left (15 px, grown with the layout scale), the label after it, a background colour of
// their own (the dialog band under them) and a gold frame or ring while the mouse rests over them.
// The label is centred in the control's height with the mark centred on it, and a label too long
// for the control is drawn in a smaller size of its font until it fits (controls/caption_fit.h),
// and the labels of its group (MarkGroup) with it.
// Both keep their own checked state; the radio button keeps the radio rule of its dialog group
// itself.
#include <vector>

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
  // The font of the label's last paint: the control's font, or a smaller size of it.
  draw::Font labelFont;
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
  draw::Font labelFont;
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

// The check boxes and radio buttons whose labels draw in one size with `control`'s: the visible
// labelled ones of its parent of its height in its row (same top) or its column (same left), and
// theirs in turn.
std::vector<ui::Window*> MarkGroup(ui::Window* control);
// The font `control`'s label is drawn in: the smallest size a label of its group needs to fit
// its room, so that one long label does not make its check box look apart from the others.
draw::Font GroupLabelFont(draw::DC& dc, ui::Window* control, float scale);

// The side of the mark square for a control of this height at the layout scale: 15 px grown
// with the scale (rounded), or the height when lower.
int MarkSide(int height, float scale);

// Where a check box or radio button of this item rectangle puts its mark and its label: the
// label's room starts 3 px after the mark and keeps the control's height; the label, in the font
// that fits the room, is centred in that height, and the mark is centred on the label (on the
// control when there is no label).
struct MarkLayout {
  ui::Rect mark;
  ui::Rect textRoom;
  ui::Rect text;  // where the label's lines are drawn
  draw::Font font;
};
MarkLayout LayOutMark(draw::DC& dc, const ui::Rect& item, const std::string& text, const draw::Font& nominal,
                      float scale);

// The next control of `control`'s dialog group, wrapping from the group's last control to its
// first (the group begins at a control with WS_GROUP). Null when it has no parent.
ui::Window* NextDialogGroupItem(ui::Window* control);
