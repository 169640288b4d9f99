#pragma once
// CStaticTrans: the label of the screens. By default it draws only its text (the dialog's
// own background shows through); SetBkColor gives it a solid background over its whole area.
#include "platform/ui/controls/controls.h"

class CStaticTrans : public ui::Static {
 public:
  static constexpr draw::Color kNoBackground = 0xFFFFFFFFu;

  CStaticTrans() = default;

  void SetBkColor(draw::Color colour);
  // Makes the parent repaint its background under the label (shrunk by 1 px), so that the
  // label's new text is drawn over a clean background.
  void RedrawBackground();

  draw::Color textColour = draw::RGB(66, 85, 92);
  draw::Color backColour = kNoBackground;
  bool redrawOnSetText = false;

 protected:
  const draw::Brush* CtlColorReflect(draw::DC& dc, int ctlType) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  draw::Brush backBrush_ = draw::Brush::NullBrush();
  void OnSetText(const std::string& text) override;
};
