#pragma once
// CInPlaceNumEdit: the editor of a numeric cell. It starts from the cell's number written
// plainly in the number format's decimal character and sign position, and refuses every
// change that would not leave a number being typed (the text and selection come back).
#include "controls/grid/grid_cell_types.h"
#include "controls/grid/in_place_edit.h"

class CInPlaceNumEdit : public CInPlaceEdit {
 public:
  bool StartNumber(ui::Window* parent, const draw::Rect& rect, unsigned id, int row, int col, unsigned firstChar,
                   unsigned flags, double value, const GridNumberFormat& format);
  // The editor's first text for a value.
  static std::string EditText(double value, const GridNumberFormat& f);
  // Whether `text` is acceptable while typing.
  static bool Acceptable(const std::string& text, unsigned flags, const GridNumberFormat& f);

 protected:
  void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
  void OnKillFocus(ui::Window* next) override;

 private:
  unsigned cellFlags_ = 0;
  GridNumberFormat format_;
  std::string lastGoodText_;
  bool restoring_ = false;
};
