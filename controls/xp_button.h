#pragma once
// CXPButton: the skinned push button of every screen. It paints a bitmap for its state
// (normal, hover, disabled) stretched over the whole button with magenta see-through, then its
// caption or, with an arrow style, a triangle. A caption that does not fit the button at the
// caption font is drawn in a smaller size of it until it fits (controls/caption_fit.h); the
// buttons of one row (same parent, same top and height) all draw their captions in the smallest
// size any of them needs. The space bar never clicks it and it is never a
// tab stop. Screens bind it to a template button (ui::ExchangeControl) and call SetBitmaps in
// their initialisation.
#include <string>
#include <vector>

#include "platform/ui/controls/controls.h"

class CXPButton : public ui::Button {
 public:
  CXPButton() = default;

  // Resource ids of the three looks; disabledId may be 0 (no bitmap: only the caption).
  void SetBitmaps(unsigned normalId, unsigned hoverId, unsigned disabledId);
  // 0 caption, 1 up, 2 down, 3 left, 4 right triangle.
  void SetArrowStyle(int style) { arrowStyle = style; }

  void DrawItem(ui::DrawItemInfo& info) override;
  bool PreTranslateMessage(ui::Message& msg) override;

  bool hover = false;
  bool tracking = false;
  bool pressed = false;
  unsigned normalBitmapId = 0;
  unsigned hoverBitmapId = 0;
  unsigned disabledBitmapId = 0;
  int arrowStyle = 0;
  // The font of the caption's last paint: the caption font, or a smaller size of it when the
  // caption, or the caption of another button of its row, does not fit at that size.
  draw::Font captionFont;

  // The size this button's own caption fits at on a face of this rectangle, as FitCaptionFont
  // chooses it (kept until the caption, its font or the button's size changes).
  draw::Font OwnCaptionFont(draw::DC& dc, const ui::Rect& face);
  // The other visible captioned buttons of this button's row.
  std::vector<CXPButton*> RowButtons() const;

 protected:
  int OnCreate() override;
  void PreSubclassWindow() override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  void OnMouseHover(unsigned flags, ui::Point pt) override;
  void OnMouseLeave() override;

 private:
  void MakeOwnerDrawn();

  // What the caption's size was last fitted for: measuring it again on every paint is most of a
  // button's paint time, and it changes only with the caption, its font or the button's size.
  std::string fittedText_;
  draw::Font fittedNominal_;
  ui::Rect fittedRoom_;
  draw::Font ownFont_;
  bool fitted_ = false;
  bool ownChanged_ = false;
};

// The corner points of an arrow style's triangle in a w x h button (down: moved 1 px right
// and down); false for a style that draws no triangle.
bool XPButtonArrowPoints(int style, int width, int height, bool down, ui::Point out[3]);
