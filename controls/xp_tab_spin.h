#pragma once
// CXPTabCtrl: the framework's tab strip painted in full: a light rounded background, a panel,
// dark blue rounded tabs with the selected one in the panel colour, texts shortened with "..."
// when they do not fit. CTSpinButtonCtrl: the framework's up-down pair painted from three
// skins (normal, hover half, disabled); it takes its bitmap's size on its first paint.
#include <string>

#include "platform/ui/controls/controls.h"

class CXPTabCtrl : public ui::TabControl {
 public:
  CXPTabCtrl();
  // The framework's own insert, as the screens use it (the first page is not sized then).
  using ui::TabControl::InsertItem;
  // Inserts a tab carrying `data`; marks the control as one that sizes its first child page.
  int InsertItem(intptr_t data, const std::string& text, int index, int image = -1);

  bool hasItems = false;
  draw::Font font;

 protected:
  void OnPaint(draw::DC& dc) override;
  void OnSize(int type, int cx, int cy) override;
};

// `text` shortened from its end, with "..." appended, until it fits `width` in the DC's font.
std::string FitWithEllipsis(draw::DC& dc, const std::string& text, int width);

// The template style of a spin that steps the number in the edit it is the buddy of: the arrows
// (and the arrow keys) write the new position into the edit, and a number typed there is where
// the next step starts from. Every date and clock spin of the screens is made with it.
inline constexpr uint32_t kBuddyNumberSpinStyle = ui::WS_VISIBLE | ui::UDS_SETBUDDYINT | ui::UDS_ARROWKEYS;

class CTSpinButtonCtrl : public ui::UpDown {
 public:
  CTSpinButtonCtrl() = default;
  void SetBitmaps(unsigned normalId, unsigned hoverId, unsigned disabledId) {
    normalBitmapId = normalId;
    hoverBitmapId = hoverId;
    disabledBitmapId = disabledId;
  }

  unsigned disabledBitmapId = 0;
  unsigned hoverBitmapId = 0;
  unsigned normalBitmapId = 0;
  bool sized = false;
  ui::Rect fittedRect;
  bool tracking = false;
  bool hover = false;

 protected:
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  void OnMouseHover(unsigned flags, ui::Point pt) override;
  void OnMouseLeave() override;

 private:
  void FitTo(const draw::Bitmap& bmp);
  ui::Point pointer_;
};
