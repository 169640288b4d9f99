#pragma once
// CNumberedListScreen: a screen that edits one numbered list (departments, doctors): a grid of
// the rows, a name box with more inputs beside it, and Append, Modify, Delete and Exit. Every
// change is stored at once. What differs from list to list (inputs, columns, texts, which cells
// make an entry the same) the screen supplies through the hooks below.
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "settings/list_grid.h"
#include "settings/numbered_list.h"

namespace settings {

struct ListScreenIds {
  int frame, listFrame, grid, name, keyboard, append, modify, remove;
};

// The texts a list screen says about its own entries, in the language of the run.
struct ListEntryTexts {
  std::string emptyName;      // the name box was empty
  std::string exists;         // an equal entry is in the list
  std::string confirmDelete;  // asks before the selected rows go
};

class CNumberedListScreen : public ui::Dialog {
 public:
  CGridCtrl& Grid() { return grid_; }
  const std::vector<NumberedRow>& Rows() const { return rows_; }

 protected:
  // `sameEntryCells`: how many leading cells decide that two entries are the same; on Modify each
  // of them left empty keeps the stored one.
  CNumberedListScreen(int dialogId, const ListScreenIds& ids, const NumberedTable& table, size_t sameEntryCells,
                      ui::Window* parent);

  // The cells of a new or changed row from the inputs, as stored (cell 0 is the name).
  virtual std::vector<std::string> TypedCells() const = 0;
  virtual std::vector<ListColumn> Columns(int language) const = 0;
  virtual ListEntryTexts EntryTexts(int language) const = 0;
  // Before the rows are read: input limits beyond the name box.
  virtual void PrepareInputs() {}
  // After the grid is filled: the title, labels and any choice lists, in the language.
  virtual void SetTexts(int language) = 0;
  // Last step of opening, after the fonts are set.
  virtual void FinishInit() {}
  // The grid selection moved to grid row `row` (the name box is already shown when row >= 1).
  virtual void ShowRowInputs(int row) { (void)row; }
  // After Delete: the inputs beyond the name box are emptied.
  virtual void ClearOtherInputs() {}

  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  ui::LResult OnNotify(int id, ui::NotifyHeader* header) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnDestroy() override;

  CADOConn conn_;

 private:
  void FillGrid();
  void OnAppend();
  void OnModify();
  void OnDelete();
  int Box(const std::string& text, unsigned type);

  const ListScreenIds ids_;
  const NumberedTable& table_;
  const size_t sameEntryCells_;
  std::vector<NumberedRow> rows_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  CXPGroupBox frame_, listFrame_;
  CXPButton append_, modify_, delete_, exit_;
  CBitmapKeyButton keyboard_;
};

}  // namespace settings
