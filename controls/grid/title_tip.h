#pragma once
// CTitleTip: a small borderless pop-up ("ZTitleTip") that shows the whole text of a grid
// cell whose text is cut off, placed over the cell while the pointer rests on it. Presses
// and keys pass through to the grid beneath; leaving the cell hides it.
#include <cstdint>
#include <string>

#include "platform/ui/window.h"

class CTitleTip : public ui::Window {
 public:
  CTitleTip();
  void SetGridParent(ui::Window* parent) { parent_ = parent; }
  bool Create(ui::Window* parent);
  // `titleRect` and `hoverRect` in the parent's client coordinates (hoverRect may be null);
  // `font` null: the parent's font; colours CLR_DEFAULT: the tip colours. Shown only when
  // the text does not fit.
  void Show(draw::Rect titleRect, const std::string& text, int offset, const draw::Rect* hoverRect,
            const draw::Font* font, draw::Color textColour, draw::Color backColour);
  void Hide();
  bool IsShown() const { return IsWindow() && IsWindowVisible(); }
  const std::string& ShownText() const { return text_; }
  void DestroyWindow() override;

 protected:
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnMouseMove(unsigned flags, draw::Point pt) override;
  bool PreTranslateMessage(ui::Message& msg) override;

 private:
  ui::Window* parent_ = nullptr;
  draw::Rect textRect_, hoverRect_;
  std::string text_;
  draw::Font font_;
  draw::Color textColour_ = 0, backColour_ = 0;
  bool created_ = false;
  // Tick of the last left press on the tip (-1: none yet) and the longest gap between the
  // two presses of a double click (the system's default double-click time).
  int64_t lastClickTime_ = -1;
  int64_t doubleClickTime_ = kDoubleClickTimeMs;

 public:
  static constexpr int64_t kDoubleClickTimeMs = 500;
};
