#pragma once
// A plain table of text rows under a fixed header row, with a vertical scroll bar and a
// whole-row selection: the system log screen's list until the grid window is in the program.
#include <string>
#include <vector>

#include "platform/ui/window.h"

class CLogTable : public ui::Window {
 public:
  bool Create(const ui::Rect& rect, ui::Window* parent, int id);

  void SetColumns(const std::vector<std::string>& headers, const std::vector<int>& widths);
  void SetRowHeights(int header, int row);
  void DeleteAllRows();
  void AddRow(const std::vector<std::string>& cells);
  int GetRowCount() const { return static_cast<int>(rows_.size()); }
  std::string GetItemText(int row, int col) const;
  const std::vector<std::string>& Headers() const { return headers_; }
  int SelectedRow() const { return selected_; }
  void SetTableFont(const draw::Font& font);

 protected:
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnVScroll(int code, int pos, ui::Window* bar) override;
  bool OnMouseWheel(unsigned flags, int delta, ui::Point screenPt) override;
  void OnLButtonDown(unsigned flags, ui::Point pt) override;

 private:
  int VisibleRows() const;
  void UpdateScroll();

  std::vector<std::string> headers_;
  std::vector<int> widths_;
  std::vector<std::vector<std::string>> rows_;
  int headerHeight_ = 25, rowHeight_ = 18;
  int top_ = 0;
  int selected_ = -1;
  draw::Font font_{"Arial", 16};
};
