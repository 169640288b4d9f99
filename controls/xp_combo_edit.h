#pragma once
// CXPComboBox: a drop-down list whose closed face is painted in full: a light rounded field
// with the current text and a skinned arrow button (normal, hover, disabled). The list itself
// is the framework's. CXPEdit: the framework's edit field with a light frame, repainted when
// disabled so its text stays dark and readable on the grey band colour.
#include "platform/ui/controls/controls.h"

// The width of a vertical scroll bar and of a window edge on this system.
inline constexpr int kSystemScrollWidth = 17;
inline constexpr int kSystemEdge = 2;

class CXPComboBox : public ui::ComboBox {
 public:
  CXPComboBox() = default;
  // All three must be non-zero; a zero id is reported and nothing changes.
  void SetBitmaps(unsigned hoverId, unsigned normalId, unsigned disabledId);

  bool pressed = false;
  unsigned hoverBitmapId = 393;
  unsigned normalBitmapId = 394;
  unsigned disabledBitmapId = 396;
  bool hover = false;
  bool tracking = false;

  // The area the text is drawn in (client coordinates).
  ui::Rect TextArea() const;

 protected:
  void OnPaint(draw::DC& dc) override;
  void OnLButtonDown(unsigned flags, ui::Point pt) override;
  void OnLButtonUp(unsigned flags, ui::Point pt) override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  void OnMouseHover(unsigned flags, ui::Point pt) override;
  void OnMouseLeave() override;
};

class CXPEdit : public ui::Edit {
 public:
  CXPEdit() = default;
  void SetTextColor(draw::Color colour) { textColour = colour; }

  int edgeHeight = kSystemEdge;
  int edgeWidth = kSystemEdge;
  int hScrollHeight = 0;
  int leftScrollWidth = 0;
  int rightScrollWidth = 0;
  bool hScrollFlip = true;
  bool vScrollFlip = true;
  draw::Color backColour;
  draw::Color textColour = draw::RGB(66, 85, 92);

 protected:
  void PreSubclassWindow() override;
  void OnPaint(draw::DC& dc) override;
  void OnHScroll(int code, int pos, ui::Window* bar) override;
  void OnVScroll(int code, int pos, ui::Window* bar) override;
  const draw::Brush* CtlColorReflect(draw::DC& dc, int ctlType) override;
};
