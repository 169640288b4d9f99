#pragma once
// A grid with its window hooks replaced by recorders, a measurer with known sizes, and a
// check of the structural invariants.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"

// Measures 8 pixels a character (UTF-8 code points) and 20 high, except the two texts the
// default cell sizes itself with.
class FakeMeasurer : public GridTextMeasurer {
 public:
  draw::Size LineExtent(const draw::Font& font, const std::string& text) override {
    if (text == " XXXXXXXXXXXX ") return draw::Size(120, 20);
    if (text == " ") return draw::Size(4, 20);
    int chars = 0;
    for (unsigned char ch : text)
      if ((ch & 0xC0) != 0x80) ++chars;
    return draw::Size(chars * 8, 20);
  }
};

class TestGrid : public CGridCtrl {
 public:
  using CGridCtrl::CGridCtrl;

  struct Note {
    int row, col, code;
    friend bool operator==(const Note&, const Note&) = default;
  };
  std::vector<Note> notes;
  std::map<int, intptr_t> replies;  // notification code -> the owner's answer
  draw::Size client;
  int scrollX = 0, scrollY = 0;
  bool window = false;
  std::string clipboard;
  bool clipboardFull = false;
  std::vector<std::string> errors;

  // The first broken invariant, or "" when all hold.
  std::string Invariants() const {
    std::ostringstream why;
    if (fixedRowCount_ > rowCount_) why << "fixed rows " << fixedRowCount_ << " > rows " << rowCount_;
    else if (fixedColumnCount_ > columnCount_) why << "fixed cols > cols";
    else if (static_cast<int>(rowHeights_.size()) != rowCount_) why << "row heights " << rowHeights_.size();
    else if (static_cast<int>(columnWidths_.size()) != columnCount_) why << "column widths " << columnWidths_.size();
    else if (!virtualMode_ && static_cast<int>(rows_.size()) != rowCount_) why << "rows " << rows_.size();
    else if (focusCell_ != CCellID() &&
             !(IsValidCell(focusCell_) && focusCell_.row >= fixedRowCount_ && focusCell_.col >= fixedColumnCount_))
      why << "focus (" << focusCell_.row << "," << focusCell_.col << ")";
    if (!why.str().empty() || virtualMode_) return why.str();
    for (int r = 0; r < rowCount_; ++r) {
      if (static_cast<int>(rows_[r].size()) != columnCount_) {
        why << "row " << r << " has " << rows_[r].size() << " cells";
        return why.str();
      }
      for (int c = 0; c < columnCount_; ++c) {
        const CGridCellBase* cell = rows_[r][c].get();
        if (!cell) {
          why << "cell (" << r << "," << c << ") missing";
          return why.str();
        }
        const bool fr = r < fixedRowCount_, fc = c < fixedColumnCount_;
        const unsigned s = cell->GetState();
        if (bool(s & GVIS_FIXEDROW) != fr || bool(s & GVIS_FIXEDCOL) != fc || bool(s & GVIS_FIXED) != (fr || fc)) {
          why << "cell (" << r << "," << c << ") state " << s;
          return why.str();
        }
        if (bool(s & GVIS_SELECTED) != (selectedCells_.count((uint32_t(c) << 16) | (uint32_t(r) & 0xFFFF)) != 0)) {
          why << "cell (" << r << "," << c << ") selection map out of step";
          return why.str();
        }
      }
    }
    return "";
  }

  // Fills every cell with "r,c" texts.
  void FillCoordinates() {
    for (int r = 0; r < GetRowCount(); ++r)
      for (int c = 0; c < GetColumnCount(); ++c) SetItemText(r, c, std::to_string(r) + "," + std::to_string(c));
  }

  using CGridCtrl::rowHeights_;
  using CGridCtrl::mouseMode_;
  using CGridCtrl::selectionStartCell_;
  using CGridCtrl::singleColumnSelection_;

 protected:
  intptr_t NotifyParent(int row, int col, int code) override {
    notes.push_back({row, col, code});
    auto it = replies.find(code);
    return it == replies.end() ? 0 : it->second;
  }
  draw::Size ClientSize() const override { return client; }
  int GetScrollPosition(int bar) const override { return bar == SB_HORZ ? scrollX : scrollY; }
  bool WindowExists() const override { return window; }
  bool PutClipboardText(const std::string& text) override {
    clipboard = text;
    clipboardFull = true;
    return true;
  }
  bool GetClipboardText(std::string* text) override {
    if (!clipboardFull) return false;
    *text = clipboard;
    return true;
  }
  void ReportError(const std::string& text) override {
    CGridCtrl::ReportError(text);
    errors.push_back(text);
  }
};
