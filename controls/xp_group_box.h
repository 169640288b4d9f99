#pragma once
// CXPGroupBox: the rounded frame that groups controls (and frames the message box and the busy
// pop-up). Frame look: a rounded grey panel with a light inner edge and the caption on its top
// edge, optionally striped (SetBands) or divided into sections by engraved lines
// (SetSectionCount). Window look: a rounded panel with a caption bar. Setters chain.
#include <string>

#include "platform/ui/controls/controls.h"

class CXPGroupBox : public ui::Button {
 public:
  CXPGroupBox();

  // Creates the box by code (child, group, group-box kind, never takes input).
  bool Create(const std::string& caption, const ui::Rect& rect, ui::Window* parent, int id);

  CXPGroupBox& SetBorderColor(draw::Color c);
  CXPGroupBox& SetCaptionTextColor(draw::Color c);
  CXPGroupBox& SetBackgroundColor(draw::Color captionBar, draw::Color body);
  CXPGroupBox& SetBackgroundColor(draw::Color both);
  CXPGroupBox& SetWindowLook(bool on);
  CXPGroupBox& SetCaption(const std::string& text);
  CXPGroupBox& SetFontBold(bool bold);
  CXPGroupBox& SetFontName(const std::string& face, int charSet = 0);
  CXPGroupBox& SetFontUnderline(bool on);
  CXPGroupBox& SetFontItalic(bool on);
  CXPGroupBox& SetFontSize(int points);
  CXPGroupBox& SetCaptionFont(const draw::Font& font);
  CXPGroupBox& SetAlignment(int alignment);
  CXPGroupBox& SetBands(bool on, int count);
  CXPGroupBox& SetPanelColor(draw::Color c);
  CXPGroupBox& SetSectionCount(int n);

  // Bottom rails beside two buttons of the parent (ids of siblings; one id for a single
  // button): a frame that encloses the bottom buttons covers the screen's background, where the
  // rails would otherwise be drawn, so the frame draws them over its own panel.
  CXPGroupBox& SetBottomRails(int leftButtonId, int rightButtonId);

  // The y of each engraved section line pair (client coordinates) for this size.
  static std::vector<int> SectionLineYs(const ui::Rect& panel, int sectionCount);

  std::string caption;
  draw::Color borderColour;
  draw::Color captionBarColour = draw::RGB(245, 245, 245);
  draw::Color bodyColour;
  draw::Color textColour;
  draw::Color panelColour = 0;
  bool windowLook = false;
  int alignment = 0;
  draw::Font font;
  bool bandsOn = false;
  int bandCount = 0;
  int sectionCount = 1;
  int railLeftId = 0, railRightId = 0;

 protected:
  void PreSubclassWindow() override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }

 private:
  CXPGroupBox& Repaint();
  void PaintBottomRails(draw::DC& dc);
};
