#pragma once
// CInPlaceEdit: the one-line editor a grid cell opens over itself. It starts from the
// cell's text, grows to the right while the text gets longer, and ends on Return, Tab,
// Escape, loss of focus or (when started from the keyboard, or with Ctrl) an arrow or
// paging key. Ending sends the grid GVN_ENDLABELEDIT with the final text and the key that
// ended it (MakeEndEditRecord), then closes the window; the object deletes itself.
#include <string>

#include "controls/grid/grid_defs.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/window_class.h"

class CInPlaceEdit : public ui::Edit, public CellEditorHandle {
 public:
  CInPlaceEdit() = default;
  // Creates the editor window as a child of `parent` over `rect` (align 0 left, 1 centred,
  // 2 right) and starts the edit with `firstChar` (1: started by a click).
  bool Start(ui::Window* parent, const draw::Rect& rect, int align, unsigned id, int row, int col,
             const std::string& initialText, unsigned firstChar);

  // CellEditorHandle
  void EndEdit() override;
  void SendChar(unsigned ch) override;
  bool Paste() override {
    ui::Edit::Paste();
    return true;
  }

  int Row() const { return row_; }
  int Col() const { return col_; }
  unsigned LastKey() const { return lastKey_; }
  bool ExitsOnArrows() const { return exitOnArrows_; }

 protected:
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
  void OnKillFocus(ui::Window* next) override;

 private:
  void GiveFocusToParent();
  int row_ = -1, col_ = -1;
  std::string initialText_;
  unsigned lastKey_ = 0;
  bool exitOnArrows_ = true;
  draw::Rect rect_;
};
