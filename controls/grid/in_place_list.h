#pragma once
// CInPlaceList: the drop-down list a combo cell opens over itself. It drops down at once
// with the cell's options; Return, Tab and Escape (Escape restoring the first text), or
// an arrow or paging key when started from the keyboard (or with Ctrl), or the focus
// leaving it end the edit with the same end-of-edit notice as the text editor.
#include <string>
#include <vector>

#include "controls/grid/grid_defs.h"
#include "platform/ui/controls/controls.h"

class CInPlaceList : public ui::ComboBox, public CellEditorHandle {
 public:
  bool Start(ui::Window* grid, draw::Rect rect, uint32_t style, unsigned id, int row, int col,
             const std::vector<std::string>& options, const std::string& text, unsigned firstChar,
             int cellHeight);
  void EndEdit() override;
  void SendChar(unsigned ch) override;
  // The width the list drops to: the widest option plus a scroll bar and a "0", at most 200.
  static int DroppedWidthFor(const std::vector<std::string>& options, const draw::Font& font);
  int DroppedWidth() const { return droppedWidth_; }
  unsigned LastKey() const { return lastKey_; }
  std::string CurrentText() const;

 protected:
  bool PreTranslateMessage(ui::Message& msg) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  void OnKillFocus(ui::Window* next) override;
  bool OnCommand(int id, int code, ui::Window* control) override;

 private:
  bool OwnsFocus(const ui::Window* w) const;
  void FocusToParent();
  int row_ = -1, col_ = -1;
  std::string initialText_;
  unsigned lastKey_ = 0;
  bool exitOnArrows_ = true;
  bool ended_ = false;
  int droppedWidth_ = 0;
  static constexpr int kLineCount = 4;
};
