#pragma once
// CMFECToolTip: explanations painted straight onto a dialog's client area beside a control (no
// window of its own). A screen registers lines of text per control id and shows and hides the
// tip itself. The tip is kept inside the dialog; a tip taller than the dialog makes the font
// shrink once from 17 to 14 px.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/window.h"

struct ToolTipInfo {
  unsigned controlId = 0;
  int lineCount = 0;
  std::vector<std::string> lines;
  draw::Color textColour = 0;
  draw::Color backColour = 0;
};

class CMFECToolTip {
 public:
  CMFECToolTip() = default;
  virtual ~CMFECToolTip() = default;

  void Create(ui::Window* parentWindow) { parent = parentWindow; }
  bool AddTool(unsigned ctrlId, const std::vector<std::string>& lines, draw::Color backColour, draw::Color textColour);
  bool RemoveTool(unsigned ctrlId);
  void ShowTip(unsigned ctrlId);
  void HideTip(unsigned ctrlId);
  // Shows the tip of the control under `pt` (parent client coordinates) when it changes.
  void RelayMouseMove(ui::Point pt);

  // The tip's rectangle for a control, in the parent's client coordinates (measures first
  // when the size is not known yet).
  virtual void CalcTipRect(unsigned ctrlId, ui::Rect& rect);
  virtual void CalcTipSize(const std::vector<std::string>& lines);

  ui::Window* parent = nullptr;
  int tipHeight = 0;
  int tipWidth = 0;
  int fontHeight = 17;
  int lineCountShown = 0;
  int longestLine = 0;
  std::vector<std::unique_ptr<ToolTipInfo>> tools;
  unsigned currentId = 0;

 private:
  ToolTipInfo* Find(unsigned ctrlId);
  void Paint(ToolTipInfo& info);
};
